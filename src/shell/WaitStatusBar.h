#pragma once
// A window's status bar: what the window waits on the device for, "Ready" when it waits for
// nothing. Named "statusBar".
#include <QStatusBar>

class WaitProgress;

class WaitStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit WaitStatusBar(QWidget* parent = nullptr);
    // Shows the waits' text while there is one.
    void follow(WaitProgress& waits);
    // `text` while it is not empty, else "Ready".
    void showWaiting(const QString& text);
};

// Puts a status bar at the bottom of `window`'s box layout, the window grown by its height so the
// other controls keep their places.
WaitStatusBar* AddWaitStatusBar(QWidget& window);
