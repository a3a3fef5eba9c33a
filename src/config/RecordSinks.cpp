#include "config/RecordSinks.h"

#include "link/basUIF.h"
#include "link/frmUIF.h"

namespace config {

ImageSink::ImageSink(qint32 firstIdent) : image_(basUIF::UIFCollectSize, char(0xFF)), ident_(firstIdent) {}

qint32 ImageSink::Put(const AnyRecord& record)
{
    if (pos_ + basUIF::UIFPacketSize > image_.size()) return 3;
    image_.replace(pos_, basUIF::UIFPacketSize, BuildAnyRecord(record, ident_));
    pos_ += basUIF::UIFPacketSize;
    ident_ = ident_ >= 0x7FFFFFFF ? 0 : ident_ + 1;
    return 0;
}

qint32 SendSink::Put(const AnyRecord& record)
{
    uif_.UIFRequestBuf = BuildAnyRecord(record, uif_.NextUIFIdent());
    return uif_.ExecUIF();
}

}  // namespace config
