#include "config/DiffFlow.h"

#include "config/ConversionFlow.h"
#include "config/ImageCompare.h"
#include "config/LineDiff.h"
#include "config/ReceiveFlow.h"
#include "config/RecordWalk.h"
#include "shell/SetupSession.h"

namespace config {

DiffResult CompareWithDevice(const QByteArray& device, const QByteArray& wanted, const QString& deviceName, const QString& path)
{
    DiffResult result;
    result.unknownRecords = UnknownRecordNotes(device);
    const ImageComparison cmp = CompareImages(device, wanted);
    result.records = cmp.records;
    result.differing = cmp.differing.size();
    if (cmp.identical()) {
        result.status = DiffResult::Identical;
        return result;
    }
    result.status = DiffResult::Different;
    result.diff = UnifiedDiff(FormatImage(device), FormatImage(wanted), deviceName, path);
    return result;
}

DiffResult RunConfigDiff(SetupSession& s, const QString& addressText, const QString& path, int index)
{
    DiffResult result;
    const FlowClaim claim(s, QStringLiteral("Config Diff"));
    if (!claim) return result;
    if (s.CheckIPAddress(addressText) != 0 || !CheckConfigFile(s, path)) return result;
    ConversionResult conversion;
    if (!ConvertToImage(s, path, conversion) || conversion.status != 0) return result;
    const QByteArray wanted = s.uif.UIFCollectBuf;

    QByteArray device;
    if (!ReceiveImage(s, index, device)) return result;
    const QString store = index == ReceiveRunning ? QStringLiteral("running") : QStringLiteral("rom");
    return CompareWithDevice(device, wanted, QStringLiteral("device ") + store, path);
}

}  // namespace config
