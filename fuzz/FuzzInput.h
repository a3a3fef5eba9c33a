#pragma once
// What every fuzz target shares: a Qt application for sockets and timers, quiet Qt messages,
// and the reader that splits one input into a selector byte and datagrams.
#include <QByteArray>
#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

namespace fuzz {

// Sockets and timers need an application object; Qt's own warnings would only slow the run.
inline void StartApp()
{
    static int argc = 1;
    static char name[] = "qln-fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = nullptr;
    if (app) return;
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    app = new QCoreApplication(argc, argv);
}

// An input is read front to back: single bytes, then chunks of a 2-byte big-endian length and
// that many bytes (fewer when the input ends first). Past the end, bytes read 0 and chunks are
// empty.
class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool atEnd() const { return pos_ >= size_; }
    uint8_t byte() { return atEnd() ? 0 : data_[pos_++]; }
    QByteArray chunk()
    {
        size_t n = size_t(byte()) << 8;
        n |= byte();
        if (n > size_ - pos_) n = size_ - pos_;
        const QByteArray bytes(reinterpret_cast<const char*>(data_ + pos_), qsizetype(n));
        pos_ += n;
        return bytes;
    }
    // What is left, whole.
    QByteArray rest()
    {
        const QByteArray bytes(reinterpret_cast<const char*>(data_ + pos_), qsizetype(size_ - pos_));
        pos_ = size_;
        return bytes;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

}  // namespace fuzz
