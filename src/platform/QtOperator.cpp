#include "platform/QtOperator.h"

#include "shell/frmLogOpenDlg.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>

namespace {
// A window's own operator, a child of the window so that it lives exactly as long.
class WindowOperator : public QObject {
public:
    WindowOperator(QWidget* window, const LogOpenDlgTexts& texts) : QObject(window), op(window)
    {
        setObjectName(QStringLiteral("qtOperatorOfWindow"));
        op.setLogDialog(texts);
    }
    QtOperator op;
};
}  // namespace

Operator& QtOperator::forWindow(QObject* window)
{
    auto* widget = qobject_cast<QWidget*>(window);
    if (!widget) return *this;
    const QString name = QStringLiteral("qtOperatorOfWindow");
    auto* bound = static_cast<WindowOperator*>(widget->findChild<QObject*>(name, Qt::FindDirectChildrenOnly));
    if (!bound) bound = new WindowOperator(widget, logDialog_);
    return bound->op;
}

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
    // On Linux "*.*" would hide every name without a dot: all files are "*".
    const auto linuxAll = [](QString text) { return text.replace(QStringLiteral("(*.*)"), QStringLiteral("(*)")); };
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = linuxAll(parts.at(i).trimmed());
        QStringList list = parts.at(i + 1).trimmed().split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : list)
            if (pattern.trimmed() == QStringLiteral("*.*")) pattern = QStringLiteral("*");
        const QString patterns = list.join(QLatin1Char(' '));
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
    // Not modal: the program's windows stay in use while the question waits for its answer.
    QPointer<frmLogOpenDlg> dlg = new frmLogOpenDlg(owner(), logDialog_);
    dlg->setWindowModality(Qt::NonModal);
    QEventLoop answered;
    QObject::connect(dlg, &QDialog::finished, &answered, &QEventLoop::quit);
    QObject::connect(dlg, &QObject::destroyed, &answered, &QEventLoop::quit);
    dlg->show();
    answered.exec();
    if (!dlg) return LogOpenChoice::Cancel;  // its window went away meanwhile
    const LogOpenChoice choice = dlg->choice();
    dlg->deleteLater();
    return choice;
}
