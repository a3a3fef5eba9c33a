#pragma once
// QLN_Set's status check window: one button per query, Check ALL, Stop and Exit over its own
// message list. It moves the focus, disables and enables its buttons and calls the queries of
// CheckQueries.h on the session's context and UIF engine.
#include "check/CheckQueries.h"
#include "shell/MessageList.h"

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

    std::array<QPushButton*, check::QueryCount> queryButtons_{};
    QPushButton* cmdCheckAll;
    QPushButton* comstp;
    QPushButton* cmdExit;
    QPushButton* cmdDMY;
    QListWidget* lstMsgView;
    QMenu* ListMenu;
    QAction* lstCopy;
};
