#pragma once
// Controls of the programs' windows carry the system's names (cmdEcho, txt_IP, lstStatus...):
// the names the tests click and the one place a control is made.
#include <QPushButton>
#include <QString>
#include <utility>

class QWidget;

// A control of `parent` named `name`, made from `args` followed by the parent.
template <class Control, class... Args>
Control* NamedControl(QWidget* parent, const char* name, Args&&... args)
{
    auto* c = new Control(std::forward<Args>(args)..., parent);
    c->setObjectName(QLatin1String(name));
    return c;
}

// A button that never takes Enter for itself: Enter belongs to the address box.
inline QPushButton* NamedButton(QWidget* parent, const char* name, const QString& caption, bool enabled = true)
{
    auto* b = NamedControl<QPushButton>(parent, name, caption);
    b->setEnabled(enabled);
    b->setAutoDefault(false);
    return b;
}
