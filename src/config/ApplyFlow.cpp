#include "config/ApplyFlow.h"

#include "config/ConfigImage.h"
#include "config/ConversionFlow.h"
#include "config/CopyStores.h"
#include "config/ImageCompare.h"
#include "config/LineDiff.h"
#include "config/ReceiveFlow.h"
#include "config/RecordWalk.h"
#include "shell/SetupSession.h"
#include "tftp/TransferTexts.h"

namespace config {

ApplyResult RunApply(SetupSession& s, const QString& addressText, const QString& path, bool verify,
                     const FlowStarted& started)
{
    ApplyResult result;
    const FlowClaim claim(s, QStringLiteral("Configuration File Apply"));
    if (!claim) return result;
    s.lstStatus.MesgDisp(QString());
    if (s.CheckIPAddress(addressText) != 0) {
        result.addressRejected = true;
        return result;
    }
    if (!CheckConfigFile(s, path)) {
        result.fileRejected = true;
        return result;
    }
    Started(started);
    s.log.WriteLogRecord(LogFile::Send, QStringLiteral("Configuration File Apply"));
    ConversionResult conversion;
    if (!ConvertToImage(s, path, conversion) || conversion.status != 0) return result;
    result.image = s.uif.UIFCollectBuf;

    // The device is served the image converted here: Config.bin is the operator's copy of what
    // was sent, and another run writing it in the same folder cannot change what goes out.
    const QString imagePath = DefaultImagePath();
    // Written whole or not at all, before anything is sent.
    if (QString why; !WriteConfigImage(imagePath, result.image, &why)) {
        ShowTransferError(s, QStringLiteral("Config Data Transfer Error."),
                          basTFTP::WithSecondLine(QStringLiteral("File Write Error.(Disk Full?)"), imagePath + QStringLiteral(": ") + why));
        return result;
    }
    if (!SendToRunning(s, result.image, imagePath)) return result;
    result.applied = true;
    if (verify) result.verified = VerifyRunning(s, result.image);
    return result;
}

bool SendToRunning(SetupSession& s, const QByteArray& image, const QString& imagePath, bool* copySent)
{
    if (copySent) *copySent = false;
    basTFTP::Transfer transfer;
    transfer.type = frmTFR::ConfigToDevice;
    transfer.bytes = image;
    basTFTP::SetTransferFile(transfer.file, imagePath);
    s.show(QStringLiteral("Config Data Transfer Request Send."));
    if (s.tfr.TFTP_StartRequest(transfer) != 0) {
        ShowTransferError(s, QStringLiteral("Config Data Transfer Error."), s.tfr.TFRMessage);
        return false;
    }
    s.showLogged(LogFile::Recv, QStringLiteral("Config Data Transfer Complete."));
    if (copySent) *copySent = true;
    // The copy carries the type, port and name of the start just made.
    if (!CopyStores(s, frmTFR::RAM, frmTFR::RUNNING, CopyStatusLine::WideSt, CopyFields::Of(transfer))) return false;
    s.showLogged(LogFile::Recv, QStringLiteral("Current Configuration Update Complete."));
    return true;
}

bool VerifyRunning(SetupSession& s, const QByteArray& sent)
{
    QByteArray running;
    if (!ReceiveImage(s, ReceiveRunning, running)) {
        s.showLogged(LogFile::Recv, QStringLiteral("Verify: the running configuration could not be received."));
        return false;
    }
    const ImageComparison cmp = CompareImages(sent, running);
    if (cmp.identical()) {
        s.showLogged(LogFile::Recv, QStringLiteral("Verify: %1 records identical").arg(cmp.records));
        return true;
    }
    s.showLogged(LogFile::Recv, QStringLiteral("Verify: %1 of %2 records differ").arg(cmp.differing.size()).arg(cmp.records));
    for (const QString& line :
         UnifiedDiff(FormatImage(sent), FormatImage(running), QStringLiteral("sent"), QStringLiteral("device running")))
        s.lstStatus.MesgDisp_sub(line);
    return false;
}

}  // namespace config
