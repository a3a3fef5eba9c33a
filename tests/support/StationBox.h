#pragma once
// Leaving the station box (cmb_ID) of QLN_Test and QLN_Xfer with a real focus change, as Tab or
// a click causes it: the rows and the check both windows share.
#include "platform/ScriptedOperator.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

inline void StationBoxRows()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("tab");        // left with Tab, else by another control taking the focus
    QTest::addColumn<QString>("after");   // the box's text afterwards
    QTest::addColumn<QString>("warning");  // "" when none
    QTest::newRow("lower case, focus taken") << "00:80:45:01:0a:bc" << false << "00:80:45:01:0A:BC" << "";
    QTest::newRow("lower case, Tab") << "00:80:45:01:0a:bc" << true << "00:80:45:01:0A:BC" << "";
    QTest::newRow("three parts, focus taken") << "12-34-56" << false << "12-34-56" << "Invalid Station ID";
    QTest::newRow("dashes, Tab") << "00-80-45-01-00-0A" << true << "00-80-45-01-00-0A" << "Invalid Station ID";
}

// `window` is shown and active; `other` is a control of it that takes the focus.
inline void CheckLeavingStationBox(QWidget& window, ScriptedOperator& op, QWidget* other)
{
    QFETCH(QString, typed);
    QFETCH(bool, tab);
    QFETCH(QString, after);
    QFETCH(QString, warning);
    auto* box = window.findChild<QComboBox*>(QStringLiteral("cmb_ID"));
    const auto inBox = [box] { return QApplication::focusWidget() == box || QApplication::focusWidget() == box->lineEdit(); };
    box->setFocus(Qt::MouseFocusReason);
    QVERIFY(inBox());
    box->setEditText(typed);
    const qsizetype before = op.shown.size();
    if (tab)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    else
        other->setFocus(Qt::MouseFocusReason);
    QCOMPARE(box->currentText(), after);
    QCOMPARE(op.shown.size() - before, qsizetype(warning.isEmpty() ? 0 : 1));
    if (!warning.isEmpty()) QCOMPARE(op.lastText(), warning);
    // After the warning the focus is back in the box; else it went where the operator sent it.
    QVERIFY2(inBox() == !warning.isEmpty(), qPrintable(QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : "none"));
}
