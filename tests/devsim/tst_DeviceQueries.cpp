// The status queries as the device answers them: each reply layout from the default tables, every
// table's end status, and the options that empty tables, refuse codes and set the environment.
#include "devsim/DeviceSim.h"
#include "devsim/DeviceSimOptions.h"
#include "link/basConv.h"
#include "ScriptedPeer.h"

#include <QtTest>

namespace {
QByteArray query(qint16 code, const QList<qint32>& longs)
{
    QByteArray r(64, char(0xFF));
    basConv::PutIntBE(0, r, 0);
    basConv::PutIntBE(code, r, 2);
    basConv::PutLongBE(77, r, 4);
    for (int i = 0; i < longs.size(); ++i) basConv::PutLongBE(longs[i], r, 12 + 4 * i);
    return r;
}
}  // namespace

class tst_DeviceQueries : public QObject {
    Q_OBJECT
private slots:
    void replies_data();
    void replies();
};

void tst_DeviceQueries::replies_data()
{
    // `payload`: hex bytes from payload offset 0; "N:" moves to offset N, "x" matches any digit.
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::addColumn<QList<qint32>>("request");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("payload");
    QTest::addColumn<qint64>("uptimeBase");  // -1: the up-time is not checked
    const QStringList none;
    QTest::newRow("eth1") << none << 2 << QList<qint32>{1, 1} << 0 << "00000001 00000001 0a000001 ff000000 0affffff ffffffff" << -1LL;
    QTest::newRow("rs0") << none << 2 << QList<qint32>{2, 0} << 0 << "00000002 00000000 ac100001 ffff0000 ac10ffff" << -1LL;
    QTest::newRow("past the last eth") << none << 2 << QList<qint32>{1, 2} << 2 << "" << -1LL;
    QTest::newRow("route with flag 5")
        << none << 6 << QList<qint32>{2} << 0
        << "00000002 ac110000 ffff0000 00000002 00000000 ac100002 00000005 00000000 00000003 ffff" << -1LL;
    QTest::newRow("past the last route") << none << 6 << QList<qint32>{3} << 4 << "" << -1LL;
    QTest::newRow("arp 0") << none << 10 << QList<qint32>{0} << 0 << "00000000 00000003 00000000 c0a80101 001122334455 ff" << -1LL;
    QTest::newRow("past the last arp") << none << 10 << QList<qint32>{2} << 4 << "" << -1LL;
    QTest::newRow("rsarp 1") << none << 18 << QList<qint32>{1} << 0 << "00000001 00000002 00000000 ac100003 008045010011" << -1LL;
    QTest::newRow("rsroute entry with valid 0")
        << none << 16 << QList<qint32>{0, 1} << 0 << "00000000 00000002 00000003 00000000 0002 0000 008045010001 008045010011 ff" << -1LL;
    QTest::newRow("rsroute sub-index past the entries")
        << none << 16 << QList<qint32>{1, 1} << 0 << "00000001 00000000 00000000 00000000 0000 0000 000000000000 000000000000" << -1LL;
    QTest::newRow("rsroute past the last index") << none << 16 << QList<qint32>{3, 0} << 4 << "" << -1LL;
    QTest::newRow("dhcp server port") << none << 20 << QList<qint32>{0} << 0 << "00000000 00000001 00000000 ff" << -1LL;
    QTest::newRow("dhcp server")
        << none << 26 << QList<qint32>{0, 0, 0} << 0
        << "12:00015180 ffffff00 c0a80164 c0a801c7 c0a80101 00000002 c0a80102 c0a80103 00000000 00000000" << -1LL;
    QTest::newRow("dhcp relay") << none << 28 << QList<qint32>{0, 0} << 0 << "00000000 00000000 0a000035 ff" << -1LL;
    QTest::newRow("dhcp client") << none << 30 << QList<qint32>{0, 0} << 0 << "8:00000000 ff" << -1LL;
    QTest::newRow("dhcp service") << none << 32 << QList<qint32>{0, 0} << 0 << "8:00000001" << -1LL;
    QTest::newRow("dhcp service without its zero Longs") << none << 32 << QList<qint32>{} << 3 << "" << -1LL;
    QTest::newRow("rip eth0")
        << none << 42 << QList<qint32>{1, 0} << 0
        << "00000001 00000000 00000001 00000002 00000002 00000001 00000001 00000001 00000001 00000000 ff" << -1LL;
    QTest::newRow("rip eth1 has no settings") << none << 42 << QList<qint32>{1, 1} << 10 << "" << -1LL;
    QTest::newRow("rip past the last rs") << none << 42 << QList<qint32>{2, 1} << 2 << "" << -1LL;
    QTest::newRow("rip password") << none << 43 << QList<qint32>{1, 0} << 0 << "8:00000001 7175696c6c6f6e00 ff" << -1LL;
    QTest::newRow("group id") << none << 45 << QList<qint32>{} << 0 << "0102 ff" << -1LL;
    QTest::newRow("version") << none << 46 << QList<qint32>{} << 0 << "332e322e3100 ff" << -1LL;
    QTest::newRow("rfchannel") << none << 48 << QList<qint32>{} << 0 << "000b ff" << -1LL;
    QTest::newRow("portfilter") << none << 50 << QList<qint32>{} << 0 << "00000001 0400 1000 ff" << -1LL;
    QTest::newRow("scramble") << none << 52 << QList<qint32>{} << 0 << "00c0ffee ff" << -1LL;
    QTest::newRow("txmethod") << none << 60 << QList<qint32>{} << 0 << "02 ff" << -1LL;
    QTest::newRow("fullduplex") << none << 63 << QList<qint32>{} << 0 << "01 ff" << -1LL;
    QTest::newRow("snmp state") << none << 65 << QList<qint32>{} << 0 << "00000002 c0a80164 ff" << -1LL;
    QTest::newRow("read-only community") << none << 67 << QList<qint32>{} << 0 << "7075626c696300 ff" << -1LL;
    QTest::newRow("read-write community") << none << 69 << QList<qint32>{} << 0 << "7072697661746500 ff" << -1LL;
    QTest::newRow("l2as") << none << 72 << QList<qint32>{} << 0 << "01 ff" << -1LL;
    QTest::newRow("environment: version text, MAC, up-time base")
        << QStringList{"--version-text", QStringLiteral("V\u00e9"), "--uptime", "4000000000"} << 73 << QList<qint32>{} << 0
        << "56e900 ff 32:008045010000 ffff xxxxxxxx ff" << 4000000000LL;
    QTest::newRow("access list 1") << none << 75 << QList<qint32>{1} << 0 << "00000002 0a000000 0affffff ff" << -1LL;
    QTest::newRow("past the last access list") << none << 75 << QList<qint32>{2} << 12 << "" << -1LL;
    QTest::newRow("config admits two lists")
        << none << 77 << QList<qint32>{1} << 0 << "00000001 00000002 00000001 00000002 00000000 00000000 ff" << -1LL;
    QTest::newRow("snmp denies all") << none << 77 << QList<qint32>{2} << 0 << "00000002 ffffffff" << -1LL;
    QTest::newRow("rstest allows all") << none << 77 << QList<qint32>{3} << 0 << "00000003 00000000" << -1LL;
    QTest::newRow("empty dhcp: server port not assigned")
        << QStringList{"--empty", "route,dhcp"} << 20 << QList<qint32>{0} << 4 << "" << -1LL;
    QTest::newRow("empty route") << QStringList{"--empty", "route,dhcp"} << 6 << QList<qint32>{0} << 4 << "" << -1LL;
    QTest::newRow("unsupported") << QStringList{"--unsupported", "45,60"} << 60 << QList<qint32>{} << 11 << "" << -1LL;
}

void tst_DeviceQueries::replies()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QList<qint32>, request);
    QFETCH(int, status);
    QFETCH(QString, payload);
    QFETCH(qint64, uptimeBase);
    QElapsedTimer sinceBeforeStart;
    sinceBeforeStart.start();
    DeviceSim::Options o;
    bool verbose = false;
    QString error;
    QVERIFY2(ParseDeviceSimOptions(QStringList{"qln-devsim"} + args, o, verbose, error), qPrintable(error));
    o.address = QHostAddress::LocalHost;
    o.uifPort = o.rcmpPort = 0;
    DeviceSim sim(o);
    QVERIFY(sim.start());
    ScriptedPeer peer;
    peer.send(query(qint16(code), request), QHostAddress::LocalHost, sim.uifPort());
    QVERIFY(waitUntil([&] { return !peer.received.isEmpty(); }));
    const QByteArray reply = peer.received[0].data;
    QCOMPARE(reply.size(), 64);
    QCOMPARE(basConv::GetLongBE(reply, 8), status);

    const QByteArray seen = reply.toHex();
    int at = 24;  // hex digits of the header
    for (QString part : payload.split(' ', Qt::SkipEmptyParts)) {
        if (part.contains(':')) {
            at = 24 + 2 * part.section(':', 0, 0).toInt();
            part = part.section(':', 1);
        }
        for (QChar digit : part) {
            QVERIFY2(digit == 'x' || digit == QChar(seen[at]), qPrintable(QStringLiteral("payload digit %1 in %2").arg(at - 24).arg(QString::fromLatin1(seen.mid(24)))));
            ++at;
        }
    }
    if (uptimeBase >= 0) {
        const qint64 up = quint32(basConv::GetLongBE(reply, 52));
        QVERIFY2(up >= uptimeBase && up <= uptimeBase + sinceBeforeStart.elapsed() / 1000, qPrintable(QString::number(up)));
    }
}

QTEST_GUILESS_MAIN(tst_DeviceQueries)
#include "tst_DeviceQueries.moc"
