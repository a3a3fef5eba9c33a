#pragma once
// A message list shown in a list view: the view follows the list's lines (added, the last one
// replaced, the oldest removed, cleared), the last line current when selectLast (the operator's
// selection stays as it is).
class MessageList;
class QFont;
class QListWidget;
class QObject;

// The connections live as long as context.
void BindMessageList(MessageList& list, QListWidget* view, bool selectLast, QObject* context);

// The same for a list that may take hundreds of thousands of lines a second (QLN_Xfer's test
// stream): the view catches up at most once every periodMs, the list itself keeps every line.
void BindMessageListBatched(MessageList& list, QListWidget* view, int periodMs, QObject* context);

// The message list lines up its columns, so it needs a font whose glyphs are all one width.
QFont FixedPitchFont();
