#include "shell/MessageListView.h"

#include "shell/MessageList.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QListWidget>
#include <QTimer>

QFont FixedPitchFont()
{
    // The desktop's "monospace" may resolve to a font Qt does not take as fixed-pitch; well-known
    // fixed families come first.
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (QFontInfo(f).fixedPitch()) return f;
    f.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono"),
                   QStringLiteral("Noto Sans Mono"), QStringLiteral("monospace")});
    f.setStyleHint(QFont::TypeWriter);
    f.setFixedPitch(true);
    return f;
}

void BindMessageList(MessageList& list, QListWidget* view, bool selectLast, QObject* context)
{
    for (const QString& line : list.lines()) view->addItem(line);
    auto settle = [view, selectLast] {
        if (view->count() == 0) return;
        if (selectLast) {
            // The new line is current and in view; what the operator selected stays selected.
            view->setCurrentRow(view->count() - 1, QItemSelectionModel::NoUpdate);
            view->scrollToBottom();
        } else {
            view->clearSelection();
        }
    };
    QObject::connect(&list, &MessageList::lineAdded, context, [view, settle](const QString& line) {
        view->addItem(line);
        settle();
    });
    QObject::connect(&list, &MessageList::lastLineModified, context, [view](const QString& line) {
        if (view->count() > 0) view->item(view->count() - 1)->setText(line);
    });
    QObject::connect(&list, &MessageList::firstLineRemoved, context, [view, settle] {
        delete view->takeItem(0);
        settle();
    });
    QObject::connect(&list, &MessageList::cleared, view, &QListWidget::clear);
}

void BindMessageListBatched(MessageList& list, QListWidget* view, int periodMs, QObject* context)
{
    auto* timer = new QTimer(context);
    timer->setSingleShot(true);
    timer->setInterval(periodMs);
    // The view is made to hold the list's lines: items added or removed at the end, then each
    // text that differs set, the last line current.
    QObject::connect(timer, &QTimer::timeout, view, [&list, view] {
        const QStringList& lines = list.lines();
        view->setUpdatesEnabled(false);
        while (view->count() > lines.size()) delete view->takeItem(view->count() - 1);
        for (int i = 0; i < lines.size(); ++i) {
            if (i >= view->count())
                view->addItem(lines[i]);
            else if (view->item(i)->text() != lines[i])
                view->item(i)->setText(lines[i]);
        }
        view->setUpdatesEnabled(true);
        if (view->count() == 0) return;
        view->setCurrentRow(view->count() - 1, QItemSelectionModel::NoUpdate);
        view->scrollToBottom();
    });
    auto changed = [timer] {
        if (!timer->isActive()) timer->start();
    };
    QObject::connect(&list, &MessageList::lineAdded, context, changed);
    QObject::connect(&list, &MessageList::lastLineModified, context, changed);
    QObject::connect(&list, &MessageList::firstLineRemoved, context, changed);
    QObject::connect(&list, &MessageList::cleared, context, changed);
    changed();
}
