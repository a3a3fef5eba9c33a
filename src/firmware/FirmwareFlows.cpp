#include "firmware/FirmwareFlows.h"

#include "config/CopyStores.h"
#include "link/basMain.h"
#include "link/basUIF.h"
#include "platform/Operator.h"
#include "shell/LocalInput.h"
#include "shell/SafeSave.h"
#include "shell/SetupSession.h"
#include "tftp/TransferTexts.h"
#include "tftp/basTFTP.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

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

bool transfer(SetupSession& s, basTFTP::Transfer& t, const QString& errorText)
{
    if (s.tfr.TFTP_StartRequest(t) == 0) return true;
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
Outcome flashWrite(SetupSession& s, const QString& doneText, const basTFTP::Transfer& sent)
{
    s.showLogged(LogFile::Send, QStringLiteral("Write Command Send."));
    const int status = s.tfr.Copy_Request_Send(frmTFR::RAM, frmTFR::ROM, CopyFields::Of(sent));
    if (status != 0) {
        commandError(s, QStringLiteral("Write Command Error."), status);
        return Outcome::Failed;
    }
    s.showLogged(LogFile::Recv, doneText);
    return Outcome::Done;
}

// Where a received file goes: the file written (a followed link's target) and whether an
// existing one may be replaced.
struct ReceiveTarget {
    QString path;
    bool replaces = false;
};

// A new file's folder must take it; nothing is created yet, so a stop leaves no empty file.
bool folderTakesNewFile(const QString& path)
{
    const QFileInfo info(path);
    return info.absoluteDir().exists() && ::access(QFile::encodeName(info.absolutePath()).constData(), W_OK | X_OK) == 0;
}

// The save dialog, the name's length, the target rules and the overwrite question, all before
// anything is created, deleted or sent. On Done `target` is where the transfer goes.
Outcome chooseTarget(SetupSession& s, Operator& op, FileChoice& choice, const QString& questionTitle, ReceiveTarget& target)
{
    const QString path = Set_WriteFile(op, choice);
    if (path.isEmpty()) return Outcome::Cancelled;
    QString folder, name;
    basConv::SplitPath(path, folder, name);
    if (GetStrDataLen(name) >= FileNameLimit) {
        tooLong(op);
        return Outcome::Refused;
    }
    const SafeSave::Target where = SafeSave::Resolve(path);
    const bool missing = where.kind == SafeSave::Kind::Missing;
    if (where.kind == SafeSave::Kind::Refused || (missing && !folderTakesNewFile(where.path))) {
        s.LastCheckedFile.clear();
        invalidPath(op);
        return Outcome::Refused;
    }
    s.LastCheckedFile = path;
    // The old file stays until the new one has come whole.
    // Only a file that would be replaced is asked about: a device or FIFO is written in place.
    if (where.kind == SafeSave::Kind::File && op.message(questionTitle, QStringLiteral("File Exist. Overwrite\uFF1F"),
                                 Operator::Icon::Exclamation, Operator::Buttons::YesNo) != Operator::Answer::Yes)
        return Outcome::Cancelled;
    target = ReceiveTarget{where.path, !missing};
    choice.accept(path);
    return Outcome::Done;
}

// The transfer from the device: the server saves it over the target once it is complete.
bool receiveInto(SetupSession& s, const ReceiveTarget& target, int type, const QString& errorText)
{
    basTFTP::Transfer t;
    t.type = type;
    basTFTP::SetTransferFile(t.file, s.LastCheckedFile);
    // The device is told the name chosen; the file written is what that name resolved to.
    t.file.path = target.path;
    t.replaces = target.replaces;
    return transfer(s, t, errorText);
}

// The file to send, read now: the device is served these bytes whatever happens to the file
// meanwhile. A file the device could not take is refused before the start command goes out.
bool readSource(SetupSession& s, int type, basTFTP::Transfer& t, const QString& errorText)
{
    t.type = type;
    basTFTP::SetTransferFile(t.file, s.LastCheckedFile);
    QFile f;
    if (!OpenRegularFile(f, s.LastCheckedFile)) {
        config::ShowTransferError(s, errorText, QStringLiteral("TFTP File Open Error."));
        return false;
    }
    // One byte past the largest size tells a file too large without reading all of it.
    t.bytes = f.read(basTFTP::TFTPMaxBytes + 1);
    if (f.error() != QFileDevice::NoError) {
        config::ShowTransferError(s, errorText, QStringLiteral("TFTP File Open Error."));
        return false;
    }
    if (t.bytes.size() > basTFTP::TFTPMaxBytes) {
        t.bytes.clear();
        config::ShowTransferError(
            s, errorText,
            basTFTP::WithSecondLine(QStringLiteral("TFTP File Too Large."),
                                    QStringLiteral("the file is %1 bytes; at most %2 bytes can be sent")
                                        .arg(f.size()).arg(basTFTP::TFTPMaxBytes)));
        return false;
    }
    return true;
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
    const FlowClaim claim(s, QStringLiteral("FW Update"));
    if (!claim) return Outcome::Failed;
    if (const Outcome o = checkSource(s, op, c.firmwareSend, path); o != Outcome::Done) return o;
    begin(s, QStringLiteral("FW Update"), started);
    s.show(QStringLiteral("Firmware send transfer request."));
    const QString error = QStringLiteral("Firmware send transfer Error.");
    basTFTP::Transfer t;
    if (!readSource(s, frmTFR::FirmwareToDevice, t, error) || !transfer(s, t, error)) return Outcome::Failed;
    s.showLogged(LogFile::Recv, QStringLiteral("Firmware send transfer complete."));
    return flashWrite(s, QStringLiteral("Write Flash-ROM Start."), t);
}

Outcome FwRead(SetupSession& s, Operator& op, FileChoices& c, const FlowStarted& started)
{
    const FlowClaim claim(s, QStringLiteral("FW RD"));
    if (!claim) return Outcome::Failed;
    ReceiveTarget target;
    if (const Outcome o = chooseTarget(s, op, c.firmwareSave, QStringLiteral("Firmware Save"), target); o != Outcome::Done)
        return o;
    begin(s, QStringLiteral("FW RD"), started);
    s.showLogged(LogFile::Send, QStringLiteral("Firmware receive transfer request."));
    if (!receiveInto(s, target, frmTFR::FirmwareFromDevice, QStringLiteral("Firmware receive transfer Error.")))
        return Outcome::Failed;
    s.showLogged(LogFile::Recv, QStringLiteral("Firmware receive transfer complete."));
    return Outcome::Done;
}

Outcome ConfigRead(SetupSession& s, Operator& op, FileChoices& c, const FlowStarted& started)
{
    const FlowClaim claim(s, QStringLiteral("Config RD"));
    if (!claim) return Outcome::Failed;
    ReceiveTarget target;
    if (const Outcome o = chooseTarget(s, op, c.configurationSave, QStringLiteral("Configuration Data Save"), target);
        o != Outcome::Done)
        return o;
    begin(s, QStringLiteral("Config RD"), started);
    s.show(QStringLiteral("Copy Command Send.(ROM->RAM)"));
    const CopyFields copy{frmTFR::ConfigFromDevice, basTFTP::TFTPServerPort, QString()};
    if (!config::CopyStores(s, frmTFR::ROM, frmTFR::RAM, config::CopyStatusLine::St, copy)) return Outcome::Failed;
    s.showLogged(LogFile::Recv, QStringLiteral("Copy Command normal end."));
    const QString request = QStringLiteral("Config Data receive transfer request.");
    s.lstStatus.MesgDisp(request);
    s.log.WriteLogRecord(LogFile::Send, request);
    if (!receiveInto(s, target, frmTFR::ConfigFromDevice, QStringLiteral("Config Data receive transfer Error.")))
        return Outcome::Failed;
    s.showLogged(LogFile::Recv, QStringLiteral("Config Data receive transfer complete."));
    return Outcome::Done;
}

Outcome ConfigWrite(SetupSession& s, Operator& op, FileChoices& c, const FlowStarted& started)
{
    const FlowClaim claim(s, QStringLiteral("Config WR"));
    if (!claim) return Outcome::Failed;
    const QString path = Set_ReadFile(op, c.configurationSend);
    if (path.isEmpty()) return Outcome::Cancelled;
    if (const Outcome o = checkSource(s, op, c.configurationSend, path); o != Outcome::Done) return o;
    begin(s, QStringLiteral("Config WR"), started);
    s.show(QStringLiteral("Config Data send transfer request."));
    const QString error = QStringLiteral("Config Data send transfer Error.");
    basTFTP::Transfer t;
    if (!readSource(s, frmTFR::ConfigToDevice, t, error) || !transfer(s, t, error)) return Outcome::Failed;
    s.showLogged(LogFile::Recv, QStringLiteral("Config Data send transfer complete."));
    return flashWrite(s, QStringLiteral("Write Flash-ROM Complete."), t);
}

Outcome VersionCheck(SetupSession& s, QString& version, QString* statusText, const FlowStarted& started)
{
    const FlowClaim claim(s, QStringLiteral("Version Check"));
    if (!claim) return Outcome::Failed;
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
