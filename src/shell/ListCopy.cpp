#include "shell/ListCopy.h"

#include "shell/MessageCopy.h"

#include <QAction>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>

ListCopy::ListCopy(QListWidget* view, QMenu* menu, QAction* copy, Clipboard& clipboard, QObject* parent)
    : QObject(parent), view_(view), viewport_(view->viewport()), menu_(menu), copy_(copy), clipboard_(clipboard)
{
    view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view_->setContextMenuPolicy(Qt::NoContextMenu);
    view_->installEventFilter(this);
    viewport_->installEventFilter(this);
    connect(copy_, &QAction::triggered, this, &ListCopy::copySelected);
}

void ListCopy::copySelected()
{
    QStringList lines;
    for (int i = 0; i < view_->count(); ++i) lines << view_->item(i)->text();
    QList<int> rows;
    for (const QModelIndex& index : view_->selectionModel()->selectedRows()) rows << index.row();
    CopyLines(clipboard_, lines, rows);
}

bool ListCopy::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == viewport_ &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease ||
         event->type() == QEvent::MouseButtonDblClick)) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (event->type() == QEvent::MouseButtonDblClick) return true;
        if (mouse->button() != Qt::RightButton) return false;
        if (event->type() == QEvent::MouseButtonPress && mouse->modifiers() == Qt::NoModifier) {
            copy_->setEnabled(!view_->selectedItems().isEmpty());
            menu_->popup(mouse->globalPosition().toPoint());
        }
        return true;
    }
    if (watched == view_ && (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Through the clipboard seam, not the view's own copy.
        if (key->key() == Qt::Key_C && key->modifiers() == Qt::ControlModifier) {
            if (event->type() == QEvent::KeyPress) copySelected();
            event->accept();
            return true;
        }
    }
    return false;
}
