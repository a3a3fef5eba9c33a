#pragma once
// Parameter conversions of command lines. Each Next* reads the next token and converts it; on any
// failure (also an empty token) it returns false and the token stays current for the message.
#include "config/ConfigTokens.h"
#include "link/basConv.h"

namespace config {

struct IfRef {
    qint32 if_type = 0;
    qint32 if_num = 0;
};

// "eth" + number text gives if_type 1, "rs" + number text if_type 2. The number text is at most
// three characters (the rest of the name is ignored), decimal or "0x" hexadecimal.
bool ParseNetIf(const QByteArray& name, IfRef& ifRef);

// Digits only, at least one.
bool IsDecimalNumber(const QByteArray& text);
// The value of a decimal number, held at UINT64_MAX rather than wrapping on very long texts.
quint64 DecimalValue(const QByteArray& text);

bool NextNetIf(TokenCursor& t, IfRef& ifRef);
bool NextIp(TokenCursor& t, qint32& value);
bool NextMac(TokenCursor& t, basConv::Mac& mac);
bool NextByte(TokenCursor& t, uint8_t& value);
bool NextNum16(TokenCursor& t, qint16& value);
bool NextNum32(TokenCursor& t, qint32& value);

}  // namespace config
