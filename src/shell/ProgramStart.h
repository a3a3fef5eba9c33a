#pragma once
// What a GUI program does before it builds QApplication: --help and --version answered with no
// display, and a display that cannot be opened named in one line instead of Qt's abort.
#include <QString>

// 0 after printing the usage (--help) or "NAME VERSION" (--version) on standard output, -1 when
// neither was asked for.
int AnswerHelpOrVersion(int argc, char* argv[], const char* name, const char* usage);

// "" when the windows can be shown: a platform without a display (offscreen, minimal, ...), a
// Wayland display, or an X display that accepts a connection. Else why not ("DISPLAY is not set").
QString DisplayProblem(int argc, char* argv[]);

// The start of a GUI program: -1 to go on and build the windows, else the exit status (0 after
// --help or --version, 1 with "NAME: cannot open a display (...)" on standard error).
int StartGuiProgram(int argc, char* argv[], const char* name, const char* usage);
