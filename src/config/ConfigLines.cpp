#include "config/ConfigLines.h"

#include <QIODevice>

#include <limits>

namespace config {

namespace {
constexpr qint64 ChunkBytes = 64 * 1024;
}

ConfigLineReader::ConfigLineReader(QIODevice& in) : in_(in)
{
    // Windows editors begin a UTF-8 file with a byte order mark: it is no part of the first line.
    if (in_.peek(3) == QByteArray("\xEF\xBB\xBF", 3)) in_.skip(3);
}

bool ConfigLineReader::fill()
{
    if (readFailed_) return false;
    buf_.resize(ChunkBytes);
    const qint64 n = in_.read(buf_.data(), ChunkBytes);
    if (n < 0) readFailed_ = true;
    buf_.resize(n > 0 ? qsizetype(n) : 0);
    pos_ = 0;
    return n > 0;
}

bool ConfigLineReader::ReadPhysicalLine(QByteArray& line, bool& tooLong)
{
    line.clear();
    tooLong = false;
    bool any = false;
    for (;;) {
        if (pos_ >= buf_.size() && !fill()) return any;
        if (skipLF_) {
            skipLF_ = false;
            if (buf_[pos_] == '\n') {
                ++pos_;
                continue;
            }
        }
        any = true;
        const char* data = buf_.constData();
        const char* p = data + pos_;
        const char* end = data + buf_.size();
        const char* q = p;
        while (q < end && *q != '\r' && *q != '\n') ++q;
        qsizetype take = q - p;
        if (line.size() + take > MaxLineBytes) {
            take = MaxLineBytes - line.size();
            tooLong = true;
        }
        line.append(p, take);
        pos_ = q - data;
        if (q < end) {
            skipLF_ = (*q == '\r');
            ++pos_;
            return true;
        }
    }
}

bool ConfigLineReader::NextLine(QByteArray& line, bool& tooLong, qint32& lineNumber)
{
    while (ReadPhysicalLine(line, tooLong)) {
        if (lineNumber < std::numeric_limits<qint32>::max()) ++lineNumber;
        // ";" marks a comment only as the very first character.
        if (!line.isEmpty() && line[0] != ';') return true;
    }
    return false;
}

}  // namespace config
