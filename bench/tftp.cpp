// How fast the PC's TFTP server moves a 16,000,000-byte file to and from tftp-hpa's client,
// against in.tftpd of tftpd-hpa serving the same file in the same run. Median of 5 each.
// Last line: "tftp get 16000000 B: ours T1 s, in.tftpd T2 s, ratio R".
#include "tftp/TftpResult.h"
#include "tftp/frmTFTP.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <QUdpSocket>
#include <algorithm>

namespace {

constexpr qint64 FileSize = 16000000;
constexpr int Runs = 5;
QTextStream out(stdout);

QString findProgram(const QString& name)
{
    QString p = QStandardPaths::findExecutable(name);
    if (p.isEmpty()) p = QStandardPaths::findExecutable(name, {"/usr/sbin", "/sbin"});
    return p;
}

quint16 freePort()
{
    QUdpSocket s;
    s.bind(QHostAddress::LocalHost, 0);
    return s.localPort();
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs the client to its end with this process's event loop turning (our server lives in it).
// Seconds from start to exit, or -1 when it failed.
double runClient(const QString& tftp, quint16 port, const QString& command, const QString& a, const QString& b)
{
    QProcess p;
    QEventLoop loop;
    QObject::connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(300000, &loop, &QEventLoop::quit);
    QElapsedTimer t;
    t.start();
    p.start(tftp, {"-m", "binary", "127.0.0.1", QString::number(port), "-c", command, a, b});
    if (!p.waitForStarted()) return -1;
    loop.exec();
    const double s = t.nsecsElapsed() / 1e9;
    return (p.state() == QProcess::NotRunning && p.exitCode() == 0) ? s : -1;
}

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString tftp = findProgram("tftp");
    const QString tftpd = findProgram("in.tftpd");
    if (tftp.isEmpty() || tftpd.isEmpty()) {
        out << "tftp bench: needs tftp (tftp-hpa) and in.tftpd (tftpd-hpa); scripts/setup.sh installs them" << Qt::endl;
        return 1;
    }

    // in.tftpd runs as nobody: the served file must be readable, the folder writable by all.
    QTemporaryDir serverDir, clientDir;
    QFile::setPermissions(serverDir.path(), QFileDevice::Permissions(0x7777));
    const QString served = serverDir.path() + "/big.bin";
    QByteArray data(int(FileSize), Qt::Uninitialized);
    QRandomGenerator g(16);
    for (char& c : data) c = char(g.bounded(256));
    {
        QFile f(served);
        if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size()) return 1;
    }
    QFile::setPermissions(served, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    const QString upload = clientDir.path() + "/upload.bin";
    QFile::copy(served, upload);

    const quint16 theirPort = freePort();
    QProcess daemon;
    daemon.start(tftpd, {"-L", "-a", QStringLiteral("127.0.0.1:%1").arg(theirPort), "-c", "-s", serverDir.path()});
    if (!daemon.waitForStarted()) {
        out << "tftp bench: in.tftpd did not start" << Qt::endl;
        return 1;
    }
    QThread::msleep(300);

    frmTFTP::Options o;
    o.port = 0;
    o.address = QHostAddress::LocalHost;
    frmTFTP server(o);
    const QHostAddress client(QHostAddress::LocalHost);
    basTFTP::Transfer get, put;
    get.type = 2;  // the client reads: the firmware to the device
    put.type = 3;
    basTFTP::SetTransferFile(get.file, served);
    get.bytes = data;

    QList<double> oursGet, theirsGet, oursPut, theirsPut;
    int failures = 0;
    auto check = [&](double s, const QString& path, const char* what) {
        if (s < 0 || readAll(path) != data) {
            out << "  " << what << ": FAILED" << Qt::endl;
            ++failures;
        }
        QFile::remove(path);
    };
    for (int run = 0; run < Runs; ++run) {
        const QString local = clientDir.path() + "/got.bin";
        server.load(get, client);
        double s = runClient(tftp, server.localPort(), "get", "big.bin", local);
        check(server.TFTPResult == basTFTP::ResultComplete ? s : -1, local, "ours get");
        oursGet << s;
        server.unload();

        s = runClient(tftp, theirPort, "get", "big.bin", local);
        check(s, local, "in.tftpd get");
        theirsGet << s;

        const QString name = QStringLiteral("up%1.bin").arg(run);
        basTFTP::SetTransferFile(put.file, serverDir.path() + "/ours_" + name);
        server.load(put, client);
        s = runClient(tftp, server.localPort(), "put", upload, "ours_" + name);
        check(server.TFTPResult == basTFTP::ResultComplete ? s : -1, put.file.path, "ours put");
        oursPut << s;
        server.unload();

        s = runClient(tftp, theirPort, "put", upload, "theirs_" + name);
        check(s, serverDir.path() + "/theirs_" + name, "in.tftpd put");
        theirsPut << s;
        out << QStringLiteral("run %1: get ours %2 s, in.tftpd %3 s; put ours %4 s, in.tftpd %5 s")
                   .arg(run + 1).arg(oursGet.last(), 0, 'f', 3).arg(theirsGet.last(), 0, 'f', 3)
                   .arg(oursPut.last(), 0, 'f', 3).arg(theirsPut.last(), 0, 'f', 3)
            << Qt::endl;
    }
    daemon.kill();
    daemon.waitForFinished();

    const double og = median(oursGet), tg = median(theirsGet), op = median(oursPut), tp = median(theirsPut);
    if (failures) out << failures << " transfers failed" << Qt::endl;
    out << QStringLiteral("tftp put %1 B: ours %2 s, in.tftpd %3 s, ratio %4")
               .arg(FileSize).arg(op, 0, 'f', 3).arg(tp, 0, 'f', 3).arg(op / tp, 0, 'f', 2)
        << Qt::endl;
    out << QStringLiteral("tftp get %1 B: ours %2 s, in.tftpd %3 s, ratio %4")
               .arg(FileSize).arg(og, 0, 'f', 3).arg(tg, 0, 'f', 3).arg(og / tg, 0, 'f', 2)
        << Qt::endl;
    return failures ? 1 : 0;
}
