#include "config/SaveToRomFlow.h"

#include "config/CopyStores.h"
#include "shell/SetupSession.h"
#include "tftp/basTFTP.h"

namespace config {

SaveResult RunSaveToRom(SetupSession& s, const QString& addressText, const FlowStarted& started)
{
    SaveResult result;
    const FlowClaim claim(s, QStringLiteral("Save"));
    if (!claim) return result;
    s.lstStatus.MesgDisp(QString());
    if (s.CheckIPAddress(addressText) != 0) {
        result.addressRejected = true;
        return result;
    }
    Started(started);
    s.log.WriteLogRecord(LogFile::Send, QStringLiteral("Save"));
    s.uif.UIFCollect = false;
    // No transfer goes with this copy: it carries type 0 and no file name.
    const CopyFields copy{frmTFR::ConfigToDevice, basTFTP::TFTPServerPort, QString()};
    if (!CopyStores(s, frmTFR::RUNNING, frmTFR::ROM, CopyStatusLine::Bare, copy)) return result;
    s.showLogged(LogFile::Recv, QStringLiteral("Current Configuration Save Complete."));
    result.saved = true;
    return result;
}

}  // namespace config
