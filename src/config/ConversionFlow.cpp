#include "config/ConversionFlow.h"

#include "link/basMain.h"
#include "platform/Operator.h"
#include "shell/SetupSession.h"

namespace config {

namespace {
void invalidPath(SetupSession& s)
{
    s.op.message(QStringLiteral("WARNING"), QStringLiteral("Invalid file pathname"), Operator::Icon::Critical);
}
}  // namespace

bool CheckConfigFile(SetupSession& s, const QString& path)
{
    if (basMain::FileHasData(path) == 0) return true;
    invalidPath(s);
    return false;
}

bool ConvertToImage(SetupSession& s, const QString& path, ConversionResult& result)
{
    if (!ConvertFileToImage(path, s.uif, result)) {
        invalidPath(s);
        return false;
    }
    const QString text = ConversionResultText(result);
    s.show(ShownText(text));
    s.log.WriteLogRecord(LogFile::Recv, text);
    if (result.status != 0) return true;

    const QString total = QStringLiteral("TOTAL Records: ") + QString::number(result.commandCount);
    s.showIndented(total);
    s.log.WriteLogRecord(LogFile::Neutral, total);
    if (result.commandCount < 1) {
        const QString warning = QStringLiteral("WARNING: No Valid Records!!!");
        s.show(warning);
        s.log.WriteLogRecord(LogFile::Recv, warning);
    }
    return true;
}

}  // namespace config
