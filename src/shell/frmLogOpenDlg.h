#pragma once
// The question when the chosen log file exists: "Overwrite", "Append" or "Cancel".
#include "platform/Operator.h"

#include <QDialog>

class QLabel;
class QPushButton;

// The dialog's name and its two labels, which differ between the programs.
struct LogOpenDlgTexts {
    QString name;
    QString exist;
    QString question;
    static LogOpenDlgTexts Setup();  // QLN_Set's frmLogOpenDlg
    static LogOpenDlgTexts Test();   // QLN_Test's frmLogDlg
    static LogOpenDlgTexts Xfer();   // QLN_Xfer's frmLogDlg
};

class frmLogOpenDlg : public QDialog {
    Q_OBJECT
public:
    explicit frmLogOpenDlg(QWidget* parent = nullptr, const LogOpenDlgTexts& texts = LogOpenDlgTexts::Setup());

    // What the operator chose; Cancel also when the dialog was closed otherwise.
    Operator::LogOpenChoice choice() const { return choice_; }

private:
    void choose(Operator::LogOpenChoice c);

    QLabel* lblExist;
    QLabel* lblQuestion;
    QPushButton* cmdOverwrite;
    QPushButton* cmdAppend;
    QPushButton* cmdCancel;
    Operator::LogOpenChoice choice_ = Operator::LogOpenChoice::Cancel;
};
