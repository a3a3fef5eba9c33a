#include "shell/MessageListView.h"

#include "shell/MessageList.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QListWidget>

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
            view->setCurrentRow(view->count() - 1, QItemSelectionModel::ClearAndSelect);
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
