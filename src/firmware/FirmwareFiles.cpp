#include "firmware/FirmwareFiles.h"

#include "link/basConv.h"
#include "platform/Operator.h"

namespace firmware {

void FileChoice::accept(const QString& path) { basConv::SplitPath(path, DefDir, DefName); }

FileChoices::FileChoices(const QString& folder)
    : firmwareSend{folder, QString()},
      firmwareSave{folder, QStringLiteral("FW_UP.BIN")},
      configurationSend{folder, QString()},
      configurationSave{folder, QStringLiteral("Conf_UP.BIN")}
{
}

QString ImageFileFilter() { return QStringLiteral("Binary Files (*.bin)|*.bin|All Files (*.*)|*.*"); }

int GetStrDataLen(const QString& text) { return int(text.toUtf8().size()); }

QString Set_WriteFile(Operator& op, const FileChoice& choice)
{
    return op.saveFile(ImageFileFilter(), choice.DefDir, choice.DefName);
}

QString Set_ReadFile(Operator& op, const FileChoice& choice)
{
    return op.openFile(ImageFileFilter(), choice.DefDir, choice.DefName);
}

}  // namespace firmware
