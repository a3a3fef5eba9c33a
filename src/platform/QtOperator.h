#pragma once
// The operator at the desktop: real message boxes and file dialogs.
#include "platform/Operator.h"
#include "shell/frmLogOpenDlg.h"

class QWidget;

class QtOperator : public Operator {
public:
    // Boxes and dialogs open over `parent`, or over the active window when none is given.
    explicit QtOperator(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }
    // The existing-log-file dialog's name and labels (QLN_Set's unless told).
    void setLogDialog(const LogOpenDlgTexts& texts) { logDialog_ = texts; }

    Answer message(const QString& title, const QString& text, Icon icon, Buttons buttons = Buttons::Ok) override;
    QString openFile(const QString& filter, const QString& folder, const QString& name) override;
    QString saveFile(const QString& filter, const QString& folder, const QString& name) override;
    LogOpenChoice askLogOpen(const QString& path) override;
    // One per window, kept with the window and gone with it.
    Operator& forWindow(QObject* window) override;

    // "Text File (*.txt)|*.txt|All Files (*.*)|*.*" -> "Text File (*.txt);;All Files (*)".
    // A description without its pattern gets it appended in brackets.
    static QString qtFilter(const QString& filter);

private:
    QWidget* owner() const;

    QWidget* parent_;
    LogOpenDlgTexts logDialog_ = LogOpenDlgTexts::Setup();
};
