#include "platform/QtOperator.h"

#include "shell/frmLogOpenDlg.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>

QWidget* QtOperator::owner() const { return parent_ ? parent_ : QApplication::activeWindow(); }

Operator::Answer QtOperator::message(const QString& title, const QString& text, Icon icon, Buttons buttons)
{
    QMessageBox::Icon qtIcon = QMessageBox::Information;
    switch (icon) {
    case Icon::Critical: qtIcon = QMessageBox::Critical; break;
    case Icon::Exclamation: qtIcon = QMessageBox::Warning; break;
    case Icon::Information: qtIcon = QMessageBox::Information; break;
    case Icon::Question: qtIcon = QMessageBox::Question; break;
    }
    const QMessageBox::StandardButtons qtButtons =
        buttons == Buttons::YesNo ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::StandardButtons(QMessageBox::Ok);
    QMessageBox box(qtIcon, title, text, qtButtons, owner());
    box.setObjectName(QStringLiteral("messageBox"));
    const int r = box.exec();
    switch (r) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Ok: return Answer::Ok;
    default:
        // Escape or the close box: a Yes/No question counts as No.
        return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    }
}

QString QtOperator::qtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts.at(i).trimmed();
        const QString patterns = parts.at(i + 1).trimmed().replace(QLatin1Char(';'), QLatin1Char(' '));
        if (!description.contains(QLatin1Char('('))) description += QStringLiteral(" (") + patterns + QStringLiteral(")");
        out << description;
    }
    if (parts.size() % 2 == 1 && !parts.last().trimmed().isEmpty()) out << parts.last().trimmed();
    return out.join(QStringLiteral(";;"));
}

namespace {
QString startPath(const QString& folder, const QString& name)
{
    if (folder.isEmpty()) return name;
    return QDir(folder).filePath(name);
}
}  // namespace

QString QtOperator::openFile(const QString& filter, const QString& folder, const QString& name)
{
    return QFileDialog::getOpenFileName(owner(), QString(), startPath(folder, name), qtFilter(filter));
}

QString QtOperator::saveFile(const QString& filter, const QString& folder, const QString& name)
{
    // The flows ask about an existing file themselves (overwrite, append).
    return QFileDialog::getSaveFileName(owner(), QString(), startPath(folder, name), qtFilter(filter), nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

Operator::LogOpenChoice QtOperator::askLogOpen(const QString&)
{
    frmLogOpenDlg dlg(owner(), logDialog_);
    dlg.exec();
    return dlg.choice();
}
