#include "shell/ConfigFileChoice.h"

#include "link/basMain.h"
#include "platform/Operator.h"

ConfigFileChoice::ConfigFileChoice() : DefDir(basMain::CurrentFolder()) {}

QString ConfigFileChoice::browse(Operator& op)
{
    const QString path = op.openFile(filter(), DefDir, DefName);
    if (path.isEmpty()) return QString();
    remember(path);
    return path;
}

void ConfigFileChoice::remember(const QString& path)
{
    if (basMain::FileHasData(path) != 0) return;
    QString folder, name;
    basConv::SplitPath(path, folder, name);
    DefDir = folder;
    DefName = name;
}
