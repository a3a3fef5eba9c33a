#pragma once
// Who a GUI program is to the desktop: its name and version, the desktop entry it was started
// from (so the shell groups its windows under that entry's icon) and the icon of its windows.

// Call once the QApplication exists. NAME is the program's name ("QLN_Set"); its desktop entry
// and icon are named "qln-set".
void SetProgramIdentity(const char* name);
