#include "config/ReceiveFlow.h"

#include "config/CopyStores.h"
#include "config/RecordWalk.h"
#include "link/basMain.h"
#include "link/basUIF.h"
#include "platform/Operator.h"
#include "shell/SetupSession.h"
#include "shell/SafeSave.h"
#include "shell/TextLinesFile.h"
#include "tftp/basTFTP.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace config {

namespace {

void invalidPath(SetupSession& s)
{
    s.op.message(QStringLiteral("WARNING"), QStringLiteral("Invalid File Pathname"), Operator::Icon::Critical);
}

// The file the device sent, and one byte more when there is one: a longer file is no whole image.
bool readImage(const QString& path, QByteArray& image)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    image = f.read(basUIF::UIFCollectSize + 1);
    return f.error() == QFileDevice::NoError;
}
}  // namespace

bool ReceiveImage(SetupSession& s, int index, QByteArray& image, const FlowStarted& started)
{
    // A private folder: no other program can plant or read work.bin, and it goes on every way out.
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/work.bin");
    if (!dir.isValid() || basMain::PrepareNewFile(path) < 0) {
        invalidPath(s);
        return false;
    }
    Started(started);

    const bool running = index == ReceiveRunning;
    s.log.WriteLogRecord(LogFile::Send, running ? QStringLiteral("RAM Config") : QStringLiteral("ROM Config"));
    s.showLogged(LogFile::Neutral,
           running ? QStringLiteral("Copy Command Send.(RUNNING->RAM)") : QStringLiteral("Copy Command Send.(ROM->RAM)"));
    s.uif.UIFCollect = false;
    // The copy into RAM names the receive that follows, without a file.
    const CopyFields copy{frmTFR::ConfigFromDevice, basTFTP::TFTPServerPort, QString()};
    if (!CopyStores(s, running ? frmTFR::RUNNING : frmTFR::ROM, frmTFR::RAM, CopyStatusLine::St, copy)) return false;
    s.showLogged(LogFile::Recv, QStringLiteral("Copy Command normal end."));

    basTFTP::Transfer transfer;
    transfer.type = frmTFR::ConfigFromDevice;
    basTFTP::SetTransferFile(transfer.file, path);
    s.showLogged(LogFile::Send, QStringLiteral("Config Data receive transfer request."));
    if (s.tfr.TFTP_StartRequest(transfer) != 0) {
        ShowTransferError(s, QStringLiteral("Config Data receive transfer Error."), s.tfr.TFRMessage);
        return false;
    }
    if (!readImage(path, image)) {
        ShowTransferError(s, QStringLiteral("Config Data receive transfer Error."), QStringLiteral("TFTP File Open Error."));
        return false;
    }
    if (s.wholeImagesOnly) {
        const QString fault = ImageFault(image, s.knownRecordsOnly);
        if (!fault.isEmpty()) {
            ShowTransferError(s, QStringLiteral("Config Data receive transfer Error."), fault);
            return false;
        }
    }
    // The window shows what a store's worth of it holds.
    image.truncate(basUIF::UIFCollectSize);
    // Every receive says so, whether the records become text, a verification or a diff.
    s.showLogged(LogFile::Recv, QStringLiteral("Config Data receive transfer complete."));
    return true;
}

ReceiveResult RunReceive(SetupSession& s, const QString& addressText, int index, const FlowStarted& started)
{
    ReceiveResult result;
    const FlowClaim claim(s, index == ReceiveRunning ? QStringLiteral("RAM Config") : QStringLiteral("ROM Config"));
    if (!claim) return result;
    if (s.CheckIPAddress(addressText) != 0) {
        result.addressRejected = true;
        return result;
    }
    s.lstStatus.MesgDisp(QString());
    QByteArray image;
    if (!ReceiveImage(s, index, image, started)) return result;

    s.Statelist.clear();
    // One line each, as the device holds it: a text field holding a backslash and "n" stays
    // one line of the saved file.
    for (const QString& line : FormatImage(image)) s.Statelist.MesgDisp_sub(line);
    result.received = true;
    result.image = image;

    const QString path = s.op.saveFile(TextFileFilter(), QString(), QString());
    if (path.isEmpty()) return result;
    // Only a file that would be replaced is asked about: a device or FIFO is written in place.
    if (SafeSave::Resolve(path).kind == SafeSave::Kind::File &&
        s.op.message(QStringLiteral("Configuration Data Save"), QStringLiteral("File Exist. Overwrite\uFF1F"),
                     Operator::Icon::Exclamation, Operator::Buttons::YesNo) != Operator::Answer::Yes)
        return result;
    if (!WriteTextLines(path, s.Statelist.lines(), &result.saveError)) {
        // The old file, if any, is still there: nothing was replaced.
        const QString text = QStringLiteral("File Write Error.(Disk Full?)");
        s.showIndented(text);
        s.log.WriteLogRecord(LogFile::Recv, text);
        result.saveFailed = true;
        return result;
    }
    result.savedPath = path;
    return result;
}

}  // namespace config
