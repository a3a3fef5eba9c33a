#include "echotest/frmEchoMain.h"

#include "echotest/EchoTestSession.h"
#include "link/basConv.h"
#include "platform/Operator.h"
#include "shell/ListCopy.h"
#include "shell/LogFile.h"
#include "shell/MainClose.h"
#include "shell/MessageListView.h"
#include "shell/Version.h"
#include "shell/WaitStatusBar.h"
#include "shell/WindowControls.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

frmEchoMain::frmEchoMain(EchoTestSession& session, Operator& op, Clipboard& clipboard, int checkTickMs, QWidget* parent)
    : QWidget(parent), session_(session), op_(op), clipboard_(clipboard)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Quillon Radio Echo Test    Ver.") + basMain::ProgramVersion());

    lbl_IP = NamedControl<QLabel>(this, "lbl_IP", QStringLiteral("Local Quillon IP Address"));
    txt_IP = NamedControl<QLineEdit>(this, "txt_IP");
    lbl_ID = NamedControl<QLabel>(this, "lbl_ID", QStringLiteral("Remote Quillon Station ID"));
    cmb_ID = NamedControl<QComboBox>(this, "cmb_ID");
    cmb_ID->setEditable(true);
    cmb_ID->setInsertPolicy(QComboBox::NoInsert);
    // The focus-out of a real Tab or click arrives at the box itself; its line edit only hears of
    // it from the box, past any event filter.
    cmb_ID->installEventFilter(this);

    cmdEcho = NamedButton(this, "cmdEcho", QStringLiteral("Echo Request"));
    cmdTR = NamedButton(this, "cmdTR", QStringLiteral("Traceroute"));
    cmdStop = NamedButton(this, "cmdStop", QStringLiteral("Stop"));
    cmdExit = NamedButton(this, "cmdExit", QStringLiteral("Exit"));
    cmd_LogPrint[0] = NamedButton(this, "cmd_LogPrint0", QStringLiteral("Log Start"));
    cmd_LogPrint[1] = NamedButton(this, "cmd_LogPrint1", QStringLiteral("Log  End"));

    const LampAndCounter lamp = MakeLampAndCounter(this, QStringLiteral("Packet Count (Receive/Send)"));
    fraSig = lamp.fraSig;
    lblSig = lamp.lblSig;
    fraCnt = lamp.fraCnt;
    lblCnt = lamp.lblCnt;

    const QFont fixed = FixedPitchFont();
    lstSID = NamedControl<QListWidget>(this, "lstSID");
    lstSID->setFont(fixed);
    lstStatus = NamedControl<QListWidget>(this, "lstStatus");
    lstStatus->setFont(fixed);
    lstStatus->setUniformItemSizes(true);

    ListMenu = NamedControl<QMenu>(this, "ListMenu", QStringLiteral("Menu"));
    lstCopy = ListMenu->addAction(QStringLiteral("Copy"));
    lstCopy->setObjectName(QStringLiteral("lstCopy"));
    SListMenu = NamedControl<QMenu>(this, "SListMenu", QStringLiteral("SMenu"));
    SlstCopy = SListMenu->addAction(QStringLiteral("Copy"));
    SlstCopy->setObjectName(QStringLiteral("SlstCopy"));

    buildLayout();
    statusBar_ = AddWaitStatusBar(*this);
    BindMessageList(session_.lstStatus, lstStatus, true, this);

    EchoTestRun& run = session_.run;
    connect(txt_IP, &QLineEdit::returnPressed, this, &frmEchoMain::txt_IP_KeyPress);
    // The log records carry the address box's current text.
    connect(txt_IP, &QLineEdit::textChanged, this, [this](const QString& text) { session_.deviceText = text; });
    connect(cmdEcho, &QPushButton::clicked, this, &frmEchoMain::cmdEcho_Click);
    connect(cmdTR, &QPushButton::clicked, this, &frmEchoMain::cmdTR_Click);
    connect(cmdStop, &QPushButton::clicked, this, &frmEchoMain::cmdStop_Click);
    connect(cmdExit, &QPushButton::clicked, this, &QWidget::close);
    connect(cmd_LogPrint[0], &QPushButton::clicked, this, [this] { cmd_LogPrint_Click(0); });
    connect(cmd_LogPrint[1], &QPushButton::clicked, this, [this] { cmd_LogPrint_Click(1); });
    new ListCopy(lstStatus, ListMenu, lstCopy, clipboard_, this);
    new ListCopy(lstSID, SListMenu, SlstCopy, clipboard_, this);
    connect(&run, &EchoTestRun::countChanged, lblCnt, &QLabel::setText);
    connect(&run, &EchoTestRun::lampChanged, this, &frmEchoMain::showLamp);
    connect(&run, &EchoTestRun::stationsChanged, this, &frmEchoMain::showStations);
    connect(&run, &EchoTestRun::runEnded, this, &frmEchoMain::runEnded);

    // Form_Load: the defaults, then the packet ID line, the RCMP engine and tmrRep.
    close_ = new MainClose(session_, [this] { session_.rcmp.requestClose(); }, checkTickMs, this);
    connect(close_, &MainClose::closeNow, this, &QWidget::close);
    txt_IP->setText(QStringLiteral("1.1.1.1"));
    cmb_ID->setEditText(QStringLiteral("FF:FF:FF:FF:FF:FF"));
    showLamp(false);
    session_.load();
    lblCnt->setText(run.countText());
    updateLogButtons();
}

frmEchoMain::~frmEchoMain()
{
    // The session may outlive this window.
    disconnect(&session_.lstStatus, nullptr, this, nullptr);
}

void frmEchoMain::buildLayout()
{
    auto* fields = new QGridLayout;
    fields->addWidget(lbl_IP, 0, 0);
    fields->addWidget(txt_IP, 0, 1);
    fields->addWidget(lbl_ID, 1, 0);
    fields->addWidget(cmb_ID, 1, 1);
    fields->setColumnStretch(1, 1);

    auto* sigLayout = new QVBoxLayout(fraSig);
    sigLayout->addWidget(lblSig);
    auto* cntLayout = new QVBoxLayout(fraCnt);
    cntLayout->addWidget(lblCnt);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdEcho);
    buttons->addWidget(cmdTR);
    buttons->addWidget(cmdStop);
    buttons->addStretch();
    buttons->addWidget(fraSig);
    buttons->addWidget(fraCnt);
    buttons->addWidget(cmdExit);

    auto* lists = new QHBoxLayout;
    lists->addWidget(lstStatus, 3);
    lists->addWidget(lstSID, 1);

    auto* logRow = new QHBoxLayout;
    logRow->addStretch();
    logRow->addWidget(cmd_LogPrint[0]);
    logRow->addWidget(cmd_LogPrint[1]);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->addLayout(lists, 1);
    layout->addLayout(logRow);
    resize(720, 480);
}

void frmEchoMain::txt_IP_KeyPress()
{
    if (!session_.run.CheckIPAddress(txt_IP->text())) {
        txt_IP->setFocus();
        return;
    }
    if (!cmdEcho->isEnabled()) cmdStop->setFocus();
}

void frmEchoMain::cmb_ID_LostFocus()
{
    int err = 0;
    basConv::Mac mac{};
    basConv::ParseMAC(cmb_ID->currentText().toLatin1(), mac, err);
    if (err != 0) {
        op_.message(QStringLiteral("WARNING"), QStringLiteral("Invalid Station ID"), Operator::Icon::Critical);
        cmb_ID->setFocus(Qt::OtherFocusReason);
        return;
    }
    cmb_ID->setEditText(basConv::FormatMAC(mac));
}

void frmEchoMain::cmdEcho_Click()
{
    if (!session_.run.StartEcho(txt_IP->text(), cmb_ID->currentText())) {
        startRefused();
        return;
    }
    echoRunning_ = true;
    statusBar_->showWaiting(QStringLiteral("Waiting for the echo replies of ") + cmb_ID->currentText());
    cmdStop->setFocus();
    cmdEcho->setEnabled(false);
}

void frmEchoMain::cmdTR_Click()
{
    if (!session_.run.StartTrace(txt_IP->text(), cmb_ID->currentText())) {
        startRefused();
        return;
    }
    echoRunning_ = false;
    statusBar_->showWaiting(QStringLiteral("Waiting for the route to ") + cmb_ID->currentText());
    cmdStop->setFocus();
    cmdTR->setEnabled(false);
}

void frmEchoMain::startRefused()
{
    // A run that is going refuses silently; an address the check rejected gets the focus back.
    if (session_.run.TestState != 0) return;
    int err = 0;
    basConv::ParseIPv4(txt_IP->text(), err);
    if (err != 0) txt_IP->setFocus();
}

void frmEchoMain::cmdStop_Click() { session_.run.cmdStop_Click(); }

void frmEchoMain::runEnded()
{
    // An echo run gives Echo Request back; a traceroute, or Stop while idle, gives Traceroute.
    QPushButton* start = echoRunning_ ? cmdEcho : cmdTR;
    echoRunning_ = false;
    statusBar_->showWaiting(QString());
    start->setEnabled(true);
    start->setFocus();
}

void frmEchoMain::cmd_LogPrint_Click(int index)
{
    if (index == 0)
        StartLog(session_.log, op_);
    else
        session_.log.EndLog();
    updateLogButtons();
}

void frmEchoMain::updateLogButtons() { cmd_LogPrint[0]->setEnabled(!session_.log.isOpen()); }

void frmEchoMain::showLamp(bool lit)
{
    QPalette p = lblSig->palette();
    p.setColor(QPalette::Window, lit ? QColor(128, 255, 128) : QColor(0, 0, 0));
    lblSig->setPalette(p);
}

void frmEchoMain::showStations()
{
    AddMissingStations(cmb_ID, session_.run.comboStations());
    const QStringList& stations = session_.run.lstSID();
    if (lstSID->count() == stations.size()) return;
    for (int i = lstSID->count(); i < stations.size(); ++i) lstSID->addItem(stations.at(i));
    lstSID->setCurrentRow(lstSID->count() - 1, QItemSelectionModel::ClearAndSelect);
}

bool frmEchoMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == cmb_ID && event->type() == QEvent::FocusOut) {
        if (LeavesBox(event)) cmb_ID_LostFocus();
        return false;
    }
    return QWidget::eventFilter(watched, event);
}

void frmEchoMain::closeEvent(QCloseEvent* event)
{
    if (!close_->request()) {
        event->ignore();
        return;
    }
    close_->unload();
    event->accept();
}
