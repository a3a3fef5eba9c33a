#include "firmware/frmFW.h"

#include "firmware/FirmwareFlows.h"
#include "link/basMain.h"
#include "platform/Operator.h"
#include "shell/SetupSession.h"
#include "shell/WaitStatusBar.h"
#include "shell/WindowControls.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

using firmware::Outcome;

frmFW::frmFW(SetupSession& session, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session), choices_(basMain::CurrentFolder())
{
    setObjectName(QStringLiteral("frmFW"));
    setWindowTitle(QStringLiteral("QLN Update"));
    frmSend = NamedControl<QGroupBox>(this, "frmSend", QStringLiteral("Send"));
    lblFile = NamedControl<QLabel>(frmSend, "lblFile", QStringLiteral("Firmware File"));
    txtFile = NamedControl<QLineEdit>(frmSend, "txtFile");
    cmdFile = NamedButton(frmSend, "cmdFile", QStringLiteral("Ref."));
    cmdOK = NamedButton(frmSend, "cmdOK", QStringLiteral("FW Update"));
    frmRecv = NamedControl<QGroupBox>(this, "frmRecv", QStringLiteral("Receive"));
    cmdRecvFW = NamedButton(frmRecv, "cmdRecvFW", QStringLiteral("FW RD"));
    cmdSendConf = NamedButton(frmRecv, "cmdSendConf", QStringLiteral("Config WR"));
    cmdRecvConf = NamedButton(frmRecv, "cmdRecvConf", QStringLiteral("Config RD"));
    Frame1 = NamedControl<QGroupBox>(this, "Frame1", QStringLiteral("FW version"));
    lblVers = NamedControl<QLabel>(Frame1, "lblVers", QStringLiteral("unknown"));
    cmdVers = NamedButton(this, "cmdVers", QStringLiteral("Version Check"));
    cmdExit = NamedButton(this, "cmdExit", QStringLiteral("Exit"));
    // Holds the focus while an operation runs, so no Enter can press the running button again.
    cmdDMY = NamedButton(this, "cmdDMY", QString());
    cmdDMY->setFixedSize(1, 1);
    cmdDMY->setFlat(true);
    buildLayout();
    AddWaitStatusBar(*this)->follow(session_.waits);

    connect(cmdFile, &QPushButton::clicked, this, &frmFW::cmdFile_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmFW::cmdOK_Click);
    connect(cmdRecvFW, &QPushButton::clicked, this, &frmFW::cmdRecvFW_Click);
    connect(cmdRecvConf, &QPushButton::clicked, this, &frmFW::cmdRecvConf_Click);
    connect(cmdSendConf, &QPushButton::clicked, this, &frmFW::cmdSendConf_Click);
    connect(cmdVers, &QPushButton::clicked, this, &frmFW::cmdVers_Click);
    connect(cmdExit, &QPushButton::clicked, this, &QWidget::close);
}

void frmFW::buildLayout()
{
    auto* send = new QGridLayout(frmSend);
    send->addWidget(lblFile, 0, 0);
    send->addWidget(txtFile, 1, 0);
    send->addWidget(cmdFile, 1, 1);
    send->addWidget(cmdOK, 2, 1);
    auto* recv = new QHBoxLayout(frmRecv);
    recv->addWidget(cmdRecvFW);
    recv->addWidget(cmdSendConf);
    recv->addWidget(cmdRecvConf);
    auto* vers = new QHBoxLayout(Frame1);
    vers->addWidget(lblVers);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Frame1, 1);
    bottom->addWidget(cmdVers);
    bottom->addWidget(cmdExit);
    bottom->addWidget(cmdDMY);
    auto* all = new QVBoxLayout(this);
    all->addWidget(frmSend);
    all->addWidget(frmRecv);
    all->addLayout(bottom);
}

Operator& frmFW::op()
{
    // Its boxes and dialogs belong to this window, not to the main window.
    return session_.op.forWindow(this);
}

void frmFW::run(QPushButton* button, const std::function<void(const FlowStarted&)>& step)
{
    const WindowUnload::Running running(unload_);
    // Only once the file checks have passed: a refused file leaves the button as it was.
    bool started = false;
    step([&] {
        started = true;
        cmdDMY->setFocus();
        button->setEnabled(false);
    });
    if (!started) return;
    button->setEnabled(true);
    if (button->isVisible()) button->setFocus();
}

void frmFW::cmdFile_Click()
{
    const WindowUnload::Running running(unload_);
    const QString path = firmware::ChooseFirmwareFile(session_, op(), choices_);
    if (!path.isEmpty()) txtFile->setText(path);
}

void frmFW::cmdOK_Click()
{
    Outcome o = Outcome::Done;
    run(cmdOK, [&](const FlowStarted& started) {
        o = firmware::FwUpdate(session_, op(), choices_, txtFile->text(), started);
    });
    if (o == Outcome::Refused) txtFile->setFocus();
}

void frmFW::cmdRecvFW_Click()
{
    run(cmdRecvFW, [this](const FlowStarted& started) { firmware::FwRead(session_, op(), choices_, started); });
}

void frmFW::cmdRecvConf_Click()
{
    run(cmdRecvConf, [this](const FlowStarted& started) { firmware::ConfigRead(session_, op(), choices_, started); });
}

void frmFW::cmdSendConf_Click()
{
    run(cmdSendConf, [this](const FlowStarted& started) { firmware::ConfigWrite(session_, op(), choices_, started); });
}

void frmFW::cmdVers_Click()
{
    run(cmdVers, [this](const FlowStarted& started) {
        QString version;
        if (firmware::VersionCheck(session_, version, nullptr, started) == Outcome::Done) lblVers->setText(version);
    });
}

void frmFW::closeEvent(QCloseEvent* event)
{
    // A waiting exchange or transfer ends before the window goes.
    session_.uif.TermUIF();
    session_.tfr.TermTFRACT();
    event->accept();
    unload_.request();
}
