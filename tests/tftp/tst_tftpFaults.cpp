// Transfers through a device that drops, duplicates, delays and reorders its TFTP packets:
// each one ends byte-identical or with a failure text, never as a success with a wrong file.
#include "SequencerRig.h"
#include "TftpTestKit.h"

#include <QtTest>

using namespace tftptest;

class tst_tftpFaults : public QObject {
    Q_OBJECT
private slots:
    void lossyDevice_data();
    void lossyDevice();
};

void tst_tftpFaults::lossyDevice_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("delayMs");
    QTest::newRow("seed 12, every packet 1 ms late") << 12u << 1;
}

void tst_tftpFaults::lossyDevice()
{
    QFETCH(quint32, seed);
    QFETCH(int, delayMs);
    SequencerTiming timing;
    timing.serverTickMs = 5;      // the server resends after 30 ms of quiet
    timing.deviceTimeoutMs = 10;  // the device after 10 ms
    timing.deviceRetries = 15;
    SequencerRig rig(timing, seed);
    DeviceFaults& f = rig.sim.faults();
    f.tftpDropRate = 0.2;
    f.tftpDuplicateRate = 0.1;
    f.tftpReorderRate = 0.05;
    f.tftpDelayMs = delayMs;

    int identical = 0, failedWithText = 0, wrong = 0;
    QStringList failures;
    for (int i = 0; i < 20; ++i) {
        const QByteArray data = contents(65536, seed * 100 + quint32(i));
        // To the device.
        QVERIFY(writeFile(rig.path("FW_UP.BIN"), data));
        rig.sim.stores.ram.clear();
        int st = rig.start(2, rig.path("FW_UP.BIN"));
        // The device may still be taking the last block when the PC has given up: let it settle.
        spin(5);
        if (st == 0 && rig.sim.stores.ram == data)
            ++identical;
        else if (st != 0 && !rig.tfr.TFRMessage.isEmpty())
            ++failedWithText, failures << rig.tfr.TFRMessage;
        else
            ++wrong;
        // From the device.
        const QByteArray back = contents(65536, seed * 100 + 50 + quint32(i));
        rig.sim.stores.firmware = back;
        QVERIFY(writeFile(rig.path("FW_DOWN.BIN"), "old"));
        st = rig.start(3, rig.path("FW_DOWN.BIN"));
        const QByteArray got = readFile(rig.path("FW_DOWN.BIN"));
        if (st == 0 && got == back)
            ++identical;
        else if (st != 0 && !rig.tfr.TFRMessage.isEmpty() && got == "old")
            ++failedWithText, failures << rig.tfr.TFRMessage;
        else
            ++wrong;
    }
    qInfo("seed %u: %d identical, %d failed with a text, %d wrong %s", seed, identical, failedWithText, wrong,
          qPrintable(failures.join("; ")));
    QCOMPARE(wrong, 0);
    QCOMPARE(identical + failedWithText, 40);
    QVERIFY(identical >= 20);  // the resends carry most transfers through
    QCOMPARE(listing(rig.dir.path()), (QStringList{"FW_DOWN.BIN", "FW_UP.BIN"}));
}

QTEST_GUILESS_MAIN(tst_tftpFaults)
#include "tst_tftpFaults.moc"
