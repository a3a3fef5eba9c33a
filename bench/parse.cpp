// The sample configuration repeated to a full image (448 command lines), converted into the
// configuration image N times, as Apply and `qln encode` do.
// Usage: parse [N] [SAMPLE]   (default 1000, the sample configuration beside the sources)
#include "config/ConfigConversion.h"
#include "config/RecordSinks.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {

// Lines of the sample in turn, until the text holds `commands` command lines.
QByteArray fullImageText(const QByteArray& sample, int commands, int& physicalLines)
{
    QByteArray text;
    physicalLines = 0;
    const QList<QByteArray> lines = sample.split('\n');
    for (int n = 0, i = 0; n < commands; i = (i + 1) % lines.size()) {
        const QByteArray line = lines[i].trimmed();
        if (line.isEmpty() && i == lines.size() - 1) continue;  // the split after the last line end
        text += lines[i] + '\n';
        ++physicalLines;
        if (!line.isEmpty() && !line.startsWith(';')) ++n;
    }
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    const int runs = args.size() > 1 ? args[1].toInt() : 1000;
    const QString samplePath = args.size() > 2
        ? args[2]
        : QFileInfo(QStringLiteral(__FILE__)).dir().filePath(QStringLiteral("../examples/sample.conf"));
    QFile f(samplePath);
    if (runs < 1 || !f.open(QIODevice::ReadOnly)) {
        out << "usage: parse [N] [SAMPLE]  (cannot read " << samplePath << ")" << Qt::endl;
        return 2;
    }
    const QByteArray sample = f.readAll();
    config::ImageSink probe;
    if (config::ConvertConfigBytes(sample, probe).commandCount < 1) {
        out << "the sample holds no command line: " << samplePath << Qt::endl;
        return 2;
    }
    int lines = 0;
    const QByteArray text = fullImageText(sample, 448, lines);

    QElapsedTimer t;
    t.start();
    qint64 checksum = 0;
    for (int i = 0; i < runs; ++i) {
        config::ImageSink image;
        const config::ConversionResult r = config::ConvertConfigBytes(text, image);
        if (r.status != 0 || r.commandCount != 448) {
            out << "conversion failed: " << config::ConversionResultText(r) << Qt::endl;
            return 1;
        }
        checksum += uchar(image.image().at(28672 - 64 + 3));  // keeps the image in use
    }
    const double seconds = double(t.nsecsElapsed()) / 1e9;
    out << "file: " << lines << " lines, 448 records; " << runs << " conversions in " << QString::number(seconds, 'f', 3)
        << " s (check " << checksum << ")" << Qt::endl;
    out << "parse: " << qint64(double(lines) * runs / seconds) << " lines/s, "
        << QString::number(seconds * 1000.0 / runs, 'f', 3) << " ms per file" << Qt::endl;
    return 0;
}
