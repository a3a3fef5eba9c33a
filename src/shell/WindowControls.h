#pragma once
// Controls of the programs' windows carry the system's names (cmdEcho, txt_IP, lstStatus...):
// the names the tests click and the one place a control is made.
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QStringList>
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

// The lamp of the test programs (fraSig with lblSig: three dots that take the link's colour) and
// their packet counter (fraCnt with lblCnt under the given caption).
struct LampAndCounter {
    QFrame* fraSig;
    QLabel* lblSig;
    QGroupBox* fraCnt;
    QLabel* lblCnt;
};
inline LampAndCounter MakeLampAndCounter(QWidget* parent, const QString& counterCaption)
{
    LampAndCounter l;
    l.fraSig = NamedControl<QFrame>(parent, "fraSig");
    l.fraSig->setFrameShape(QFrame::Box);
    const QString dot(QChar(0x25CF));
    l.lblSig = NamedControl<QLabel>(l.fraSig, "lblSig", dot + QStringLiteral("  ") + dot + QStringLiteral("  ") + dot);
    l.lblSig->setAlignment(Qt::AlignCenter);
    l.lblSig->setAutoFillBackground(true);
    l.fraCnt = NamedControl<QGroupBox>(parent, "fraCnt", counterCaption);
    l.lblCnt = NamedControl<QLabel>(l.fraCnt, "lblCnt", QStringLiteral("0/0"));
    l.lblCnt->setAlignment(Qt::AlignCenter);
    return l;
}

// Adds the stations the box does not list yet. Appending to an empty combo box would put the
// entry into the box: the text typed stays.
inline void AddMissingStations(QComboBox* box, const QStringList& stations)
{
    const QString text = box->currentText();
    for (const QString& sid : stations)
        if (box->findText(sid, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) box->addItem(sid);
    box->setEditText(text);
}

// True when the focus leaves an entry box for good: the box's own pop-up list and another
// window taking the focus are not leaving it.
inline bool LeavesBox(QEvent* event)
{
    if (event->type() != QEvent::FocusOut) return false;
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    return reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason;
}
