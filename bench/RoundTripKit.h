#pragma once
// One Apply + Receive round trip of the soaks, judged: right when the device runs the image sent
// and the received image is that image; failed with a text when a step said why it failed and
// nothing claimed otherwise; wrong when a step reported success with other bytes, or failed
// without a text. The configuration of each round comes from the seed.
#include "SoakKit.h"
#include "config/ApplyFlow.h"
#include "config/ReceiveFlow.h"
#include "shell/SetupSession.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>

namespace soak {

// Up to 70 lines, so that a receive shows every record.
inline QByteArray configText(QRandomGenerator& g)
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
inline QString lastText(const MessageList& list)
{
    const QStringList lines = list.lines();
    return lines.isEmpty() ? QString() : lines.last().mid(14).trimmed();
}

// QLN_Set's session towards `sim` from free ports, with short ticks (UIF, sequencer, TFTP server).
inline SetupSession::Options SessionOptions(const DeviceSim& sim, int uifTickMs = 2, int sequencerTickMs = 10, int serverTickMs = 5)
{
    SetupSession::Options o;
    o.uif.localPort = 0;
    o.uif.remotePort = sim.uifPort();
    o.uif.tickMs = uifTickMs;
    o.tfr.tickMs = sequencerTickMs;
    o.tfr.tftp.port = 0;
    o.tfr.tftp.tickMs = serverTickMs;
    return o;
}

struct RoundTrips {
    int right = 0, failed = 0, wrong = 0;
};

// `count` rounds against `sim`, each with a configuration of its own written to `path`; a line
// for each round that was not right. `between` runs before each round.
inline RoundTrips RunRoundTrips(SetupSession& s, DeviceSim& sim, const QString& path, int count, quint32 seed,
                                QTextStream& out, const std::function<void()>& between = {})
{
    RoundTrips n;
    QRandomGenerator g(seed);
    const QString device = sim.address().toString();
    for (int i = 0; i < count; ++i) {
        if (between) between();
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(configText(g)) < 0) {
            ++n.wrong, out << "round trip " << i + 1 << ": the configuration file cannot be written" << Qt::endl;
            continue;
        }
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
                ++n.right;
                Settle(2);
                continue;
            }
            if (!r.received) why = QStringLiteral("receive: ") + lastText(s.lstStatus);
        }
        if (why.isEmpty() || why.endsWith(QLatin1String(": ")))
            ++n.wrong, out << "round trip " << i + 1 << ": WRONG" << Qt::endl;
        else
            ++n.failed, out << "round trip " << i + 1 << ": " << why << Qt::endl;
        Settle(20);  // the device's late packets land before the next round
    }
    return n;
}

}  // namespace soak
