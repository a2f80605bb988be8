// The shell folder picker shared by the main window and the rule dialog.
#pragma once
#include "win.h"

namespace fw {

// Opens on the folder named by `text` (kPathChars units). True when the user
// picked a file-system folder: `text` then holds its path; otherwise `text`
// is left as it was.
bool BrowseForFolder(HWND owner, wchar_t* text);
int CALLBACK BrowseCallbackProc(HWND hwnd, UINT msg, LPARAM lParam, LPARAM data);

}  // namespace fw
