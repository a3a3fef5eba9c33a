#include "cli/CliOperator.h"

#include "shell/SafeSave.h"

#include <QDir>
#include <QFileInfo>

Operator::Answer CliOperator::message(const QString& title, const QString& text, Icon, Buttons buttons)
{
    err_ << (title.isEmpty() ? text : title + QStringLiteral(": ") + text) << Qt::endl;
    // The system's texts come in both cases ("Invalid file pathname", "Invalid File Pathname").
    QString detail = details_.value(text);
    if (detail.isEmpty() && !file_.isEmpty() && text.compare(QLatin1String("Invalid File Pathname"), Qt::CaseInsensitive) == 0)
        detail = FileFaultLine(file_, saving_);
    if (!detail.isEmpty()) err_ << detail << Qt::endl;
    if (buttons == Buttons::YesNo) return overwrite_ ? Answer::Yes : Answer::No;
    return Answer::Ok;
}

QString FileFaultLine(const QString& path, bool saving)
{
    // A save target the file rules refuse says why (a foreign or dangling link names it).
    if (saving) {
        const SafeSave::Target t = SafeSave::Resolve(path);
        if (t.kind == SafeSave::Kind::Refused) return path + QStringLiteral(": ") + t.reason;
    }
    const QFileInfo info(path);
    const char* why = info.isDir()                ? "is a folder"
                      : !saving && info.exists() && !info.isFile() ? "is not a regular file"
                      : saving && !info.absoluteDir().exists() ? "its folder does not exist"
                      : saving                   ? "cannot be written"
                      : !info.exists()           ? "does not exist"
                      : info.size() == 0         ? "is empty"
                                                 : "cannot be read";
    return path + QStringLiteral(": ") + QLatin1String(why);
}

QString CliQuoted(const QString& value)
{
    constexpr int QuoteMax = 64;
    const QByteArray bytes = value.toUtf8();
    if (bytes.size() <= QuoteMax) return QLatin1Char('\'') + value + QLatin1Char('\'');
    // Cut on a character boundary: no half of a UTF-8 sequence reaches the terminal.
    qsizetype cut = QuoteMax;
    while (cut > 0 && (uchar(bytes[cut]) & 0xC0) == 0x80) --cut;
    return QLatin1Char('\'') + QString::fromUtf8(bytes.left(cut)) + QStringLiteral("...' (%1 bytes)").arg(bytes.size());
}

QString CliStationLine(const QString& value)
{
    return QStringLiteral("STATION %1: six two-digit hexadecimal bytes joined by ':' (00:80:4c:01:02:03)").arg(CliQuoted(value));
}
