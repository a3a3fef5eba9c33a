// The PC's TFTP server on the device's datagrams, in each of its states: the first byte picks
// idle (waiting for a request), a read transfer under way or a write transfer under way; the
// chunks after it are datagrams, each behind a byte that says whether it comes from a second
// port on the device's host and whether a quiet tick passed before it. What the server sends
// goes to two loopback sockets of this target's own, drained after each input.
#include "FuzzInput.h"
#include "tftp/TftpPacket.h"
#include "tftp/frmTFTP.h"

#include <QFile>
#include <QTemporaryDir>
#include <QUdpSocket>

namespace {
struct Peers {
    QTemporaryDir dir;
    QString source, upload;
    QByteArray bytes;
    QUdpSocket device, other;
    Peers()
    {
        source = dir.filePath(QStringLiteral("image.bin"));
        upload = dir.filePath(QStringLiteral("upload.bin"));
        QFile f(source);
        f.open(QIODevice::WriteOnly);
        for (int i = 0; i < 1300; ++i) bytes.append(char(i * 7));  // two full blocks and a short one
        f.write(bytes);
        device.bind(QHostAddress::LocalHost, 0);
        other.bind(QHostAddress::LocalHost, 0);
    }
    static void drain(QUdpSocket& s)
    {
        char sink[600];
        while (s.hasPendingDatagrams()) s.readDatagram(sink, sizeof sink);
    }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::StartApp();
    static Peers peers;
    fuzz::Input in(data, size);
    const int selector = in.byte();
    const int state = selector % 3;  // 0 idle, 1 read under way, 2 write under way
    const bool serveSource = state == 1 || (state == 0 && (selector & 0x80));
    QFile::remove(peers.upload);

    frmTFTP::Options o;
    o.tickMs = 60000;  // ticks come from the input, never from the clock
    o.port = 0;
    o.address = QHostAddress::LocalHost;
    frmTFTP server(o);
    basTFTP::Transfer transfer;
    transfer.type = serveSource ? 2 : 3;
    basTFTP::SetTransferFile(transfer.file, serveSource ? peers.source : peers.upload);
    if (serveSource) transfer.bytes = peers.bytes;
    server.load(transfer, QHostAddress(QHostAddress::LocalHost));
    const QHostAddress host(QHostAddress::LocalHost);
    const quint16 devicePort = peers.device.localPort();
    if (state == 1) server.TakeDatagram(basTFTP::MakeRequest(basTFTP::OpRRQ, "image.bin"), host, devicePort);
    if (state == 2) server.TakeDatagram(basTFTP::MakeRequest(basTFTP::OpWRQ, "upload.bin"), host, devicePort);

    while (!in.atEnd()) {
        const uint8_t how = in.byte();
        const QByteArray datagram = in.chunk().left(basTFTP::TFTPReadMax);
        if ((how & 2) && server.TFTPState != basTFTP::StateIdle) server.TFTPTicks = 1;  // one tick without a datagram
        server.TakeDatagram(datagram, host, (how & 1) ? peers.other.localPort() : devicePort);
    }
    server.unload();
    Peers::drain(peers.device);
    Peers::drain(peers.other);
    return 0;
}
