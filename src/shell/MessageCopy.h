#pragma once
#include <QList>
#include <QStringList>

class Clipboard;
class MessageList;

// Puts the given lines of a message list on the clipboard in list order, each followed by
// CR LF. No rows leave an empty text there (the clipboard is cleared first either way).
void CopyMessageLines(Clipboard& clipboard, const MessageList& list, QList<int> rows);
// The same for the lines of any list (a station list).
void CopyLines(Clipboard& clipboard, const QStringList& lines, QList<int> rows);
