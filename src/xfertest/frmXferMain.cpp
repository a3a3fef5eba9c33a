#include "xfertest/frmXferMain.h"

#include "link/basConv.h"
#include "platform/Operator.h"
#include "shell/ListCopy.h"
#include "shell/LogFile.h"
#include "shell/MainClose.h"
#include "shell/MessageListView.h"
#include "shell/PcAddress.h"
#include "shell/Version.h"
#include "shell/WaitStatusBar.h"
#include "shell/WindowControls.h"
#include "xfertest/XferTestSession.h"

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
#include <QTimer>
#include <QVBoxLayout>

frmXferMain::frmXferMain(XferTestSession& session, Operator& op, Clipboard& clipboard, int tickMs, QWidget* parent)
    : QWidget(parent), session_(session), op_(op)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Quillon Radio Data Transfer Test    Ver.") + basMain::ProgramVersion());

    auto label = [this](const char* name, const QString& text) {
        labels_ << NamedControl<QLabel>(this, name, text);
        return labels_.last();
    };
    label("lbl_IP", QStringLiteral("Local Quillon IP Address"));
    txt_IP = NamedControl<QLineEdit>(this, "txt_IP");
    label("lbl_ID", QStringLiteral("Remote Quillon Station ID"));
    cmb_ID = NamedControl<QComboBox>(this, "cmb_ID");
    cmb_ID->setEditable(true);
    cmb_ID->setInsertPolicy(QComboBox::NoInsert);
    // The focus-out of a real Tab or click arrives at the box itself; its line edit only hears of
    // it from the box, past any event filter.
    cmb_ID->installEventFilter(this);
    label("lblID", QStringLiteral("RCMP packet ID"));
    txtID = NamedControl<QLineEdit>(this, "txtID");
    label("lblRep", QStringLiteral("Interval time"));
    txtRep = NamedControl<QLineEdit>(this, "txtRep");
    label("lblLimit", QStringLiteral("Send Limit"));
    txtLimit = NamedControl<QLineEdit>(this, "txtLimit");
    label("lblHostIP", QStringLiteral("Host IP address"));
    txtHostIP = NamedControl<QLineEdit>(this, "txtHostIP");
    label("lblHostPort", QStringLiteral("Host UDP port"));
    txtHostPort = NamedControl<QLineEdit>(this, "txtHostPort");

    cmdSend = NamedButton(this, "cmdSend", QStringLiteral("Send Mode"));
    cmdRecv = NamedButton(this, "cmdRecv", QStringLiteral("Receive Mode"));
    cmdDis = NamedButton(this, "cmdDis", QStringLiteral("Disable"));
    cmdCheck = NamedButton(this, "cmdCheck", QStringLiteral("Mode Check"));
    cmdStop = NamedButton(this, "cmdStop", QStringLiteral("Stop"));
    cmdEcho = NamedButton(this, "cmdEcho", QStringLiteral("RCMP Echo"));
    cmdEchoStop = NamedButton(this, "cmdEchoStop", QStringLiteral("Echo Stop"));
    cmdReset = NamedButton(this, "cmdReset", QStringLiteral("Reset"));
    cmdExit = NamedButton(this, "cmdExit", QStringLiteral("Exit"));
    cmd_LogPrint[0] = NamedButton(this, "cmd_LogPrint0", QStringLiteral("Log Start"));
    cmd_LogPrint[1] = NamedButton(this, "cmd_LogPrint1", QStringLiteral("Log  End"));

    const LampAndCounter lamp = MakeLampAndCounter(this, QStringLiteral("Packet Count (Lost/Receive)"));
    fraSig = lamp.fraSig;
    lblSig = lamp.lblSig;
    fraCnt = lamp.fraCnt;
    lblCnt = lamp.lblCnt;

    lstStatus = NamedControl<QListWidget>(this, "lstStatus");
    lstStatus->setFont(FixedPitchFont());
    lstStatus->setUniformItemSizes(true);
    ListMenu = NamedControl<QMenu>(this, "ListMenu", QStringLiteral("Menu"));
    lstcopy = ListMenu->addAction(QStringLiteral("Copy"));
    lstcopy->setObjectName(QStringLiteral("lstcopy"));
    new ListCopy(lstStatus, ListMenu, lstcopy, clipboard, this);

    buildLayout();
    statusBar_ = AddWaitStatusBar(*this);
    statusBar_->follow(session_.waits);
    // The test stream adds lines far faster than a list view can show them: the view and the
    // counter catch up once a tick, the list and the counters themselves miss nothing.
    BindMessageListBatched(session_.lstStatus, lstStatus, tickMs, this);
    countTimer_ = new QTimer(this);
    countTimer_->setSingleShot(true);
    countTimer_->setInterval(tickMs);
    connect(countTimer_, &QTimer::timeout, this, [this] { lblCnt->setText(session_.run.countText()); });

    XferTestRun& run = session_.run;
    connect(txt_IP, &QLineEdit::returnPressed, this, &frmXferMain::txt_IP_KeyPress);
    connect(txt_IP, &QLineEdit::textChanged, this, [this](const QString& text) { session_.deviceText = text; });
    connect(txtID, &QLineEdit::returnPressed, this, [this] { boxEnter(txtID, &XferTestRun::CheckPacketID); });
    connect(txtRep, &QLineEdit::returnPressed, this, [this] { boxEnter(txtRep, &XferTestRun::CheckInterval); });
    connect(txtLimit, &QLineEdit::returnPressed, this, [this] { boxEnter(txtLimit, &XferTestRun::CheckLimit); });
    connect(txtHostIP, &QLineEdit::returnPressed, this, [this] { boxEnter(txtHostIP, &XferTestRun::CheckHostIP); });
    connect(txtHostPort, &QLineEdit::returnPressed, this, [this] { boxEnter(txtHostPort, &XferTestRun::CheckHostPort); });
    connect(cmdSend, &QPushButton::clicked, this, [this] { modeClick(XferTestRun::ModeSend, cmdSend); });
    connect(cmdRecv, &QPushButton::clicked, this, [this] { modeClick(XferTestRun::ModeReceive, cmdRecv); });
    connect(cmdDis, &QPushButton::clicked, this, [this] { modeClick(XferTestRun::ModeDisable, cmdDis); });
    connect(cmdCheck, &QPushButton::clicked, this, &frmXferMain::cmdCheck_Click);
    connect(cmdStop, &QPushButton::clicked, this, [this] { session_.uif.TermUIF(); });
    connect(cmdEcho, &QPushButton::clicked, this, &frmXferMain::cmdEcho_Click);
    connect(cmdEchoStop, &QPushButton::clicked, this, [this] { session_.run.EchoStop(); });
    connect(cmdReset, &QPushButton::clicked, this, [this] { session_.run.Reset(); });
    connect(cmdExit, &QPushButton::clicked, this, &QWidget::close);
    connect(cmd_LogPrint[0], &QPushButton::clicked, this, [this] { cmd_LogPrint_Click(0); });
    connect(cmd_LogPrint[1], &QPushButton::clicked, this, [this] { cmd_LogPrint_Click(1); });
    connect(&run, &XferTestRun::countChanged, countTimer_, [this] {
        if (!countTimer_->isActive()) countTimer_->start();
    });
    connect(&run, &XferTestRun::lampChanged, this, &frmXferMain::showLamp);
    connect(&run, &XferTestRun::stationsChanged, this, &frmXferMain::showStations);
    connect(&run, &XferTestRun::echoEnded, this, &frmXferMain::echoEnded);

    // Form_Load: the engines, the defaults, the packet ID, this PC's address, the host port.
    close_ = new MainClose(session_, [this] { session_.uif.requestClose(); }, tickMs, this);
    connect(close_, &MainClose::closeNow, this, &QWidget::close);
    const XferTestRun::Fields defaults;
    txt_IP->setText(defaults.ip);
    cmb_ID->setEditText(QStringLiteral("FF:FF:FF:FF:FF:FF"));
    txtID->setText(defaults.id);
    txtRep->setText(defaults.rep);
    txtLimit->setText(defaults.limit);
    showLamp(false);
    int err = 0;
    session_.uif.setRemoteHost(quint32(basConv::ParseIPv4(defaults.ip, err)));
    session_.rcmp.setRemoteHost(session_.uif.remoteHost());
    session_.deviceText = defaults.ip;
    session_.load();
    txtHostIP->setText(basMain::PcAddressTowards(session_.uif.remoteHost()));
    txtHostPort->setText(QString::number(session_.rcmp.isOpen() && session_.rcmp.localPort() != 0
                                             ? session_.rcmp.localPort() : quint16(defaults.hostPort.toUShort())));
    lblCnt->setText(run.countText());
    cmd_LogPrint[0]->setEnabled(true);
}

frmXferMain::~frmXferMain()
{
    // The session may outlive this window.
    disconnect(&session_.lstStatus, nullptr, this, nullptr);
}

void frmXferMain::buildLayout()
{
    auto* fields = new QGridLayout;
    const QList<QWidget*> boxes{txt_IP, cmb_ID, txtID, txtRep, txtLimit, txtHostIP, txtHostPort};
    for (int i = 0; i < boxes.size(); ++i) {
        fields->addWidget(labels_[i], i % 4, (i / 4) * 2);
        fields->addWidget(boxes[i], i % 4, (i / 4) * 2 + 1);
    }
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(3, 1);

    auto* sigLayout = new QVBoxLayout(fraSig);
    sigLayout->addWidget(lblSig);
    auto* cntLayout = new QVBoxLayout(fraCnt);
    cntLayout->addWidget(lblCnt);

    auto* modes = new QHBoxLayout;
    for (QPushButton* b : {cmdSend, cmdRecv, cmdDis, cmdCheck, cmdStop}) modes->addWidget(b);
    modes->addStretch();
    modes->addWidget(fraSig);
    modes->addWidget(fraCnt);
    auto* echo = new QHBoxLayout;
    for (QPushButton* b : {cmdEcho, cmdEchoStop, cmdReset}) echo->addWidget(b);
    echo->addStretch();
    echo->addWidget(cmd_LogPrint[0]);
    echo->addWidget(cmd_LogPrint[1]);
    echo->addWidget(cmdExit);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(modes);
    layout->addLayout(echo);
    layout->addWidget(lstStatus, 1);
    resize(760, 520);
}

XferTestRun::Fields frmXferMain::fields() const
{
    XferTestRun::Fields f;
    f.ip = txt_IP->text();
    f.id = txtID->text();
    f.rep = txtRep->text();
    f.limit = txtLimit->text();
    f.hostIp = txtHostIP->text();
    f.hostPort = txtHostPort->text();
    return f;
}

void frmXferMain::focusBox(XferTestRun::Box box)
{
    using Box = XferTestRun::Box;
    switch (box) {
    case Box::IP: txt_IP->setFocus(); break;
    case Box::ID: txtID->setFocus(); break;
    case Box::Rep: txtRep->setFocus(); break;
    case Box::Limit: txtLimit->setFocus(); break;
    case Box::HostIP: txtHostIP->setFocus(); break;
    case Box::HostPort: txtHostPort->setFocus(); break;
    case Box::None: break;
    }
}

void frmXferMain::boxEnter(QLineEdit* box, bool (XferTestRun::*check)(const QString&))
{
    if (!(session_.run.*check)(box->text())) box->setFocus();
}

void frmXferMain::txt_IP_KeyPress()
{
    if (!session_.run.CheckIPAddress(txt_IP->text())) {
        txt_IP->setFocus();
        return;
    }
    if (cmdCheck->isEnabled()) cmdCheck->setFocus();
}

void frmXferMain::cmb_ID_LostFocus()
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

void frmXferMain::modeClick(int mode, QPushButton* button)
{
    const XferTestRun::Box refused = session_.run.ValidateMode(mode, fields());
    if (refused != XferTestRun::Box::None) {
        focusBox(refused);
        return;
    }
    cmdStop->setFocus();
    button->setEnabled(false);
    session_.run.SetTestMode(mode);
    button->setEnabled(true);
    if (button->isVisible()) button->setFocus();
}

void frmXferMain::cmdCheck_Click()
{
    if (!session_.run.CheckIPAddress(txt_IP->text())) {
        txt_IP->setFocus();
        return;
    }
    cmdStop->setFocus();
    cmdCheck->setEnabled(false);
    session_.run.ModeCheck();
    cmdCheck->setEnabled(true);
    if (cmdCheck->isVisible()) cmdCheck->setFocus();
}

void frmXferMain::cmdEcho_Click()
{
    if (session_.run.EchoRunning) return;
    XferTestRun::Box refused = XferTestRun::Box::None;
    if (!session_.run.StartEcho(fields(), cmb_ID->currentText(), &refused)) {
        focusBox(refused);
        return;
    }
    statusBar_->showWaiting(QStringLiteral("Waiting for the echo replies of ") + cmb_ID->currentText());
    cmdEchoStop->setFocus();
    cmdEcho->setEnabled(false);
}

void frmXferMain::echoEnded()
{
    statusBar_->showWaiting(QString());
    if (cmdEcho->isEnabled()) return;
    cmdEcho->setEnabled(true);
    cmdEcho->setFocus();
}

void frmXferMain::cmd_LogPrint_Click(int index)
{
    if (index == 0)
        StartLog(session_.log, op_);
    else
        session_.log.EndLog();
    cmd_LogPrint[0]->setEnabled(!session_.log.isOpen());
}

void frmXferMain::showLamp(bool lit)
{
    QPalette p = lblSig->palette();
    p.setColor(QPalette::Window, lit ? QColor(128, 255, 128) : QColor(0, 0, 0));
    lblSig->setPalette(p);
}

void frmXferMain::showStations()
{
    AddMissingStations(cmb_ID, session_.run.comboStations());
}

bool frmXferMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == cmb_ID && event->type() == QEvent::FocusOut) {
        if (LeavesBox(event)) cmb_ID_LostFocus();
        return false;
    }
    return QWidget::eventFilter(watched, event);
}

void frmXferMain::closeEvent(QCloseEvent* event)
{
    if (!close_->request()) {
        event->ignore();
        return;
    }
    // Form_Unload: the log ends, the RCMP engine unloads.
    close_->unload();
    session_.rcmp.requestClose();
    event->accept();
}
