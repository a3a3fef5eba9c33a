#include "platform/ScriptedOperator.h"

#include <QObject>

class ScriptedOperator::Bound : public Operator {
public:
    Bound(ScriptedOperator& script, QObject* window) : script_(script), window(window) {}

    // Each question is marked with the window it comes from while the script answers it.
    template <typename F>
    auto ask(F question) -> decltype(question())
    {
        script_.from_ = window ? window->objectName() : QStringLiteral("(gone)");
        auto answer = question();
        script_.from_.clear();
        return answer;
    }
    Answer message(const QString& title, const QString& text, Icon icon, Buttons buttons) override
    {
        return ask([&] { return script_.message(title, text, icon, buttons); });
    }
    QString openFile(const QString& filter, const QString& folder, const QString& name) override
    {
        return ask([&] { return script_.openFile(filter, folder, name); });
    }
    QString saveFile(const QString& filter, const QString& folder, const QString& name) override
    {
        return ask([&] { return script_.saveFile(filter, folder, name); });
    }
    LogOpenChoice askLogOpen(const QString& path) override
    {
        return ask([&] { return script_.askLogOpen(path); });
    }
    Operator& forWindow(QObject* other) override { return script_.forWindow(other); }

    ScriptedOperator& script_;
    QPointer<QObject> window;
};

ScriptedOperator::ScriptedOperator() = default;
ScriptedOperator::~ScriptedOperator() = default;

Operator& ScriptedOperator::forWindow(QObject* window)
{
    if (!window) return *this;
    for (const auto& b : bound_)
        if (b->window == window) return *b;
    bound_.push_back(std::make_unique<Bound>(*this, window));
    return *bound_.back();
}

Operator::Answer ScriptedOperator::message(const QString& title, const QString& text, Icon icon, Buttons buttons)
{
    shown.append({title, text, icon, buttons});
    askedFrom << from_;
    if (whileShown) whileShown(text);
    if (!answers.isEmpty()) return answers.takeFirst();
    return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
}

QString ScriptedOperator::openFile(const QString& filter, const QString&, const QString&)
{
    dialogFilters << filter;
    askedFrom << from_;
    return openPaths.isEmpty() ? QString() : openPaths.takeFirst();
}

QString ScriptedOperator::saveFile(const QString& filter, const QString&, const QString&)
{
    dialogFilters << filter;
    askedFrom << from_;
    return savePaths.isEmpty() ? QString() : savePaths.takeFirst();
}

Operator::LogOpenChoice ScriptedOperator::askLogOpen(const QString&)
{
    ++logQuestions;
    askedFrom << from_;
    return logChoices.isEmpty() ? LogOpenChoice::Cancel : logChoices.takeFirst();
}
