#include "shell/MessageList.h"

void MessageList::MesgDisp(const QString& text)
{
    static const QString sep = QStringLiteral("\\n");
    int start = 0;
    for (int at = text.indexOf(sep); at >= 0; at = text.indexOf(sep, start)) {
        MesgDisp_sub(text.mid(start, at - start));
        start = at + sep.size();
    }
    MesgDisp_sub(text.mid(start));
}

void MessageList::MesgDisp_sub(const QString& line)
{
    lines_.append(line);
    emit lineAdded(line);
    if (lines_.size() > MaxLines) {
        lines_.removeFirst();
        emit firstLineRemoved();
    }
}

void MessageList::MesgModify(const QString& line)
{
    if (lines_.isEmpty()) return MesgDisp_sub(line);
    lines_.last() = line;
    emit lastLineModified(line);
}

void MessageList::clear()
{
    lines_.clear();
    emit cleared();
}
