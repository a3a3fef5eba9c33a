// The save helper's target rules: what each kind of target does with a replacing and a
// creating save, and the bytes left on disk afterwards.
#include "shell/SafeSave.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {
constexpr uid_t Stranger = 54321;  // a uid no account has

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// What a name holds, as one comparable text.
QString describe(const QString& path, int fifoReader)
{
    struct stat st;
    const QByteArray name = QFile::encodeName(path);
    if (::lstat(name.constData(), &st) != 0) return QStringLiteral("<missing>");
    if (S_ISLNK(st.st_mode)) {
        const QString to = QFile::symLinkTarget(path);
        return QStringLiteral("-> ") + QFileInfo(to).fileName() + QStringLiteral(": ") + describe(to, fifoReader);
    }
    if (S_ISDIR(st.st_mode)) return QStringLiteral("<folder>");
    if (S_ISCHR(st.st_mode)) return QStringLiteral("<chardev %1,%2>").arg(major(st.st_rdev)).arg(minor(st.st_rdev));
    if (S_ISFIFO(st.st_mode)) {
        char buf[64];
        const ssize_t n = fifoReader >= 0 ? ::read(fifoReader, buf, sizeof buf) : 0;
        return QStringLiteral("<fifo>") + QString::fromLatin1(buf, int(qMax<ssize_t>(n, 0)));
    }
    return QStringLiteral("%1 %2").arg(st.st_mode & 0777, 4, 8, QLatin1Char('0')).arg(QString::fromLatin1(readAll(path)));
}

bool writeFile(const QString& path, const QByteArray& bytes, mode_t mode = 0644)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && (f.close(), true) &&
           ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}
}  // namespace

class tst_SafeSave : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void targets_data();
    void targets();

private:
    bool ownMounts_ = false;
};

void tst_SafeSave::initTestCase()
{
    // New files get the umask's mode: 0666 less 027 is 0640.
    ::umask(027);
    // The full-disk rows mount a small tmpfs; a mount namespace of our own keeps it from
    // everyone else and removes it when the test ends.
    ownMounts_ = ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

void tst_SafeSave::targets_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("create");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("error");  // %D: the test folder
    QTest::addColumn<QString>("after");  // what "t" holds afterwards

    const QString exists = "File exists";
    const QString full = "No space left on device";
    const QString foreign = "%D/t is a link owned by uid 54321; only your own links are followed";
    const QString dangling = "is a link to %D/nowhere, which does not exist";
    struct Row {
        const char* kind;
        bool create, ok;
        QString error, after;
    };
    const Row rows[] = {
        {"missing", false, true, "", "0640 NEW"},
        {"missing", true, true, "", "0640 NEW"},
        {"regular", false, true, "", "0604 NEW"},
        {"regular", true, false, exists, "0604 OLD"},
        {"folder", false, false, "is a folder", "<folder>"},
        {"folder", true, false, "is a folder", "<folder>"},
        {"own link", false, true, "", "-> real: 0604 NEW"},
        {"own link", true, false, exists, "-> real: 0604 OLD"},
        {"foreign link", false, false, foreign, "-> real: 0604 OLD"},
        {"foreign link", true, false, foreign, "-> real: 0604 OLD"},
        {"dangling link", false, false, dangling, "-> nowhere: <missing>"},
        {"dangling link", true, false, dangling, "-> nowhere: <missing>"},
        {"FIFO", false, true, "", "<fifo>NEW"},
        {"FIFO", true, true, "", "<fifo>NEW"},
        {"FIFO nobody reads", false, false, "No such device or address", "<fifo>"},
        {"character device", false, true, "", "<chardev 1,3>"},
        {"character device", true, true, "", "<chardev 1,3>"},
        {"full device", false, false, full, "<chardev 1,7>"},
        {"full tmpfs", false, false, full, "0604 OLD"},
        {"full tmpfs", true, false, full, "<missing>"},
    };
    for (const Row& r : rows)
        QTest::addRow("%s, %s", r.kind, r.create ? "create" : "replace") << QString(r.kind) << r.create << r.ok << r.error << r.after;
}

void tst_SafeSave::targets()
{
    QFETCH(QString, kind);
    QFETCH(bool, create);
    QFETCH(bool, ok);
    QFETCH(QString, error);
    QFETCH(QString, after);
    QTemporaryDir top;
    QVERIFY(top.isValid());
    QString dir = top.path();
    const bool root = ::geteuid() == 0;
    if (kind == "full tmpfs") {
        if (!ownMounts_ || !QDir(dir).mkdir("small") ||
            ::mount("tmpfs", QFile::encodeName(dir + "/small").constData(), "tmpfs", 0, "size=64k") != 0)
            QSKIP("mounting a tmpfs is not permitted here: the full-disk rows need root");
        dir += "/small";
    }
    const QString t = dir + "/t", real = dir + "/real";
    const QByteArray tName = QFile::encodeName(t);
    int reader = -1;
    const auto closeReader = qScopeGuard([&] {
        if (reader >= 0) ::close(reader);
        if (kind == "full tmpfs") ::umount2(QFile::encodeName(dir).constData(), MNT_DETACH);
    });

    if (kind == "regular" || kind == "full tmpfs") {
        if (kind == "regular" || !create) QVERIFY(writeFile(t, "OLD", 0604));
    } else if (kind == "folder") {
        QVERIFY(QDir(dir).mkdir("t"));
    } else if (kind.endsWith("link")) {
        QVERIFY(writeFile(real, "OLD", 0604));
        QCOMPARE(::symlink(kind == "dangling link" ? "nowhere" : "real", tName.constData()), 0);
        if (kind == "foreign link") {
            if (!root) QSKIP("a link owned by another user needs root (lchown)");
            QCOMPARE(::lchown(tName.constData(), Stranger, Stranger), 0);
        }
    } else if (kind.startsWith("FIFO")) {
        QCOMPARE(::mkfifo(tName.constData(), 0600), 0);
        if (kind == "FIFO") reader = ::open(tName.constData(), O_RDONLY | O_NONBLOCK);
    } else if (kind.endsWith("device")) {
        if (::mknod(tName.constData(), S_IFCHR | 0666, kind == "full device" ? makedev(1, 7) : makedev(1, 3)) != 0)
            QSKIP("making a character device is not permitted here: these rows need root");
    }
    if (kind == "full tmpfs") {
        // Fill what is left, a page at a time.
        QFile filler(dir + "/filler");
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        while (filler.write(QByteArray(4096, 'f')) == 4096) {}
    }

    QString why;
    const bool saved = SaveBytes(t, "NEW", create ? SafeSave::Mode::Create : SafeSave::Mode::Replace, &why);
    QVERIFY2(saved == ok, qPrintable(why));
    QCOMPARE(why, QString(error).replace("%D", dir));
    QCOMPARE(describe(t, reader), after);
    // No temporary stays behind, whatever the end.
    const QStringList left = QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    QVERIFY2(left.filter(".qln-save-").isEmpty(), qPrintable(left.join(' ')));
}

QTEST_GUILESS_MAIN(tst_SafeSave)
#include "tst_SafeSave.moc"
