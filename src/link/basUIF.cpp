#include "link/basUIF.h"

namespace basUIF {

namespace {
bool fits(const QByteArray& buf, int offset, int width) { return offset >= 0 && offset + width <= buf.size(); }
}  // namespace

void MakeUIFHeader(QByteArray& buf, const UIFHeader& header)
{
    buf.fill(char(0xFF), UIFPacketSize);
    basConv::PutIntBE(header.ReplyFlag, buf, 0);
    basConv::PutIntBE(header.CmdCode, buf, 2);
    basConv::PutLongBE(header.Ident, buf, 4);
}

void PutUIFLong(QByteArray& buf, qint32 value, int off)
{
    if (fits(buf, UIFHeaderSize + off, 4)) basConv::PutLongBE(value, buf, UIFHeaderSize + off);
}

void PutUIFInt(QByteArray& buf, qint16 value, int off)
{
    if (fits(buf, UIFHeaderSize + off, 2)) basConv::PutIntBE(value, buf, UIFHeaderSize + off);
}

void PutUIFByte(QByteArray& buf, uint8_t value, int off)
{
    if (fits(buf, UIFHeaderSize + off, 1)) buf[UIFHeaderSize + off] = char(value);
}

void PutUIFMac(QByteArray& buf, const basConv::Mac& mac, int off)
{
    if (!fits(buf, UIFHeaderSize + off, 6)) return;
    for (int i = 0; i < 6; ++i) buf[UIFHeaderSize + off + i] = char(mac[i]);
}

void PutUIFString(QByteArray& buf, const QByteArray& text, int off)
{
    int pos = UIFHeaderSize + off;
    for (char c : text) {
        if (pos >= buf.size()) return;
        buf[pos++] = c;
    }
    if (pos < buf.size()) buf[pos] = 0;
}

UIFHeader ReadUIFReply(const QByteArray& buf)
{
    UIFHeader h;
    if (buf.size() < UIFHeaderSize) return h;
    h.ReplyFlag = basConv::GetIntBE(buf, 0);
    h.CmdCode = basConv::GetIntBE(buf, 2);
    h.Ident = basConv::GetLongBE(buf, 4);
    h.Status = basConv::GetLongBE(buf, 8);
    return h;
}

qint32 GetUIFLong(const QByteArray& buf, int off)
{
    return fits(buf, UIFHeaderSize + off, 4) ? basConv::GetLongBE(buf, UIFHeaderSize + off) : 0;
}

qint16 GetUIFInt(const QByteArray& buf, int off)
{
    return fits(buf, UIFHeaderSize + off, 2) ? basConv::GetIntBE(buf, UIFHeaderSize + off) : 0;
}

uint8_t GetUIFByte(const QByteArray& buf, int off)
{
    return fits(buf, UIFHeaderSize + off, 1) ? uint8_t(buf[UIFHeaderSize + off]) : 0;
}

basConv::Mac GetUIFMac(const QByteArray& buf, int off)
{
    basConv::Mac mac{};
    if (fits(buf, UIFHeaderSize + off, 6))
        for (int i = 0; i < 6; ++i) mac[i] = uint8_t(buf[UIFHeaderSize + off + i]);
    return mac;
}

QByteArray GetUIFString(const QByteArray& buf, int off, int maxCount)
{
    QByteArray text;
    for (int pos = UIFHeaderSize + off; pos >= 0 && pos < buf.size() && text.size() < maxCount; ++pos) {
        if (buf[pos] == 0) break;
        text += buf[pos];
    }
    return text;
}

namespace {
// Text of a code alone ("ACK(Normal end)"); -1 needs the link state.
QString UIFStatusWord(qint32 code, int uifState, const QString& uifMessage, Dialect dialect)
{
    switch (code) {
    case 0: return QStringLiteral("ACK(Normal end)");
    case 1: return QStringLiteral("ErrACK(Failed)");
    case 2: return QStringLiteral("ErrACK(No such NetIF)");
    case 3: return QStringLiteral("ErrACK(Invalid parameter)");
    case 4: return QStringLiteral("ErrACK(No entry)");
    case 5: return QStringLiteral("ErrACK(Table full)");
    case 6: return QStringLiteral("ErrACK(Invalid gateway)");
    case 7: return QStringLiteral("ErrACK(TFTP failed)");
    case 8: return QStringLiteral("ErrACK(Invalid copy request)");
    case 9: return QStringLiteral("ErrACK(Obsolete command)");
    case 10: return QStringLiteral("ErrACK(No object)");
    case 11: return dialect == Dialect::Set ? QStringLiteral("ErrACK(Not Supported feature)") : QString();
    case 12: return dialect == Dialect::Set ? QStringLiteral("ErrACK(Not accesslist)") : QString();
    case -1: return QStringLiteral("Proto-Err(%1,%2)").arg(uifState).arg(uifMessage);
    case -2: return QStringLiteral("Invalid Command");
    case -3: return QStringLiteral("Invalid Parameter");
    case -4: return QStringLiteral("TFTP start failed");
    case -5: return QStringLiteral("TFTP Transfer failed");
    case -6: return QStringLiteral("Operator Break");
    default: return QString();
    }
}

}  // namespace

QString UIFStatusText(qint32 code, int uifState, const QString& uifMessage, Dialect dialect)
{
    return QString::number(code) + ',' + UIFStatusWord(code, uifState, uifMessage, dialect) + '.';
}

}  // namespace basUIF
