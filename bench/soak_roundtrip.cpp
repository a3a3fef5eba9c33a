// Apply and Receive round trips against the in-process simulator, whose TFTP packets are dropped
// (20%), duplicated (10%) and reordered (10%). Each round applies a configuration of its own
// (random values from the seed), then receives the running configuration back. A round is right
// when the device runs the image sent and the received image is that image; it failed with a
// text when a step said why it failed and nothing claimed otherwise; wrong when a step reported
// success with other bytes, or failed without a text.
// Last line: "roundtrip soak: N round trips, R right, F failed with a text, W wrong".
// Options: --count N (round trips, default 100), --seed S.
#include "SoakKit.h"
#include "config/ApplyFlow.h"
#include "config/ReceiveFlow.h"
#include "platform/Clock.h"
#include "platform/ScriptedOperator.h"
#include "shell/SetupSession.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

namespace {

// Up to 70 lines, so that a receive shows every record.
QByteArray configText(QRandomGenerator& g)
{
    QByteArray text = "; soak round\r\n";
    const int lines = 5 + int(g.bounded(66));
    auto ip = [&g] { return QByteArray::number(g.bounded(1, 224)) + '.' + QByteArray::number(g.bounded(256)) + '.' +
                            QByteArray::number(g.bounded(256)) + '.' + QByteArray::number(g.bounded(1, 255)); };
    for (int i = 0; i < lines; ++i) {
        switch (g.bounded(6)) {
        case 0: text += "ifconfig eth" + QByteArray::number(g.bounded(4)) + ' ' + ip() + " netmask 255.255.255.0"; break;
        case 1: text += "route default " + ip(); break;
        case 2: text += "group_id " + QByteArray::number(g.bounded(65536)); break;
        case 3: text += "scramble 0x" + QByteArray::number(g.generate(), 16); break;
        case 4: text += "snmp read_only_community c" + QByteArray::number(g.generate()); break;
        default: text += "access_list " + QByteArray::number(g.bounded(16)) + ' ' + ip() + " 255.255.0.0"; break;
        }
        text += "\r\n";
    }
    return text;
}

// The text of the list's last line: what the failing step said.
QString lastText(const MessageList& list)
{
    const QStringList lines = list.lines();
    return lines.isEmpty() ? QString() : lines.last().mid(14).trimmed();
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const soak::Args args = soak::ParseArgs(app, "Round trips.", 100);

    DeviceSim::Options so = soak::SimOptions(args.seed);
    so.faults.tftpDropRate = 0.2;
    so.faults.tftpDuplicateRate = 0.1;
    so.faults.tftpReorderRate = 0.1;
    so.faults.tftpTimeoutMs = 4;
    so.faults.tftpRetries = 6;
    DeviceSim sim(so);
    if (!soak::Start(sim, out, "roundtrip soak")) return 1;

    QTemporaryDir dir;
    QDir::setCurrent(dir.path());  // Config.bin goes here
    SystemClock clock;
    ScriptedOperator op;  // the receive's save dialog is cancelled
    SetupSession::Options o;
    o.uif.localPort = 0;
    o.uif.remotePort = sim.uifPort();
    o.uif.tickMs = 2;
    o.tfr.tickMs = 10;
    o.tfr.tftp.port = 0;
    o.tfr.tftp.tickMs = 5;
    SetupSession s(clock, op, o);
    if (!s.load()) return 1;

    QRandomGenerator g(args.seed);
    const QString path = dir.filePath(QStringLiteral("round.conf"));
    const QString device = sim.address().toString();
    int right = 0, failed = 0, wrong = 0;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < args.count; ++i) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(configText(g)) < 0) return 1;
        f.close();
        const QByteArray before = sim.stores.running;
        s.lstStatus.clear();
        const config::ApplyResult a = config::RunApply(s, device, path);
        QString why;
        if (!a.applied) {
            why = QStringLiteral("apply: ") + lastText(s.lstStatus);
            // A failed apply leaves the running configuration as it was, or whole as sent.
            if (lastText(s.lstStatus).isEmpty() || (sim.stores.running != before && sim.stores.running != a.image))
                why.clear();
        } else if (sim.stores.running != a.image) {
            why.clear();
        } else {
            s.lstStatus.clear();
            const config::ReceiveResult r = config::RunReceive(s, device, config::ReceiveRunning);
            if (r.received && r.image == a.image) {
                ++right;
                soak::Settle(2);
                continue;
            }
            if (!r.received) why = QStringLiteral("receive: ") + lastText(s.lstStatus);
        }
        if (why.isEmpty() || why.endsWith(QLatin1String(": ")))
            ++wrong, out << "round trip " << i + 1 << ": WRONG" << Qt::endl;
        else
            ++failed, out << "round trip " << i + 1 << ": " << why << Qt::endl;
        soak::Settle(20);  // the device's late packets land before the next round
    }
    out << QStringLiteral("%1 round trips in %2 s").arg(args.count).arg(t.elapsed() / 1000.0, 0, 'f', 1) << Qt::endl;
    out << QStringLiteral("roundtrip soak: %1 round trips, %2 right, %3 failed with a text, %4 wrong")
               .arg(args.count).arg(right).arg(failed).arg(wrong)
        << Qt::endl;
    return wrong ? 1 : 0;
}
