#include "config/ConfigTokens.h"

namespace config {

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

const QByteArray& TokenCursor::NextToken()
{
    const qsizetype n = line_.size();
    const char* s = line_.constData();
    while (pos_ < n && isBlank(s[pos_])) ++pos_;
    qsizetype end = pos_;
    while (end < n && !isBlank(s[end])) ++end;
    token_ = line_.mid(pos_, end - pos_);
    pos_ = end;
    return token_;
}

QList<QByteArray> TokenCursor::Remaining() const
{
    TokenCursor rest = *this;
    QList<QByteArray> tokens;
    while (!rest.NextToken().isEmpty()) tokens << rest.current();
    return tokens;
}

}  // namespace config
