// Many devices at once: qln-devsim's address list, twenty qln side by side, and the Ansible
// playbooks of examples/ansible against simulated devices.
#include "QlnProcess.h"
#include "devsim/DeviceSimOptions.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// qln-devsim as a process; its start lines are read until `started` is in them.
struct DevsimProcess {
    QProcess p;
    QString out;
    bool start(const QStringList& args, const QString& started)
    {
        p.start(QLN_DEVSIM_PATH, args);
        return waitUntil([&] {
            out += QString::fromLatin1(p.readAllStandardOutput());
            return out.contains(started) || p.state() == QProcess::NotRunning;
        }, 30000) && out.contains(started);
    }
    ~DevsimProcess()
    {
        p.terminate();
        p.waitForFinished();
    }
};

QString git(const QString& dir, const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral("git"), QStringList{"-C", dir} + args);
    p.waitForFinished();
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

}  // namespace

class tst_fleet : public QObject {
    Q_OBJECT
private slots:
    void addressList_data();
    void addressList();
    void twentyReceivesAtOnce();
    void playbooks_data();
    void playbooks();
    void deploy_data();
    void deploy();

private:
    // ansible-playbook with the examples' configuration, its temporary files in the work folder.
    QProcessEnvironment ansibleEnvironment();
    // The RF channel each of dev1..dev5 runs, as `qln receive running` gives it ("?" when none).
    QString runningChannels();
    std::unique_ptr<DevsimProcess> deployDevices_;
    std::unique_ptr<DevsimProcess> deployDev1_;
    QString deployDev1Fault_ = "-";
    QTemporaryDir work_;
    std::unique_ptr<DevsimProcess> devices_;
    std::unique_ptr<DevsimProcess> dev5_;
    QString dev5Image_;
};

void tst_fleet::addressList_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("addresses");  // empty: refused
    QTest::newRow("one") << "127.0.0.2" << QStringList{"127.0.0.2"};
    QTest::newRow("last octet") << "127.0.1.1-3" << QStringList{"127.0.1.1", "127.0.1.2", "127.0.1.3"};
    QTest::newRow("two addresses") << "10.0.0.254-10.0.1.1" << QStringList{"10.0.0.254", "10.0.0.255", "10.0.1.0", "10.0.1.1"};
    QTest::newRow("dots") << "127.0.1.9..127.0.1.10" << QStringList{"127.0.1.9", "127.0.1.10"};
    QTest::newRow("list") << "127.0.1.5,127.0.1.1-2" << QStringList{"127.0.1.5", "127.0.1.1", "127.0.1.2"};
    QTest::newRow("one-address range") << "127.0.1.4-4" << QStringList{"127.0.1.4"};
    QTest::newRow("falling") << "127.0.1.5-3" << QStringList();
    QTest::newRow("octet too big") << "127.0.1.1-256" << QStringList();
    QTest::newRow("three ends") << "127.0.1.1-2-3" << QStringList();
    QTest::newRow("empty item") << "127.0.1.1," << QStringList();
    QTest::newRow("short address") << "1.2.3" << QStringList();
    QTest::newRow("too many") << "10.0.0.0-10.0.4.0" << QStringList();
}

void tst_fleet::addressList()
{
    QFETCH(QString, text);
    QFETCH(QStringList, addresses);
    QList<QHostAddress> parsed;
    QString error;
    QCOMPARE(ParseAddressList(text, parsed, error), !addresses.isEmpty());
    QStringList shown;
    for (const QHostAddress& a : parsed) shown << a.toString();
    QCOMPARE(shown, addresses);
    if (addresses.isEmpty()) QVERIFY2(error.startsWith("Invalid address '"), qPrintable(error));
}

// Twenty devices, each with its own channel from the configuration folder, and twenty qln at once.
void tst_fleet::twentyReceivesAtOnce()
{
    QTemporaryDir dir;
    for (int i = 1; i <= 20; ++i)
        QVERIFY(writeFile(dir.filePath(QStringLiteral("127.0.8.%1.conf").arg(i)), "rfchannel " + QByteArray::number(i) + "\n"));
    DevsimProcess sim;
    QVERIFY2(sim.start({"--address", "127.0.8.1-20", "--uif-port", "0", "--rcmp-port", "0", "--config", dir.path(), "-v"},
                       "device at 127.0.8.20,"),
             qPrintable(sim.out));
    std::vector<std::unique_ptr<QProcess>> runs;
    for (int i = 1; i <= 20; ++i) {
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("device at 127\\.0\\.8\\.%1, UIF port (\\d+)").arg(i)).match(sim.out);
        QVERIFY2(m.hasMatch(), qPrintable(sim.out));
        runs.push_back(std::make_unique<QProcess>());
        runs.back()->start(QLN_PATH, {"--device", QStringLiteral("127.0.8.%1").arg(i), "--device-port", m.captured(1),
                                      "--local-port", "0", "--tftp-port", "0", "receive", "running"});
    }
    QVERIFY(waitUntil([&] {
        for (const auto& r : runs)
            if (r->state() != QProcess::NotRunning) return false;
        return true;
    }, 120000));
    for (int i = 1; i <= 20; ++i) {
        QProcess& r = *runs[i - 1];
        const QString out = QString::fromLatin1(r.readAllStandardOutput());
        QVERIFY2(r.exitCode() == 0, qPrintable(QString::fromUtf8(r.readAllStandardError())));
        QVERIFY2(out.endsWith(QStringLiteral("----\n\n;rfchannel\nrfchannel %1\n").arg(i)), qPrintable(out));
    }
}

// The steps run in order against one simulator for dev1..dev3 (dev3 refuses the RF channel
// query) and one for dev5 (restarted when the image it sends changes); dev4's address has no
// device, and the rows that leave it out of the run take seconds instead of its 20 s of resends.
void tst_fleet::playbooks_data()
{
    QTest::addColumn<QString>("playbook");
    QTest::addColumn<QString>("limit");       // "" all hosts
    QTest::addColumn<QString>("dev5Image");   // --tftp-image of dev5's simulator
    QTest::addColumn<bool>("applyToDev2");    // the sample with another RF channel applied to dev2 first
    QTest::addColumn<bool>("blockedFolder");  // the backup folder's path runs through a file
    QTest::addColumn<QStringList>("failed");
    QTest::addColumn<QString>("shows");       // in ansible's output
    QTest::addColumn<QString>("commits");     // after the run: count, then the last message
    const QString answering = "dev1,dev2,dev3,dev5";
    QTest::newRow("first backup") << "backup.yml" << "" << "whole" << false << false << QStringList{"dev4"}
                                  << "-1,Proto-Err(1,No Response)." << "1 Changed: dev1 dev2 dev3 dev5";
    QTest::newRow("nothing changed") << "backup.yml" << answering << "whole" << false << false << QStringList()
                                     << "changed: none" << "1 Changed: dev1 dev2 dev3 dev5";
    QTest::newRow("dev2 changed") << "backup.yml" << answering << "whole" << true << false << QStringList()
                                  << "changed: dev2" << "2 Changed: dev2";
    QTest::newRow("short image") << "backup.yml" << answering << "short" << false << false << QStringList{"dev5"}
                                 << "the image is 1000 bytes, not 28672" << "2 Changed: dev2";
    QTest::newRow("garbled image") << "backup.yml" << answering << "garbled" << false << false << QStringList{"dev5"}
                                   << "record 0 has unknown code" << "2 Changed: dev2";
    // The folder's check runs once, on the first host, and ends the whole run.
    QTest::newRow("folder cannot be written") << "backup.yml" << answering << "whole" << false << true
                                              << QStringList{"dev1"} << "Not a directory" << "2 Changed: dev2";
    QTest::newRow("check") << "check.yml" << "" << "whole" << false << false << QStringList{"dev3", "dev4"}
                           << "Error occurred on 'rfchannel get' Command." << "2 Changed: dev2";
}

void tst_fleet::playbooks()
{
    const QString ansible = QStandardPaths::findExecutable(QStringLiteral("ansible-playbook"));
    if (ansible.isEmpty()) QSKIP("ansible-playbook is not installed (scripts/setup.sh installs ansible-core)");
    QFETCH(QString, playbook);
    QFETCH(QString, limit);
    QFETCH(QString, dev5Image);
    QFETCH(bool, applyToDev2);
    QFETCH(bool, blockedFolder);
    QFETCH(QStringList, failed);
    QFETCH(QString, shows);
    QFETCH(QString, commits);
    if (!devices_) {
        devices_ = std::make_unique<DevsimProcess>();
        QVERIFY2(devices_->start({"--address", "127.0.7.1-3", "--refuse", "48=3@127.0.7.3"}, "3 devices at"), qPrintable(devices_->out));
        QVERIFY(writeFile(work_.filePath("inventory.ini"), "[devices]\ndev1 qln_device=127.0.7.1\ndev2 qln_device=127.0.7.2\n"
                                                           "dev3 qln_device=127.0.7.3\ndev4 qln_device=127.0.7.4\n"
                                                           "dev5 qln_device=127.0.7.5\n"));
        QVERIFY(writeFile(work_.filePath("blocker"), "a file, not a folder\n"));
    }
    if (dev5Image != dev5Image_) {
        dev5_.reset();
        dev5_ = std::make_unique<DevsimProcess>();
        QVERIFY2(dev5_->start({"--address", "127.0.7.5", "--tftp-image", dev5Image}, "device at 127.0.7.5"), qPrintable(dev5_->out));
        dev5Image_ = dev5Image;
    }
    if (applyToDev2) {
        QFile sample(QLN_SAMPLE_CONF);
        QVERIFY(sample.open(QIODevice::ReadOnly));
        QVERIFY(writeFile(work_.filePath("dev2.txt"), sample.readAll().replace("rfchannel 3", "rfchannel 9")));
        const ProgramRun r = RunProgram(QLN_PATH, {"--device", "127.0.7.2", "--local-port", "0", "--tftp-port", "0", "apply", work_.filePath("dev2.txt")});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    }
    QProcess p;
    p.setProcessEnvironment(ansibleEnvironment());
    const QString backups = work_.filePath("backups");
    QStringList args{"-i", work_.filePath("inventory.ini"), "-e", QStringLiteral("qln_bin=") + QLN_PATH, "-e",
                     "backup_dir=" + (blockedFolder ? work_.filePath("blocker/backups") : backups), QLN_ANSIBLE_DIR "/" + playbook};
    if (!limit.isEmpty()) args << "--limit" << limit;
    p.start(ansible, args);
    QVERIFY(waitUntil([&] { return p.state() == QProcess::NotRunning; }, 280000));
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    QVERIFY2(p.exitCode() == (failed.isEmpty() ? 0 : 2), qPrintable(out));
    QVERIFY2(out.contains(shows) && (!blockedFolder || out.contains(work_.filePath("blocker"))), qPrintable(out));
    QStringList failedHosts;
    for (const QRegularExpressionMatch& m : QRegularExpression(QStringLiteral("^(\\w+)\\s+: ok=.* failed=([1-9])"), QRegularExpression::MultilineOption).globalMatch(out))
        failedHosts << m.captured(1);
    QCOMPARE(failedHosts, failed);
    // Every backup is as the last commit left it: a failed host lost none, and nothing is left over.
    QCOMPARE(git(backups, {"rev-list", "--count", "HEAD"}) + " " + git(backups, {"log", "-1", "--format=%s"}), commits);
    QCOMPARE(git(backups, {"status", "--porcelain", "--ignored"}), QString());
    QCOMPARE(QDir(backups).entryList({"*.conf"}, QDir::Files), (QStringList{"dev1.conf", "dev2.conf", "dev3.conf", "dev5.conf"}));
}

QProcessEnvironment tst_fleet::ansibleEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ANSIBLE_CONFIG", QLN_ANSIBLE_DIR "/ansible.cfg");
    env.insert("ANSIBLE_LOCAL_TEMP", work_.filePath("ansible-tmp"));
    env.insert("ANSIBLE_NOCOLOR", "1");
    return env;
}

QString tst_fleet::runningChannels()
{
    QStringList channels;
    for (int i = 1; i <= 5; ++i) {
        const ProgramRun r = RunProgram(QLN_PATH, {"--device", QStringLiteral("127.0.9.%1").arg(i), "--local-port", "0",
                                                   "--tftp-port", "0", "receive", "running"});
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("\\nrfchannel (\\d+)\\n")).match(r.out);
        channels << (r.exitCode == 0 && m.hasMatch() ? m.captured(1) : QStringLiteral("?"));
    }
    return channels.join(' ');
}

void tst_fleet::deploy_data()
{
    // Every device runs "rfchannel 3"; the files of dev2 and dev4 say 9. The steps run in order.
    QTest::addColumn<QStringList>("options");   // of ansible-playbook
    QTest::addColumn<QString>("dev1Fault");     // qln-devsim's fault option for dev1, "" none
    QTest::addColumn<QByteArray>("dev1File");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("changed");       // hosts the recap counts a change for
    QTest::addColumn<QStringList>("shows");     // in ansible's output
    QTest::addColumn<QString>("channels");      // what dev1..dev5 run afterwards
    QTest::newRow("check and diff") << QStringList{"--check", "--diff"} << "" << QByteArray("rfchannel 3\n") << 0 << "dev2 dev4"
                                    << QStringList{"-rfchannel 3", "+rfchannel 9", "changed: dev2 dev4"} << "3 3 3 3 3";
    QTest::newRow("deploy") << QStringList() << "" << QByteArray("rfchannel 3\n") << 0 << "dev2 dev4"
                            << QStringList{"changed: dev2 dev4", "unchanged: dev1 dev3 dev5", "rolled back: none"} << "3 9 3 9 3";
    QTest::newRow("again") << QStringList() << "" << QByteArray("rfchannel 3\n") << 0 << ""
                           << QStringList{"changed: none", "unchanged: dev1 dev2 dev3 dev4 dev5"} << "3 9 3 9 3";
    // dev1 alters a record as it copies: rolled back, and its batch's failure stops the run
    // before dev3..dev5 are touched.
    QTest::newRow("altered copy rolled back") << QStringList() << "--alter-copy 1" << QByteArray("rfchannel 7\n") << 2 << ""
                                              << QStringList{"rolled back: dev1", "dev1: rolled back"} << "3 9 3 9 3";
}

void tst_fleet::deploy()
{
    const QString ansible = QStandardPaths::findExecutable(QStringLiteral("ansible-playbook"));
    if (ansible.isEmpty()) QSKIP("ansible-playbook is not installed (scripts/setup.sh installs ansible-core)");
    QFETCH(QStringList, options);
    QFETCH(QString, dev1Fault);
    QFETCH(QByteArray, dev1File);
    QFETCH(int, exitCode);
    QFETCH(QString, changed);
    QFETCH(QStringList, shows);
    QFETCH(QString, channels);
    const QString configs = work_.filePath("configs"), running = work_.filePath("running");
    if (!deployDevices_) {
        QVERIFY(QDir().mkpath(configs) && QDir().mkpath(running));
        for (int i = 1; i <= 5; ++i) {
            QVERIFY(writeFile(QStringLiteral("%1/127.0.9.%2.conf").arg(running).arg(i), "rfchannel 3\n"));
            QVERIFY(writeFile(QStringLiteral("%1/dev%2.conf").arg(configs).arg(i), i == 2 || i == 4 ? "rfchannel 9\n" : "rfchannel 3\n"));
        }
        QVERIFY(writeFile(work_.filePath("deploy.ini"), "[devices]\ndev1 qln_device=127.0.9.1\ndev2 qln_device=127.0.9.2\n"
                                                        "dev3 qln_device=127.0.9.3\ndev4 qln_device=127.0.9.4\n"
                                                        "dev5 qln_device=127.0.9.5\n"));
        deployDevices_ = std::make_unique<DevsimProcess>();
        QVERIFY2(deployDevices_->start({"--address", "127.0.9.2-5", "--config", running}, "4 devices at"), qPrintable(deployDevices_->out));
    }
    if (dev1Fault != deployDev1Fault_) {
        deployDev1_.reset();
        deployDev1_ = std::make_unique<DevsimProcess>();
        QStringList args{"--address", "127.0.9.1", "--config", running};
        if (!dev1Fault.isEmpty()) args << dev1Fault.split(' ');
        QVERIFY2(deployDev1_->start(args, "device at 127.0.9.1"), qPrintable(deployDev1_->out));
        deployDev1Fault_ = dev1Fault;
    }
    QVERIFY(writeFile(configs + "/dev1.conf", dev1File));
    QProcess p;
    p.setProcessEnvironment(ansibleEnvironment());
    p.start(ansible, QStringList{"-i", work_.filePath("deploy.ini"), "-e", QStringLiteral("qln_bin=") + QLN_PATH, "-e",
                                 "config_dir=" + configs, QLN_ANSIBLE_DIR "/deploy.yml"} + options);
    QVERIFY(waitUntil([&] { return p.state() == QProcess::NotRunning; }, 280000));
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    QVERIFY2(p.exitCode() == exitCode, qPrintable(out));
    for (const QString& text : shows) QVERIFY2(out.contains(text), qPrintable(text + " is not in:\n" + out));
    QStringList changedHosts;
    for (const QRegularExpressionMatch& m : QRegularExpression(QStringLiteral("^(\\w+)\\s+: ok=\\d+\\s+changed=([1-9])"), QRegularExpression::MultilineOption).globalMatch(out))
        changedHosts << m.captured(1);
    QCOMPARE(changedHosts.join(' '), changed);
    if (exitCode != 0)  // the next batch never ran
        QVERIFY2(!QRegularExpression(QStringLiteral("^dev3\\s+: ok="), QRegularExpression::MultilineOption).match(out).hasMatch(), qPrintable(out));
    QCOMPARE(runningChannels(), channels);
}

QTEST_GUILESS_MAIN(tst_fleet)
#include "tst_fleet.moc"
