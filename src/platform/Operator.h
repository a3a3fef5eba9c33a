#pragma once
// What a flow may ask of the person at the PC: message boxes and file dialogs.
// The windows answer with real dialogs, the command line from its options, tests from a script.
#include <QString>

class QObject;

class Operator {
public:
    enum class Icon { Critical, Exclamation, Information, Question };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No, Cancel };
    // The existing-log-file question: "Overwrite", "Append" or "Cancel".
    enum class LogOpenChoice { Overwrite, Append, Cancel };

    virtual ~Operator() = default;
    virtual Answer message(const QString& title, const QString& text, Icon icon, Buttons buttons = Buttons::Ok) = 0;
    // A path, or "" when cancelled.
    virtual QString openFile(const QString& filter, const QString& folder, const QString& name) = 0;
    virtual QString saveFile(const QString& filter, const QString& folder, const QString& name) = 0;
    virtual LogOpenChoice askLogOpen(const QString& path) = 0;

    // The operator as one window sees it: its boxes and dialogs belong to that window (centred
    // on it, the focus back in it afterwards). The desktop keeps one per window; a script or the
    // command line answers the same everywhere.
    virtual Operator& forWindow(QObject* window)
    {
        (void)window;
        return *this;
    }
};
