// FwReg.exe: finishes the Save-dialog seeding for protected-mode browsers.
// The command line and the show command are ignored.
#include "regtool_win.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return fw::RunRegTool(instance); }
