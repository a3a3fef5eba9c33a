// Check All: every query in order, then the list saved as a report.
#include "check/CheckQueries.h"

#include "platform/Operator.h"
#include "shell/LogFile.h"
#include "shell/MessageList.h"
#include "shell/TextLinesFile.h"
#include "shell/SafeSave.h"
#include "shell/TimeStamp.h"
#include "shell/ToolContext.h"

#include <QFileInfo>

namespace check {


CheckAllResult RunCheckAll(const CheckRun& run)
{
    CheckAllResult result;
    run.lstMsg.clear();
    run.lstMsg.MesgDisp(QString());
    run.ctx.log.WriteLogRecord(LogFile::Neutral, QStringLiteral("Check All"));
    for (const QueryDef& def : QueryDefs()) {
        const QueryResult q = RunQuery(def.id, run);
        result.values.insert(def.jsonKey(), q.values);
        // A device without a feature answers 11: the run goes on past it.
        if (q.status != 0 && q.status != 11) {
            result.status = q.status;
            result.stoppedAt = def.jsonKey();
            return result;
        }
    }
    result.completed = true;
    const QString path = run.asker().saveFile(TextFileFilter(), QString(), QString());
    if (path.isEmpty()) return result;
    // Only a file that would be replaced is asked about: a device or FIFO is written in place.
    if (SafeSave::Resolve(path).kind == SafeSave::Kind::File &&
        run.asker().message(QStringLiteral("SetUp Data Save"), QStringLiteral("File Exist. Overwrite\uFF1F"),
                           Operator::Icon::Exclamation, Operator::Buttons::YesNo) != Operator::Answer::Yes)
        return result;
    if (WriteTextLines(path, run.lstMsg.lines(), &result.saveError)) {
        result.savedPath = path;
    } else {
        result.saveFailed = true;
        run.lstMsg.MesgDisp(basMain::Indent() + QStringLiteral("File Write Error.(Disk Full?)"));
        run.ctx.log.WriteLogRecord(LogFile::Recv, QStringLiteral("File Write Error.(Disk Full?)"));
    }
    return result;
}

}  // namespace check
