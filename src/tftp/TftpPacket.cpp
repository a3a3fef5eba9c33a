#include "tftp/TftpPacket.h"

namespace basTFTP {

namespace {
void putWord(QByteArray& out, quint16 value)
{
    out.append(char(value >> 8));
    out.append(char(value & 0xFF));
}
quint16 wordAt(const QByteArray& d, int offset)
{
    if (d.size() < offset + 2) return 0;
    return quint16((quint8(d[offset]) << 8) | quint8(d[offset + 1]));
}
}  // namespace

QByteArray MakeRequest(quint16 opcode, const QByteArray& name, const QByteArray& mode)
{
    QByteArray out;
    putWord(out, opcode);
    out.append(name).append('\0').append(mode).append('\0');
    return out;
}

QByteArray MakeData(quint16 block, const QByteArray& bytes)
{
    QByteArray out;
    out.reserve(4 + bytes.size());
    putWord(out, OpDATA);
    putWord(out, block);
    out.append(bytes);
    return out;
}

QByteArray MakeAck(quint16 block)
{
    QByteArray out;
    putWord(out, OpACK);
    putWord(out, block);
    return out;
}

QByteArray MakeError(quint16 code)
{
    QByteArray out;
    putWord(out, OpERROR);
    putWord(out, code);
    out.append('\0');
    return out;
}

quint16 PacketOpcode(const QByteArray& datagram) { return wordAt(datagram, 0); }
quint16 PacketBlock(const QByteArray& datagram) { return wordAt(datagram, 2); }

}  // namespace basTFTP
