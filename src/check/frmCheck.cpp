#include "check/frmCheck.h"

#include "shell/MessageCopy.h"
#include "shell/MessageListView.h"
#include "shell/SetupSession.h"
#include "shell/WaitStatusBar.h"
#include "shell/WindowControls.h"

#include <QAction>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

frmCheck::frmCheck(SetupSession& session, Clipboard& clipboard, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session), clipboard_(clipboard)
{
    setObjectName(QStringLiteral("frmCheck"));
    setWindowTitle(QStringLiteral("QLN Setup (Check)"));

    const auto& defs = check::QueryDefs();
    for (int i = 0; i < check::QueryCount; ++i)
        queryButtons_[size_t(i)] = NamedButton(this, defs[size_t(i)].button, QLatin1String(defs[size_t(i)].caption));
    cmdCheckAll = NamedButton(this, "cmdCheckAll", QStringLiteral("Check ALL"));
    comstp = NamedButton(this, "comstp", QStringLiteral("Stop"));
    cmdExit = NamedButton(this, "cmdExit", QStringLiteral("Exit"));
    // Holds the focus while a query runs, so no query button keeps it; it takes no room.
    cmdDMY = NamedButton(this, "cmdDMY", QString());
    cmdDMY->setFixedSize(0, 0);

    lstMsgView = NamedControl<QListWidget>(this, "lstMsg");
    lstMsgView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lstMsgView->setFont(FixedPitchFont());
    lstMsgView->setUniformItemSizes(true);
    lstMsgView->setContextMenuPolicy(Qt::NoContextMenu);
    lstMsgView->installEventFilter(this);
    lstMsgView->viewport()->installEventFilter(this);
    ListMenu = NamedControl<QMenu>(this, "ListMenu", QStringLiteral("Menu"));
    lstCopy = ListMenu->addAction(QStringLiteral("Copy"));
    lstCopy->setObjectName(QStringLiteral("lstCopy"));

    buildLayout();
    AddWaitStatusBar(*this)->follow(session_.waits);
    BindMessageList(lstMsg, lstMsgView, true, this);

    for (int i = 0; i < check::QueryCount; ++i)
        connect(queryButtons_[size_t(i)], &QPushButton::clicked, this, [this, i] { queryButton_Click(i); });
    connect(cmdCheckAll, &QPushButton::clicked, this, &frmCheck::cmdCheckAll_Click);
    connect(comstp, &QPushButton::clicked, this, &frmCheck::comstp_Click);
    connect(cmdExit, &QPushButton::clicked, this, &QWidget::close);
    connect(lstCopy, &QAction::triggered, this, &frmCheck::lstCopy_Click);
}

void frmCheck::buildLayout()
{
    constexpr int perRow = 6;
    auto* queries = new QGridLayout;
    for (int i = 0; i < check::QueryCount; ++i) queries->addWidget(queryButtons_[size_t(i)], i / perRow, i % perRow);

    auto* actions = new QHBoxLayout;
    actions->addWidget(cmdCheckAll);
    actions->addStretch();
    actions->addWidget(cmdDMY);
    actions->addWidget(comstp);
    actions->addWidget(cmdExit);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(queries);
    layout->addLayout(actions);
    layout->addWidget(lstMsgView, 1);
    resize(720, 520);
}

check::CheckRun frmCheck::run()
{
    // Its boxes and dialogs belong to this window, not to the main window.
    // The window shows the lines alone: the table rows are not kept as values as well.
    return check::CheckRun{session_, session_.uif, lstMsg, {}, &session_.op.forWindow(this), false};
}

void frmCheck::queryButton_Click(int index)
{
    const WindowUnload::Running running(unload_);
    QPushButton* pressed = queryButtons_[size_t(index)];
    cmdDMY->setFocus();
    pressed->setEnabled(false);
    // The other buttons stay enabled: one pressed meanwhile finds the engine busy and says so.
    check::RunQuery(check::QueryDefs()[size_t(index)].id, run());
    pressed->setEnabled(true);
    if (pressed->isVisible()) pressed->setFocus();
}

void frmCheck::cmdCheckAll_Click()
{
    const WindowUnload::Running running(unload_);
    EnableQueryButtons(false);
    check::RunCheckAll(run());
    EnableQueryButtons(true);
}

void frmCheck::comstp_Click() { session_.stop(); }

void frmCheck::EnableQueryButtons(bool flag)
{
    // Stop is never disabled: it ends a Check All run.
    for (QPushButton* b : queryButtons_) b->setEnabled(flag);
    cmdCheckAll->setEnabled(flag);
    cmdExit->setEnabled(flag);
}

void frmCheck::lstCopy_Click()
{
    QList<int> rows;
    for (const QModelIndex& index : lstMsgView->selectionModel()->selectedRows()) rows << index.row();
    CopyMessageLines(clipboard_, lstMsg, rows);
}

bool frmCheck::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == lstMsgView->viewport() &&
        (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease || type == QEvent::MouseButtonDblClick)) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        // Double clicks do nothing; a right press without shift keys opens the menu and leaves
        // the selection as it is.
        if (type == QEvent::MouseButtonDblClick) return true;
        if (mouse->button() != Qt::RightButton) return false;
        if (type == QEvent::MouseButtonPress && mouse->modifiers() == Qt::NoModifier) {
            lstCopy->setEnabled(!lstMsgView->selectedItems().isEmpty());
            ListMenu->popup(mouse->globalPosition().toPoint());
        }
        return true;
    }
    if (watched == lstMsgView && (type == QEvent::KeyPress || type == QEvent::ShortcutOverride)) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Ctrl+C with no other shift key copies through the clipboard seam, not the view's own copy.
        if (key->key() == Qt::Key_C && key->modifiers() == Qt::ControlModifier) {
            if (type == QEvent::KeyPress) lstCopy_Click();
            event->accept();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmCheck::closeEvent(QCloseEvent* event)
{
    // A waiting exchange ends before the window goes; its query returns in its own time.
    session_.uif.TermUIF();
    event->accept();
    unload_.request();
}
