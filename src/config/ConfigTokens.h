#pragma once
// Tokens of one line: runs of characters between spaces and tabs.
#include <QByteArray>
#include <QList>

namespace config {

class TokenCursor {
public:
    void reset(const QByteArray& line)
    {
        line_ = line;
        pos_ = 0;
        token_.clear();
    }

    // Skips spaces and tabs and takes the run up to the next one. At the end of the line the token
    // is empty and stays so. The token becomes the current token.
    const QByteArray& NextToken();
    const QByteArray& current() const { return token_; }
    // The tokens not read yet, leaving the position where it is.
    QList<QByteArray> Remaining() const;
    // The whole line, every token of it.
    const QByteArray& line() const { return line_; }

private:
    QByteArray line_;
    qsizetype pos_ = 0;
    QByteArray token_;
};

}  // namespace config
