#include "config/ConfigParams.h"

#include "link/basMain.h"

#include <limits>

namespace config {

bool ParseNetIf(const QByteArray& name, IfRef& ifRef)
{
    qsizetype numberAt = 0;
    if (name.startsWith("eth")) {
        ifRef.if_type = 1;
        numberAt = 3;
    } else if (name.startsWith("rs")) {
        ifRef.if_type = 2;
        numberAt = 2;
    } else {
        return false;
    }
    qint32 number = 0;
    if (basMain::StrToLong(name.mid(numberAt, 3), number) != 0) return false;
    ifRef.if_num = number;
    return true;
}

bool IsDecimalNumber(const QByteArray& text)
{
    if (text.isEmpty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

quint64 DecimalValue(const QByteArray& text)
{
    constexpr quint64 max = std::numeric_limits<quint64>::max();
    quint64 v = 0;
    for (char c : text) {
        const quint64 d = quint64(c - '0');
        if (v > (max - d) / 10) return max;
        v = v * 10 + d;
    }
    return v;
}

bool NextNetIf(TokenCursor& t, IfRef& ifRef) { return ParseNetIf(t.NextToken(), ifRef); }
bool NextIp(TokenCursor& t, qint32& value) { return basMain::StrToIPv4(t.NextToken(), value) == 0; }
bool NextMac(TokenCursor& t, basConv::Mac& mac) { return basMain::StrToMAC(t.NextToken(), mac) == 0; }
bool NextByte(TokenCursor& t, uint8_t& value) { return basMain::StrToByte(t.NextToken(), value) == 0; }
bool NextNum16(TokenCursor& t, qint16& value) { return basMain::StrToInt(t.NextToken(), value) == 0; }
bool NextNum32(TokenCursor& t, qint32& value) { return basMain::StrToLong(t.NextToken(), value) == 0; }

}  // namespace config
