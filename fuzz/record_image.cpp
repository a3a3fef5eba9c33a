// The record walk and the formatter on an image's bytes, as a received "work.bin" or a backup
// reaches them: the lines, the walk record by record, and the fault of a backup.
#include "FuzzInput.h"
#include "config/RecordWalk.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::StartApp();
    const QByteArray image(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList lines = config::FormatImage(image);
    const QList<config::WalkedRecord> walked = config::WalkImage(image);
    QStringList walkedLines;
    int last = -1;
    for (const config::WalkedRecord& r : walked) {
        if (r.index <= last || r.index > 70) std::abort();  // records come once each, in order
        last = r.index;
        walkedLines << r.lines;
    }
    if (walkedLines != lines) std::abort();
    (void)config::ImageFault(image);
    return 0;
}
