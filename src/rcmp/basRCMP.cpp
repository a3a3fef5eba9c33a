#include "rcmp/basRCMP.h"

namespace basRCMP {

void PutRCMPPacket(QByteArray& buf, const RCMPPacket& p)
{
    if (buf.size() < RCMPPacketSize) buf.append(QByteArray(RCMPPacketSize - buf.size(), '\0'));
    buf[0] = char(p.Byte0);
    buf[1] = char(p.Byte1);
    buf[2] = char(p.Byte2);
    buf[3] = char(p.Byte3);
    basConv::PutIntBE(p.PacketID, buf, 4);
    basConv::PutIntBE(p.SeqNo, buf, 6);
    basConv::PutLongBE(p.Reserved8, buf, 8);
    basConv::PutIntBE(p.TTL, buf, 12);
    buf[14] = char(p.Result);
    buf[15] = char(p.Byte15);
    basConv::PutLongBE(p.TimeStamp, buf, 16);
    for (int i = 0; i < 6; ++i) buf[20 + i] = char(p.StationID[size_t(i)]);
}

RCMPPacket GetRCMPPacket(const QByteArray& in)
{
    // A whole datagram is read where it lies; a short one as if zeros followed.
    QByteArray padded;
    if (in.size() < RCMPFieldsSize) padded = in + QByteArray(RCMPFieldsSize - in.size(), '\0');
    const QByteArray& buf = in.size() < RCMPFieldsSize ? padded : in;
    RCMPPacket p;
    p.Byte0 = uint8_t(buf[0]);
    p.Byte1 = uint8_t(buf[1]);
    p.Byte2 = uint8_t(buf[2]);
    p.Byte3 = uint8_t(buf[3]);
    p.PacketID = basConv::GetIntBE(buf, 4);
    p.SeqNo = basConv::GetIntBE(buf, 6);
    p.Reserved8 = basConv::GetLongBE(buf, 8);
    p.TTL = basConv::GetIntBE(buf, 12);
    p.Result = uint8_t(buf[14]);
    p.Byte15 = uint8_t(buf[15]);
    p.TimeStamp = basConv::GetLongBE(buf, 16);
    for (int i = 0; i < 6; ++i) p.StationID[size_t(i)] = uint8_t(buf[20 + i]);
    return p;
}

}  // namespace basRCMP
