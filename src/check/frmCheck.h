#pragma once
// QLN_Set's status check window: one button per query, Check ALL, Stop and Exit over its own
// message list. It moves the focus, disables and enables its buttons and calls the queries of
// CheckQueries.h on the session's context and UIF engine. Exit unloads it: the list goes with it.
#include "check/CheckQueries.h"
#include "shell/MessageList.h"
#include "shell/WindowUnload.h"

#include <QWidget>
#include <array>

class Clipboard;
class QAction;
class QListWidget;
class QMenu;
class QPushButton;
class SetupSession;

class frmCheck : public QWidget {
    Q_OBJECT
public:
    frmCheck(SetupSession& session, Clipboard& clipboard, QWidget* parent = nullptr);

    // The window's list (lstMsg): what the queries write and Check All saves.
    MessageList lstMsg;
    // True once Exit or the close box has unloaded it (it goes when its handlers return).
    bool isUnloaded() const { return unload_.requested(); }

signals:
    // Closed, with none of its handlers still running: the owner deletes it now.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();

    void queryButton_Click(int index);
    void cmdCheckAll_Click();
    void comstp_Click();
    void EnableQueryButtons(bool flag);
    void lstCopy_Click();

    check::CheckRun run();

    SetupSession& session_;
    Clipboard& clipboard_;
    WindowUnload unload_{[this] { emit unloaded(); }};

    std::array<QPushButton*, check::QueryCount> queryButtons_{};
    QPushButton* cmdCheckAll;
    QPushButton* comstp;
    QPushButton* cmdExit;
    QPushButton* cmdDMY;
    QListWidget* lstMsgView;
    QMenu* ListMenu;
    QAction* lstCopy;
};
