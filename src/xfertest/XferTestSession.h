#pragma once
// What QLN_Xfer's flows share: the program's context (seams, message list, log with tag XFER),
// the UIF engine with its 20-tick waits and status texts, the RCMP engine of the test stream and
// the run. The window and `qln xfer` each build one and wire it.
#include "link/frmUIF.h"
#include "rcmp/frmRCMP.h"
#include "shell/ToolContext.h"
#include "tftp/WaitProgress.h"
#include "xfertest/XferTestRun.h"

#include <QObject>

class XferTestSession : public QObject, public ToolContext {
    Q_OBJECT
public:
    static frmUIF::Options XferUIFOptions()
    {
        frmUIF::Options o;
        o.waitTicks = 20;
        o.dialect = basUIF::Dialect::Xfer;
        return o;
    }
    struct Options {
        frmUIF::Options uif = XferUIFOptions();
        frmRCMP2::Options rcmp = frmRCMP2::DefaultOptions();  // localPort: the host port box's default
        XferTestRun::Options run;
    };

    XferTestSession(const Clock& clock, Operator& op, QObject* parent = nullptr);
    XferTestSession(const Clock& clock, Operator& op, const Options& options, QObject* parent = nullptr);

    // Form_Load's part in the core: the UIF engine, the RCMP engine on the host port, the run.
    // False when a port could not be bound.
    bool load();

    frmUIF uif;
    frmRCMP2 rcmp;
    XferTestRun run;
    // The UIF exchange now waiting, "" when none.
    WaitProgress waits;
};
