// What QLN_Test and QLN_Xfer do with a received RCMP datagram: the first byte picks the program
// and its state (QLN_Test idle, echo run, traceroute; QLN_Xfer idle with the test stream, echo
// run), the chunks after it are datagrams as the link reads them, each behind a byte that asks
// for a repetition tick before it and moves the clock on. The requests go to a loopback socket
// of this target's own, drained after each input.
#include "FuzzInput.h"
#include "echotest/EchoTestSession.h"
#include "platform/Clock.h"
#include "platform/ScriptedOperator.h"
#include "rcmp/basRCMP.h"
#include "xfertest/XferTestSession.h"

#include <QUdpSocket>

namespace {
const QString Station = QStringLiteral("00:80:45:01:00:03");
constexpr qint16 EchoID = 0x1234;

struct Device {
    QUdpSocket socket;
    Device() { socket.bind(QHostAddress::LocalHost, 0); }
    void drain()
    {
        char sink[300];
        while (socket.hasPendingDatagrams()) socket.readDatagram(sink, sizeof sink);
    }
};

// Each datagram after its byte: bit 0 a repetition tick first, bits 1-7 hundredths the clock moves.
template <typename Run>
void Feed(fuzz::Input& in, RCMPLink& link, Run& run, FixedClock& clock)
{
    while (!in.atEnd()) {
        const uint8_t how = in.byte();
        const QByteArray d = in.chunk().left(basRCMP::RCMPRecvMax);
        clock.advanceMs(qint64(how >> 1) * 10);
        if (how & 1) run.tmrRep_Timer();
        link.accept(d.constData(), d.size());
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::StartApp();
    static Device device;
    fuzz::Input in(data, size);
    const int selector = in.byte() % 5;
    FixedClock clock(QDateTime(QDate(2026, 12, 8), QTime(12, 34, 56, 780)));
    ScriptedOperator op;
    const QHostAddress local(QHostAddress::LocalHost);

    if (selector < 3) {
        EchoTestSession::Options o;
        o.rcmp.localPort = 0;
        o.rcmp.localAddress = local;
        o.rcmp.remotePort = device.socket.localPort();
        o.run.tickMs = 0;
        o.run.fixedPacketID = true;
        o.run.packetID = EchoID;
        EchoTestSession s(clock, op, o);
        s.load();
        if (selector == 1) s.run.StartEcho(QStringLiteral("127.0.0.1"), Station);
        if (selector == 2) s.run.StartTrace(QStringLiteral("127.0.0.1"), Station);
        Feed(in, s.rcmp, s.run, clock);
        (void)s.run.countText();
    } else {
        XferTestSession::Options o;
        o.uif.localPort = 0;
        o.uif.localAddress = local;
        o.rcmp.localPort = 0;
        o.rcmp.localAddress = local;
        o.rcmp.remotePort = device.socket.localPort();
        o.run.tickMs = 0;
        XferTestSession s(clock, op, o);
        s.load();
        if (selector == 4) s.run.StartEcho({QStringLiteral("127.0.0.1"), QStringLiteral("0x1234")}, Station);
        Feed(in, s.rcmp, s.run, clock);
        (void)s.run.countText();
    }
    device.drain();
    return 0;
}
