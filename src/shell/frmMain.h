#pragma once
// QLN_Set's main window: the device address, the configuration file, the operation buttons,
// the message list and the log buttons. It reads its fields, enables and disables its buttons,
// moves the focus and calls the flows of SetupSession.
#include "shell/ConfigFileChoice.h"

#include <QPointer>
#include <QWidget>

class Clipboard;
class MainClose;
class MessageList;
class Operator;
class frmCheck;
class frmFW;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class SetupSession;

class frmMain : public QWidget {
    Q_OBJECT
public:
    // commandLine: the whole command-line text, taken as the device address.
    // checkTickMs: the period of tmrCheck, which defers the close.
    frmMain(SetupSession& session, Operator& op, Clipboard& clipboard, const QString& commandLine,
            int checkTickMs = 100, QWidget* parent = nullptr);
    ~frmMain() override;

    const ConfigFileChoice& fileChoice() const { return fileChoice_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();

    void txt_IP_Enter();
    void cmdFile_Click();
    void cmdOK_Click();
    void ComGetstat_Click(int index);
    void cmdIntr_Click();
    void cmdROM_Click();
    void cmdFW_Click();
    void cmdChk_Click();
    void cmdEcho_Click();
    void cmdStop_Click();
    void Cmd_ListLog_Click(int index);
    void lstStatus_ContextMenu(const QPoint& pos);
    void lstcopy_Click();
    void updateLogButtons();

    SetupSession& session_;
    Operator& op_;
    Clipboard& clipboard_;
    ConfigFileChoice fileChoice_;
    MainClose* close_;
    // Opened on demand; a window unloaded by its Exit is replaced by a fresh one.
    QPointer<frmCheck> frmCheck_;
    QPointer<frmFW> frmFW_;

    QLabel* lbl_IP;
    QLineEdit* txt_IP;
    QLabel* lblFile;
    QLineEdit* txtFile;
    QPushButton* cmdFile;
    QPushButton* cmdOK;
    QCheckBox* chkVerify;
    QCheckBox* chkRollback;
    QPushButton* ComGetstat[2];
    QPushButton* cmdROM;
    QPushButton* cmdIntr;
    QPushButton* cmdChk;
    QPushButton* cmdFW;
    QPushButton* cmdEcho;
    QPushButton* cmdStop;
    QPushButton* cmdExit;
    QPushButton* Cmd_ListLog[2];
    QListWidget* lstStatus;
    QListWidget* Statelist;
    QMenu* ListMenu;
    QAction* lstcopy;
};
