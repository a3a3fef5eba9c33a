#pragma once
// The eighteen status queries of the check window and their Check All run. A query reads the
// device through the UIF engine, keeps what it read as values, and writes its lines to the
// check list (time stamp, indent, text) and to the log. The window and `qln check` call these.
#include "link/frmUIF.h"
#include "platform/Operator.h"
#include "shell/ToolContext.h"

#include <QJsonObject>
#include <QString>
#include <array>
#include <functional>

class MessageList;
class ToolContext;

namespace check {

enum class QueryId {
    Environment, GroupId, Ifconfig, Route, RsRoute, Arp, RsArp, Dhcp, Rip, RfChannel,
    PortFilter, Scramble, TxMethod, FullDuplex, SnmpSetup, L2as, AccessList, AccessLimit
};
constexpr int QueryCount = 18;

struct QueryDef {
    QueryId id;
    const char* button;   // the window's control name, e.g. "cmdIfconf"
    const char* caption;  // the button's caption, e.g. "ifconfig"
    const char* cliName;  // the `qln check` word, e.g. "ifconfig"
    const char* title;    // what the log records as asked, e.g. "show ifconfig"
    // The key of the query's values in a JSON document: the word with "_" for "-".
    QString jsonKey() const { return QString::fromLatin1(cliName).replace(QLatin1Char('-'), QLatin1Char('_')); }
};
// In Check All's order.
const std::array<QueryDef, QueryCount>& QueryDefs();
// nullptr for an unknown word.
const QueryDef* FindQuery(const QString& cliName);

// What a query touches: the program's context (clock, log, operator), the engine it asks
// through, and the list its lines go to (the check window's own list, not the main one).
struct CheckRun {
    ToolContext& ctx;
    frmUIF& uif;
    MessageList& lstMsg;
    // Where the outcome of each request comes from: the engine's exchange with the device, unless
    // the caller already holds the replies (recorded bytes) and answers the request built in
    // uif.UIFRequestBuf itself.
    std::function<frmUIF::UIFOutcome(frmUIF& uif)> answer = {};
    // Who answers the run's questions (the report's save dialog): the asking window's operator,
    // or the context's when none is given.
    Operator* op = nullptr;
    Operator& asker() const { return op ? *op : ctx.op; }
    // Whether the rows of the tables are kept as values too (the command line's JSON document).
    // The window shows lines only: without them a query keeps its statuses and single settings,
    // and its table rows go to the list and the log alone.
    bool tableValues = true;
};

struct QueryResult {
    // 0 when the query ended normally (table ends included), else the status that stopped it.
    int status = 0;
    // The values read, under readable field names, with "status" among them:
    // {"status": 0, "interfaces": [{"name": "eth0", "address": "192.168.1.10", ...}]}.
    QJsonObject values;
};
QueryResult RunQuery(QueryId id, const CheckRun& run);

struct CheckAllResult {
    // 0 when every query returned 0 or 11, else the status of the query that stopped the run.
    int status = 0;
    bool completed = false;    // every query ran
    QString stoppedAt;         // the jsonKey() of the query that ended the run, "" when none did
    QString savedPath;         // the report's path when it was written
    bool saveFailed = false;   // a chosen file could not be written (the old one is kept)
    QString saveError;         // why, as the file system said
    QJsonObject values;        // jsonKey() -> that query's values, for the queries that ran
};
// Clears the list, runs every query in order (going on after 0 and 11 only), then asks the
// operator for a file and writes the list's lines to it with CR LF.
CheckAllResult RunCheckAll(const CheckRun& run);

}  // namespace check
