#pragma once
// QLN_Xfer's main window ("frmMain"): the device address, the remote station, the packet ID,
// interval, send limit, host address and port boxes, the mode buttons, Mode Check, Stop, the
// echo buttons, Reset, the lamp and the lost/received counter, the message list with copy, the
// log buttons. It reads its fields, disables and enables its buttons, moves the focus and calls
// the run of XferTestSession.
#include "xfertest/XferTestRun.h"

#include <QWidget>

class Clipboard;
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
class QTimer;
class XferTestSession;

class frmXferMain : public QWidget {
    Q_OBJECT
public:
    // tickMs: the period of the timers that defer the close and bring the list and counter up
    // to date.
    frmXferMain(XferTestSession& session, Operator& op, Clipboard& clipboard, int tickMs = 100, QWidget* parent = nullptr);
    ~frmXferMain() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WaitStatusBar* statusBar_ = nullptr;  // what the window waits for
    void buildLayout();
    XferTestRun::Fields fields() const;
    void focusBox(XferTestRun::Box box);
    void boxEnter(QLineEdit* box, bool (XferTestRun::*check)(const QString&));
    void txt_IP_KeyPress();
    void cmb_ID_LostFocus();
    void modeClick(int mode, QPushButton* button);
    void cmdCheck_Click();
    void cmdEcho_Click();
    void echoEnded();
    void cmd_LogPrint_Click(int index);
    void showLamp(bool lit);
    void showStations();

    XferTestSession& session_;
    Operator& op_;
    MainClose* close_;
    QTimer* countTimer_;

    QLineEdit* txt_IP;
    QComboBox* cmb_ID;
    QLineEdit* txtID;
    QLineEdit* txtRep;
    QLineEdit* txtLimit;
    QLineEdit* txtHostIP;
    QLineEdit* txtHostPort;
    QList<QLabel*> labels_;
    QPushButton* cmdSend;
    QPushButton* cmdRecv;
    QPushButton* cmdDis;
    QPushButton* cmdCheck;
    QPushButton* cmdStop;
    QPushButton* cmdEcho;
    QPushButton* cmdEchoStop;
    QPushButton* cmdReset;
    QPushButton* cmdExit;
    QPushButton* cmd_LogPrint[2];
    QFrame* fraSig;
    QLabel* lblSig;
    QGroupBox* fraCnt;
    QLabel* lblCnt;
    QListWidget* lstStatus;
    QMenu* ListMenu;
    QAction* lstcopy;
};
