#include "config/SafeApplyFlow.h"

#include "config/AddressGuard.h"
#include "config/ApplyFlow.h"
#include "config/ConfigImage.h"
#include "config/ConversionFlow.h"
#include "config/CopyStores.h"
#include "config/LintWarnings.h"
#include "config/ReceiveFlow.h"
#include "config/RecordWalk.h"
#include "shell/SetupSession.h"
#include "shell/TextLinesFile.h"
#include "tftp/TransferTexts.h"
#include "tftp/basTFTP.h"

namespace config {

namespace {

using Outcome = SafeApplyResult::Outcome;

class SafeApply {
public:
    SafeApply(SetupSession& s, const QString& path, const SafeApplyOptions& o, SafeApplyResult& r)
        : s_(s), path_(path), o_(o), r_(r), stops_(s.stopCount())
    {
    }

    void run()
    {
        QByteArray wanted;
        if (!preflight(wanted) || !compare(wanted) || !guard(wanted)) return;
        if (o_.checkOnly) {
            line(LogFile::Recv, QStringLiteral("Check: %1 of %2 records would change; nothing was sent.")
                                    .arg(r_.diff.differing).arg(r_.diff.records));
            r_.outcome = Outcome::Done;
            return;
        }
        if (!backup() || !applyAndVerify(wanted) || !reachable() || !saveToRom()) return;
        r_.outcome = Outcome::Done;
        line(LogFile::Recv, r_.saved ? QStringLiteral("Safe Apply complete: applied, verified, answering, saved to ROM.")
                                     : QStringLiteral("Safe Apply complete: applied, verified, answering."));
    }

private:
    bool stopped() const { return s_.stopCount() != stops_; }
    void step(const QString& name) { line(LogFile::Send, QStringLiteral("Safe Apply: ") + name); }
    void line(LogFile::Kind kind, const QString& text) { s_.showLogged(kind, text); }

    // A failure before the running configuration was touched.
    bool asBefore(const QString& error, const QString& text)
    {
        r_.error = stopped() ? QStringLiteral("stopped; nothing was changed") : error;
        line(LogFile::Recv, stopped() ? QStringLiteral("Stopped: the device's configuration is unchanged.") : text);
        r_.outcome = Outcome::AsBefore;
        return false;
    }

    bool preflight(QByteArray& wanted)
    {
        step(QStringLiteral("pre-flight"));
        ConversionResult conversion;
        if (!ConvertToImage(s_, path_, conversion) || conversion.status != 0)
            return asBefore(QStringLiteral("the file does not convert"),
                            QStringLiteral("The file does not convert: nothing was received or sent."));
        wanted = s_.uif.UIFCollectBuf;
        QStringList warnings;
        LintFileWarnings(path_, warnings);
        for (const QString& w : warnings) {
            s_.show(ShownText(w));
            s_.log.WriteLogRecord(LogFile::Neutral, w);
        }
        if (o_.strict && !warnings.isEmpty())
            return asBefore(QStringLiteral("%1 lint warnings").arg(warnings.size()),
                            QStringLiteral("%1 lint warnings fail the strict run: nothing was received or sent.").arg(warnings.size()));
        if (stopped()) return asBefore(QString(), QString());
        return true;
    }

    bool compare(const QByteArray& wanted)
    {
        step(QStringLiteral("compare with the running configuration"));
        QByteArray running;
        if (!ReceiveImage(s_, ReceiveRunning, running))
            return asBefore(QStringLiteral("the running configuration could not be received"),
                            QStringLiteral("The running configuration could not be received: nothing was sent."));
        // Only a whole store can be put back.
        if (const QString fault = ImageFault(running, false); !fault.isEmpty())
            return asBefore(QStringLiteral("the running configuration received is no whole store: ") + fault,
                            QStringLiteral("No backup: ") + fault + QStringLiteral("; nothing was sent."));
        r_.before = running;
        r_.diff = CompareWithDevice(running, wanted, QStringLiteral("device running"), path_);
        r_.compared = true;
        r_.changed = r_.diff.status == DiffResult::Different;
        if (!r_.changed) {
            r_.outcome = Outcome::Done;
            line(LogFile::Recv, QStringLiteral("Compare: %1 records identical: nothing changes, nothing was sent.").arg(r_.diff.records));
            return false;
        }
        line(LogFile::Recv, QStringLiteral("Compare: %1 of %2 records differ").arg(r_.diff.differing).arg(r_.diff.records));
        for (const QString& d : r_.diff.diff) s_.lstStatus.MesgDisp_sub(d);
        if (stopped()) return asBefore(QString(), QString());
        return true;
    }

    bool guard(const QByteArray& wanted)
    {
        const std::optional<AddressChange> change = ManagementAddressChange(r_.before, wanted, s_.uif.remoteHost());
        if (!change) return true;
        step(QStringLiteral("management address"));
        if (!o_.allowAddressChange)
            return asBefore(QStringLiteral("the file changes the management address"),
                            QStringLiteral("Refused: ") + AddressChangeText(*change) + QStringLiteral(" Nothing was sent."));
        addressChange_ = change;
        line(LogFile::Neutral, QStringLiteral("Allowed: ") + AddressChangeText(*change));
        return true;
    }

    bool backup()
    {
        step(QStringLiteral("backup"));
        if (!o_.backupPath.isEmpty()) {
            QString why;
            if (!WriteTextLines(o_.backupPath, FormatImage(r_.before), &why))
                return asBefore(QStringLiteral("the backup could not be written: ") + why,
                                QStringLiteral("Backup Write Error: ") + o_.backupPath + QStringLiteral(": ") + why +
                                    QStringLiteral("; nothing was sent."));
            r_.backup = o_.backupPath;
            line(LogFile::Recv, QStringLiteral("Backup: the running configuration is kept, and written to ") + o_.backupPath);
        } else {
            line(LogFile::Recv, QStringLiteral("Backup: the running configuration is kept."));
        }
        if (stopped()) return asBefore(QString(), QString());
        return true;
    }

    bool applyAndVerify(const QByteArray& wanted)
    {
        step(QStringLiteral("apply and verify"));
        // Config.bin is the operator's copy of what was sent, as Apply leaves it.
        if (QString why; !WriteConfigImage(imagePath_, wanted, &why)) {
            ShowTransferError(s_, QStringLiteral("Config Data Transfer Error."),
                              basTFTP::WithSecondLine(QStringLiteral("File Write Error.(Disk Full?)"), imagePath_ + QStringLiteral(": ") + why));
            return asBefore(QStringLiteral("Config.bin could not be written"), QStringLiteral("Nothing was sent."));
        }
        bool copySent = false;
        if (!SendToRunning(s_, wanted, imagePath_, &copySent)) {
            // Before the copy the running configuration is the one it was.
            if (!copySent) return asBefore(QStringLiteral("the transfer failed"), QStringLiteral("The running configuration was not changed."));
            return rollBack(stopped() ? QStringLiteral("stopped") : QStringLiteral("the copy into the running configuration failed"));
        }
        r_.applied = true;
        if (addressChange_) {
            // Nothing answers at the old address any more: what follows is asked of the new one.
            r_.outcome = Outcome::Done;
            line(LogFile::Recv, addressChange_->newAddress.isEmpty()
                                    ? QStringLiteral("Applied: %1 has no address now; the device is not verified or saved from here.")
                                          .arg(addressChange_->interfaceName)
                                    : QStringLiteral("Applied: the device is not verified or saved from here; ask it at %1.")
                                          .arg(addressChange_->newAddress));
            return false;
        }
        if (stopped()) return rollBack(QStringLiteral("stopped"));
        r_.verified = VerifyRunning(s_, wanted);
        if (stopped()) return rollBack(QStringLiteral("stopped"));
        if (!r_.verified) return rollBack(QStringLiteral("the running configuration is not the one sent"));
        return true;
    }

    // The echo test, its lines shown and logged.
    bool answers()
    {
        s_.uif.UIFCollect = false;
        s_.uif.BuildLongRequest(0, 0x12345678);
        const qint32 status = s_.uif.ExecUIF();
        if (status == 0) {
            line(LogFile::Recv, QStringLiteral("Echo Command Normal end."));
            return true;
        }
        const QString st = s_.uif.UIFStatusText(status);
        s_.show(QStringLiteral("Echo Command Error."));
        s_.showIndented(QStringLiteral(" St: ") + st);
        s_.log.WriteLogRecord(LogFile::Recv, QStringLiteral("Echo Command Error.  St: ") + st);
        return false;
    }

    bool reachable()
    {
        step(QStringLiteral("reachability"));
        if (!answers()) return rollBack(stopped() ? QStringLiteral("stopped") : QStringLiteral("the device does not answer the echo test"));
        if (stopped()) return rollBack(QStringLiteral("stopped"));
        return true;
    }

    bool saveToRom()
    {
        if (!o_.save) return true;
        step(QStringLiteral("save"));
        s_.uif.UIFCollect = false;
        const CopyFields copy{frmTFR::ConfigToDevice, basTFTP::TFTPServerPort, QString()};
        if (CopyStores(s_, frmTFR::RUNNING, frmTFR::ROM, CopyStatusLine::Bare, copy)) {
            line(LogFile::Recv, QStringLiteral("Current Configuration Save Complete."));
            r_.saved = true;
            return true;
        }
        r_.outcome = Outcome::Changed;
        r_.error = stopped() ? QStringLiteral("stopped during the save to ROM") : QStringLiteral("the save to ROM failed");
        line(LogFile::Recv, QStringLiteral("Not saved: the new configuration runs, verified; ROM may still hold the one before, "
                                           "which a restart brings back. Save again to keep the new one."));
        return false;
    }

    // Puts the backup back after `why`; always false (the apply failed).
    bool rollBack(const QString& why)
    {
        step(QStringLiteral("roll back (") + why + QStringLiteral(")"));
        const int stopsBefore = s_.stopCount();
        r_.outcome = Outcome::Changed;
        if (!answers()) {
            r_.error = why + QStringLiteral("; the device no longer answers");
            return notRolledBack(QStringLiteral("The device no longer answers at %1.").arg(s_.deviceText));
        }
        if (SendToRunning(s_, r_.before, imagePath_) && VerifyRunning(s_, r_.before)) {
            r_.rolledBack = true;
            r_.outcome = Outcome::AsBefore;
            r_.error = why + QStringLiteral("; rolled back");
            line(LogFile::Recv, QStringLiteral("Rolled back: the running configuration is the one the device had before."));
            return false;
        }
        r_.error = why + (s_.stopCount() != stopsBefore ? QStringLiteral("; the roll back was stopped")
                                                         : QStringLiteral("; the roll back failed"));
        return notRolledBack(QStringLiteral("Not rolled back: the running configuration may be the new one or neither."));
    }

    bool notRolledBack(const QString& text)
    {
        line(LogFile::Recv, text);
        line(LogFile::Recv, QStringLiteral("Its saved configuration in ROM is unchanged: a restart of the device restores it."));
        if (!r_.backup.isEmpty())
            line(LogFile::Neutral, QStringLiteral("The configuration before is in ") + r_.backup + QStringLiteral(": apply it again once the device answers."));
        return false;
    }

    SetupSession& s_;
    const QString path_;
    const SafeApplyOptions& o_;
    SafeApplyResult& r_;
    const int stops_;
    const QString imagePath_ = DefaultImagePath();
    std::optional<AddressChange> addressChange_;
};

}  // namespace

SafeApplyResult RunSafeApply(SetupSession& s, const QString& addressText, const QString& path,
                             const SafeApplyOptions& options, const FlowStarted& started)
{
    SafeApplyResult result;
    const FlowClaim claim(s, QStringLiteral("Configuration File Safe Apply"));
    if (!claim) {
        result.error = QStringLiteral("another operation is running");
        return result;
    }
    s.lstStatus.MesgDisp(QString());
    if (s.CheckIPAddress(addressText) != 0) {
        result.addressRejected = true;
        result.error = QStringLiteral("Invalid IP Address");
        return result;
    }
    if (!CheckConfigFile(s, path)) {
        result.fileRejected = true;
        result.error = QStringLiteral("Invalid file pathname");
        return result;
    }
    Started(started);
    s.log.WriteLogRecord(LogFile::Send, options.checkOnly ? QStringLiteral("Configuration File Safe Apply (check)")
                                                          : QStringLiteral("Configuration File Safe Apply"));
    SafeApply(s, path, options, result).run();
    return result;
}

}  // namespace config
