#include "save_folder.h"
#include "scoped_win.h"

namespace fw {

void CloseRegTool() {
    HWND window = FindWindowW(W(kRegToolClass), W(kRegToolTitle));
    if (!window) return;
    // Opened before the message: once the RegTool has ended its id may be reused.
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    ScopedHandle process;
    if (pid && pid != GetCurrentProcessId()) process.Reset(OpenProcess(SYNCHRONIZE, FALSE, pid));
    // Bounded: a hung RegTool must not hang the uninstallation with it.
    DWORD_PTR answer = 0;
    SendMessageTimeoutW(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, kRegToolCloseSendMs, &answer);
    if (!process) return;
    // Until the process is gone its mutex is held, and a RegTool started
    // now would take itself for a second copy and end at once.
    WaitForSingleObject(process.Get(), kRegToolExitWaitMs);
}

}  // namespace fw
