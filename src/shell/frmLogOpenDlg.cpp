#include "shell/frmLogOpenDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

LogOpenDlgTexts LogOpenDlgTexts::Setup()
{
    return {QStringLiteral("frmLogOpenDlg"), QStringLiteral("File Exist. "),
            QStringLiteral("Overwrite or Append or Cancel") + QChar(0xFF1F)};
}

LogOpenDlgTexts LogOpenDlgTexts::Test()
{
    return {QStringLiteral("frmLogDlg"), QStringLiteral("File Exist."), QStringLiteral("Overwrite or Append or Cancel ?")};
}

LogOpenDlgTexts LogOpenDlgTexts::Xfer()
{
    return {QStringLiteral("frmLogDlg"), QStringLiteral("File Exist."), QStringLiteral("Overwrite or Append or Cancel?")};
}

frmLogOpenDlg::frmLogOpenDlg(QWidget* parent, const LogOpenDlgTexts& texts) : QDialog(parent)
{
    setObjectName(texts.name);
    setWindowTitle(QStringLiteral("Log Data Save"));

    lblExist = new QLabel(texts.exist, this);
    lblExist->setObjectName(QStringLiteral("lblExist"));
    lblQuestion = new QLabel(texts.question, this);
    lblQuestion->setObjectName(QStringLiteral("lblQuestion"));

    cmdOverwrite = new QPushButton(QStringLiteral("Overwrite"), this);
    cmdOverwrite->setObjectName(QStringLiteral("cmdOverwrite"));
    cmdAppend = new QPushButton(QStringLiteral("Append"), this);
    cmdAppend->setObjectName(QStringLiteral("cmdAppend"));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setDefault(true);

    connect(cmdOverwrite, &QPushButton::clicked, this, [this] { choose(Operator::LogOpenChoice::Overwrite); });
    connect(cmdAppend, &QPushButton::clicked, this, [this] { choose(Operator::LogOpenChoice::Append); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { choose(Operator::LogOpenChoice::Cancel); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdOverwrite);
    buttons->addWidget(cmdAppend);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblExist);
    layout->addWidget(lblQuestion);
    layout->addLayout(buttons);
}

void frmLogOpenDlg::choose(Operator::LogOpenChoice c)
{
    choice_ = c;
    if (c == Operator::LogOpenChoice::Cancel)
        reject();
    else
        accept();
}
