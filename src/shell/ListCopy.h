#pragma once
// Copy from a list view of the test programs: Ctrl+C (no other shift key) and the Copy entry of
// the list's pop-up menu put the selected lines on the clipboard, each followed by CR LF, in list
// order. A right press without shift keys opens the menu, whose Copy is enabled only when a line
// is selected, and leaves the selection as it is; double clicks do nothing.
#include <QObject>

class Clipboard;
class QAction;
class QListWidget;
class QMenu;
class QWidget;

class ListCopy : public QObject {
    Q_OBJECT
public:
    ListCopy(QListWidget* view, QMenu* menu, QAction* copy, Clipboard& clipboard, QObject* parent);
    void copySelected();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QListWidget* view_;
    // Kept from the start: the filter also sees the events of the view's own destruction, when
    // asking the half-destroyed view for its viewport is no longer allowed.
    QWidget* viewport_;
    QMenu* menu_;
    QAction* copy_;
    Clipboard& clipboard_;
};
