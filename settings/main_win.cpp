// Fwise.exe: the settings program.
#include "command_line_win.h"
#include "option_dialog_box.h"
#include <objbase.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int exitCode = 0;
    if (fw::RunCommandLineIfAny(&exitCode)) return exitCode;
    // The folder picker needs COM on this thread.
    CoInitialize(nullptr);
    fw::forms::Application.Initialize();
    fw::OptionDlgBox = new fw::TOptionDlgBox();
    fw::forms::Application.Run(fw::OptionDlgBox);
    delete fw::OptionDlgBox;
    fw::OptionDlgBox = nullptr;
    CoUninitialize();
    return 0;
}
