#pragma once
// QLN_Set's firmware and image window ("QLN Update"): its buttons run the operations of
// FirmwareFlows.h on the main window's session; results go to the main window's message list.
// Exit unloads it: the file path, the version and the file choices go with it.
#include "firmware/FirmwareFiles.h"
#include "shell/FlowStarted.h"
#include "shell/WindowUnload.h"

#include <QWidget>
#include <functional>

class Operator;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SetupSession;

class frmFW : public QWidget {
    Q_OBJECT
public:
    explicit frmFW(SetupSession& session, QWidget* parent = nullptr);
    // True once Exit or the close box has unloaded it (it goes when its handlers return).
    bool isUnloaded() const { return unload_.requested(); }

signals:
    // Closed, with none of its handlers still running: the owner deletes it now.
    void unloaded();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildLayout();
    Operator& op();
    // Once `step`'s flow has passed its file checks: focus to cmdDMY and the button disabled;
    // after it, the button enabled and focused again.
    void run(QPushButton* button, const std::function<void(const FlowStarted&)>& step);

    void cmdFile_Click();
    void cmdOK_Click();
    void cmdRecvFW_Click();
    void cmdRecvConf_Click();
    void cmdSendConf_Click();
    void cmdVers_Click();

    SetupSession& session_;
    firmware::FileChoices choices_;
    WindowUnload unload_{[this] { emit unloaded(); }};

    QGroupBox* frmSend;
    QLabel* lblFile;
    QLineEdit* txtFile;
    QPushButton* cmdFile;
    QPushButton* cmdOK;
    QGroupBox* frmRecv;
    QPushButton* cmdRecvFW;
    QPushButton* cmdSendConf;
    QPushButton* cmdRecvConf;
    QGroupBox* Frame1;
    QLabel* lblVers;
    QPushButton* cmdVers;
    QPushButton* cmdExit;
    QPushButton* cmdDMY;
};
