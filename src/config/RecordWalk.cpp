#include "config/RecordWalk.h"

#include "config/ConfigCodes.h"
#include "config/ConfigFormatter.h"
#include "config/ConfigRecords.h"
#include "link/basUIF.h"

namespace config {

namespace {
constexpr int RecordSize = basUIF::UIFPacketSize;
constexpr int WalkedRecordCount = 71;  // records 0..70: a received image is read no further

// Record `i` of the image; bytes missing from a short image read as erased (0xFF).
QByteArray slot(const QByteArray& image, int i)
{
    QByteArray record = image.mid(qsizetype(i) * RecordSize, RecordSize);
    record.append(QByteArray(RecordSize - record.size(), char(0xFF)));
    return record;
}

// 0xFFFF at offset 14 marks an erased slot: the end of the records.
bool isErased(const QByteArray& record)
{
    return basUIF::GetUIFInt(record, 14 - basUIF::UIFHeaderSize) == qint16(0xFFFF);
}
}  // namespace

QStringList FormatImage(const QByteArray& image)
{
    QStringList lines;
    for (const WalkedRecord& r : WalkImage(image)) lines << r.lines;
    return lines;
}

QList<WalkedRecord> WalkImage(const QByteArray& image)
{
    SectionFlags flags;
    QList<WalkedRecord> records;
    for (int i = 0; i < WalkedRecordCount; ++i) {
        const QByteArray record = slot(image, i);
        const int code = ReadRecordHead(record).code;
        if (IsConfigurationCode(code)) {
            records << WalkedRecord{i, code, FormatRecord(record, flags)};
            continue;
        }
        // Unknown codes are passed over, up to the erased end.
        if (isErased(record)) break;
    }
    return records;
}

namespace {
// The records the walk passes over: index and code of each, up to the erased end.
QList<QPair<int, quint16>> unknownRecords(const QByteArray& image)
{
    QList<QPair<int, quint16>> found;
    for (int i = 0; i < WalkedRecordCount; ++i) {
        const QByteArray record = slot(image, i);
        const int code = ReadRecordHead(record).code;
        if (IsConfigurationCode(code)) continue;
        if (isErased(record)) break;
        found.append({i, quint16(code)});
    }
    return found;
}
}  // namespace

QString ImageFault(const QByteArray& image, bool unknownIsFault)
{
    // A longer image may have been read only one byte past a store's size.
    if (image.size() > basUIF::UIFCollectSize)
        return QStringLiteral("the image is longer than %1 bytes").arg(basUIF::UIFCollectSize);
    if (image.size() != basUIF::UIFCollectSize)
        return QStringLiteral("the image is %1 bytes, not %2").arg(image.size()).arg(basUIF::UIFCollectSize);
    const auto unknown = unknownRecords(image);
    if (unknownIsFault && !unknown.isEmpty())
        return QStringLiteral("record %1 has unknown code %2").arg(unknown.first().first).arg(unknown.first().second);
    return QString();
}

QStringList UnknownRecordNotes(const QByteArray& image)
{
    QStringList notes;
    for (const auto& [index, code] : unknownRecords(image))
        notes << QStringLiteral("record %1 has code %2, which this tool does not know; left out").arg(index).arg(code);
    return notes;
}

}  // namespace config
