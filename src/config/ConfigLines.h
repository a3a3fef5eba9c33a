#pragma once
// Physical lines of a configuration file, read as bytes. A line ends at CR LF, LF or CR; the last
// line may have no end. Only one line is held at a time.
#include <QByteArray>

class QIODevice;

namespace config {

class ConfigLineReader {
public:
    // A longer physical line keeps only its first bytes; the rest is read past and `tooLong` set.
    static constexpr qsizetype MaxLineBytes = 16 * 1024 * 1024;

    explicit ConfigLineReader(QIODevice& in);

    // One physical line without its end; false at the end of the input.
    bool ReadPhysicalLine(QByteArray& line, bool& tooLong);

    // The next line that is neither empty nor a ";" comment; every physical line read on the way
    // counts in `lineNumber`. False at the end of the input.
    bool NextLine(QByteArray& line, bool& tooLong, qint32& lineNumber);

    bool readFailed() const { return readFailed_; }

private:
    bool fill();

    QIODevice& in_;
    QByteArray buf_;
    qsizetype pos_ = 0;
    bool skipLF_ = false;  // the last line ended in CR: a following LF belongs to it
    bool readFailed_ = false;
};

}  // namespace config
