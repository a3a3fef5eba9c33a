#pragma once
// QLN_Test's main window ("frmMain"): the local device address, the remote station ID, the
// Echo Request / Traceroute / Stop buttons, the lamp and the counter, the message list and the
// station list, the log buttons. It reads its fields, enables and disables its buttons, moves
// the focus and calls the run of EchoTestSession.
#include <QWidget>

class Clipboard;
class EchoTestSession;
class MainClose;
class Operator;
class QAction;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class WaitStatusBar;

class frmEchoMain : public QWidget {
    Q_OBJECT
public:
    // checkTickMs: the period of the timer that defers the close.
    frmEchoMain(EchoTestSession& session, Operator& op, Clipboard& clipboard, int checkTickMs = 100,
                QWidget* parent = nullptr);
    ~frmEchoMain() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WaitStatusBar* statusBar_ = nullptr;  // what the window waits for
    void buildLayout();

    void txt_IP_KeyPress();
    void cmb_ID_LostFocus();
    void cmdEcho_Click();
    void cmdTR_Click();
    void cmdStop_Click();
    void runEnded();
    void startRefused();
    void cmd_LogPrint_Click(int index);
    void updateLogButtons();
    void showLamp(bool lit);
    void showStations();

    EchoTestSession& session_;
    Operator& op_;
    Clipboard& clipboard_;
    MainClose* close_;
    bool echoRunning_ = false;

    QLabel* lbl_IP;
    QLineEdit* txt_IP;
    QLabel* lbl_ID;
    QComboBox* cmb_ID;
    QPushButton* cmdEcho;
    QPushButton* cmdTR;
    QPushButton* cmdStop;
    QPushButton* cmdExit;
    QPushButton* cmd_LogPrint[2];
    QFrame* fraSig;
    QLabel* lblSig;
    QGroupBox* fraCnt;
    QLabel* lblCnt;
    QListWidget* lstSID;
    QListWidget* lstStatus;
    QMenu* ListMenu;
    QAction* lstCopy;
    QMenu* SListMenu;
    QAction* SlstCopy;
};
