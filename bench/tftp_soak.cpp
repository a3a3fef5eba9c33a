// Transfers through a lossy simulated device: 50 of 1 MB each way by default, its TFTP packets
// dropped (20%), duplicated (10%) and reordered (5%) from a fixed seed. Each transfer must end
// byte-identical or with a failure text. Last line:
// "tftp soak: N identical, F failed with a text, W wrong".
// Options: --transfers N (each way), --size BYTES, --seed S.
#include "devsim/DeviceSim.h"
#include "link/frmUIF.h"
#include "tftp/frmTFR.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

namespace {

QByteArray contents(int size, quint32 seed)
{
    QByteArray b(size, Qt::Uninitialized);
    QRandomGenerator g(seed);
    for (char& c : b) c = char(g.bounded(256));
    return b;
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QCommandLineParser p;
    p.addOptions({{"transfers", "Transfers each way.", "N", "50"},
                  {"size", "Bytes per transfer.", "BYTES", "1000000"},
                  {"seed", "Seed of the device's faults.", "S", "2024"}});
    p.process(app);
    const int transfers = p.value("transfers").toInt();
    const int size = p.value("size").toInt();
    const quint32 seed = p.value("seed").toUInt();

    DeviceSim::Options so = DeviceSim::Options::OnFreePorts(QHostAddress(QStringLiteral("127.0.0.2")), seed);
    so.faults.tftpDropRate = 0.2;
    so.faults.tftpDuplicateRate = 0.1;
    so.faults.tftpReorderRate = 0.05;
    so.faults.tftpTimeoutMs = 4;
    so.faults.tftpRetries = 40;
    DeviceSim sim(so);
    QString error;
    if (!sim.start(&error)) {
        out << "tftp soak: simulator: " << error << Qt::endl;
        return 1;
    }
    frmUIF::Options uo;
    uo.tickMs = 10;
    uo.localPort = 0;
    uo.remotePort = sim.uifPort();
    frmUIF uif(nullptr, uo);
    uif.load();
    uif.setRemoteHost(sim.address().toIPv4Address());
    frmTFR::Options to;
    to.tickMs = 10;
    to.tftp.tickMs = 5;
    to.tftp.port = 0;
    frmTFR tfr(uif, to);
    tfr.load();

    QTemporaryDir dir;
    int identical = 0, failed = 0, wrong = 0;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < transfers; ++i) {
        const QByteArray up = contents(size, seed + quint32(2 * i));
        const QString upPath = dir.path() + "/FW_UP.BIN";
        writeAll(upPath, up);
        sim.stores.ram.clear();
        basTFTP::Transfer send;
        send.type = frmTFR::FirmwareToDevice;
        basTFTP::SetTransferFile(send.file, upPath);
        send.bytes = up;
        int st = tfr.TFTP_StartRequest(send);
        settle(5);
        if (st == 0 && sim.stores.ram == up)
            ++identical;
        else if (st != 0 && !tfr.TFRMessage.isEmpty())
            ++failed, out << "transfer " << i + 1 << " to the device: " << tfr.TFRMessage << Qt::endl;
        else
            ++wrong, out << "transfer " << i + 1 << " to the device: WRONG" << Qt::endl;

        const QByteArray down = contents(size, seed + quint32(2 * i + 1));
        const QString downPath = dir.path() + "/FW_DOWN.BIN";
        writeAll(downPath, "old");
        sim.stores.firmware = down;
        basTFTP::Transfer receive;
        receive.type = frmTFR::FirmwareFromDevice;
        basTFTP::SetTransferFile(receive.file, downPath);
        st = tfr.TFTP_StartRequest(receive);
        const QByteArray got = readAll(downPath);
        if (st == 0 && got == down)
            ++identical;
        else if (st != 0 && !tfr.TFRMessage.isEmpty() && got == "old")
            ++failed, out << "transfer " << i + 1 << " from the device: " << tfr.TFRMessage << Qt::endl;
        else
            ++wrong, out << "transfer " << i + 1 << " from the device: WRONG" << Qt::endl;
    }
    out << QStringLiteral("%1 transfers of %2 bytes each way in %3 s")
               .arg(transfers).arg(size).arg(t.elapsed() / 1000.0, 0, 'f', 1)
        << Qt::endl;
    out << QStringLiteral("tftp soak: %1 identical, %2 failed with a text, %3 wrong").arg(identical).arg(failed).arg(wrong) << Qt::endl;
    return wrong ? 1 : 0;
}
