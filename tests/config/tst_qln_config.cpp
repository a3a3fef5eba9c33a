// `qln lint`, `qln encode` and `qln decode` as a script runs them: a real process, real files.
#include "config/ConfigConversion.h"
#include "config/RecordSinks.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run {
    int exitCode = -1;
    QStringList out;
    QByteArray outBytes;
    QString err;
};

const QRegularExpression Stamped(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d  (.*)$"));

// The text of a time-stamped line, or a marker that makes a comparison fail visibly.
QString text(const QString& line)
{
    const auto m = Stamped.match(line);
    return m.hasMatch() ? m.captured(1) : QStringLiteral("<unstamped> ") + line;
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The image and record count the core makes of the same text, for comparison.
config::ConversionResult convertInProcess(const QString& path, QByteArray& image)
{
    config::ImageSink sink;
    config::ConversionResult r;
    config::ConvertConfigFile(path, sink, r);
    image = sink.image();
    return r;
}

}  // namespace

class tst_qln_config : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void lint_data();
    void lint();
    void lintInvalidPath_data();
    void lintInvalidPath();
    void lintSample();
    void encodeSampleRoundTrip();
    void encodeDefaultsToConfigBin();
    void encodeFailureWritesNothing_data();
    void encodeFailureWritesNothing();
    void encodeRefusesToReplace();
    void encodeOverwrite();
    void encodeUnwritableOutput_data();
    void encodeUnwritableOutput();
    void decodeSample();
    void decodeKeepsTextBytes();
    void decodeInvalidPath_data();
    void decodeInvalidPath();
    void usage_data();
    void usage();

private:
    Run qln(const QStringList& args);
    QString path(const QString& name) const { return dir_.filePath(name); }
    QTemporaryDir dir_;
};

Run tst_qln_config::qln(const QStringList& args)
{
    QProcess p;
    p.setWorkingDirectory(dir_.path());
    p.start(QStringLiteral(QLN_PATH), args);
    Run r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.outBytes = p.readAllStandardOutput();
    r.out = QString::fromUtf8(r.outBytes).split('\n');
    if (r.out.last().isEmpty()) r.out.removeLast();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

void tst_qln_config::initTestCase()
{
    QVERIFY(dir_.isValid());
    QVERIFY(QFileInfo(QStringLiteral(QLN_PATH)).isExecutable());
}

void tst_qln_config::lint_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<int>("strictExitCode");
    QTest::addColumn<QStringList>("lines");  // without time stamps; indented lines as they stand
    QTest::newRow("records") << QByteArray("group_id 1\r\nrfchannel 2\r\n") << 0 << 0
                             << QStringList{"Conversion Complete.", "              TOTAL Records: 2"};
    QTest::newRow("LF-only file") << QByteArray("group_id 1\nrfchannel 2\nscramble 3") << 0 << 0
                                  << QStringList{"Conversion Complete.", "              TOTAL Records: 3"};
    QTest::newRow("comments only")
        << QByteArray(";\n; nothing here\n   \n") << 0 << 0
        << QStringList{"Conversion Complete.", "              TOTAL Records: 0", "WARNING: No Valid Records!!!"};
    QTest::newRow("unknown keyword on line 3") << QByteArray("; a\n; b\nbogus 1\n") << 1 << 1
                                               << QStringList{"Line: 3  Invalid Command 'bogus'"};
    QTest::newRow("bad parameter") << QByteArray("group_id 1\nrip eth0 metric 65\n") << 1 << 1
                                   << QStringList{"Line: 2  Invalid Parameter '65'"};
    QTest::newRow("449 records")
        << QByteArray("rfchannel 1\n").repeated(449) << 1 << 1 << QStringList{"Line: 449  DEBUG: internal error. status: 3"};
    QTest::newRow("binary bytes") << QByteArray("\x01\x02\x03\x00\xFF\x1B[31m\n", 10) << 1 << 1
                                  << QStringList{QString::fromUtf8("Line: 1  Invalid Command '\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xC3\xBF\xEF\xBF\xBD[31m'")};
    QTest::newRow("warning: --strict fails") << QByteArray("scramble 5 extra\n") << 0 << 1
                                             << QStringList{"Conversion Complete.", "              TOTAL Records: 1",
                                                            "Line: 1  ignored: 'extra'"};
}

void tst_qln_config::lint()
{
    QFETCH(QByteArray, text);
    QFETCH(int, exitCode);
    QFETCH(int, strictExitCode);
    QFETCH(QStringList, lines);
    QVERIFY(writeFile(path(QStringLiteral("lint.conf")), text));
    const Run r = qln({QStringLiteral("lint"), path(QStringLiteral("lint.conf"))});
    QCOMPARE(r.exitCode, exitCode);
    QStringList got;
    for (const QString& line : r.out) got << (line.startsWith(' ') ? line : ::text(line));
    QCOMPARE(got, lines);
    QCOMPARE(r.err, QString());
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("Config.bin"))));
    const Run strict = qln({QStringLiteral("lint"), QStringLiteral("--strict"), path(QStringLiteral("lint.conf"))});
    QCOMPARE(strict.exitCode, strictExitCode);
    QCOMPARE(strict.out.size(), r.out.size());
}

void tst_qln_config::lintInvalidPath_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("missing") << QStringLiteral("missing.conf");
    QTest::newRow("empty") << QStringLiteral("empty.conf");
    QTest::newRow("folder") << QStringLiteral("sub");
}

void tst_qln_config::lintInvalidPath()
{
    QFETCH(QString, name);
    QVERIFY(writeFile(path(QStringLiteral("empty.conf")), QByteArray()));
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("sub")));
    for (const QString& command : {QStringLiteral("lint"), QStringLiteral("encode")}) {
        const Run r = qln({command, path(name)});
        QCOMPARE(r.exitCode, 1);
        // The second line, which names the file, is the programs' suite's.
        QCOMPARE(r.err.section('\n', 0, 0), QStringLiteral("WARNING: Invalid file pathname"));
        QCOMPARE(r.out, QStringList());
    }
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("Config.bin"))));
}

void tst_qln_config::lintSample()
{
    QByteArray image;
    const config::ConversionResult inProcess = convertInProcess(QStringLiteral(QLN_SAMPLE_CONF), image);
    QCOMPARE(inProcess.status, 0);
    const Run r = qln({QStringLiteral("lint"), QStringLiteral(QLN_SAMPLE_CONF)});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out.size(), 3);
    QCOMPARE(text(r.out[0]), QStringLiteral("Conversion Complete."));
    QCOMPARE(r.out[1], QStringLiteral("              TOTAL Records: %1").arg(inProcess.commandCount));
    // The sample shows every form, more than a receive gives back.
    QCOMPARE(text(r.out[2]), QStringLiteral("Line: 121  74 records: a receive shows only the first 71 (this line makes the 72nd)"));
}

void tst_qln_config::encodeSampleRoundTrip()
{
    const QString out = path(QStringLiteral("sample.bin"));
    const Run r = qln({QStringLiteral("encode"), QStringLiteral(QLN_SAMPLE_CONF), QStringLiteral("-o"), out});
    QCOMPARE(r.exitCode, 0);
    const QByteArray file = readFile(out);
    QCOMPARE(file.size(), 28672);
    QByteArray expected;
    const config::ConversionResult inProcess = convertInProcess(QStringLiteral(QLN_SAMPLE_CONF), expected);
    QVERIFY(file == expected);
    QCOMPARE(r.out.value(1), QStringLiteral("              TOTAL Records: %1").arg(inProcess.commandCount));
    QCOMPARE(text(r.out.value(2)), QStringLiteral("Config Data written: ") + out);

    // Every record decodes to fields that build the same bytes again; the rest is erased slots.
    int records = 0;
    for (; records < 448; ++records) {
        const QByteArray rec = file.mid(64 * records, 64);
        if (rec == QByteArray(64, char(0xFF))) break;
        const auto fields = config::ReadAnyRecord(rec);
        QVERIFY2(fields.has_value(), qPrintable(QStringLiteral("record %1").arg(records)));
        QCOMPARE(config::BuildAnyRecord(*fields, config::ReadRecordHead(rec).ident).toHex(' '), rec.toHex(' '));
    }
    QCOMPARE(records, inProcess.commandCount);
    QVERIFY(file.mid(64 * records) == QByteArray(28672 - 64 * records, char(0xFF)));
}

void tst_qln_config::encodeDefaultsToConfigBin()
{
    const QString image = path(QStringLiteral("Config.bin"));
    QFile::remove(image);
    QVERIFY(writeFile(path(QStringLiteral("one.conf")), "ifconfig eth0 192.168.1.10\n"));
    const Run r = qln({QStringLiteral("encode"), QStringLiteral("one.conf")});
    QCOMPARE(r.exitCode, 0);
    const QByteArray file = readFile(image);
    QCOMPARE(file.size(), 28672);
    QCOMPARE(file.mid(12, 20).toHex(), QByteArray("0000000100000000c0a8010affffff00c0a801ff"));
    QVERIFY(file.mid(64) == QByteArray(28672 - 64, char(0xFF)));
    QFile::remove(image);
}

void tst_qln_config::encodeFailureWritesNothing_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("bad parameter") << QByteArray("group_id 1\ngroup_id x\n") << QStringLiteral("Line: 2  Invalid Parameter 'x'");
    QTest::newRow("image full") << QByteArray("rfchannel 1\n").repeated(449)
                                << QStringLiteral("Line: 449  DEBUG: internal error. status: 3");
    QTest::newRow("binary") << QByteArray("\x7F" "ELF\x02\x01\x01\x00\x00\x00", 10) + QByteArray(5000, '\x90')
                            << QString::fromUtf8("Line: 1  Invalid Command '\xEF\xBF\xBD" "ELF\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD")
                                       + QString(54, QChar::ReplacementCharacter) + "...' (5010 bytes)";
}

void tst_qln_config::encodeFailureWritesNothing()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, message);
    QVERIFY(writeFile(path(QStringLiteral("bad.conf")), text));
    const QString out = path(QStringLiteral("bad.bin"));
    QFile::remove(out);
    Run r = qln({QStringLiteral("encode"), path(QStringLiteral("bad.conf")), QStringLiteral("-o"), out});
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.out.size(), 1);
    QCOMPARE(::text(r.out[0]), message);
    QVERIFY(!QFileInfo::exists(out));
    // With --overwrite an existing image stays as it was.
    QVERIFY(writeFile(out, "old image"));
    r = qln({QStringLiteral("encode"), path(QStringLiteral("bad.conf")), QStringLiteral("-o"), out, QStringLiteral("--overwrite")});
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(readFile(out), QByteArray("old image"));
}

void tst_qln_config::encodeRefusesToReplace()
{
    const QString out = path(QStringLiteral("kept.bin"));
    QVERIFY(writeFile(out, "precious"));
    QVERIFY(writeFile(path(QStringLiteral("good.conf")), "group_id 1\n"));
    const Run r = qln({QStringLiteral("encode"), path(QStringLiteral("good.conf")), QStringLiteral("-o"), out});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(QStringLiteral("File Exist")) && r.err.contains(out), qPrintable(r.err));
    QVERIFY(r.err.contains(QStringLiteral("--overwrite")));
    QCOMPARE(readFile(out), QByteArray("precious"));
}

void tst_qln_config::encodeOverwrite()
{
    const QString out = path(QStringLiteral("replaced.bin"));
    QVERIFY(writeFile(out, "old"));
    QVERIFY(writeFile(path(QStringLiteral("good.conf")), "group_id 1\n"));
    const Run r = qln({QStringLiteral("encode"), path(QStringLiteral("good.conf")), QStringLiteral("--output"), out,
                       QStringLiteral("--overwrite")});
    QCOMPARE(r.exitCode, 0);
    const QByteArray file = readFile(out);
    QCOMPARE(file.size(), 28672);
    QCOMPARE(file.mid(0, 4).toHex(), QByteArray("0000002c"));
}

void tst_qln_config::encodeUnwritableOutput_data()
{
    // The save helper's own table has every kind of target: these rows prove the wiring.
    QTest::addColumn<QString>("out");  // %D: the test folder
    QTest::addColumn<QString>("err");
    QTest::newRow("missing folder") << "%D/no-such-folder/Config.bin"
                                    << "Config Data Write Error: %D/no-such-folder/Config.bin: No such file or directory\n";
    QTest::newRow("full device") << "/dev/full" << "Config Data Write Error: /dev/full: No space left on device\n";
    QTest::newRow("link to nothing") << "%D/dangling"
                                     << "Config Data Write Error: %D/dangling: is a link to %D/nowhere, which does not exist\n";
}

void tst_qln_config::encodeUnwritableOutput()
{
    QFETCH(QString, out);
    QFETCH(QString, err);
    out.replace("%D", dir_.path());
    QVERIFY(writeFile(path(QStringLiteral("good.conf")), "group_id 1\n"));
    QFile::link(QStringLiteral("nowhere"), path(QStringLiteral("dangling")));
    const Run r = qln({QStringLiteral("encode"), path(QStringLiteral("good.conf")), QStringLiteral("-o"), out,
                       QStringLiteral("--overwrite")});
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.err, err.replace("%D", dir_.path()));
    QVERIFY(!QFileInfo::exists(path(QStringLiteral("no-such-folder"))) && !QFileInfo::exists(path(QStringLiteral("nowhere"))));
}

void tst_qln_config::decodeSample()
{
    const QString image = path(QStringLiteral("decode.bin"));
    QCOMPARE(qln({QStringLiteral("encode"), QStringLiteral(QLN_SAMPLE_CONF), QStringLiteral("-o"), image,
                  QStringLiteral("--overwrite")}).exitCode, 0);
    const Run r = qln({QStringLiteral("decode"), image});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.err, QString());
    const QString ifconfig = "ifconfig  eth0 192.168.1.10     netmask   255.255.255.0    broadcast 192.168.1.255";
    QCOMPARE(r.out.mid(0, 3), (QStringList{"", ";ifconfig", ifconfig}));
    for (const char* line : {"rsconf rs0 5", "route default 192.168.1.1", "rip eth0 password Secret-16-bytes!",
                             "dhcp server dns-server 192.168.1.2 192.168.1.3 0.0.0.0 "})
        QVERIFY2(r.out.contains(QLatin1String(line)), line);
    // Record 70 is the last one read: the sample's "login access 1 2" (record 71) is not there.
    QCOMPARE(r.out.last(), QStringLiteral("access_list 2 10.0.0.0 255.0.0.0"));
    QVERIFY(!r.out.contains(QStringLiteral("login access 1 2")));
}

void tst_qln_config::decodeKeepsTextBytes()
{
    // One community record with a Latin-1 byte, then 36 bytes of an erased slot.
    QByteArray record = QByteArray::fromHex("0000 0044 00000000 FFFFFFFF 636166E9 00");
    record += QByteArray(64 - record.size(), char(0xFF));
    const QString image = path(QStringLiteral("partial.bin"));
    QVERIFY(writeFile(image, record + QByteArray(36, char(0xFF))));
    const Run r = qln({QStringLiteral("decode"), image});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.outBytes, QByteArray("\n;snmpsetup\nsnmp read_write_community caf\xE9\n"));
    QCOMPARE(r.err, image + QStringLiteral(": 100 bytes is not a whole number of 64-byte records\n"));
}

void tst_qln_config::decodeInvalidPath_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("why");
    QTest::newRow("missing") << QStringLiteral("missing.bin") << QStringLiteral("does not exist");
    QTest::newRow("folder") << QStringLiteral("sub") << QStringLiteral("is a folder");
}

void tst_qln_config::decodeInvalidPath()
{
    QFETCH(QString, name);
    QFETCH(QString, why);
    QVERIFY(QDir(dir_.path()).mkpath(QStringLiteral("sub")));
    const Run r = qln({QStringLiteral("decode"), path(name)});
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.err, QStringLiteral("WARNING: Invalid file pathname\n") + path(name) + ": " + why + '\n');
    QCOMPARE(r.out, QStringList());
}

void tst_qln_config::usage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("lint without file") << QStringList{QStringLiteral("lint")};
    QTest::newRow("lint with two files") << QStringList{QStringLiteral("lint"), QStringLiteral("a"), QStringLiteral("b")};
    QTest::newRow("encode without file") << QStringList{QStringLiteral("encode")};
    QTest::newRow("decode without image") << QStringList{QStringLiteral("decode")};
    QTest::newRow("decode with two images") << QStringList{"decode", "a", "b"};
    QTest::newRow("lint with ping's --count") << QStringList{"lint", "--count", "3", "a"};
    QTest::newRow("decode with --device") << QStringList{"decode", "a", "--device", "10.0.0.1"};
    QTest::newRow("apply --save without --safe") << QStringList{"apply", "a", "--save", "--device", "10.0.0.1"};
    QTest::newRow("apply --json without --safe") << QStringList{"apply", "a", "--json", "--device", "10.0.0.1"};
    QTest::newRow("apply --check with --save") << QStringList{"apply", "a", "--safe", "--check", "--save", "--device", "10.0.0.1"};
}

void tst_qln_config::usage()
{
    QFETCH(QStringList, args);
    const Run r = qln(args);
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.err.startsWith(args.first() + QStringLiteral(": ")) && r.err.endsWith(QStringLiteral("; see qln --help\n")) &&
                 r.err.count('\n') == 1,
             qPrintable(r.err));
}

QTEST_GUILESS_MAIN(tst_qln_config)
#include "tst_qln_config.moc"
