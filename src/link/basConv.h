#pragma once
// Conversions between the operator's texts and the binary fields of device packets.
// Parsers never throw: they return a value and leave an error code in `convError` (0 = valid).
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

namespace basConv {

using Mac = std::array<uint8_t, 6>;

// QLN_Set reads decimals of up to 10 digits (to 4294967295); QLN_Xfer only up to 9 digits.
enum class NumberDialect { Set, Xfer };

qint32 ParseNumber(const QByteArray& text, int& convError, NumberDialect dialect = NumberDialect::Set);
qint32 UnsignedToLong(quint32 value);
qint32 ParseIPv4(const QByteArray& text, int& convError);
// Address text typed or given on a command line: its UTF-8 bytes, so any character outside
// ASCII is refused like every other non-digit.
inline qint32 ParseIPv4(const QString& text, int& convError) { return ParseIPv4(text.toUtf8(), convError); }
QString FormatIPv4(qint32 address);
void ParseMAC(const QByteArray& text, Mac& mac, int& convError);
QString FormatMAC(const uint8_t* bytes);
inline QString FormatMAC(const Mac& mac) { return FormatMAC(mac.data()); }

void PutLongBE(qint32 value, QByteArray& bytes, int offset);
void PutIntBE(qint16 value, QByteArray& bytes, int offset);
qint32 GetLongBE(const QByteArray& bytes, int offset);
qint16 GetIntBE(const QByteArray& bytes, int offset);

int ParseHexByte(const QByteArray& text);
QString HexByteText(uint8_t byte);

// Splits at the last "/" or "\": folder keeps the separator. 0 when one was found, 1 when not.
int SplitPath(const QString& path, QString& folder, QString& name);

}  // namespace basConv
