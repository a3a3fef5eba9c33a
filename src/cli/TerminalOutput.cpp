#include "cli/TerminalOutput.h"

#include <cerrno>
#include <unistd.h>

namespace {
const QByteArray Replacement("\xEF\xBF\xBD");
bool isC0OrDel(uchar c) { return (c < 0x20 && c != '\t' && c != '\n') || c == 0x7F; }
}  // namespace

QByteArray TerminalSafeBytes(const char* data, qint64 size, bool& heldC2)
{
    QByteArray out;
    out.reserve(qsizetype(size) + 8);
    for (qint64 i = 0; i < size; ++i) {
        const uchar c = uchar(data[i]);
        if (heldC2) {
            heldC2 = false;
            // U+0080..U+009F are C2 80..C2 9F in UTF-8.
            if (c >= 0x80 && c <= 0x9F) {
                out += Replacement;
                continue;
            }
            out += char(0xC2);
        }
        if (c == 0xC2) heldC2 = true;
        else if (isC0OrDel(c)) out += Replacement;
        else out += char(c);
    }
    return out;
}

TerminalOutput::TerminalOutput(int fd, bool terminal) : fd_(fd), terminal_(terminal)
{
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

TerminalOutput::~TerminalOutput()
{
    if (heldC2_) put(QByteArray(1, char(0xC2)));
}

bool TerminalOutput::put(const QByteArray& bytes)
{
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, size_t(left));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        left -= n;
    }
    return true;
}

qint64 TerminalOutput::writeData(const char* data, qint64 size)
{
    if (!terminal_) return put(QByteArray::fromRawData(data, qsizetype(size))) ? size : -1;
    return put(TerminalSafeBytes(data, size, heldC2_)) ? size : -1;
}

void TerminalOutput::writeControl(const QByteArray& bytes)
{
    if (heldC2_) {
        heldC2_ = false;
        put(QByteArray(1, char(0xC2)));
    }
    put(bytes);
}
