// The simulator as the tools meet it: answers, refusals and every injected fault, repeatable by seed.
#include "devsim/DeviceSim.h"
#include "devsim/DeviceSimOptions.h"
#include "link/basConv.h"
#include "FreePortSim.h"
#include "ScriptedPeer.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

QByteArray request(qint16 cmd, qint32 ident, int size = 64)
{
    QByteArray r(64, char(0xFF));
    basConv::PutIntBE(0, r, 0);
    basConv::PutIntBE(cmd, r, 2);
    basConv::PutLongBE(ident, r, 4);
    basConv::PutLongBE(0x12345678, r, 12);
    r.resize(size);
    return r;
}

DeviceSim::Options localOptions() { return FreePortSimOptions(QHostAddress::LocalHost); }

// Sends `count` requests one by one and returns which idents got at least one reply.
QList<qint32> answeredIdents(DeviceSim& sim, int count)
{
    ScriptedPeer peer;
    for (int i = 0; i < count; ++i) peer.send(request(0, i), QHostAddress::LocalHost, sim.uifPort());
    waitUntil([&] { return sim.requestsReceived == count; }, 3000);
    spin(30);
    QList<qint32> idents;
    for (const auto& d : peer.received) {
        const qint32 id = basConv::GetLongBE(d.data, 4);
        if (!idents.contains(id)) idents << id;
    }
    std::sort(idents.begin(), idents.end());
    return idents;
}

}  // namespace

class tst_DeviceSim : public QObject {
    Q_OBJECT
private slots:
    void answers_data();
    void answers();
    void dropIsRepeatableBySeed();
    void duplicateAndStale();
    void delay();
    void rcmpReorder_data();
    void rcmpReorder();
    void options_data();
    void options();
    void inputFiles_data();
    void inputFiles();
    void stationsFile_data();
    void stationsFile();
    void processStopsOnSignal();
};

void tst_DeviceSim::answers_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<int>("refuseCode");
    QTest::addColumn<int>("replies");
    QTest::addColumn<qint32>("status");
    QTest::newRow("echo") << request(0, 5) << -1 << 1 << 0;
    QTest::newRow("unknown code") << request(99, 5) << -1 << 1 << 11;
    QTest::newRow("refused echo") << request(0, 5) << 0 << 1 << 8;
    QTest::newRow("short datagram") << request(0, 5, 20) << -1 << 0 << 0;
    QByteArray reply = request(0, 5);
    basConv::PutIntBE(1, reply, 0);
    QTest::newRow("a reply is no request") << reply << -1 << 0 << 0;
}

void tst_DeviceSim::answers()
{
    QFETCH(QByteArray, datagram);
    QFETCH(int, refuseCode);
    QFETCH(int, replies);
    QFETCH(qint32, status);
    DeviceSim::Options o = localOptions();
    if (refuseCode >= 0) o.faults.refuse.insert(refuseCode, 8);
    DeviceSim sim(o);
    QVERIFY(sim.start());
    ScriptedPeer peer;
    peer.send(datagram, QHostAddress::LocalHost, sim.uifPort());
    QVERIFY(waitUntil([&] { return sim.requestsReceived == 1; }));
    spin(30);
    QCOMPARE(peer.received.size(), replies);
    if (replies == 0) return;
    const QByteArray r = peer.received[0].data;
    QCOMPARE(r.size(), 64);
    QCOMPARE(basConv::GetIntBE(r, 0), qint16(1));
    QCOMPARE(r.mid(2, 6), datagram.mid(2, 6));  // CmdCode and Ident copied
    QCOMPARE(basConv::GetLongBE(r, 8), status);
    QCOMPARE(basConv::GetLongBE(r, 12), 0x12345678);
}

void tst_DeviceSim::dropIsRepeatableBySeed()
{
    auto run = [](quint32 seed) {
        DeviceSim::Options o = localOptions();
        o.seed = seed;
        o.faults.dropRate = 0.5;
        DeviceSim sim(o);
        sim.start();
        return answeredIdents(sim, 40);
    };
    const QList<qint32> a = run(7), b = run(7), c = run(8);
    QCOMPARE(a, b);
    QVERIFY(a != c);
    QVERIFY2(a.size() > 5 && a.size() < 35, qPrintable(QString::number(a.size())));
}

void tst_DeviceSim::duplicateAndStale()
{
    DeviceSim::Options o = localOptions();
    o.faults.duplicateRate = 1.0;
    o.faults.staleFirst = true;
    DeviceSim sim(o);
    QVERIFY(sim.start());
    ScriptedPeer peer;
    peer.send(request(0, 0), QHostAddress::LocalHost, sim.uifPort());
    QVERIFY(waitUntil([&] { return peer.received.size() == 3; }));
    QCOMPARE(basConv::GetLongBE(peer.received[0].data, 4), 2147483647);  // stale: the Ident before 0
    QCOMPARE(basConv::GetLongBE(peer.received[1].data, 4), 0);
    QCOMPARE(peer.received[2].data, peer.received[1].data);
}

void tst_DeviceSim::delay()
{
    DeviceSim::Options o = localOptions();
    o.faults.delayMs = 150;
    DeviceSim sim(o);
    QVERIFY(sim.start());
    ScriptedPeer peer;
    QElapsedTimer t;
    t.start();
    peer.send(request(0, 1), QHostAddress::LocalHost, sim.uifPort());
    QVERIFY(waitUntil([&] { return peer.received.size() == 1; }));
    QVERIFY(t.elapsed() >= 140);
}

void tst_DeviceSim::rcmpReorder_data()
{
    // One request a letter, seq 1 on: A a station one hop away, L a station whose answers are
    // all lost, U a station the device does not know (it answers itself).
    QTest::addColumn<double>("share");
    QTest::addColumn<QString>("requests");
    QTest::addColumn<QString>("arrivals");  // the seq numbers of the answers, in arrival order
    QTest::addColumn<bool>("holding");
    QTest::newRow("none held") << 0.0 << "AAAA" << "1234" << false;
    QTest::newRow("each after the next") << 1.0 << "AAAA" << "2143" << false;
    QTest::newRow("the last one waits") << 1.0 << "AAA" << "21" << true;
    QTest::newRow("a lost answer lets it go") << 1.0 << "ALA" << "1" << true;
    QTest::newRow("the device's own answers are never held") << 1.0 << "UUAU" << "1243" << false;
}

void tst_DeviceSim::rcmpReorder()
{
    QFETCH(double, share);
    QFETCH(QString, requests);
    QFETCH(QString, arrivals);
    QFETCH(bool, holding);
    DeviceSim::Options o = localOptions();
    o.faults.rcmpReorderRate = share;
    for (RadioStation& st : o.radio.stations)
        if (basConv::FormatMAC(st.id) == "00:80:45:01:00:11") st.lossRate = 1.0;
    DeviceSim sim(o);
    QVERIFY(sim.start());
    ScriptedPeer peer;
    const QHash<QChar, QByteArray> ids{{'A', "00:80:45:01:00:01"}, {'L', "00:80:45:01:00:11"}, {'U', "00:80:45:01:00:99"}};
    for (int i = 0; i < requests.size(); ++i) {
        RCMPPacket p;
        p.SeqNo = qint16(i + 1);
        int err = 0;
        basConv::ParseMAC(ids.value(requests[i]), p.StationID, err);
        QByteArray datagram(basRCMP::RCMPPacketSize, '\0');
        basRCMP::PutRCMPPacket(datagram, p);
        peer.send(datagram, QHostAddress::LocalHost, sim.rcmpPort());
        QVERIFY(waitUntil([&] { return sim.rcmpRequestsReceived == i + 1; }));
    }
    QVERIFY(waitUntil([&] { return peer.received.size() == sim.rcmpRepliesSent; }));
    QString got;
    for (const auto& d : peer.received) got += QString::number(basRCMP::GetRCMPPacket(d.data).SeqNo);
    QCOMPARE(got, arrivals);
    QCOMPARE(sim.rcmpHolding(), holding);
}

void tst_DeviceSim::options_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("ok");
    QTest::newRow("defaults") << QStringList{} << true;
    QTest::newRow("all faults") << QStringList{"--drop", "0.2", "--duplicate", "0.1", "--delay", "30", "--stale", "--mute",
                                               "--refuse", "13=7", "--seed", "42", "--rcmp-reorder", "0.3", "-v"} << true;
    QTest::newRow("bad address") << QStringList{"--address", "1.2.3"} << false;
    QTest::newRow("share above 1") << QStringList{"--drop", "1.5"} << false;
    QTest::newRow("reorder share above 1") << QStringList{"--rcmp-reorder", "1.5"} << false;
    QTest::newRow("bad refuse") << QStringList{"--refuse", "13"} << false;
    QTest::newRow("query tables") << QStringList{"--empty", "route,rsarp", "--empty", "access-list", "--unsupported", "45, 60",
                                                 "--refuse", "60=3", "--version-text", "16 bytes of text", "--uptime", "4294967295"} << true;
    QTest::newRow("copy faults") << QStringList{"--eth0-self", "--alter-copy", "2", "--refuse-copy-after", "1",
                                                "--mute-after-copy", "5"} << true;
    QTest::newRow("mute after copy, a day and more") << QStringList{"--mute-after-copy", "86401"} << false;
    QTest::newRow("negative alter-copy") << QStringList{"--alter-copy", "-1"} << false;
    QTest::newRow("unknown table") << QStringList{"--empty", "route,nat"} << false;
    QTest::newRow("version text of 17 bytes") << QStringList{"--version-text", "17 bytes of text."} << false;
    QTest::newRow("negative up-time") << QStringList{"--uptime", "-1"} << false;
    QTest::newRow("unsupported word") << QStringList{"--unsupported", "45,x"} << false;
    QTest::newRow("port too big") << QStringList{"--uif-port", "70000"} << false;
    QTest::newRow("unknown option") << QStringList{"--frobnicate"} << false;
    QTest::newRow("sample configuration") << QStringList{"--config", QStringLiteral(QLN_SAMPLE_CONF)} << true;
    QTest::newRow("missing configuration") << QStringList{"--config", "/no/such/file.conf"} << false;
    QTest::newRow("configuration that fails") << QStringList{"--config", QStringLiteral(QLN_SOURCE_DIR "/README.md")} << false;
    QTest::newRow("example stations") << QStringList{"--stations", QStringLiteral(QLN_SOURCE_DIR "/examples/stations.txt")} << true;
    QTest::newRow("stations file that fails") << QStringList{"--stations", QStringLiteral(QLN_SOURCE_DIR "/README.md")} << false;
}

void tst_DeviceSim::inputFiles_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("path");  // %B: a file of 1 MB and one byte
    QTest::addColumn<QString>("error");
    QTest::newRow("configuration from a device") << "--config" << "/dev/zero" << "--config /dev/zero: is not a regular file";
    QTest::newRow("stations from a device") << "--stations" << "/dev/zero" << "--stations /dev/zero: is not a regular file";
    QTest::newRow("stations too large") << "--stations" << "%B" << "--stations %B: larger than 1048576 bytes";
    QTest::newRow("configuration too large") << "--config" << "%B" << "--config %B: larger than 1048576 bytes";
}

void tst_DeviceSim::inputFiles()
{
    QFETCH(QString, option);
    QFETCH(QString, path);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString big = dir.filePath("big.txt");
    QFile f(big);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(QByteArray(1024 * 1024 + 1, '\n')) == 1024 * 1024 + 1);
    f.close();
    DeviceSim::Options o;
    bool verbose = false;
    QString got;
    QVERIFY(!ParseDeviceSimOptions(QStringList{"qln-devsim", option, QString(path).replace("%B", big)}, o, verbose, got));
    QCOMPARE(got, QString(error).replace("%B", big));
}

void tst_DeviceSim::options()
{
    QFETCH(QStringList, args);
    QFETCH(bool, ok);
    DeviceSim::Options o;
    bool verbose = false;
    QString error;
    QCOMPARE(ParseDeviceSimOptions(QStringList{"qln-devsim"} + args, o, verbose, error), ok);
    QCOMPARE(error.isEmpty(), ok);
    if (ok && args.contains("--config")) {
        // The stores start with the sample's records: ifconfig (code 1) first, 0xFF after the last.
        QCOMPARE(o.initialImage.size(), 28672);
        QCOMPARE(basConv::GetIntBE(o.initialImage, 2), qint16(1));
        QCOMPARE(o.initialImage.right(64), QByteArray(64, char(0xFF)));
        DeviceSim sim(o);
        QCOMPARE(sim.stores.running, o.initialImage);
        QCOMPARE(sim.stores.rom, o.initialImage);
    }
    if (!ok && args.contains("--config")) QVERIFY2(error.startsWith("--config "), qPrintable(error));
    if (!ok && args.contains("--stations")) QVERIFY2(error.startsWith("--stations ") && error.contains(": invalid station ID"), qPrintable(error));
    if (ok && args.contains("--stations")) QCOMPARE(o.radio.stations.size(), 5);
    if (ok && args.contains("--empty")) {
        QVERIFY(o.tables.routes.isEmpty() && o.tables.rsArp.isEmpty() && o.tables.accessLists.isEmpty());
        QCOMPARE(o.tables.arp.size(), 2);
        QCOMPARE(o.faults.refuse, (QHash<int, int>{{45, 11}, {60, 3}}));
        QCOMPARE(o.tables.firmwareVersion, QByteArray("16 bytes of text"));
        QCOMPARE(o.tables.uptimeBase, 4294967295u);
    }
    if (ok && args.contains("--eth0-self")) {
        QVERIFY(o.eth0Self);
        QCOMPARE(o.faults.alterRunningCopies, 2);
        QCOMPARE(o.faults.refuseRunningCopiesAfter, 1);
        QCOMPARE(o.faults.muteAfterRunningCopyMs, 5000);
        // eth0's record in every store, and the table the queries read, hold the device's own address.
        DeviceSim sim(o);
        QCOMPARE(sim.stores.running.mid(20, 12).toHex(), QByteArray("7f000002ffffff007f0000ff"));
        QCOMPARE(sim.stores.rom, sim.stores.running);
        QCOMPARE(quint32(sim.tables.interfaces.first().address), 0x7f000002u);
    } else if (ok) {
        QVERIFY(!o.eth0Self);
        QCOMPARE(o.faults.refuseRunningCopiesAfter, -1);
        QCOMPARE(o.faults.muteAfterRunningCopyMs, -1);
    }
    if (ok && args.contains("--mute")) {
        QCOMPARE(o.faults.refuse.value(13), 7);
        QCOMPARE(o.faults.rcmpReorderRate, 0.3);
        QCOMPARE(o.seed, 42u);
        QVERIFY(o.faults.mute && o.faults.staleFirst && verbose);
        QCOMPARE(o.faults.delayMs, 30);
    }
}

void tst_DeviceSim::stationsFile_data()
{
    // `stations`: each station as ID/hops/loss/duplicate/delay, in file order; or the error.
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("stations");
    QTest::addColumn<QString>("error");
    QTest::newRow("a chain with faults, comments and blank lines")
        << QByteArray("# network\n\nself 02:00:00:00:00:00\n02:00:00:00:00:01 loss 0.25\r\n"
                      "  02:00:00:00:00:02\tvia 02:00:00:00:00:01 delay 40   # second hop\n"
                      "02:00:00:00:00:03 via 02:00:00:00:00:02 duplicate 1 loss 0\n")
        << QStringList{"02:00:00:00:00:01/1/0.25/0/0", "02:00:00:00:00:02/2/0/0/40", "02:00:00:00:00:03/3/0/1/0"} << "";
    QTest::newRow("via a later station") << QByteArray("02:00:00:00:00:02 via 02:00:00:00:00:01\n02:00:00:00:00:01\n")
                                         << QStringList{} << "line 1: via 02:00:00:00:00:01: not a station of an earlier line";
    QTest::newRow("given twice") << QByteArray("02:00:00:00:00:01\n\n02:00:00:00:00:01 loss 0.1\n") << QStringList{}
                                 << "line 3: station 02:00:00:00:00:01 given twice";
    QTest::newRow("five parts") << QByteArray("02:00:00:00:01\n") << QStringList{} << "line 1: invalid station ID '02:00:00:00:01'";
    QTest::newRow("loss above 1") << QByteArray("02:00:00:00:00:01 loss 1.5\n") << QStringList{} << "line 1: invalid loss '1.5'";
    QTest::newRow("unknown word") << QByteArray("02:00:00:00:00:01 hops 3\n") << QStringList{} << "line 1: unknown word 'hops'";
    QTest::newRow("self among the stations") << QByteArray("02:00:00:00:00:01\nself 02:00:00:00:00:01\n") << QStringList{}
                                             << "line 2: self is also a remote station";
}

void tst_DeviceSim::stationsFile()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, stations);
    QFETCH(QString, error);
    RadioTopology t;
    QString why;
    QCOMPARE(RadioTopology::Parse(text, t, why), error.isEmpty());
    QCOMPARE(why, error);
    QStringList seen;
    for (const RadioStation& st : t.stations)
        seen << QStringLiteral("%1/%2/%3/%4/%5").arg(basConv::FormatMAC(st.id)).arg(st.hops()).arg(st.lossRate)
                    .arg(st.duplicateRate).arg(st.delayMs);
    QCOMPARE(seen, stations);
}

void tst_DeviceSim::processStopsOnSignal()
{
    QProcess p;
    p.start(QStringLiteral(QLN_DEVSIM_PATH), {"--address", "127.0.0.1", "--uif-port", "0", "--rcmp-port", "0", "-v"});
    QVERIFY(p.waitForStarted());
    QVERIFY(p.waitForReadyRead(5000));
    const QString first = QString::fromUtf8(p.readLine());
    const auto m = QRegularExpression("UIF port (\\d+)").match(first);
    QVERIFY2(m.hasMatch(), qPrintable(first));
    ScriptedPeer peer;
    peer.send(request(0, 3), QHostAddress::LocalHost, quint16(m.captured(1).toUInt()));
    QVERIFY(waitUntil([&] { return peer.received.size() == 1; }));
    ::kill(pid_t(p.processId()), SIGTERM);
    QVERIFY(p.waitForFinished(5000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    const QString rest = QString::fromUtf8(p.readAllStandardOutput());
    QVERIFY2(rest.contains("uif <- 127.0.0.1:") && rest.contains("cmd 0 ident 3"), qPrintable(rest));
    QVERIFY(rest.trimmed().endsWith("qln-devsim: stopped"));
}

QTEST_GUILESS_MAIN(tst_DeviceSim)
#include "tst_DeviceSim.moc"
