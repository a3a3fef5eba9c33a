// The configuration parser on a whole file's bytes, as `qln lint` and Apply convert it: the
// link in collect mode takes the records into its UIFCollectBuf. The same text into an image
// sink must give the same image and result, and the image must walk back into lines.
#include "FuzzInput.h"
#include "config/ConfigConversion.h"
#include "config/RecordSinks.h"
#include "config/RecordWalk.h"
#include "link/frmUIF.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::StartApp();
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));

    frmUIF uif(nullptr);
    uif.StartUIFCollect();
    uif.UIFCollect = true;
    config::SendSink send(uif);
    const config::ConversionResult applied = config::ConvertConfigBytes(text, send);
    uif.UIFCollect = false;
    (void)config::ShownText(config::ConversionResultText(applied));

    config::ImageSink image;
    const config::ConversionResult encoded = config::ConvertConfigBytes(text, image);
    if (encoded.status != applied.status || encoded.lineNumber != applied.lineNumber ||
        encoded.commandCount != applied.commandCount || encoded.token != applied.token ||
        image.image() != uif.UIFCollectBuf)
        std::abort();  // the two sinks of one conversion disagree
    (void)config::FormatImage(image.image());
    return 0;
}
