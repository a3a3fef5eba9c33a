#pragma once
#include <QString>

class MessageList;

// The device address given on QLN_Set's command line. An address that does not parse is
// reported in the message list, quoted, and the field starts empty; an empty command line
// is no error. Returns the text the address field starts with.
QString TakeCommandLineAddress(MessageList& list, const QString& commandLine);
