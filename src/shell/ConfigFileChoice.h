#pragma once
#include "shell/TextLinesFile.h"

#include <QString>

class Operator;

// The "Ref." browse for the configuration file. The folder and name offered next time follow
// the last chosen file that exists and holds data.
class ConfigFileChoice {
public:
    static QString filter() { return TextFileFilter(); }

    ConfigFileChoice();

    // Asks for a file; returns its path, or "" when the operator cancelled.
    QString browse(Operator& op);
    // A file that exists and holds data is offered next time.
    void remember(const QString& path);

    QString DefDir;   // starts as the current folder
    QString DefName;  // starts empty
};
