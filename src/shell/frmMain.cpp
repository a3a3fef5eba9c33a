#include "shell/frmMain.h"

#include "check/frmCheck.h"
#include "config/ApplyFlow.h"
#include "config/InteractiveFlow.h"
#include "config/SafeApplyFlow.h"
#include "config/SaveToRomFlow.h"
#include "firmware/frmFW.h"
#include "config/ReceiveFlow.h"
#include "link/basMain.h"
#include "platform/Operator.h"
#include "shell/CommandLineAddress.h"
#include "shell/EchoTest.h"
#include "shell/LogFile.h"
#include "shell/MainClose.h"
#include "shell/MessageCopy.h"
#include "shell/MessageListView.h"
#include "shell/SetupSession.h"
#include "shell/Version.h"
#include "shell/WaitStatusBar.h"
#include "shell/WindowControls.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

frmMain::frmMain(SetupSession& session, Operator& op, Clipboard& clipboard, const QString& commandLine,
                 int checkTickMs, QWidget* parent)
    : QWidget(parent), session_(session), op_(op), clipboard_(clipboard)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Quillon Setup    Ver.") + basMain::ProgramVersion());

    lbl_IP = NamedControl<QLabel>(this, "lbl_IP", QStringLiteral("Quillon IP Address :"));
    txt_IP = NamedControl<QLineEdit>(this, "txt_IP");
    lblFile = NamedControl<QLabel>(this, "lblFile", QStringLiteral("Configuration File :"));
    txtFile = NamedControl<QLineEdit>(this, "txtFile");
    cmdFile = NamedButton(this, "cmdFile", QStringLiteral("Ref."));

    cmdOK = NamedButton(this, "cmdOK", QStringLiteral("Apply"));
    // Off by default: Apply then does exactly its own steps.
    chkVerify = NamedControl<QCheckBox>(this, "chkVerify", QStringLiteral("Verify after Apply"));
    // Off by default too: when on, Apply compares first, keeps the running configuration and puts
    // it back when the apply, its verification or the echo afterwards fails.
    chkRollback = NamedControl<QCheckBox>(this, "chkRollback", QStringLiteral("Roll back on failure"));
    ComGetstat[0] = NamedButton(this, "ComGetstat0", QStringLiteral("ROM Config"));
    ComGetstat[1] = NamedButton(this, "ComGetstat1", QStringLiteral("RAM Config"));
    cmdROM = NamedButton(this, "cmdROM", QStringLiteral("Save"));
    cmdIntr = NamedButton(this, "cmdIntr", QStringLiteral("Interactive Mode"));
    cmdChk = NamedButton(this, "cmdChk", QStringLiteral("Check"));
    cmdFW = NamedButton(this, "cmdFW", QStringLiteral("FW Update"));
    cmdEcho = NamedButton(this, "cmdEcho", QStringLiteral("Echo test"));
    cmdStop = NamedButton(this, "cmdStop", QStringLiteral("Stop"));
    cmdExit = NamedButton(this, "cmdExit", QStringLiteral("Exit"));
    Cmd_ListLog[0] = NamedButton(this, "Cmd_ListLog0", QStringLiteral("Log Start"));
    Cmd_ListLog[1] = NamedButton(this, "Cmd_ListLog1", QStringLiteral("Log  End"));

    const QFont fixed = FixedPitchFont();
    lstStatus = NamedControl<QListWidget>(this, "lstStatus");
    lstStatus->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstStatus->setFont(fixed);
    lstStatus->setUniformItemSizes(true);
    lstStatus->setContextMenuPolicy(Qt::CustomContextMenu);
    lstStatus->installEventFilter(this);
    lstStatus->viewport()->installEventFilter(this);
    // The formatter's lines are kept here for saving; the operator does not read them.
    Statelist = NamedControl<QListWidget>(this, "Statelist");
    Statelist->setFont(fixed);
    Statelist->setVisible(false);

    ListMenu = NamedControl<QMenu>(this, "ListMenu", QStringLiteral("Menu"));
    lstcopy = ListMenu->addAction(QStringLiteral("Copy"));
    lstcopy->setObjectName(QStringLiteral("lstcopy"));

    buildLayout();
    AddWaitStatusBar(*this)->follow(session_.waits);

    BindMessageList(session_.lstStatus, lstStatus, true, this);
    BindMessageList(session_.Statelist, Statelist, false, this);

    connect(txt_IP, &QLineEdit::returnPressed, this, &frmMain::txt_IP_Enter);
    connect(cmdFile, &QPushButton::clicked, this, &frmMain::cmdFile_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmMain::cmdOK_Click);
    connect(ComGetstat[0], &QPushButton::clicked, this, [this] { ComGetstat_Click(0); });
    connect(ComGetstat[1], &QPushButton::clicked, this, [this] { ComGetstat_Click(1); });
    connect(cmdROM, &QPushButton::clicked, this, &frmMain::cmdROM_Click);
    connect(cmdIntr, &QPushButton::clicked, this, &frmMain::cmdIntr_Click);
    connect(cmdFW, &QPushButton::clicked, this, &frmMain::cmdFW_Click);
    connect(cmdChk, &QPushButton::clicked, this, &frmMain::cmdChk_Click);
    connect(cmdEcho, &QPushButton::clicked, this, &frmMain::cmdEcho_Click);
    connect(cmdStop, &QPushButton::clicked, this, &frmMain::cmdStop_Click);
    connect(cmdExit, &QPushButton::clicked, this, &QWidget::close);
    connect(Cmd_ListLog[0], &QPushButton::clicked, this, [this] { Cmd_ListLog_Click(0); });
    connect(Cmd_ListLog[1], &QPushButton::clicked, this, [this] { Cmd_ListLog_Click(1); });
    connect(lstStatus, &QWidget::customContextMenuRequested, this, &frmMain::lstStatus_ContextMenu);
    connect(lstcopy, &QAction::triggered, this, &frmMain::lstcopy_Click);

    // Start-up: the open mark, the engines, the command-line address, the file field.
    close_ = new MainClose(session_, checkTickMs, this);
    connect(close_, &MainClose::closeNow, this, &QWidget::close);
    session_.load();
    txt_IP->setText(TakeCommandLineAddress(session_.lstStatus, commandLine));
    txtFile->setText(fileChoice_.DefDir);
    updateLogButtons();
}

frmMain::~frmMain()
{
    // The lists belong to the session, which may outlive this window.
    disconnect(&session_.lstStatus, nullptr, this, nullptr);
    disconnect(&session_.Statelist, nullptr, this, nullptr);
}

void frmMain::buildLayout()
{
    auto* fields = new QGridLayout;
    fields->addWidget(lbl_IP, 0, 0);
    fields->addWidget(txt_IP, 0, 1);
    fields->addWidget(lblFile, 1, 0);
    fields->addWidget(txtFile, 1, 1);
    fields->addWidget(cmdFile, 1, 2);
    fields->setColumnStretch(1, 1);

    auto* config = new QGridLayout;
    config->addWidget(cmdOK, 0, 0);
    config->addWidget(ComGetstat[0], 0, 1);
    config->addWidget(ComGetstat[1], 0, 2);
    config->addWidget(cmdROM, 0, 3);
    config->addWidget(cmdIntr, 1, 0);
    config->addWidget(cmdChk, 1, 1);
    config->addWidget(cmdFW, 1, 2);
    config->addWidget(cmdEcho, 1, 3);
    config->addWidget(chkVerify, 2, 0, 1, 2);
    config->addWidget(chkRollback, 2, 2, 1, 2);

    auto* side = new QVBoxLayout;
    side->addWidget(cmdStop);
    side->addWidget(cmdExit);
    side->addStretch();

    auto* top = new QHBoxLayout;
    top->addLayout(config, 1);
    top->addLayout(side);

    auto* logRow = new QHBoxLayout;
    logRow->addStretch();
    logRow->addWidget(Cmd_ListLog[0]);
    logRow->addWidget(Cmd_ListLog[1]);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(top);
    layout->addWidget(lstStatus, 1);
    layout->addWidget(Statelist);
    layout->addLayout(logRow);
    resize(640, 480);
}

void frmMain::txt_IP_Enter()
{
    if (session_.CheckIPAddress(txt_IP->text()) != 0) {
        txt_IP->setFocus();
        return;
    }
    if (cmdEcho->isEnabled()) cmdEcho->setFocus();
}

void frmMain::cmdFile_Click()
{
    const QString path = fileChoice_.browse(op_);
    if (path.isEmpty()) return;
    txtFile->setText(path);
    txtFile->setFocus();
}

void frmMain::cmdOK_Click()
{
    const auto started = [this] {
        fileChoice_.remember(txtFile->text());
        cmdStop->setFocus();
        cmdOK->setEnabled(false);
    };
    config::ApplyResult r;
    if (chkRollback->isChecked()) {
        const config::SafeApplyResult safe =
            config::RunSafeApply(session_, txt_IP->text(), txtFile->text(), config::SafeApplyOptions(), started);
        r.addressRejected = safe.addressRejected;
        r.fileRejected = safe.fileRejected;
    } else {
        r = config::RunApply(session_, txt_IP->text(), txtFile->text(), chkVerify->isChecked(), started);
    }
    cmdOK->setEnabled(true);
    if (r.addressRejected)
        txt_IP->setFocus();
    else if (r.fileRejected)
        txtFile->setFocus();
    else if (cmdOK->isVisible())
        cmdOK->setFocus();
}

void frmMain::ComGetstat_Click(int index)
{
    QPushButton* button = ComGetstat[index];
    const config::ReceiveResult r = config::RunReceive(session_, txt_IP->text(), index, [button] {
        button->setFocus();
        button->setEnabled(false);
    });
    button->setEnabled(true);
    if (r.addressRejected) txt_IP->setFocus();
}

void frmMain::cmdIntr_Click()
{
    const config::InteractiveResult r = config::RunInteractive(session_, txt_IP->text(), txtFile->text(), [this] {
        fileChoice_.remember(txtFile->text());
        cmdStop->setFocus();
        cmdIntr->setEnabled(false);
    });
    cmdIntr->setEnabled(true);
    if (r.addressRejected)
        txt_IP->setFocus();
    else if (r.fileRejected)
        txtFile->setFocus();
    else if (cmdIntr->isVisible())
        cmdIntr->setFocus();
}

void frmMain::cmdROM_Click()
{
    const config::SaveResult r = config::RunSaveToRom(session_, txt_IP->text(), [this] {
        cmdStop->setFocus();
        cmdROM->setEnabled(false);
    });
    cmdROM->setEnabled(true);
    if (r.addressRejected)
        txt_IP->setFocus();
    else if (cmdROM->isVisible())
        cmdROM->setFocus();
}

void frmMain::cmdFW_Click()
{
    if (session_.CheckIPAddress(txt_IP->text()) != 0) {
        txt_IP->setFocus();
        return;
    }
    // Modeless; open it again and it is the same window, unless its Exit unloaded it.
    if (!frmFW_ || frmFW_->isUnloaded()) {
        frmFW_ = new frmFW(session_, this);
        connect(frmFW_, &frmFW::unloaded, frmFW_, &QObject::deleteLater);
    }
    frmFW_->show();
    frmFW_->raise();
    frmFW_->activateWindow();
}

void frmMain::cmdChk_Click()
{
    if (session_.CheckIPAddress(txt_IP->text()) != 0) {
        txt_IP->setFocus();
        return;
    }
    // Modeless; open it again and it is the same window, unless its Exit unloaded it.
    if (!frmCheck_ || frmCheck_->isUnloaded()) {
        frmCheck_ = new frmCheck(session_, clipboard_, this);
        connect(frmCheck_, &frmCheck::unloaded, frmCheck_, &QObject::deleteLater);
    }
    frmCheck_->show();
    frmCheck_->raise();
    frmCheck_->activateWindow();
}

void frmMain::cmdEcho_Click()
{
    // Disabled for the whole run, the address check included, so it cannot start twice.
    cmdEcho->setEnabled(false);
    cmdStop->setFocus();
    bool rejected = false;
    RunEchoTest(session_, txt_IP->text(), &rejected);
    cmdEcho->setEnabled(true);
    if (rejected)
        txt_IP->setFocus();
    else if (cmdEcho->isVisible())
        cmdEcho->setFocus();
}

void frmMain::cmdStop_Click() { session_.stop(); }

void frmMain::Cmd_ListLog_Click(int index)
{
    if (index == 0)
        StartLog(session_.log, op_);
    else
        session_.log.EndLog();
    updateLogButtons();
}

void frmMain::updateLogButtons() { Cmd_ListLog[0]->setEnabled(!session_.log.isOpen()); }

void frmMain::lstStatus_ContextMenu(const QPoint& pos)
{
    lstcopy->setEnabled(!lstStatus->selectedItems().isEmpty());
    ListMenu->popup(lstStatus->viewport()->mapToGlobal(pos));
}

void frmMain::lstcopy_Click()
{
    QList<int> rows;
    for (const QModelIndex& index : lstStatus->selectionModel()->selectedRows()) rows << index.row();
    CopyMessageLines(clipboard_, session_.lstStatus, rows);
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lstStatus->viewport() &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease ||
         event->type() == QEvent::MouseButtonDblClick) &&
        static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
        // A right press only opens the menu: the lines selected for copying stay selected.
        return true;
    }
    if (watched == lstStatus && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Ctrl+C with no other shift key copies through the clipboard seam, not the view's own copy.
        if (key->key() == Qt::Key_C && key->modifiers() == Qt::ControlModifier) {
            if (event->type() == QEvent::KeyPress) lstcopy_Click();
            event->accept();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmMain::closeEvent(QCloseEvent* event)
{
    if (!close_->request()) {
        event->ignore();
        return;
    }
    close_->unload();
    // The check window goes with the program.
    if (frmCheck_) frmCheck_->close();
    if (frmFW_) frmFW_->close();
    event->accept();
}
