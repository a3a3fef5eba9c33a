#include "config/ImageCompare.h"

#include "link/basUIF.h"

namespace config {

namespace {
constexpr int RecordSize = basUIF::UIFPacketSize;
constexpr int Slots = basUIF::UIFCollectSize / RecordSize;
constexpr int IdentAt = 4;
constexpr int IdentSize = 4;

QByteArray slotOf(const QByteArray& image, int slot)
{
    QByteArray record = image.mid(slot * RecordSize, RecordSize);
    record.append(QByteArray(RecordSize - record.size(), char(0xFF)));
    return record;
}
bool erased(const QByteArray& record) { return record.count(char(0xFF)) == record.size(); }
}  // namespace

ImageComparison CompareImages(const QByteArray& expected, const QByteArray& actual)
{
    ImageComparison result;
    for (int i = 0; i < Slots; ++i) {
        QByteArray a = slotOf(expected, i);
        QByteArray b = slotOf(actual, i);
        if (erased(a) && erased(b)) continue;
        ++result.records;
        a.replace(IdentAt, IdentSize, QByteArray(IdentSize, 0));
        b.replace(IdentAt, IdentSize, QByteArray(IdentSize, 0));
        if (a != b) result.differing << i;
    }
    return result;
}

}  // namespace config
