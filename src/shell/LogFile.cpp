#include "shell/LogFile.h"
#include "shell/TextLinesFile.h"

#include "link/basConv.h"
#include "platform/Clock.h"
#include "platform/Operator.h"
#include "shell/SafeSave.h"
#include "shell/TimeStamp.h"
#include "shell/Version.h"

#include <QFileInfo>

LogFile::LogFile(const Clock& clock, QString tagWord) : clock_(clock), tag_(std::move(tagWord)) {}

bool LogFile::isOpen() const { return file_.isOpen() && !name_.trimmed().isEmpty(); }

QString LogFile::tagFor(int kind) const
{
    const char* what = kind == Send ? "SEND" : kind == Recv ? "RECV" : "____";
    return QStringLiteral(" %1 %2").arg(tag_, QLatin1String(what));
}

QByteArray LogFile::record(int kind, const QString& device, const QString& text) const
{
    const QString line1 = basMain::LogDateTime(clock_.now()) + QStringLiteral(" Quillon:") + device +
                          QStringLiteral(" PC:") + pcAddress() + tagFor(kind);
    return (line1 + QStringLiteral("\r\n\t") + text + QStringLiteral("\r\n")).toLatin1();
}

bool LogFile::open(const QString& path, bool truncate)
{
    if (file_.isOpen()) file_.close();
    name_.clear();
    error_.clear();
    file_.setFileName(path);
    // Overwrite truncates on open: the old file is never deleted first.
    const QIODevice::OpenMode mode = QIODevice::WriteOnly | (truncate ? QIODevice::Truncate : QIODevice::Append);
    QString folder, name;
    basConv::SplitPath(path, folder, name);
    if (path.trimmed().isEmpty() || name.trimmed().isEmpty()) {
        error_ = QStringLiteral("no file name");
        return false;
    }
    // The rules of every file the tools write: no folder, no link of another user, no link to
    // nothing; a device or FIFO is written in place.
    const SafeSave::Target target = SafeSave::Resolve(path);
    if (target.kind == SafeSave::Kind::Refused) {
        error_ = target.reason;
        return false;
    }
    if (!file_.open(mode)) {
        error_ = file_.errorString();
        return false;
    }
    const QByteArray start = record(Neutral, startEndDevice,
                                    QStringLiteral("Log Start: Version ") + basMain::ProgramVersion());
    if (file_.write(start) != start.size() || !file_.flush()) {
        error_ = file_.errorString();
        file_.close();
        return false;
    }
    name_ = name;
    return true;
}

bool LogFile::put(const QByteArray& bytes)
{
    if (file_.write(bytes) == bytes.size() && file_.flush()) return true;
    // A failing write never breaks the operation that logs: the log stops, once, with its reason.
    error_ = file_.errorString();
    const QString path = file_.fileName();
    file_.close();
    name_.clear();
    if (writeFailed) writeFailed(path, error_);
    return false;
}

void LogFile::WriteLogRecord(int kind, const QString& text) { WriteLogRecord(kind, text, deviceAddress()); }

void LogFile::WriteLogRecord(int kind, const QString& text, const QString& device)
{
    if (!isOpen()) return;
    put(record(kind, device, text));
}

bool LogFile::EndLog()
{
    if (!file_.isOpen()) return false;
    if (!put(record(Neutral, startEndDevice, QStringLiteral("Log End: Version ") + basMain::ProgramVersion()))) return true;
    file_.close();
    name_.clear();
    return true;
}

bool StartLog(LogFile& log, Operator& op, const QString& folder)
{
    const QString filter = TextFileFilter();
    const QString path = op.saveFile(filter, folder, QString()).trimmed();
    if (path.isEmpty()) return false;
    bool truncate = false;
    if (QFileInfo::exists(path)) {
        const Operator::LogOpenChoice choice = op.askLogOpen(path);
        if (choice == Operator::LogOpenChoice::Cancel) return false;
        truncate = choice == Operator::LogOpenChoice::Overwrite;
    }
    if (log.open(path, truncate)) return true;
    op.message(QStringLiteral("Data Write Error"), QStringLiteral("Log Data Write Error"), Operator::Icon::Exclamation);
    return false;
}
