#include "link/basConv.h"

#include <QStringList>

namespace basConv {

namespace {
bool isDigit(char c) { return c >= '0' && c <= '9'; }
int hexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}
}  // namespace

qint32 UnsignedToLong(quint32 value) { return static_cast<qint32>(value); }

qint32 ParseNumber(const QByteArray& text, int& convError, NumberDialect dialect)
{
    convError = 0;
    if (text.startsWith("0x")) {
        if (text.size() < 3 || text.size() > 10) { convError = -1; return 0; }
        quint32 v = 0;
        for (int i = 2; i < text.size(); ++i) {
            const int h = hexValue(text[i]);
            if (h < 0) { convError = -2; return 0; }
            v = (v << 4) | quint32(h);
        }
        return UnsignedToLong(v);
    }
    const int maxLen = dialect == NumberDialect::Set ? 10 : 9;
    if (text.isEmpty() || text.size() > maxLen) { convError = -1; return 0; }
    quint64 v = 0;  // 64 bits, so ten digits never wrap before the range check
    for (char c : text) {
        if (!isDigit(c)) { convError = -2; return 0; }
        v = v * 10 + quint64(c - '0');
    }
    if (v > 4294967295ULL) { convError = -2; return 0; }
    return UnsignedToLong(quint32(v));
}

qint32 ParseIPv4(const QByteArray& textIn, int& convError)
{
    convError = 0;
    const QByteArray text = textIn + '.';
    quint32 bytes[4] = {0, 0, 0, 0};
    int parts = 0;
    int partStart = 0;
    for (int i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '.') {
            if (!isDigit(c)) convError = 3;
            continue;
        }
        const QByteArray part = text.mid(partStart, i - partStart);
        partStart = i + 1;
        quint32 value = 0;
        if (part.isEmpty() || part.size() > 3) {
            convError = 4;
        } else {
            bool digitsOnly = true;
            for (char d : part) {
                if (!isDigit(d)) digitsOnly = false;
                else value = value * 10 + quint32(d - '0');
            }
            if (!digitsOnly) value = 0;  // already flagged with 3
            if (value > 255) { convError = 2; value = 0; }
        }
        if (parts < 4) bytes[parts] = value;
        ++parts;
    }
    if (parts != 4) convError = 1;
    if (convError != 0) return 0;
    return UnsignedToLong((bytes[0] << 24) | (bytes[1] << 16) | (bytes[2] << 8) | bytes[3]);
}

namespace {
// One address part in decimal, without leading zeros.
char* putPart(char* p, unsigned v)
{
    if (v >= 100) *p++ = char('0' + v / 100);
    if (v >= 10) *p++ = char('0' + v / 10 % 10);
    *p++ = char('0' + v % 10);
    return p;
}
const char HexDigits[] = "0123456789ABCDEF";
}  // namespace

QString FormatIPv4(qint32 address)
{
    const quint32 a = quint32(address);
    char text[16];
    char* p = putPart(text, a >> 24);
    *p++ = '.';
    p = putPart(p, (a >> 16) & 0xFF);
    *p++ = '.';
    p = putPart(p, (a >> 8) & 0xFF);
    *p++ = '.';
    p = putPart(p, a & 0xFF);
    return QString::fromLatin1(text, p - text);
}

void ParseMAC(const QByteArray& textIn, Mac& mac, int& convError)
{
    convError = 0;
    mac.fill(0);
    const QByteArray text = textIn + ':';
    int parts = 0;
    int partStart = 0;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] != ':') continue;
        const QByteArray part = text.mid(partStart, i - partStart);
        partStart = i + 1;
        int value = 0;
        if (part.size() != 2) {
            convError = 1;
        } else {
            value = ParseHexByte(part);
            if (value < 0) { convError = 2; value = 0; }
        }
        if (parts < 6) mac[parts] = uint8_t(value);
        ++parts;
    }
    if (parts != 6) convError = 1;
}

QString FormatMAC(const uint8_t* bytes)
{
    char text[17];
    for (int i = 0; i < 6; ++i) {
        text[i * 3] = HexDigits[bytes[i] >> 4];
        text[i * 3 + 1] = HexDigits[bytes[i] & 0x0F];
        if (i < 5) text[i * 3 + 2] = ':';
    }
    return QString::fromLatin1(text, 17);
}

void PutLongBE(qint32 value, QByteArray& bytes, int offset)
{
    const quint32 v = quint32(value);
    bytes[offset] = char(v >> 24);
    bytes[offset + 1] = char(v >> 16);
    bytes[offset + 2] = char(v >> 8);
    bytes[offset + 3] = char(v);
}

void PutIntBE(qint16 value, QByteArray& bytes, int offset)
{
    const quint16 v = quint16(value);
    bytes[offset] = char(v >> 8);
    bytes[offset + 1] = char(v);
}

qint32 GetLongBE(const QByteArray& bytes, int offset)
{
    const auto b = [&](int i) { return quint32(uint8_t(bytes[offset + i])); };
    return qint32((b(0) << 24) | (b(1) << 16) | (b(2) << 8) | b(3));
}

qint16 GetIntBE(const QByteArray& bytes, int offset)
{
    return qint16(quint16((quint16(uint8_t(bytes[offset])) << 8) | uint8_t(bytes[offset + 1])));
}

int ParseHexByte(const QByteArray& text)
{
    if (text.size() != 2) return -1;
    const int hi = hexValue(text[0]);
    const int lo = hexValue(text[1]);
    if (hi < 0 || lo < 0) return -1;
    return hi * 16 + lo;
}

QString HexByteText(uint8_t byte)
{
    const char text[2] = {HexDigits[byte >> 4], HexDigits[byte & 0x0F]};
    return QString::fromLatin1(text, 2);
}

int SplitPath(const QString& path, QString& folder, QString& name)
{
    const int cut = qMax(path.lastIndexOf('/'), path.lastIndexOf('\\'));
    if (cut < 0) {
        folder.clear();
        name = path;
        return 1;
    }
    folder = path.left(cut + 1);
    name = path.mid(cut + 1);
    return 0;
}

}  // namespace basConv
