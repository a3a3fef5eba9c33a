#pragma once
// The firmware window's file choices: the folder and name each of its four file dialogs offers,
// taken over from the file accepted last so that the dialog offers it again.
#include <QString>

class Operator;

namespace firmware {

struct FileChoice {
    QString DefDir;   // the folder offered, ending in a separator (or "")
    QString DefName;  // the file name offered
    // Splits an accepted path into the folder and the name.
    void accept(const QString& path);
};

struct FileChoices {
    // Every folder starts as the current folder.
    explicit FileChoices(const QString& folder);
    FileChoice firmwareSend;
    FileChoice firmwareSave;       // "FW_UP.BIN"
    FileChoice configurationSend;
    FileChoice configurationSave;  // "Conf_UP.BIN"
};

// The filter of the window's file dialogs, in the Operator's "description|patterns|..." form.
QString ImageFileFilter();

// The bytes a text takes as a file name on this system (UTF-8): what the device's 16-byte name
// field has to hold.
int GetStrDataLen(const QString& text);
// The device keeps 15 bytes of a name and its terminating zero.
constexpr int FileNameLimit = 16;

// A save or open dialog on the choice's folder and name; "" when cancelled.
QString Set_WriteFile(Operator& op, const FileChoice& choice);
QString Set_ReadFile(Operator& op, const FileChoice& choice);

}  // namespace firmware
