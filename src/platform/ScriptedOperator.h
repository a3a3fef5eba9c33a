#pragma once
// An Operator that records every question and answers from a script given in advance.
// Used by the command line (answers come from its options) and by tests.
#include "platform/Operator.h"

#include <QList>
#include <QPointer>
#include <QStringList>

#include <functional>

#include <memory>
#include <vector>

class ScriptedOperator : public Operator {
public:
    struct Shown {
        QString title;
        QString text;
        Icon icon;
        Buttons buttons;
    };

    ScriptedOperator();
    ~ScriptedOperator() override;

    Answer message(const QString& title, const QString& text, Icon icon, Buttons buttons) override;
    QString openFile(const QString& filter, const QString& folder, const QString& name) override;
    QString saveFile(const QString& filter, const QString& folder, const QString& name) override;
    LogOpenChoice askLogOpen(const QString& path) override;
    // The same script, each question marked with the asking window's object name.
    Operator& forWindow(QObject* window) override;

    // Script: answers are taken in order; when a list runs dry the defaults hold.
    QList<Answer> answers;             // default: Ok for Ok boxes, No for Yes/No boxes
    QStringList openPaths, savePaths;  // default: "" (cancelled)
    QList<LogOpenChoice> logChoices;   // default: Cancel
    // Runs while a box is up, before it is answered: how the windows behind it stand then.
    std::function<void(const QString& text)> whileShown;

    // Record of what was asked.
    QList<Shown> shown;
    QStringList dialogFilters;
    int logQuestions = 0;
    // For every question (box, dialog, log question) in order: the object name of the window
    // that asked, "" for questions asked without a window.
    QStringList askedFrom;

    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }

private:
    class Bound;
    std::vector<std::unique_ptr<Bound>> bound_;
    QString from_;  // the window a bound question is asked from
};
