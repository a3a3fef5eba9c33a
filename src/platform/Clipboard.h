#pragma once
#include <QString>

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void clear() = 0;
    virtual void setText(const QString& text) = 0;
};

// Keeps the text in memory: for the command line and tests.
class MemoryClipboard : public Clipboard {
public:
    void clear() override { text_.clear(); }
    void setText(const QString& text) override { text_ = text; }
    QString text() const { return text_; }

private:
    QString text_;
};
