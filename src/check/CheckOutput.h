#pragma once
// What every query shares: one request step, and the list and log lines in their shapes
// (result lines after a time stamp and an indent, headers under 14 blanks, the error report).
#include "check/CheckQueries.h"
#include "link/basConv.h"
#include "link/frmUIF.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <initializer_list>

namespace check {

// One reply as a query reads it: the bytes past what came are read as 0.
struct Reply {
    frmUIF::UIFOutcome outcome;
    QByteArray bytes;  // the reply, zero-filled to the 80 bytes a reply can hold
    qint32 status() const { return outcome.status; }
    qint32 Long(int offset) const;
    quint32 ULong(int offset) const { return quint32(Long(offset)); }
    qint16 Int(int offset) const;
    quint8 Byte(int offset) const;
    basConv::Mac Mac(int offset) const;
    // Up to maxBytes, ending at the first 0; one character per byte.
    QString Str(int offset, int maxBytes) const;
};

class CheckOutput {
public:
    explicit CheckOutput(const CheckRun& run) : run_(run) {}

    // Sends a request with the given Longs from payload offset 0 (the rest stays 0xFF) and
    // waits for its outcome. Collect mode is switched off first.
    Reply request(qint16 code, std::initializer_list<qint32> longs = {});

    QString CheckTimeStamp() const;
    // Adds the text to the list, split at each backslash-n; the log is the caller's.
    void AddCheckLine(const QString& text);

    void blank();                                   // an empty list line, not logged
    void title(const QString& text);                // logged as asked (SEND), not shown
    void header(const QString& text, int logKind);  // 14 blanks in the list, bare in the log
    // A result line: time stamp, indent, text; logged (RECV) as the indent less two blanks
    // and the text, or as logText when one is given.
    void line(const QString& text, int indent = 2);
    void lineLogged(const QString& text, int indent, const QString& logText, int logKind = 2);
    // A result line that keeps its whole indent in the log.
    void lineFull(const QString& text, int indent);
    // A line with neither time stamp nor indent.
    void bare(const QString& text);
    void ReportQueryError(const Reply& reply, const QString& errorTitle);
    // What the last error report said, for the JSON document: the failing command, its status
    // and status text, and for a link failure (-1) the link's state and message, so that a dead
    // device, an Operator Break and "Sender Busy" are told apart. Empty when none was reported.
    const QJsonObject& lastError() const { return lastError_; }

    const CheckRun& run() const { return run_; }
    // Whether table rows are kept as values (see CheckRun::tableValues).
    bool tableValues() const { return run_.tableValues; }

private:
    const CheckRun& run_;
    QJsonObject lastError_;
};

}  // namespace check
