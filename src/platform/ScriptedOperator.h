#pragma once
// An Operator that records every question and answers from a script given in advance.
// Used by the command line (answers come from its options) and by tests.
#include "platform/Operator.h"

#include <QList>
#include <QStringList>

class ScriptedOperator : public Operator {
public:
    struct Shown {
        QString title;
        QString text;
        Icon icon;
        Buttons buttons;
    };

    Answer message(const QString& title, const QString& text, Icon icon, Buttons buttons) override;
    QString openFile(const QString& filter, const QString& folder, const QString& name) override;
    QString saveFile(const QString& filter, const QString& folder, const QString& name) override;
    LogOpenChoice askLogOpen(const QString& path) override;

    // Script: answers are taken in order; when a list runs dry the defaults hold.
    QList<Answer> answers;             // default: Ok for Ok boxes, No for Yes/No boxes
    QStringList openPaths, savePaths;  // default: "" (cancelled)
    QList<LogOpenChoice> logChoices;   // default: Cancel

    // Record of what was asked.
    QList<Shown> shown;
    QStringList dialogFilters;
    int logQuestions = 0;

    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }
};
