#include "firmware/FirmwareFlows.h"

#include "config/CopyStores.h"
#include "firmware/SafeTarget.h"
#include "link/basMain.h"
#include "link/basUIF.h"
#include "platform/Operator.h"
#include "shell/SetupSession.h"
#include "tftp/basTFTP.h"

namespace firmware {

namespace {
constexpr qint16 CmdGetVersion = 46;
constexpr int VersionMax = 16;

void warn(Operator& op, const QString& text)
{
    op.message(QStringLiteral("WARNING"), text, Operator::Icon::Critical);
}
void invalidPath(Operator& op) { warn(op, QStringLiteral("Invalid File Pathname")); }
void tooLong(Operator& op) { warn(op, QStringLiteral("Too Long File Name")); }

// Every run begins, once its checks have passed, with the window's started step, its log record
// and an empty line.
void begin(SetupSession& s, const QString& name, const FlowStarted& started)
{
    Started(started);
    s.log.WriteLogRecord(LogFile::Send, name);
    s.lstStatus.MesgDisp(QString());
    s.uif.UIFCollect = false;
}

bool transfer(SetupSession& s, int type, const QString& errorText)
{
    if (s.tfr.TFTP_StartRequest(type) == 0) return true;
    config::ShowTransferError(s, errorText, s.tfr.TFRMessage);
    return false;
}

void commandError(SetupSession& s, const QString& text, qint32 status)
{
    const QString st = s.uif.UIFStatusText(status);
    s.show(text);
    s.showIndented(QStringLiteral(" St: ") + st);
    s.log.WriteLogRecord(LogFile::Recv, text + QStringLiteral("  St: ") + st);
}

// The flash write after a transfer to the device that completed: the copy from RAM to ROM
// carries the type, port and name of that transfer.
Outcome flashWrite(SetupSession& s, const QString& doneText)
{
    s.showLogged(LogFile::Send, QStringLiteral("Write Command Send."));
    const int status = s.tfr.Copy_Request_Send(frmTFR::RAM, frmTFR::ROM);
    if (status != 0) {
        commandError(s, QStringLiteral("Write Command Error."), status);
        return Outcome::Failed;
    }
    s.showLogged(LogFile::Recv, doneText);
    return Outcome::Done;
}

// The save dialog, the name's length, the file's usability and the overwrite question, all
// before anything is created, deleted or sent. On Done `target` is where the transfer goes.
Outcome chooseTarget(SetupSession& s, Operator& op, FileChoice& choice, const QString& questionTitle,
                     std::unique_ptr<SafeTarget>& target)
{
    const QString path = Set_WriteFile(op, choice);
    if (path.isEmpty()) return Outcome::Cancelled;
    QString folder, name;
    basConv::SplitPath(path, folder, name);
    if (GetStrDataLen(name) >= FileNameLimit) {
        tooLong(op);
        return Outcome::Refused;
    }
    const int prepared = basMain::PrepareNewFile(path, s.LastCheckedFile);
    if (prepared < 0) {
        invalidPath(op);
        return Outcome::Refused;
    }
    // The old file stays until the new one has come whole.
    if (prepared == 0 && op.message(questionTitle, QStringLiteral("File Exist. Overwrite\uFF1F"),
                                      Operator::Icon::Exclamation, Operator::Buttons::YesNo) != Operator::Answer::Yes)
        return Outcome::Cancelled;
    target = std::make_unique<SafeTarget>(path, prepared == 1);
    if (!target->isValid()) {
        invalidPath(op);
        return Outcome::Refused;
    }
    choice.accept(path);
    return Outcome::Done;
}

// The transfer from the device into the temporary file, then the file over the target.
bool receiveInto(SetupSession& s, SafeTarget& target, int type, const QString& errorText)
{
    s.tfr.SetTransferFile(s.LastCheckedFile);
    // The device is told the target's name; the server writes the temporary file.
    s.tfr.transferFile.path = target.temporaryPath();
    if (!transfer(s, type, errorText)) return false;
    if (target.commit()) return true;
    config::ShowTransferError(s, errorText, QStringLiteral("File Write Error.(Disk Full?)"));
    return false;
}

// A file to send: it must exist and hold data, and its name fit the device's name field.
Outcome checkSource(SetupSession& s, Operator& op, FileChoice& choice, const QString& path)
{
    if (basMain::FileHasData(path, s.LastCheckedFile) != 0) {
        invalidPath(op);
        return Outcome::Refused;
    }
    choice.accept(path);
    if (GetStrDataLen(choice.DefName) >= FileNameLimit) {
        tooLong(op);
        return Outcome::Refused;
    }
    return Outcome::Done;
}
}  // namespace

QString ChooseFirmwareFile(SetupSession& s, Operator& op, FileChoices& c)
{
    const QString path = Set_ReadFile(op, c.firmwareSend);
    if (!path.isEmpty() && basMain::FileHasData(path, s.LastCheckedFile) == 0) c.firmwareSend.accept(path);
    return path;
}

Outcome FwUpdate(SetupSession& s, Operator& op, FileChoices& c, const QString& path, const FlowStarted& started)
{
    if (const Outcome o = checkSource(s, op, c.firmwareSend, path); o != Outcome::Done) return o;
    begin(s, QStringLiteral("FW Update"), started);
    s.show(QStringLiteral("Firmware send transfer request."));
    s.tfr.SetTransferFile(s.LastCheckedFile);
    if (!transfer(s, frmTFR::FirmwareToDevice, QStringLiteral("Firmware send transfer Error."))) return Outcome::Failed;
    s.showLogged(LogFile::Recv, QStringLiteral("Firmware send transfer complete."));
    return flashWrite(s, QStringLiteral("Write Flash-ROM Start."));
}

Outcome FwRead(SetupSession& s, Operator& op, FileChoices& c, const FlowStarted& started)
{
    std::unique_ptr<SafeTarget> target;
    if (const Outcome o = chooseTarget(s, op, c.firmwareSave, QStringLiteral("Firmware Save"), target); o != Outcome::Done)
        return o;
    begin(s, QStringLiteral("FW RD"), started);
    s.showLogged(LogFile::Send, QStringLiteral("Firmware receive transfer request."));
    if (!receiveInto(s, *target, frmTFR::FirmwareFromDevice, QStringLiteral("Firmware receive transfer Error.")))
        return Outcome::Failed;
    s.showLogged(LogFile::Recv, QStringLiteral("Firmware receive transfer complete."));
    return Outcome::Done;
}

Outcome ConfigRead(SetupSession& s, Operator& op, FileChoices& c, const FlowStarted& started)
{
    std::unique_ptr<SafeTarget> target;
    if (const Outcome o = chooseTarget(s, op, c.configurationSave, QStringLiteral("Configuration Data Save"), target);
        o != Outcome::Done)
        return o;
    begin(s, QStringLiteral("Config RD"), started);
    s.show(QStringLiteral("Copy Command Send.(ROM->RAM)"));
    s.tfr.TFRType = frmTFR::ConfigFromDevice;
    s.tfr.TFRPort = basTFTP::TFTPServerPort;
    s.tfr.TFRFileName.clear();
    if (!config::CopyStores(s, frmTFR::ROM, frmTFR::RAM, config::CopyStatusLine::St)) return Outcome::Failed;
    s.showLogged(LogFile::Recv, QStringLiteral("Copy Command normal end."));
    const QString request = QStringLiteral("Config Data receive transfer request.");
    s.lstStatus.MesgDisp(request);
    s.log.WriteLogRecord(LogFile::Send, request);
    if (!receiveInto(s, *target, frmTFR::ConfigFromDevice, QStringLiteral("Config Data receive transfer Error.")))
        return Outcome::Failed;
    s.showLogged(LogFile::Recv, QStringLiteral("Config Data receive transfer complete."));
    return Outcome::Done;
}

Outcome ConfigWrite(SetupSession& s, Operator& op, FileChoices& c, const FlowStarted& started)
{
    const QString path = Set_ReadFile(op, c.configurationSend);
    if (path.isEmpty()) return Outcome::Cancelled;
    if (const Outcome o = checkSource(s, op, c.configurationSend, path); o != Outcome::Done) return o;
    begin(s, QStringLiteral("Config WR"), started);
    s.show(QStringLiteral("Config Data send transfer request."));
    s.tfr.SetTransferFile(s.LastCheckedFile);
    if (!transfer(s, frmTFR::ConfigToDevice, QStringLiteral("Config Data send transfer Error."))) return Outcome::Failed;
    s.showLogged(LogFile::Recv, QStringLiteral("Config Data send transfer complete."));
    return flashWrite(s, QStringLiteral("Write Flash-ROM Complete."));
}

Outcome VersionCheck(SetupSession& s, QString& version, QString* statusText, const FlowStarted& started)
{
    begin(s, QStringLiteral("Version Check"), started);
    s.show(QStringLiteral("Version Check"));
    s.uif.BeginRequest(CmdGetVersion);
    const frmUIF::UIFOutcome o = s.uif.Exchange();
    if (o.status != 0) {
        commandError(s, QStringLiteral("Get Version Command Error."), o.status);
        if (statusText) *statusText = s.uif.UIFStatusText(o);
        return Outcome::Failed;
    }
    version = QString::fromLatin1(basUIF::GetUIFString(o.reply, 0, VersionMax));
    s.showLogged(LogFile::Recv, QStringLiteral("FW version : ") + version);
    return Outcome::Done;
}

}  // namespace firmware
