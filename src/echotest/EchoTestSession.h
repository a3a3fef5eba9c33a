#pragma once
// What QLN_Test's flows share: the program's context (seams, message list, log with tag TEST),
// the RCMP engine and the echo/traceroute run. The window builds one and wires its controls to it.
#include "echotest/EchoTestRun.h"
#include "rcmp/frmRCMP.h"
#include "shell/ToolContext.h"

#include <QObject>

class EchoTestSession : public QObject, public ToolContext {
    Q_OBJECT
public:
    struct Options {
        frmRCMP::Options rcmp;
        EchoTestRun::Options run;
    };

    EchoTestSession(const Clock& clock, Operator& op, const Options& options = Options(), QObject* parent = nullptr);

    // Form_Load's part in the core: the packet ID and its line, the RCMP port, tmrRep.
    // False when the RCMP port could not be bound.
    bool load() { return run.Load(); }

    frmRCMP rcmp;
    EchoTestRun run;
};
