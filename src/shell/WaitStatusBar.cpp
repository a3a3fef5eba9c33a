#include "shell/WaitStatusBar.h"

#include "tftp/WaitProgress.h"

#include <QBoxLayout>

WaitStatusBar::WaitStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("statusBar"));
    setSizeGripEnabled(false);
    showWaiting(QString());
}

void WaitStatusBar::follow(WaitProgress& waits)
{
    connect(&waits, &WaitProgress::changed, this, &WaitStatusBar::showWaiting);
    showWaiting(waits.text());
}

void WaitStatusBar::showWaiting(const QString& text)
{
    showMessage(text.isEmpty() ? QStringLiteral("Ready") : text);
}

WaitStatusBar* AddWaitStatusBar(QWidget& window)
{
    auto* bar = new WaitStatusBar(&window);
    if (auto* box = qobject_cast<QBoxLayout*>(window.layout())) box->addWidget(bar);
    // A window sized by its code grows; one sized by its layout grows with it.
    if (window.testAttribute(Qt::WA_Resized)) window.resize(window.width(), window.height() + bar->sizeHint().height());
    return bar;
}
