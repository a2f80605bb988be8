// Fwise.exe: the settings program.
#include "option_dialog_box.h"
#include <objbase.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
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
