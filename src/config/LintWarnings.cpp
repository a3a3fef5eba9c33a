#include "config/LintWarnings.h"

#include "config/ConfigConversion.h"
#include "config/ConfigParams.h"
#include "config/RecordSinks.h"
#include "shell/LocalInput.h"

#include <QBuffer>
#include <QFile>
#include <QMap>
#include <QSet>
#include <algorithm>
#include <optional>

namespace config {

namespace {

// A receive turns records 0 to 70 into lines and reads no further.
constexpr int ReceivedRecords = 71;

struct ParsedLine {
    qint32 number = 0;
    AnyRecord record;
    QList<QByteArray> ignored;
    QByteArray text;
};

// The tokens the device never sees: those the parser did not read, and the word that ended an
// access restriction's list, which is read and dropped.
QList<QByteArray> ignoredTokens(const AnyRecord& record, const TokenCursor& tokens)
{
    QList<QByteArray> ignored = tokens.Remaining();
    const auto* access = std::get_if<AccessRecord>(&record);
    const bool isList = access && access->countOrMode != 0 && access->countOrMode != EmptySlot;
    if (isList && !tokens.current().isEmpty() && !IsDecimalNumber(tokens.current()))
        ignored.prepend(tokens.current());
    return ignored;
}

// Each converted line with its record. The records fill an image as Apply's do, so a file that
// overflows it stops here too.
class LineCollector final : public RecordSink, public LineObserver {
public:
    qint32 Put(const AnyRecord& record) override
    {
        const qint32 status = image_.Put(record);
        if (status == 0) pending_ = record;
        return status;
    }
    void LineConverted(qint32 lineNumber, const TokenCursor& tokens) override
    {
        lines.push_back({lineNumber, *pending_, ignoredTokens(*pending_, tokens), tokens.line()});
    }
    QList<ParsedLine> lines;

private:
    ImageSink image_;
    std::optional<AnyRecord> pending_;
};

struct Warning {
    qint32 line;
    QString text;
};

QString interfaceName(qint32 if_type, qint32 if_num)
{
    return (if_type == IfRs ? QStringLiteral("rs") : QStringLiteral("eth")) + QString::number(if_num);
}

QString ordinal(int n)
{
    static const char* const words[] = {"first", "second", "third", "fourth", "fifth"};
    return n <= 5 ? QString::fromLatin1(words[n - 1]) : QString::number(n) + QStringLiteral("th");
}

const char* serviceName(qint32 kind)
{
    static const char* const names[] = {"login", "config", "snmp", "rstest", "rip"};
    return kind >= 0 && kind < 5 ? names[kind] : "service";
}

// A token as a warning quotes it: control characters shown as U+FFFD, at most 64 bytes.
QString quotedToken(const QByteArray& token) { return ShownText(QuotedToken(token)); }

// Bytes the file's editor shows as nothing or as a command to the terminal: the device stores
// them as they are, and a NUL ends the value where it stands.
void controlCharacterWarnings(const ParsedLine& l, QList<Warning>& out)
{
    TokenCursor tokens;
    tokens.reset(l.text);
    while (!tokens.NextToken().isEmpty()) {
        const QByteArray& token = tokens.current();
        const qsizetype nul = token.indexOf('\0');
        if (nul >= 0) {
            out.push_back({l.number, QStringLiteral("%1 holds a NUL byte: the device keeps only %2")
                                         .arg(quotedToken(token), quotedToken(token.left(nul)))});
            continue;
        }
        const auto control = std::find_if(token.cbegin(), token.cend(), [](char c) { return uchar(c) < 0x20 || c == 0x7F; });
        if (control != token.cend())
            out.push_back({l.number, QStringLiteral("%1 holds control character 0x%2")
                                         .arg(quotedToken(token))
                                         .arg(uchar(*control), 2, 16, QLatin1Char('0'))});
    }
}

QList<Warning> warningsOf(const QList<ParsedLine>& lines)
{
    QList<Warning> out;
    // The device applies the lines in order: the last ifconfig of an interface stands.
    QMap<QPair<qint32, qint32>, IfconfigRecord> interfaces;
    QSet<qint32> definedLists;
    for (const ParsedLine& l : lines) {
        if (const auto* r = std::get_if<IfconfigRecord>(&l.record)) interfaces[{r->if_type, r->if_num}] = *r;
        if (const auto* r = std::get_if<AccessListRecord>(&l.record)) definedLists.insert(r->index);
    }

    QMap<QPair<qint32, qint32>, QPair<qint32, int>> seen;  // interface: first line, ifconfigs so far
    for (const ParsedLine& l : lines) {
        controlCharacterWarnings(l, out);
        if (!l.ignored.isEmpty())
            out.push_back({l.number, QStringLiteral("ignored: '") + QString::fromLatin1(l.ignored.join(' ')) + '\''});
        if (const auto* r = std::get_if<IfconfigRecord>(&l.record)) {
            auto& [first, count] = seen[{r->if_type, r->if_num}];
            if (count++ == 0) {
                first = l.number;
            } else {
                out.push_back({l.number, QStringLiteral("%1 ifconfig for %2 (first at line %3)")
                                             .arg(ordinal(count), interfaceName(r->if_type, r->if_num))
                                             .arg(first)});
            }
        } else if (const auto* r = std::get_if<RouteRecord>(&l.record)) {
            const bool reached = std::any_of(interfaces.cbegin(), interfaces.cend(), [r](const IfconfigRecord& i) {
                return (r->gateway & i.netmask) == (i.address & i.netmask);
            });
            if (!reached)
                out.push_back({l.number, QStringLiteral("gateway %1 is on no configured interface's subnet")
                                             .arg(basConv::FormatIPv4(r->gateway))});
        } else if (const auto* r = std::get_if<AccessRecord>(&l.record)) {
            for (qint32 list : r->lists)
                if (list != EmptySlot && !definedLists.contains(list))
                    out.push_back({l.number, QStringLiteral("%1 access names list %2, which no access_list line defines")
                                                 .arg(QLatin1String(serviceName(r->kind)))
                                                 .arg(list)});
        }
    }
    if (lines.size() > ReceivedRecords)
        out.push_back({lines[ReceivedRecords].number,
                       QStringLiteral("%1 records: a receive shows only the first 71 (this line makes the 72nd)")
                           .arg(lines.size())});
    std::stable_sort(out.begin(), out.end(), [](const Warning& a, const Warning& b) { return a.line < b.line; });
    return out;
}

QStringList lint(QIODevice& in, bool& readFailed)
{
    // The reader skips it; the operator's editor may not show it.
    const bool byteOrderMark = in.peek(3) == QByteArray("\xEF\xBB\xBF", 3);
    LineCollector collected;
    const ConversionResult result = ConvertConfig(in, collected, &collected);
    readFailed = result.readFailed;
    QStringList out;
    if (result.status != 0 || readFailed) return out;
    if (byteOrderMark) out << QStringLiteral("Line: 1  a UTF-8 byte order mark begins the file; it is skipped");
    for (const Warning& w : warningsOf(collected.lines))
        out << QStringLiteral("Line: ") + QString::number(w.line) + QStringLiteral("  ") + w.text;
    return out;
}

}  // namespace

QStringList LintWarnings(QIODevice& in)
{
    bool readFailed = false;
    return lint(in, readFailed);
}

QStringList LintWarningsOfText(const QByteArray& text)
{
    QByteArray copy = text;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    return LintWarnings(buffer);
}

bool LintFileWarnings(const QString& path, QStringList& warnings)
{
    warnings.clear();
    QFile file;
    if (!OpenRegularFile(file, path)) return false;
    bool readFailed = false;
    warnings = lint(file, readFailed);
    return !readFailed;
}

}  // namespace config
