#pragma once
// TFTP datagrams: requests, DATA, ACK and the 5-byte ERROR with an empty message.
#include <QByteArray>

namespace basTFTP {

enum Opcode : quint16 { OpRRQ = 1, OpWRQ = 2, OpDATA = 3, OpACK = 4, OpERROR = 5 };

// Error codes the two sides send each other.
enum ErrorCode : quint16 {
    ErrUndefined = 0,
    ErrFileNotFound = 1,
    ErrAccessViolation = 2,
    ErrDiskFull = 3,
    ErrIllegalOperation = 4,
};

QByteArray MakeRequest(quint16 opcode, const QByteArray& name, const QByteArray& mode = "octet");
QByteArray MakeData(quint16 block, const QByteArray& bytes);
QByteArray MakeAck(quint16 block);
QByteArray MakeError(quint16 code);

// Readers for the fields of a received datagram; 0 for fields past its end.
quint16 PacketOpcode(const QByteArray& datagram);
quint16 PacketBlock(const QByteArray& datagram);

}  // namespace basTFTP
