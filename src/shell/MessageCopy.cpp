#include "shell/MessageCopy.h"

#include "platform/Clipboard.h"
#include "shell/MessageList.h"

#include <algorithm>

void CopyMessageLines(Clipboard& clipboard, const MessageList& list, QList<int> rows)
{
    CopyLines(clipboard, list.lines(), std::move(rows));
}

void CopyLines(Clipboard& clipboard, const QStringList& lines, QList<int> rows)
{
    // A selection is reported in the order it was made; the clipboard gets the list's order.
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QString text;
    for (int row : rows)
        if (row >= 0 && row < lines.size()) text += lines.at(row) + QStringLiteral("\r\n");
    clipboard.clear();
    clipboard.setText(text);
}
