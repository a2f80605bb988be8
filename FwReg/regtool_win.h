// The RegTool process: start-up, its hidden window and the message loop.
#pragma once
#include "win.h"

namespace fw {

// The entry point's body: the process exit code (1 when start-up ended the
// program, else the WM_QUIT code, 0).
int RunRegTool(HINSTANCE instance);

// COM, the single-instance mutex, the version and policy gates, the message
// filter and the window, in that order; true when the loop is to run.
bool InitRegTool(HINSTANCE instance);

// Registers the class and creates the hidden window; true on success.
bool CreateRegToolWindow();

LRESULT CALLBACK RegToolWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Reads and deletes the hand-off key and seeds the Save dialog's folder.
void ApplyHandOff();

}  // namespace fw
