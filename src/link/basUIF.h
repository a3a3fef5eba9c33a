#pragma once
// UIF wire format: 64-byte requests (0xFF-filled, big-endian), replies read up to 80 bytes.
#include "link/basConv.h"
#include <QByteArray>
#include <QString>

namespace basUIF {

constexpr int UIFPacketSize = 64;
constexpr int UIFHeaderSize = 12;
constexpr int UIFReplyMax = 80;
constexpr int UIFCollectSize = 28672;  // 448 slots of 64 bytes
constexpr quint16 UIFDevicePort = 8649;
constexpr quint16 UIFLocalPort = 8640;

// QLN_Xfer's table lacks 11 and 12.
enum class Dialect { Set, Xfer };

struct UIFHeader {
    qint16 ReplyFlag = 0;
    qint16 CmdCode = 0;
    qint32 Ident = 0;
    qint32 Status = -1;
};

// Sets all 64 bytes to 0xFF, then writes ReplyFlag, CmdCode, Ident at 0, 2, 4.
void MakeUIFHeader(QByteArray& buf, const UIFHeader& header);
void PutUIFLong(QByteArray& buf, qint32 value, int payloadOffset);
void PutUIFInt(QByteArray& buf, qint16 value, int payloadOffset);
void PutUIFByte(QByteArray& buf, uint8_t value, int payloadOffset);
void PutUIFMac(QByteArray& buf, const basConv::Mac& mac, int payloadOffset);
// The text's bytes, then a 0 byte. Bytes that would pass byte 63 are not written.
void PutUIFString(QByteArray& buf, const QByteArray& text, int payloadOffset);

UIFHeader ReadUIFReply(const QByteArray& buf);
// Readers return 0 for fields past the end of a short buffer.
qint32 GetUIFLong(const QByteArray& buf, int payloadOffset);
qint16 GetUIFInt(const QByteArray& buf, int payloadOffset);
uint8_t GetUIFByte(const QByteArray& buf, int payloadOffset);
basConv::Mac GetUIFMac(const QByteArray& buf, int payloadOffset);
QByteArray GetUIFString(const QByteArray& buf, int payloadOffset, int maxCount);

// The full status text: code, comma, text, full stop ("3,ErrACK(Invalid parameter).").
QString UIFStatusText(qint32 code, int uifState, const QString& uifMessage, Dialect dialect = Dialect::Set);

}  // namespace basUIF
