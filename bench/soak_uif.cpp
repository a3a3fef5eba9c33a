// UIF exchanges through ExecUIF against the in-process simulator, which leaves 30% of the
// requests unanswered and sends 10% of its replies twice. Each exchange carries a value of its
// own in its payload, which the device echoes: an exchange is right when it ends with status 0
// and its own value, reported when it ends with a failure status (no response after the
// resends), wrong otherwise (another exchange's reply taken, or a status 0 with no reply).
// Last line: "uif soak: N exchanges, R right, F reported, W wrong".
// Options: --count N (exchanges, default 2000), --seed S.
#include "SoakKit.h"
#include "link/frmUIF.h"

#include <QElapsedTimer>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const soak::Args args = soak::ParseArgs(app, "Exchanges.", 2000);

    DeviceSim::Options so = soak::SimOptions(args.seed);
    so.faults.dropRate = 0.3;
    so.faults.duplicateRate = 0.1;
    DeviceSim sim(so);
    if (!soak::Start(sim, out, "uif soak")) return 1;
    frmUIF::Options uo;
    uo.tickMs = 1;
    uo.waitTicks = 10;  // a resend every 10 ms or so: the duplicates land in later exchanges
    uo.localPort = 0;
    uo.remotePort = sim.uifPort();
    frmUIF uif(nullptr, uo);
    if (!uif.load()) return 1;
    uif.setRemoteHost(sim.address().toIPv4Address());

    int right = 0, reported = 0, wrong = 0;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < args.count; ++i) {
        const qint32 value = qint32(0x5A000000u + quint32(i));
        uif.BuildLongRequest(0, value);
        const qint32 ident = basConv::GetLongBE(uif.UIFRequestBuf, 4);
        const frmUIF::UIFOutcome o = uif.Exchange();
        const bool own = o.reply.size() >= 16 && o.header.Ident == ident && basConv::GetLongBE(o.reply, 12) == value;
        if (o.status == 0 && o.state == frmUIF::StateMatched && own)
            ++right;
        else if (o.status != 0 && o.state != frmUIF::StateMatched && !uif.UIFStatusText(o).isEmpty())
            ++reported;
        else
            ++wrong, out << "exchange " << i + 1 << ": WRONG, status " << o.status << ", state " << o.state << Qt::endl;
    }
    out << QStringLiteral("%1 exchanges in %2 s, %3 requests reached the device, %4 replies sent")
               .arg(args.count).arg(t.elapsed() / 1000.0, 0, 'f', 1).arg(sim.requestsReceived).arg(sim.repliesSent)
        << Qt::endl;
    out << QStringLiteral("uif soak: %1 exchanges, %2 right, %3 reported, %4 wrong")
               .arg(args.count).arg(right).arg(reported).arg(wrong)
        << Qt::endl;
    return wrong ? 1 : 0;
}
