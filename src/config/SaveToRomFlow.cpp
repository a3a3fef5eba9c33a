#include "config/SaveToRomFlow.h"

#include "config/CopyStores.h"
#include "shell/SetupSession.h"
#include "tftp/basTFTP.h"

namespace config {

SaveResult RunSaveToRom(SetupSession& s, const QString& addressText, const FlowStarted& started)
{
    SaveResult result;
    s.lstStatus.MesgDisp(QString());
    if (s.CheckIPAddress(addressText) != 0) {
        result.addressRejected = true;
        return result;
    }
    Started(started);
    s.log.WriteLogRecord(LogFile::Send, QStringLiteral("Save"));
    // No transfer goes with this copy: it carries type 0 and no file name.
    s.tfr.TFRType = frmTFR::ConfigToDevice;
    s.tfr.TFRPort = basTFTP::TFTPServerPort;
    s.tfr.TFRFileName.clear();
    s.uif.UIFCollect = false;
    if (!CopyStores(s, frmTFR::RUNNING, frmTFR::ROM, CopyStatusLine::Bare)) return result;
    s.showLogged(LogFile::Recv, QStringLiteral("Current Configuration Save Complete."));
    result.saved = true;
    return result;
}

}  // namespace config
