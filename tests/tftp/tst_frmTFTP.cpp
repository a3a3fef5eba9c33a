// The PC's TFTP server over real loopback sockets, driven by scripted clients.
#include "tftp/TftpPacket.h"
#include "tftp/TftpResult.h"
#include "tftp/TransferTexts.h"
#include "tftp/frmTFTP.h"
#include "TftpTestKit.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

using namespace basTFTP;
using namespace tftptest;

namespace {

// Tests of timing use short ticks (the server gives up about 30 ticks after the last datagram);
// the others use the normal 1000 ms, so that no resend can stand in for an answer.
constexpr int Tick = 10;
constexpr int NormalTick = 1000;

struct Rig {
    QTemporaryDir dir;
    frmTFTP server;
    LockStepClient client;
    TransferFile file;
    QHostAddress device{QHostAddress::LocalHost};  // where the client sends from
    Transfer transfer;
    QStringList debug;

    explicit Rig(const QString& name = QStringLiteral("img.bin"), int tickMs = NormalTick) : server(serverOptions(tickMs))
    {
        SetTransferFile(file, dir.path() + "/" + name);
        QObject::connect(&server, &frmTFTP::debugLine, [this](const QString& l) { debug << l; });
    }
    // Loads the server for the request `op` (a read unless said): a read is served what the
    // file holds now.
    bool load(quint16 op = OpRRQ)
    {
        transfer = makeTransfer(op == OpRRQ ? 2 : 3, file.path);
        return server.load(transfer, device);
    }
    void send(const QByteArray& d) { client.peer.send(d, QHostAddress::LocalHost, server.localPort()); }
    bool ended(int ms = 5000)
    {
        const bool done = runUntil([this] { return server.TFTPState == StateIdle && server.TFTPResult != ResultNotFinished; }, ms);
        spin(30);  // the server's last datagram reaches the client
        return done;
    }
    // The server's datagrams so far.
    int received() const { return client.peer.received.size(); }
    QByteArray last() const { return client.peer.received.isEmpty() ? QByteArray() : client.peer.received.last().data; }
    bool gotMore(int before, int ms = 2000)
    {
        return waitUntil([&] { return received() > before; }, ms);
    }
};

}  // namespace

class tst_frmTFTP : public QObject {
    Q_OBJECT
private slots:
    void readRequestServesTheFile_data();
    void readRequestServesTheFile();
    void writeRequestStoresTheFile_data();
    void writeRequestStoresTheFile();
    void loadBindsAndUnloadReleases();
    void loadClearsTheLastResult();
    void repeatedReadRequestResendsTheCurrentBlock();
    void acknowledgements_data();
    void acknowledgements();
    void duplicateAcksNeverMultiplyData_data();
    void duplicateAcksNeverMultiplyData();
    void packetBehindTheEndChangesNothing_data();
    void packetBehindTheEndChangesNothing();
    void duplicateDataIsAcknowledgedNotWrittenTwice();
    void overtakenResendOfAStoredBlockIsIgnored();
    void dataOutOfTurn_data();
    void dataOutOfTurn();
    void wrongNameIsRefused_data();
    void wrongNameIsRefused();
    void silenceEndsWithNoAnswer_data();
    void silenceEndsWithNoAnswer();
    void requestsBySourceAndState_data();
    void requestsBySourceAndState();
    void strangersFloodAWholeTransfer();
    void errorPacket_data();
    void errorPacket();
    void requestsTheStateDoesNotAllow_data();
    void requestsTheStateDoesNotAllow();
    void dataOrAckWhileIdleChangeNothing();
    void fileThatCannotBeOpened_data();
    void fileThatCannotBeOpened();
    void failedReceiveLeavesTheTarget_data();
    void failedReceiveLeavesTheTarget();
    void blockNumbersUseAll16Bits();
    void fileTooLargeIsRefused();
    void fullDiskEndsWithWriteError();
    void randomDatagramsTouchNoOtherFile();
};

void tst_frmTFTP::readRequestServesTheFile_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("empty") << 0;
    QTest::newRow("one byte") << 1;
    QTest::newRow("511") << 511;
    QTest::newRow("one block, then an empty one") << 512;
    QTest::newRow("three blocks exactly") << 1536;
    QTest::newRow("configuration image") << 28672;
    QTest::newRow("odd") << 100003;
}

void tst_frmTFTP::readRequestServesTheFile()
{
    QFETCH(int, size);
    Rig rig;
    const QByteArray data = contents(size, quint32(size) + 1);
    QVERIFY(writeFile(rig.file.path, data));
    QVERIFY(rig.load());
    rig.client.request(OpRRQ, "img.bin", rig.server.localPort());
    QVERIFY(rig.ended());
    QCOMPARE(rig.server.TFTPResult, int(ResultComplete));
    QCOMPARE(rig.client.got, data);
    QCOMPARE(rig.client.countOf(OpDATA), size / 512 + 1);  // a multiple of 512 ends with an empty block
    QCOMPARE(rig.server.TFTPBlock, size / 512 + 1);
}

void tst_frmTFTP::writeRequestStoresTheFile_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("targetExists");
    QTest::newRow("empty, new") << 0 << false;
    QTest::newRow("one block exactly, over an old file") << 512 << true;
    QTest::newRow("configuration image, new") << 28672 << false;
    QTest::newRow("odd, over an old file") << 70001 << true;
}

void tst_frmTFTP::writeRequestStoresTheFile()
{
    QFETCH(int, size);
    QFETCH(bool, targetExists);
    Rig rig(QStringLiteral("work.bin"));
    if (targetExists) QVERIFY(writeFile(rig.file.path, "an older and longer file " + QByteArray(80000, 'o')));
    rig.client.upload = contents(size, 7);
    QVERIFY(rig.load(OpWRQ));
    rig.client.request(OpWRQ, "work.bin", rig.server.localPort());
    QVERIFY(rig.ended());
    QCOMPARE(rig.server.TFTPResult, int(ResultComplete));
    QCOMPARE(readFile(rig.file.path), rig.client.upload);
    QVERIFY(waitUntil([&] { return rig.client.countOf(OpACK) == size / 512 + 2; }, 1000));
    // No temporary file is left beside the target.
    QCOMPARE(listing(rig.dir.path()), QStringList{"work.bin"});
}

void tst_frmTFTP::loadBindsAndUnloadReleases()
{
    Rig rig;
    QVERIFY(rig.load());
    const quint16 port = rig.server.localPort();
    QVERIFY(port != 0);
    QUdpSocket other;
    QVERIFY(!other.bind(QHostAddress::AnyIPv4, port, QAbstractSocket::DontShareAddress));

    // A second server on the same port is refused with the system's text.
    frmTFTP::Options o = serverOptions(Tick);
    o.port = port;
    frmTFTP second(o);
    QVERIFY(!second.load(rig.transfer, rig.device));
    QCOMPARE(second.bindErrorText(), QStringLiteral("Bind address already in use."));
    QVERIFY(!second.isLoaded());

    rig.server.unload();
    QVERIFY(!rig.server.isLoaded());
    QCoreApplication::processEvents();
    QVERIFY(other.bind(QHostAddress::AnyIPv4, port, QAbstractSocket::DontShareAddress));
}

void tst_frmTFTP::loadClearsTheLastResult()
{
    Rig rig;
    QVERIFY(writeFile(rig.file.path, "abc"));
    QVERIFY(rig.load());
    rig.client.request(OpRRQ, "img.bin", rig.server.localPort());
    QVERIFY(rig.ended());
    QCOMPARE(rig.server.TFTPResult, int(ResultComplete));
    // A stop right after the next load must not read as the previous success.
    QVERIFY(rig.load());
    QCOMPARE(rig.server.TFTPResult, int(ResultNotFinished));
    rig.server.unload();
    QCOMPARE(rig.server.TFTPResult, int(ResultNotFinished));
}

void tst_frmTFTP::repeatedReadRequestResendsTheCurrentBlock()
{
    Rig rig;
    const QByteArray data = contents(2000, 3);
    QVERIFY(writeFile(rig.file.path, data));
    QVERIFY(rig.load());
    rig.client.peer.reply = nullptr;  // answer by hand
    rig.send(MakeRequest(OpRRQ, "img.bin"));
    QVERIFY(rig.gotMore(0));
    QCOMPARE(rig.last(), MakeData(1, data.left(512)));
    rig.send(MakeRequest(OpRRQ, "img.bin"));
    QVERIFY(rig.gotMore(1));
    QCOMPARE(rig.last(), MakeData(1, data.left(512)));
    rig.send(MakeAck(1));
    QVERIFY(rig.gotMore(2));
    QCOMPARE(rig.last(), MakeData(2, data.mid(512, 512)));
    rig.send(MakeRequest(OpRRQ, "img.bin"));
    QVERIFY(rig.gotMore(3));
    QCOMPARE(rig.last(), MakeData(2, data.mid(512, 512)));
    QCOMPARE(rig.server.TFTPState, int(StateSending));
    QCOMPARE(rig.server.TFTPBlock, 2);
}

void tst_frmTFTP::acknowledgements_data()
{
    // The server has sent block 3 of a 2000-byte file; then this ACK arrives, right behind the
    // ACK that sent block 3 or after a tick without datagrams (the device's own repeat).
    QTest::addColumn<int>("ack");
    QTest::addColumn<bool>("afterQuietTick");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("result");
    const QByteArray data = contents(2000, 5);
    const QByteArray current = MakeData(3, data.mid(1024, 512));
    QTest::newRow("current: next block, the last") << 3 << false << MakeData(4, data.mid(1536)) << int(StateLastSent) << int(ResultNotFinished);
    QTest::newRow("previous, right behind: a copy, no answer") << 2 << false << QByteArray() << int(StateSending) << int(ResultNotFinished);
    QTest::newRow("older, right behind: no answer") << 1 << false << QByteArray() << int(StateSending) << int(ResultNotFinished);
    QTest::newRow("previous after a quiet tick: block 3 was lost, sent again") << 2 << true << current << int(StateSending) << int(ResultNotFinished);
    QTest::newRow("older after a quiet tick: current again") << 1 << true << current << int(StateSending) << int(ResultNotFinished);
    QTest::newRow("beyond: ERROR 4") << 4 << false << MakeError(ErrIllegalOperation) << int(StateIdle) << int(ResultIllegalBlock);
    QTest::newRow("far beyond, unsigned: ERROR 4") << 0xFFFF << false << MakeError(ErrIllegalOperation) << int(StateIdle) << int(ResultIllegalBlock);
}

void tst_frmTFTP::acknowledgements()
{
    QFETCH(int, ack);
    QFETCH(bool, afterQuietTick);
    QFETCH(QByteArray, answer);
    QFETCH(int, state);
    QFETCH(int, result);
    // A quiet tick needs a tick that comes soon; the server's own resend is still six away.
    Rig rig(QStringLiteral("img.bin"), afterQuietTick ? 200 : NormalTick);
    QVERIFY(writeFile(rig.file.path, contents(2000, 5)));
    QVERIFY(rig.load());
    rig.client.peer.reply = nullptr;
    rig.send(MakeRequest(OpRRQ, "img.bin"));
    for (int b = 1; b <= 2; ++b) {
        QVERIFY(rig.gotMore(b - 1));
        rig.send(MakeAck(quint16(b)));
    }
    QVERIFY(rig.gotMore(2));
    QCOMPARE(PacketBlock(rig.last()), quint16(3));
    if (afterQuietTick) QVERIFY(waitUntil([&] { return rig.server.TFTPTicks > 0; }));
    rig.send(MakeAck(quint16(ack)));
    if (answer.isEmpty()) {
        spin(50);
        QCOMPARE(rig.received(), 3);
    } else {
        QVERIFY(rig.gotMore(3));
        QCOMPARE(rig.received(), 4);
        QCOMPARE(rig.last(), answer);
    }
    QCOMPARE(rig.server.TFTPRetries, 0);  // never the server's own resend
    QCOMPARE(rig.server.TFTPState, state);
    QCOMPARE(rig.server.TFTPResult, result);
}

void tst_frmTFTP::duplicateAcksNeverMultiplyData_data()
{
    // A 57-block image (the configuration image ends with an empty block) read by a client that
    // acknowledges every copy it gets.
    QTest::addColumn<int>("ackCopies");
    QTest::addColumn<int>("lateAckOf");
    QTest::addColumn<int>("dataSent");
    QTest::newRow("every ACK doubled by the network") << 2 << 0 << 57;
    QTest::newRow("every ACK tripled") << 3 << 0 << 57;
    QTest::newRow("ACK 20 late, behind the ACK of its resend") << 1 << 20 << 58;
    QTest::newRow("ACK 56 late, doubled") << 2 << 56 << 58;
}

void tst_frmTFTP::duplicateAcksNeverMultiplyData()
{
    QFETCH(int, ackCopies);
    QFETCH(int, lateAckOf);
    QFETCH(int, dataSent);
    Rig rig(QStringLiteral("Config.bin"), Tick);
    const QByteArray image = contents(28672, 57);
    QVERIFY(writeFile(rig.file.path, image));
    rig.client.ackCopies = ackCopies;
    rig.client.lateAckOf = lateAckOf;
    QVERIFY(rig.load());
    rig.client.request(OpRRQ, "Config.bin", rig.server.localPort());
    QVERIFY(rig.ended());
    QCOMPARE(rig.server.TFTPResult, int(ResultComplete));
    QVERIFY(rig.client.got == image);
    QCOMPARE(rig.client.countOf(OpDATA), dataSent);
    QCOMPARE(rig.server.sentCount(), dataSent);
}

void tst_frmTFTP::packetBehindTheEndChangesNothing_data()
{
    // The device's last packet and another one in the same turn of the event loop.
    QTest::addColumn<quint16>("direction");
    QTest::addColumn<QString>("behind");
    for (const char* behind : {"write request from another host", "ERROR", "opcode 9", "read request from another port"}) {
        QTest::addRow("read, %s", behind) << quint16(OpRRQ) << QString(behind);
        QTest::addRow("write, %s", behind) << quint16(OpWRQ) << QString(behind);
    }
}

void tst_frmTFTP::packetBehindTheEndChangesNothing()
{
    QFETCH(quint16, direction);
    QFETCH(QString, behind);
    Rig rig(QStringLiteral("work.bin"));
    const QByteArray ours = contents(700, 1), theirs = contents(300, 2);
    QVERIFY(writeFile(rig.file.path, direction == OpRRQ ? ours : QByteArray("old")));
    QSignalSpy ended(&rig.server, &frmTFTP::transferEnded);
    QVERIFY(rig.load(direction));
    rig.client.peer.reply = nullptr;
    ScriptedPeer stranger(QHostAddress(behind.contains("host") ? QStringLiteral("127.0.0.3") : QStringLiteral("127.0.0.1")));
    const quint16 port = rig.server.localPort();
    rig.send(MakeRequest(direction, "work.bin"));
    QVERIFY(rig.gotMore(0));
    QByteArray last;
    if (direction == OpRRQ) {
        rig.send(MakeAck(1));
        QVERIFY(rig.gotMore(1));
        last = MakeAck(2);
    } else {
        rig.send(MakeData(1, ours.left(512)));
        QVERIFY(rig.gotMore(1));
        last = MakeData(2, ours.mid(512));
    }
    rig.send(last);
    if (behind == "ERROR") rig.send(MakeError(2));
    if (behind == "opcode 9") rig.send(QByteArray("\0\x09\0\1", 4));
    if (behind.contains("request")) {
        stranger.send(MakeRequest(behind.startsWith("write") ? OpWRQ : OpRRQ, "work.bin"), QHostAddress::LocalHost, port);
        stranger.send(MakeData(1, theirs), QHostAddress::LocalHost, port);
    }
    QVERIFY(rig.ended());
    spin(50);
    QCOMPARE(rig.server.TFTPResult, int(ResultComplete));
    QCOMPARE(ended.count(), 1);
    QCOMPARE(ended.first().first().toInt(), int(ResultComplete));
    QVERIFY(stranger.received.isEmpty());
    QCOMPARE(rig.received(), direction == OpRRQ ? 2 : 3);  // nothing after the end
    QVERIFY(readFile(rig.file.path) == ours);
    QCOMPARE(listing(rig.dir.path()), QStringList{"work.bin"});
}

void tst_frmTFTP::duplicateDataIsAcknowledgedNotWrittenTwice()
{
    Rig rig(QStringLiteral("work.bin"));
    QVERIFY(rig.load(OpWRQ));
    rig.client.peer.reply = nullptr;
    const QByteArray a(512, 'a'), b(100, 'b');
    rig.send(MakeRequest(OpWRQ, "work.bin"));
    QVERIFY(rig.gotMore(0));
    QCOMPARE(rig.last(), MakeAck(0));
    rig.send(MakeRequest(OpWRQ, "work.bin"));  // repeated request: the ACK again
    QVERIFY(rig.gotMore(1));
    QCOMPARE(rig.last(), MakeAck(0));
    rig.send(MakeData(1, a));
    QVERIFY(rig.gotMore(2));
    rig.send(MakeData(1, a));
    QVERIFY(rig.gotMore(3));
    QCOMPARE(rig.last(), MakeAck(1));
    QCOMPARE(rig.server.TFTPBlock, 1);
    rig.send(MakeData(2, b));
    QVERIFY(rig.ended());
    QCOMPARE(rig.last(), MakeAck(2));
    QCOMPARE(rig.server.TFTPResult, int(ResultComplete));
    QCOMPARE(readFile(rig.file.path), a + b);
}

void tst_frmTFTP::overtakenResendOfAStoredBlockIsIgnored()
{
    // The device resent block 1, and that copy arrives after block 2.
    Rig rig(QStringLiteral("work.bin"));
    QVERIFY(rig.load(OpWRQ));
    rig.client.peer.reply = nullptr;
    const QByteArray a(512, 'a'), b(512, 'b'), c(7, 'c');
    rig.send(MakeRequest(OpWRQ, "work.bin"));
    QVERIFY(rig.gotMore(0));
    rig.send(MakeData(1, a));
    QVERIFY(rig.gotMore(1));
    rig.send(MakeData(2, b));
    rig.send(MakeData(1, QByteArray(512, 'x')));
    QVERIFY(rig.gotMore(2));
    spin(50);
    QCOMPARE(rig.received(), 3);  // ACK 0, 1, 2: the late copy gets no answer
    QCOMPARE(rig.server.TFTPState, int(StateReceiving));
    rig.send(MakeData(3, c));
    QVERIFY(rig.ended());
    QCOMPARE(rig.server.TFTPResult, int(ResultComplete));
    QVERIFY(readFile(rig.file.path) == a + b + c);
}

void tst_frmTFTP::dataOutOfTurn_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("message");  // what the sequencer shows, its second line after the backslash
    QTest::newRow("block beyond the next") << MakeData(3, QByteArray(512, 'x')) << int(ResultIllegalBlock)
                                           << "DEBUG: Received Illegal Block Number.\\nDATA block 3 after block 1";
    QTest::newRow("block 0") << MakeData(0, QByteArray(10, 'x')) << int(ResultIllegalBlock)
                             << "DEBUG: Received Illegal Block Number.\\nDATA block 0 after block 1";
    QTest::newRow("513 data bytes") << MakeData(2, QByteArray(513, 'x')) << int(ResultBadLength)
                                    << "TFTP Error. ErrNo: 9\\na DATA packet of 517 bytes";
    QTest::newRow("datagram past 520 bytes") << MakeData(2, QByteArray(900, 'x')) << int(ResultBadLength)
                                             << "TFTP Error. ErrNo: 9\\na DATA packet of 520 bytes or more";
    QTest::newRow("3 bytes") << QByteArray("\0\3\0", 3) << int(ResultBadLength) << "TFTP Error. ErrNo: 9\\na DATA packet of 3 bytes";
    QTest::newRow("2 bytes") << QByteArray("\0\3", 2) << int(ResultBadLength) << "TFTP Error. ErrNo: 9\\na DATA packet of 2 bytes";
}

void tst_frmTFTP::dataOutOfTurn()
{
    QFETCH(QByteArray, datagram);
    QFETCH(int, result);
    QFETCH(QString, message);
    Rig rig(QStringLiteral("work.bin"));
    QVERIFY(writeFile(rig.file.path, "old"));
    QVERIFY(rig.load(OpWRQ));
    rig.client.peer.reply = nullptr;
    rig.send(MakeRequest(OpWRQ, "work.bin"));
    QVERIFY(rig.gotMore(0));
    rig.send(MakeData(1, QByteArray(512, 'a')));
    QVERIFY(rig.gotMore(1));
    rig.send(datagram);
    QVERIFY(rig.ended());
    QCOMPARE(rig.last(), MakeError(ErrIllegalOperation));
    QCOMPARE(rig.server.TFTPResult, result);
    QCOMPARE(TFTPResultText(result, 0, rig.server.TFTPDetail), message);
    QCOMPARE(readFile(rig.file.path), QByteArray("old"));
    QCOMPARE(listing(rig.dir.path()), QStringList{"work.bin"});
}

void tst_frmTFTP::wrongNameIsRefused_data()
{
    QTest::addColumn<quint16>("opcode");
    QTest::addColumn<QByteArray>("name");
    const QList<QPair<const char*, QByteArray>> names = {
        {"letter case", "IMG.BIN"},
        {"parent folder", "../img.bin"},
        {"folder", "sub/img.bin"},
        {"absolute path", "/etc/passwd"},
        {"empty", ""},
        {"other file", "other.bin"},
        {"18 characters", "ABCDEFGHIJKLMNOPQR"},
        {"17 characters, then a path", "ABCDEFGHIJKLMNOPQ/../../etc/passwd"},
    };
    for (const auto& n : names) {
        QTest::addRow("read, %s", n.first) << quint16(OpRRQ) << n.second;
        QTest::addRow("write, %s", n.first) << quint16(OpWRQ) << n.second;
    }
}

void tst_frmTFTP::wrongNameIsRefused()
{
    QFETCH(quint16, opcode);
    QFETCH(QByteArray, name);
    // A long request is tried against its own first 17 characters: it must still differ.
    const QString expected = name.size() > 17 ? QString::fromLatin1(name.left(17)) : QStringLiteral("img.bin");
    Rig rig(expected);
    QDir(rig.dir.path()).mkdir("sub");
    for (const QString& f : {rig.file.path, rig.dir.path() + "/IMG.BIN", rig.dir.path() + "/other.bin", rig.dir.path() + "/sub/img.bin"})
        QVERIFY(writeFile(f, "keep " + f.toUtf8()));
    const QStringList before = listing(rig.dir.path());
    QVERIFY(rig.load(opcode));
    rig.client.peer.reply = nullptr;
    int seen = 0;
    rig.server.requestSeen = [&] { ++seen; };
    rig.send(MakeRequest(opcode, name));
    QVERIFY(rig.gotMore(0));
    QCOMPARE(rig.last(), MakeError(ErrFileNotFound));
    QCOMPARE(rig.server.TFTPResult, int(ResultNameMismatch));
    QCOMPARE(rig.server.TFTPState, int(StateIdle));
    QCOMPARE(seen, 1);
    spin(50);
    QCOMPARE(rig.received(), 1);  // nothing but the ERROR
    QCOMPARE(listing(rig.dir.path()), before);
    for (const QString& f : {rig.file.path, rig.dir.path() + "/IMG.BIN", rig.dir.path() + "/other.bin", rig.dir.path() + "/sub/img.bin"})
        QCOMPARE(readFile(f), "keep " + f.toUtf8());
}

void tst_frmTFTP::silenceEndsWithNoAnswer_data()
{
    QTest::addColumn<quint16>("opcode");
    QTest::addColumn<QByteArray>("resent");
    QTest::newRow("after the last block") << quint16(OpRRQ) << MakeData(1, "abc");
    QTest::newRow("after the ACK of a write") << quint16(OpWRQ) << MakeAck(0);
}

void tst_frmTFTP::silenceEndsWithNoAnswer()
{
    QFETCH(quint16, opcode);
    QFETCH(QByteArray, resent);
    Rig rig(QStringLiteral("img.bin"), Tick);
    QVERIFY(writeFile(rig.file.path, "abc"));
    QVERIFY(rig.load(opcode));
    rig.client.peer.reply = nullptr;
    QSignalSpy ended(&rig.server, &frmTFTP::transferEnded);
    rig.send(MakeRequest(opcode, "img.bin"));
    QVERIFY(rig.ended(3000));
    QCOMPARE(rig.server.TFTPResult, int(ResultNoAnswer));
    QCOMPARE(ended.count(), 1);
    // The first datagram and four resends, each after six quiet ticks.
    QCOMPARE(rig.received(), 5);
    for (const auto& d : rig.client.peer.received) QCOMPARE(d.data, resent);
    if (opcode == OpWRQ) QCOMPARE(readFile(rig.file.path), QByteArray("abc"));
}

void tst_frmTFTP::requestsBySourceAndState_data()
{
    // The server is loaded for a read (types 0, 2) or a write (1, 3); the device's client first
    // brings it to `state`, then a request for the expected name comes from `source`.
    QTest::addColumn<quint16>("loaded");
    QTest::addColumn<QString>("state");
    QTest::addColumn<quint16>("request");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QByteArray>("answer");  // what the requester gets back; empty: nothing to anyone
    QTest::addColumn<int>("stateAfter");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("files");  // entries in the folder afterwards: nothing is created
    const QByteArray block1 = contents(2000, 9).left(512), shortBlock = contents(300, 9);
    const QByteArray refused = MakeError(ErrIllegalOperation);
    const int open = ResultNotFinished;
    struct Row {
        const char* name;
        quint16 loaded;
        const char* state;
        quint16 request;
        const char* source;
        QByteArray answer;
        int stateAfter, result, files;
    };
    const QList<Row> rows = {
        {"idle, read expected: device reads", OpRRQ, "idle", OpRRQ, "device", MakeData(1, block1), StateSending, open, 1},
        {"idle, read expected: device writes", OpRRQ, "idle", OpWRQ, "device", refused, StateIdle, ResultIllegalOpcode, 1},
        {"idle, write expected: device writes", OpWRQ, "idle", OpWRQ, "device", MakeAck(0), StateReceiving, open, 0},
        {"idle, write expected: device reads", OpWRQ, "idle", OpRRQ, "device", refused, StateIdle, ResultIllegalOpcode, 0},
        {"idle, read expected: stranger reads", OpRRQ, "idle", OpRRQ, "stranger", {}, StateIdle, open, 1},
        {"idle, write expected: stranger writes", OpWRQ, "idle", OpWRQ, "stranger", {}, StateIdle, open, 0},
        {"idle, read expected: stranger writes", OpRRQ, "idle", OpWRQ, "stranger", {}, StateIdle, open, 1},
        {"idle: device from a second port reads", OpRRQ, "idle", OpRRQ, "device, other port", MakeData(1, block1), StateSending, open, 1},
        {"sending: device reads again", OpRRQ, "sending", OpRRQ, "device", MakeData(1, block1), StateSending, open, 1},
        {"sending: device writes", OpRRQ, "sending", OpWRQ, "device", refused, StateIdle, ResultIllegalOpcode, 1},
        {"sending: stranger reads", OpRRQ, "sending", OpRRQ, "stranger", {}, StateSending, open, 1},
        {"sending: stranger writes", OpRRQ, "sending", OpWRQ, "stranger", {}, StateSending, open, 1},
        {"sending: device from another port reads", OpRRQ, "sending", OpRRQ, "device, other port", {}, StateSending, open, 1},
        {"sending: device from another port writes", OpRRQ, "sending", OpWRQ, "device, other port", {}, StateSending, open, 1},
        {"last block: device reads again", OpRRQ, "last block", OpRRQ, "device", MakeData(1, shortBlock), StateLastSent, open, 1},
        {"last block: device writes", OpRRQ, "last block", OpWRQ, "device", refused, StateIdle, ResultIllegalOpcode, 1},
        {"last block: stranger reads", OpRRQ, "last block", OpRRQ, "stranger", {}, StateLastSent, open, 1},
        {"last block: device from another port writes", OpRRQ, "last block", OpWRQ, "device, other port", {}, StateLastSent, open, 1},
        {"receiving: device writes again", OpWRQ, "receiving", OpWRQ, "device", MakeAck(0), StateReceiving, open, 0},
        {"receiving: device reads", OpWRQ, "receiving", OpRRQ, "device", refused, StateIdle, ResultIllegalOpcode, 0},
        {"receiving: stranger reads", OpWRQ, "receiving", OpRRQ, "stranger", {}, StateReceiving, open, 0},
        {"receiving: stranger writes", OpWRQ, "receiving", OpWRQ, "stranger", {}, StateReceiving, open, 0},
        {"receiving: device from another port writes", OpWRQ, "receiving", OpWRQ, "device, other port", {}, StateReceiving, open, 0},
    };
    for (const Row& r : rows)
        QTest::newRow(r.name) << r.loaded << QString(r.state) << r.request << QString(r.source) << r.answer
                              << r.stateAfter << r.result << r.files;
}

void tst_frmTFTP::requestsBySourceAndState()
{
    QFETCH(quint16, loaded);
    QFETCH(QString, state);
    QFETCH(quint16, request);
    QFETCH(QString, source);
    QFETCH(QByteArray, answer);
    QFETCH(int, stateAfter);
    QFETCH(int, result);
    QFETCH(int, files);
    Rig rig;
    if (loaded == OpRRQ) QVERIFY(writeFile(rig.file.path, contents(state == "last block" ? 300 : 2000, 9)));
    QVERIFY(rig.load(loaded));
    rig.client.peer.reply = nullptr;
    if (state != "idle") {
        rig.send(MakeRequest(loaded, "img.bin"));
        QVERIFY(rig.gotMore(0));
    }
    ScriptedPeer requester(QHostAddress(source == "stranger" ? QStringLiteral("127.0.0.3") : QStringLiteral("127.0.0.1")));
    ScriptedPeer& from = source == "device" ? rig.client.peer : requester;
    const int before = from.received.size();
    from.send(MakeRequest(request, "img.bin"), QHostAddress::LocalHost, rig.server.localPort());
    if (answer.isEmpty()) {
        // Dropped with one line that names the sender.
        QVERIFY(waitUntil([&] { return rig.debug.size() == 1; }));
        QCOMPARE(rig.debug.first(), QStringLiteral("DEBUG: Unexpected Port: %1 from %2").arg(requester.port()).arg(requester.address().toString()));
        spin(30);
    } else {
        QVERIFY(waitUntil([&] { return from.received.size() > before; }));
        QCOMPARE(from.received.last().data, answer);
        QVERIFY(rig.debug.isEmpty());
    }
    QCOMPARE(from.received.size(), before + (answer.isEmpty() ? 0 : 1));
    if (&from != &rig.client.peer) QCOMPARE(rig.received(), state == "idle" ? 0 : 1);
    QCOMPARE(rig.server.TFTPState, stateAfter);
    QCOMPARE(rig.server.TFTPResult, result);
    QCOMPARE(listing(rig.dir.path()).size(), files);
    if (result == ResultIllegalOpcode && state == "idle")
        QCOMPARE(rig.server.TFTPDetail, QStringLiteral("a %1 request for 'img.bin' came, a %2 request was expected")
                                            .arg(request == OpRRQ ? "read" : "write", request == OpRRQ ? "write" : "read"));
    if (source != "stranger" || state != "idle") return;
    // The stranger took nothing: the device's own request is still served.
    rig.send(MakeRequest(loaded, "img.bin"));
    QVERIFY(rig.gotMore(0));
    QCOMPARE(rig.last(), loaded == OpRRQ ? MakeData(1, contents(2000, 9).left(512)) : MakeAck(0));
}

void tst_frmTFTP::strangersFloodAWholeTransfer()
{
    // Behind each of the device's ACKs a stranger sends one datagram: from another host, or from
    // another port of the device's; requests for the expected name, DATA, ACK, ERROR.
    Rig rig;
    const QByteArray data = contents(100000, 21);
    QVERIFY(writeFile(rig.file.path, data));
    QVERIFY(rig.load());
    ScriptedPeer otherHost(QHostAddress(QStringLiteral("127.0.0.3"))), otherPort;
    const auto ack = rig.client.peer.reply;
    int sent = 0;
    rig.client.peer.reply = [&](const ScriptedPeer::Datagram& d) {
        const QList<QByteArray> junk = {MakeRequest(OpRRQ, "img.bin"), MakeRequest(OpWRQ, "img.bin"), MakeData(1, "forged"),
                                        MakeAck(quint16(sent)), MakeError(0)};
        (sent % 2 ? otherHost : otherPort).send(junk[sent % junk.size()], QHostAddress::LocalHost, rig.server.localPort());
        ++sent;
        return ack(d);
    };
    rig.client.request(OpRRQ, "img.bin", rig.server.localPort());
    QVERIFY(rig.ended(30000));
    QCOMPARE(rig.server.TFTPResult, int(ResultComplete));
    QVERIFY(rig.client.got == data);
    rig.server.unload();
    // A line a tick at most, and one line for the rest when the server unloads.
    QVERIFY2(rig.debug.size() >= 2, qPrintable(rig.debug.join('|')));
    const QRegularExpression rest(QStringLiteral("^DEBUG: (\\d+) more datagrams from other ports ignored$"));
    const QRegularExpressionMatch m = rest.match(rig.debug.last());
    QVERIFY2(m.hasMatch(), qPrintable(rig.debug.last()));
    QCOMPARE(m.captured(1).toInt() + rig.debug.size() - 1, sent);
    QVERIFY(otherHost.received.isEmpty() && otherPort.received.isEmpty());
}

void tst_frmTFTP::errorPacket_data()
{
    QTest::addColumn<bool>("during");
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<int>("code");
    QTest::newRow("during a transfer") << true << MakeError(2) << 2;
    QTest::newRow("with a message") << true << QByteArray("\0\5\0\3disk full\0", 14) << 3;
    QTest::newRow("4 bytes") << true << QByteArray("\0\5\0\7", 4) << 7;
    QTest::newRow("3 bytes: code 0") << true << QByteArray("\0\5\1", 3) << 0;
    QTest::newRow("while idle") << false << MakeError(1) << 1;
}

void tst_frmTFTP::errorPacket()
{
    QFETCH(bool, during);
    QFETCH(QByteArray, datagram);
    QFETCH(int, code);
    Rig rig(QStringLiteral("img.bin"), Tick);
    QVERIFY(writeFile(rig.file.path, contents(2000, 9)));
    QVERIFY(rig.load());
    rig.client.peer.reply = nullptr;
    if (during) {
        rig.send(MakeRequest(OpRRQ, "img.bin"));
        QVERIFY(rig.gotMore(0));
    }
    rig.send(datagram);
    QVERIFY(rig.ended());
    QCOMPARE(rig.server.TFTPResult, int(ResultErrorReceived));
    QCOMPARE(rig.server.TFTPErrCode, code);
    spin(3 * 6 * Tick);
    QCOMPARE(rig.received(), during ? 1 : 0);  // the transfer has ended: no resends
}

void tst_frmTFTP::requestsTheStateDoesNotAllow_data()
{
    QTest::addColumn<quint16>("first");
    QTest::addColumn<QByteArray>("then");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<int>("result");
    QTest::newRow("write request while sending") << quint16(OpRRQ) << MakeRequest(OpWRQ, "img.bin") << MakeError(ErrIllegalOperation) << int(ResultIllegalOpcode);
    QTest::newRow("read request while receiving") << quint16(OpWRQ) << MakeRequest(OpRRQ, "img.bin") << MakeError(ErrIllegalOperation) << int(ResultIllegalOpcode);
    QTest::newRow("opcode 0 while sending") << quint16(OpRRQ) << QByteArray("\0\0\0\1", 4) << QByteArray() << int(ResultIllegalOpcode);
    QTest::newRow("opcode 6 while receiving") << quint16(OpWRQ) << QByteArray("\0\6\0\1", 4) << QByteArray() << int(ResultIllegalOpcode);
    QTest::newRow("opcode 0x0103 while idle") << quint16(0) << QByteArray("\1\3abc", 5) << QByteArray() << int(ResultIllegalOpcode);
}

void tst_frmTFTP::requestsTheStateDoesNotAllow()
{
    QFETCH(quint16, first);
    QFETCH(QByteArray, then);
    QFETCH(QByteArray, answer);
    QFETCH(int, result);
    Rig rig;
    QVERIFY(writeFile(rig.file.path, contents(2000, 9)));
    QVERIFY(rig.load(first == 0 ? quint16(OpRRQ) : first));
    rig.client.peer.reply = nullptr;
    if (first != 0) {
        rig.send(MakeRequest(first, "img.bin"));
        QVERIFY(rig.gotMore(0));
    }
    const int before = rig.received();
    rig.send(then);
    QVERIFY(rig.ended());
    QCOMPARE(rig.server.TFTPResult, result);
    if (!answer.isEmpty()) {
        QVERIFY(rig.gotMore(before));
        QCOMPARE(rig.last(), answer);
    }
    QCOMPARE(readFile(rig.file.path), contents(2000, 9));
}

void tst_frmTFTP::dataOrAckWhileIdleChangeNothing()
{
    Rig rig;
    QVERIFY(writeFile(rig.file.path, "abc"));
    QVERIFY(rig.load());
    rig.client.peer.reply = nullptr;
    int seen = 0;
    rig.server.requestSeen = [&] { ++seen; };
    for (const QByteArray& d : {MakeData(1, "zzz"), MakeAck(0), MakeAck(1), QByteArray("\0\4\0", 3), QByteArray("\0", 1), QByteArray()})
        rig.send(d);
    spin(100);
    QCOMPARE(rig.received(), 0);
    QCOMPARE(seen, 0);
    QCOMPARE(rig.server.TFTPState, int(StateIdle));
    QCOMPARE(rig.server.TFTPResult, int(ResultNotFinished));
    QCOMPARE(readFile(rig.file.path), QByteArray("abc"));
    // And the server still serves the request that follows.
    rig.client.peer.received.clear();
    rig.send(MakeRequest(OpRRQ, "img.bin"));
    QVERIFY(rig.gotMore(0));
    QCOMPARE(rig.last(), MakeData(1, "abc"));
}

void tst_frmTFTP::fileThatCannotBeOpened_data()
{
    QTest::addColumn<quint16>("opcode");
    QTest::addColumn<QString>("relative");
    QTest::addColumn<quint16>("code");
    QTest::newRow("write: missing folder") << quint16(OpWRQ) << "no/such/img.bin" << quint16(ErrAccessViolation);
    QTest::newRow("write: a folder") << quint16(OpWRQ) << "dir.bin" << quint16(ErrAccessViolation);
}

void tst_frmTFTP::fileThatCannotBeOpened()
{
    QFETCH(quint16, opcode);
    QFETCH(QString, relative);
    QFETCH(quint16, code);
    Rig rig(relative);
    QDir(rig.dir.path()).mkdir("dir.bin");
    QVERIFY(rig.load(opcode));
    rig.client.peer.reply = nullptr;
    rig.send(MakeRequest(opcode, rig.file.name.toUtf8()));
    QVERIFY(rig.ended());
    QCOMPARE(rig.last(), MakeError(code));
    QCOMPARE(rig.server.TFTPResult, int(ResultFileOpen));
    QCOMPARE(listing(rig.dir.path()), QStringList{"dir.bin"});
}

void tst_frmTFTP::failedReceiveLeavesTheTarget_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("targetExists");
    for (const char* how : {"error packet", "bad block", "unload", "silence"}) {
        QTest::addRow("%s, old target", how) << QString(how) << true;
        QTest::addRow("%s, no target", how) << QString(how) << false;
    }
}

void tst_frmTFTP::failedReceiveLeavesTheTarget()
{
    QFETCH(QString, how);
    QFETCH(bool, targetExists);
    Rig rig(QStringLiteral("work.bin"), Tick);
    if (targetExists) QVERIFY(writeFile(rig.file.path, "the old file"));
    QVERIFY(rig.load(OpWRQ));
    rig.client.peer.reply = nullptr;
    rig.send(MakeRequest(OpWRQ, "work.bin"));
    QVERIFY(rig.gotMore(0));
    rig.send(MakeData(1, QByteArray(512, 'n')));
    QVERIFY(rig.gotMore(1));
    if (how == "error packet") rig.send(MakeError(3));
    if (how == "bad block") rig.send(MakeData(9, "x"));
    if (how == "unload") rig.server.unload();
    if (how != "unload") QVERIFY(rig.ended(3000));
    QVERIFY(rig.server.TFTPResult != int(ResultComplete));
    QCOMPARE(listing(rig.dir.path()), targetExists ? QStringList{"work.bin"} : QStringList{});
    if (targetExists) QCOMPARE(readFile(rig.file.path), QByteArray("the old file"));
}

void tst_frmTFTP::blockNumbersUseAll16Bits()
{
    // The largest file that fits: 65535 blocks, the last one 511 bytes long. A sparse file.
    Rig rig;
    const qint64 size = qint64(65535) * 512 - 1;
    {
        QFile f(rig.file.path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.seek(size - 3));
        QVERIFY(f.write("end") == 3);
    }
    QVERIFY(rig.load());
    rig.client.request(OpRRQ, "img.bin", rig.server.localPort());
    QVERIFY(rig.ended(120000));
    QCOMPARE(rig.server.TFTPResult, int(ResultComplete));
    QCOMPARE(rig.client.got.size(), size);
    QVERIFY(rig.client.got.endsWith("end"));
    QCOMPARE(PacketBlock(rig.client.peer.received.last().data), quint16(0xFFFF));
    QCOMPARE(rig.client.countOf(OpDATA), 65535);
}

void tst_frmTFTP::fileTooLargeIsRefused()
{
    // Read: a file of 65535 full blocks would need block 65536.
    Rig rig;
    {
        QFile f(rig.file.path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(qint64(65535) * 512));
    }
    QVERIFY(rig.load());
    rig.client.peer.reply = nullptr;
    rig.send(MakeRequest(OpRRQ, "img.bin"));
    QVERIFY(rig.ended());
    QCOMPARE(rig.last(), MakeError(ErrDiskFull));
    QCOMPARE(rig.server.TFTPResult, int(ResultTooLarge));

    // Write: a full block 65535 is refused instead of wrapping to block 0.
    Rig put(QStringLiteral("work.bin"));
    QVERIFY(writeFile(put.file.path, "old"));
    put.client.upload = QByteArray(65535 * 512 + 100, 'u');
    QVERIFY(put.load(OpWRQ));
    put.client.request(OpWRQ, "work.bin", put.server.localPort());
    QVERIFY(put.ended(120000));
    QCOMPARE(put.server.TFTPResult, int(ResultTooLarge));
    QCOMPARE(put.server.TFTPBlock, 65534);
    QVERIFY(waitUntil([&] { return put.client.errorCode == int(ErrDiskFull); }, 1000));
    QCOMPARE(readFile(put.file.path), QByteArray("old"));
    QCOMPARE(listing(put.dir.path()), QStringList{"work.bin"});
}

void tst_frmTFTP::fullDiskEndsWithWriteError()
{
    // A file size limit makes the disk "full" for this process after 4096 bytes.
    Rig rig(QStringLiteral("work.bin"));
    QVERIFY(writeFile(rig.file.path, "old"));
    rig.client.upload = contents(10000, 4);
    QVERIFY(rig.load(OpWRQ));
    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    rig.client.request(OpWRQ, "work.bin", rig.server.localPort());
    const bool ended = rig.ended();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    QVERIFY(ended);
    QCOMPARE(rig.server.TFTPResult, int(ResultWriteError));
    QVERIFY(waitUntil([&] { return rig.client.errorCode == int(ErrDiskFull); }, 1000));
    QCOMPARE(rig.server.TFTPBlock, 9);
    QCOMPARE(readFile(rig.file.path), QByteArray("old"));
    QCOMPARE(listing(rig.dir.path()), QStringList{"work.bin"});
}

void tst_frmTFTP::randomDatagramsTouchNoOtherFile()
{
    Rig rig(QStringLiteral("img.bin"));
    QVERIFY(writeFile(rig.file.path, contents(3000, 1)));
    for (const char* other : {"IMG.BIN", "img.bin.bak", "img.bi", "other.bin"})
        QVERIFY(writeFile(rig.dir.path() + "/" + other, other));
    const QStringList before = listing(rig.dir.path());
    rig.client.peer.reply = nullptr;
    QRandomGenerator g(20240607);
    const QList<QByteArray> names = {"img.bin", "IMG.BIN", "../img.bin", "img.bi", "img.bin.bak", "", "/img.bin", "other.bin"};
    int sent = 0;
    for (int round = 0; round < 60; ++round) {
        QVERIFY(rig.load(round % 2 ? OpRRQ : OpWRQ));
        for (int i = 0; i < 300; ++i) {
            QByteArray d;
            const int kind = int(g.bounded(8));
            const quint16 block = quint16(g.bounded(4) == 0 ? g.bounded(65536) : g.bounded(6));
            switch (kind) {
            case 0: d = MakeRequest(quint16(1 + g.bounded(2)), names[int(g.bounded(names.size()))]); break;
            case 1: d = MakeData(block, QByteArray(int(g.bounded(700)), char(g.bounded(256)))); break;
            case 2: d = MakeAck(block); break;
            case 3: d = MakeError(block).left(int(g.bounded(6))); break;
            case 4: d = QByteArray("\0\1", 2) + QByteArray(int(g.bounded(30)), 'n'); break;  // name without a 0
            default:
                d.resize(int(g.bounded(600)));
                for (char& c : d) c = char(g.bounded(256));
                if (kind == 5 && d.size() >= 2) d[0] = 0, d[1] = char(g.bounded(9));  // opcodes 0..8
                break;
            }
            rig.send(d);
            ++sent;
            if (i % 25 == 0) QCoreApplication::processEvents();
        }
        spin(5);
        rig.server.unload();
    }
    QVERIFY(sent == 18000);
    QCOMPARE(listing(rig.dir.path()), before);
    for (const char* other : {"IMG.BIN", "img.bin.bak", "img.bi", "other.bin"})
        QCOMPARE(readFile(rig.dir.path() + "/" + other), QByteArray(other));
}

QTEST_GUILESS_MAIN(tst_frmTFTP)
#include "tst_frmTFTP.moc"
