#pragma once
// Closing a program's main window. A close request ends whatever waits, unloads the engines and
// is itself cancelled; two ticks of tmrCheck later closeNow() asks again and the close goes
// through. So no wait that is still on the stack loses its window or engines.
#include <QObject>

#include <functional>

class QTimer;
class SetupSession;
class ToolContext;

class MainClose : public QObject {
    Q_OBJECT
public:
    // closeEngines asks each engine of the program to unload (each defers its own unload).
    MainClose(ToolContext& ctx, std::function<void()> closeEngines, int tickMs = 100, QObject* parent = nullptr);
    // QLN_Set: its UIF engine and transfer sequencer.
    MainClose(SetupSession& session, int tickMs = 100, QObject* parent = nullptr);

    // True when the window may go now; false when this close is cancelled and deferred.
    bool request();
    // The window goes: the log ends with its end record.
    void unload();

    // Each tick of tmrCheck: the second one after a request lets the close go through.
    void tmrCheck_Timer();

    bool isOpen() const { return open_; }
    int pending() const { return pending_; }

signals:
    void closeNow();

private:

    ToolContext& ctx_;
    std::function<void()> closeEngines_;
    QTimer* tmrCheck_;
    bool open_ = true;
    int pending_ = 0;
};
