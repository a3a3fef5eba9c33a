#include "shell/ProgramIdentity.h"

#include "shell/Version.h"

#include <QApplication>
#include <QIcon>

void SetProgramIdentity(const char* name)
{
    const QString id = QString::fromLatin1(name).toLower().replace(QLatin1Char('_'), QLatin1Char('-'));
    QApplication::setApplicationName(QString::fromLatin1(name));
    QApplication::setApplicationVersion(basMain::ProgramVersion());
    QApplication::setDesktopFileName(id);
    // The installed theme's icon where there is one, else the copy built into the program.
    QApplication::setWindowIcon(QIcon::fromTheme(id, QIcon(QStringLiteral(":/icons/%1.svg").arg(id))));
}
