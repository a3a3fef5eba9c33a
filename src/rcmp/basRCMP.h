#pragma once
// RCMP wire format: 64-byte zero-filled datagrams to the device's port 8650, big-endian fields
// in bytes 0-25. Replies have the same layout; of a longer datagram only 256 bytes are read.
#include "link/basConv.h"

#include <QByteArray>
#include <cstdint>

// One RCMP packet, field for field as on the wire.
struct RCMPPacket {
    uint8_t Byte0 = 0;
    uint8_t Byte1 = 0;
    uint8_t Byte2 = 0;
    uint8_t Byte3 = 0;
    qint16 PacketID = 0;
    qint16 SeqNo = 0;
    qint32 Reserved8 = 0;
    qint16 TTL = 0;      // hop limit; -1 (FF FF) is no limit
    uint8_t Result = 0;  // 0 answered by the addressed station, 2 time exceeded, else unreachable
    uint8_t Byte15 = 0;
    qint32 TimeStamp = 0;  // hundredths of a second since local midnight
    basConv::Mac StationID{};
};

namespace basRCMP {

constexpr int RCMPPacketSize = 64;
constexpr int RCMPFieldsSize = 26;  // bytes 0-25 carry the fields; shorter datagrams are discarded
constexpr int RCMPRecvMax = 256;
constexpr quint16 RCMPDevicePort = 8650;
constexpr quint16 RCMPTestLocalPort = 8600;  // QLN_Test
constexpr quint16 RCMPXferLocalPort = 8601;  // QLN_Xfer's host port box default

constexpr uint8_t ResultAnswered = 0;
constexpr uint8_t ResultUnreachable = 1;
constexpr uint8_t ResultTimeExceeded = 2;

// Writes the fields into bytes 0-25 of `buf` (grown to 64 zero bytes when shorter); the rest
// of the buffer is left as it is.
void PutRCMPPacket(QByteArray& buf, const RCMPPacket& packet);
// Reads bytes 0-25; a shorter buffer reads as zeros past its end.
RCMPPacket GetRCMPPacket(const QByteArray& buf);

}  // namespace basRCMP
