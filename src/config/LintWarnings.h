#pragma once
// What a configuration file makes the device take without a word, although a careful operator
// wants to know: tokens past a complete command, an interface set twice, a route whose gateway
// no interface reaches, an access restriction naming a list no line defines, more records than
// a receive gives back.
#include <QByteArray>
#include <QStringList>

class QIODevice;

namespace config {

// One line each, "Line: n  " and what is wrong, in file order; the file's bytes one character
// each (Latin-1). None when the conversion stops at a line: Apply then sends nothing.
QStringList LintWarnings(QIODevice& in);
QStringList LintWarningsOfText(const QByteArray& text);
// False when the file cannot be opened or read to its end.
bool LintFileWarnings(const QString& path, QStringList& warnings);

}  // namespace config
