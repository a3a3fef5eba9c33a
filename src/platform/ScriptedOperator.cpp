#include "platform/ScriptedOperator.h"

Operator::Answer ScriptedOperator::message(const QString& title, const QString& text, Icon icon, Buttons buttons)
{
    shown.append({title, text, icon, buttons});
    if (!answers.isEmpty()) return answers.takeFirst();
    return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
}

QString ScriptedOperator::openFile(const QString& filter, const QString&, const QString&)
{
    dialogFilters << filter;
    return openPaths.isEmpty() ? QString() : openPaths.takeFirst();
}

QString ScriptedOperator::saveFile(const QString& filter, const QString&, const QString&)
{
    dialogFilters << filter;
    return savePaths.isEmpty() ? QString() : savePaths.takeFirst();
}

Operator::LogOpenChoice ScriptedOperator::askLogOpen(const QString&)
{
    ++logQuestions;
    return logChoices.isEmpty() ? LogOpenChoice::Cancel : logChoices.takeFirst();
}
