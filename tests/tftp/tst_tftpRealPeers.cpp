// The server against TFTP clients written elsewhere: tftp-hpa's tftp, atftp and curl.
#include "tftp/TftpResult.h"
#include "tftp/frmTFTP.h"
#include "TftpTestKit.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace basTFTP;
using namespace tftptest;

namespace {

QString findProgram(const QString& name)
{
    QString p = QStandardPaths::findExecutable(name);
    if (p.isEmpty()) p = QStandardPaths::findExecutable(name, {"/usr/sbin", "/sbin", "/usr/local/sbin"});
    return p;
}

struct Command {
    QString program;
    QStringList arguments;
    QString stdoutFile;  // curl writes a GET to its standard output, so even an empty file exists
};

Command clientCommand(const QString& client, bool get, quint16 port, const QString& remote, const QString& local)
{
    // On loopback the clients send from 127.0.0.1, the device's address here.
    const QString host = QStringLiteral("127.0.0.1");
    const QString p = QString::number(port);
    if (client == "tftp")
        return {findProgram("tftp"), {"-m", "binary", host, p, "-c", get ? "get" : "put", get ? remote : local, get ? local : remote}, {}};
    if (client == "atftp")
        return {findProgram("atftp"), {get ? "-g" : "-p", "-r", remote, "-l", local, host, p}, {}};
    const QString url = QStringLiteral("tftp://%1:%2/%3").arg(host, p, remote);
    if (get) return {findProgram("curl"), {"-s", "-S", url}, local};
    return {findProgram("curl"), {"-s", "-S", "-T", local, url}, {}};
}

}  // namespace

class tst_tftpRealPeers : public QObject {
    Q_OBJECT
private slots:
    void clients_data();
    void clients();
};

void tst_tftpRealPeers::clients_data()
{
    QTest::addColumn<QString>("client");
    QTest::addColumn<bool>("get");
    QTest::addColumn<int>("size");
    for (const char* client : {"tftp", "atftp", "curl"})
        for (bool get : {true, false})
            for (int size : {28672, 1536, 0, 16000000})
                QTest::addRow("%s %s %d bytes", client, get ? "GET" : "PUT", size) << QString(client) << get << size;
}

void tst_tftpRealPeers::clients()
{
    QFETCH(QString, client);
    QFETCH(bool, get);
    QFETCH(int, size);
    if (findProgram(client).isEmpty())
        QSKIP(qPrintable(QStringLiteral("'%1' is not installed (scripts/setup.sh installs tftp-hpa, atftp and curl)").arg(client)));

    QTemporaryDir serverDir, clientDir;
    const QByteArray data = contents(size, quint32(size) ^ 0x5A5A);
    const QString expected = serverDir.path() + (get ? "/img.bin" : "/work.bin");
    const QString local = clientDir.path() + "/local.bin";
    QVERIFY(writeFile(get ? expected : local, data));
    if (!get) QVERIFY(writeFile(expected, "old"));

    frmTFTP server(serverOptions(100));
    const Transfer transfer = makeTransfer(get ? 2 : 3, expected);
    const TransferFile& file = transfer.file;
    QVERIFY(server.load(transfer, QHostAddress(QHostAddress::LocalHost)));

    const Command c = clientCommand(client, get, server.localPort(), file.name, local);
    QProcess process;
    if (!c.stdoutFile.isEmpty()) process.setStandardOutputFile(c.stdoutFile);
    process.start(c.program, c.arguments);
    QVERIFY(process.waitForStarted());
    QVERIFY2(runUntil([&] { return process.state() == QProcess::NotRunning; }, 120000), "the client did not finish");
    const QByteArray errors = process.readAllStandardError();
    QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0, errors.constData());
    QVERIFY(waitUntil([&] { return server.TFTPState == StateIdle; }, 2000));
    QCOMPARE(server.TFTPResult, int(ResultComplete));
    // Compare the files themselves: tftp-hpa's exit status says nothing about the transfer.
    const QByteArray arrived = readFile(get ? local : expected);
    QCOMPARE(arrived.size(), data.size());
    QVERIFY(arrived == data);
    QCOMPARE(listing(serverDir.path()), QStringList{file.name});
}

QTEST_GUILESS_MAIN(tst_tftpRealPeers)
#include "tst_tftpRealPeers.moc"
