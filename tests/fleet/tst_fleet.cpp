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

private:
    QTemporaryDir work_;
    std::unique_ptr<DevsimProcess> devices_;
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

// The steps run in order against one simulator: dev1..dev3 answer, dev3 refuses the RF channel
// query, dev4's address has no device.
void tst_fleet::playbooks_data()
{
    QTest::addColumn<QString>("playbook");
    QTest::addColumn<bool>("applyToDev2");  // the sample with another RF channel applied to dev2 first
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("failed");
    QTest::addColumn<QString>("commits");  // after the run: count, then the last message
    QTest::newRow("first backup") << "backup.yml" << false << 2 << QStringList{"dev4"} << "1 Changed: dev1 dev2 dev3";
    QTest::newRow("nothing changed") << "backup.yml" << false << 2 << QStringList{"dev4"} << "1 Changed: dev1 dev2 dev3";
    QTest::newRow("dev2 changed") << "backup.yml" << true << 2 << QStringList{"dev4"} << "2 Changed: dev2";
    QTest::newRow("check") << "check.yml" << false << 2 << QStringList{"dev3", "dev4"} << "2 Changed: dev2";
}

void tst_fleet::playbooks()
{
    const QString ansible = QStandardPaths::findExecutable(QStringLiteral("ansible-playbook"));
    if (ansible.isEmpty()) QSKIP("ansible-playbook is not installed (scripts/setup.sh installs ansible-core)");
    QFETCH(QString, playbook);
    QFETCH(bool, applyToDev2);
    QFETCH(int, exitCode);
    QFETCH(QStringList, failed);
    QFETCH(QString, commits);
    if (!devices_) {
        devices_ = std::make_unique<DevsimProcess>();
        QVERIFY2(devices_->start({"--address", "127.0.7.1-3", "--refuse", "48=3@127.0.7.3"}, "3 devices at"), qPrintable(devices_->out));
        QVERIFY(writeFile(work_.filePath("inventory.ini"), "[devices]\ndev1 qln_device=127.0.7.1\ndev2 qln_device=127.0.7.2\n"
                                                           "dev3 qln_device=127.0.7.3\ndev4 qln_device=127.0.7.4\n"));
    }
    if (applyToDev2) {
        QFile sample(QLN_SAMPLE_CONF);
        QVERIFY(sample.open(QIODevice::ReadOnly));
        QVERIFY(writeFile(work_.filePath("dev2.txt"), sample.readAll().replace("rfchannel 3", "rfchannel 9")));
        const ProgramRun r = RunProgram(QLN_PATH, {"--device", "127.0.7.2", "--local-port", "0", "--tftp-port", "0", "apply", work_.filePath("dev2.txt")});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    }
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ANSIBLE_CONFIG", QLN_ANSIBLE_DIR "/ansible.cfg");
    env.insert("ANSIBLE_LOCAL_TEMP", work_.filePath("ansible-tmp"));
    env.insert("ANSIBLE_NOCOLOR", "1");
    p.setProcessEnvironment(env);
    p.start(ansible, {"-i", work_.filePath("inventory.ini"), "-e", QStringLiteral("qln_bin=") + QLN_PATH, "-e",
                      "backup_dir=" + work_.filePath("backups"), QLN_ANSIBLE_DIR "/" + playbook});
    QVERIFY(waitUntil([&] { return p.state() == QProcess::NotRunning; }, 280000));
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    QVERIFY2(p.exitCode() == exitCode, qPrintable(out));
    QStringList failedHosts;
    for (const QRegularExpressionMatch& m : QRegularExpression(QStringLiteral("^(\\w+)\\s+: ok=.* failed=([1-9])"), QRegularExpression::MultilineOption).globalMatch(out))
        failedHosts << m.captured(1);
    QCOMPARE(failedHosts, failed);
    const QString backups = work_.filePath("backups");
    QCOMPARE(git(backups, {"rev-list", "--count", "HEAD"}) + " " + git(backups, {"log", "-1", "--format=%s"}), commits);
    QCOMPARE(QDir(backups).entryList({"*.conf"}, QDir::Files), (QStringList{"dev1.conf", "dev2.conf", "dev3.conf"}));
}

QTEST_GUILESS_MAIN(tst_fleet)
#include "tst_fleet.moc"
