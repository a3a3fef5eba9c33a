#pragma once
// The question when the chosen log file exists: "Overwrite", "Append" or "Cancel".
#include "platform/Operator.h"

#include <QDialog>

class QLabel;
class QPushButton;

class frmLogOpenDlg : public QDialog {
    Q_OBJECT
public:
    explicit frmLogOpenDlg(QWidget* parent = nullptr);

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
