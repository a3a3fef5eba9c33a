#pragma once
// Where the parser's records go. An image sink appends them to a configuration image of its
// own, so encoding needs no UIF engine; a send sink hands each to the UIF link with ExecUIF.
#include "config/ConfigRecords.h"

class frmUIF;

namespace config {

class RecordSink {
public:
    virtual ~RecordSink() = default;
    // 0 stored or accepted, otherwise the status that stops the conversion.
    virtual qint32 Put(const AnyRecord& record) = 0;
};

// The 28672-byte image: 448 slots, 0xFF where nothing was stored. Records take consecutive
// Idents from `firstIdent` on, wrapping past 0x7FFFFFFF to 0.
class ImageSink final : public RecordSink {
public:
    explicit ImageSink(qint32 firstIdent = 0);
    // 3 when the image is full; the record is then not stored.
    qint32 Put(const AnyRecord& record) override;
    const QByteArray& image() const { return image_; }
    int pos() const { return pos_; }

private:
    QByteArray image_;
    int pos_ = 0;
    qint32 ident_ = 0;
};

// Gives each record the link's next Ident and returns what ExecUIF returns: the device's status
// or the link's failure; in collect mode, as the link appends to UIFCollectBuf, 0 or 3.
class SendSink final : public RecordSink {
public:
    explicit SendSink(frmUIF& uif) : uif_(uif) {}
    qint32 Put(const AnyRecord& record) override;

private:
    frmUIF& uif_;
};

}  // namespace config
