#include "regtool_win.h"
#include "regtool_logic.h"
#include "results.h"
#include "save_folder.h"
#include "scoped_win.h"
#include "settings_store.h"
#include <ole2.h>

namespace fw {
namespace {

HINSTANCE g_instance = nullptr;
HWND g_window = nullptr;
// Held until the process ends; the system closes it then. Never read again.
HANDLE g_mutex = nullptr;

using ChangeWindowMessageFilterFn = BOOL(WINAPI*)(UINT, DWORD);
constexpr DWORD kMsgFltAdd = 1;

// The protected-mode browser runs at low integrity; without the filter its
// messages to this medium-integrity window are dropped. Looked up at run time
// because Windows before Vista has no such function.
void AllowLowIntegrityMessages() {
    ScopedModule user32(LoadLibraryW(L"user32.dll"));
    if (!user32) return;
    auto filter = reinterpret_cast<ChangeWindowMessageFilterFn>(
        reinterpret_cast<void*>(GetProcAddress(user32.Get(), "ChangeWindowMessageFilter")));
    if (filter) {
        filter(WM_APPLY_FOLDER, kMsgFltAdd);
        filter(WM_CLOSE, kMsgFltAdd);
    }
}

bool WindowsVersionAllows() {
    // The extended record: its 284 bytes are what the size field announces,
    // so the call never writes past the buffer (the plain one has 276).
    OSVERSIONINFOEXW info = {};
    info.dwOSVersionInfoSize = sizeof info;
    static_assert(sizeof(OSVERSIONINFOEXW) == 284, "OSVERSIONINFOEXW layout");
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
    // A failed call leaves the major version 0: too old, so the gate stays shut.
    GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info));
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
    return info.dwMajorVersion >= kRegToolMinMajorVersion;
}

void DestroyRegToolWindow() {
    if (!g_window) return;
    DestroyWindow(g_window);
    g_window = nullptr;
}

void Uninitialize() {
    CoUninitialize();
    OleUninitialize();
}

}  // namespace

bool InitRegTool(HINSTANCE instance) {
    g_instance = instance;
    // The shell folder calls of a hand-off need a single-threaded apartment;
    // set up before the instance test, so a second copy undoes it as well.
    OleInitialize(nullptr);
    CoInitialize(nullptr);

    // No namespace prefix: one RegTool per logon session.
    ScopedHandle mutex(CreateMutexW(nullptr, FALSE, W(kRegToolMutex)));
    if (GetLastError() == ERROR_ALREADY_EXISTS) return false;
    // A failed creation counts as being the only copy.
    g_mutex = mutex.Detach();

    if (!WindowsVersionAllows()) return false;
    if (!RegToolPolicyAllows()) return false;
    AllowLowIntegrityMessages();
    return CreateRegToolWindow();
}

bool CreateRegToolWindow() {
    WNDCLASSW wc = {};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = RegToolWndProc;
    wc.cbWndExtra = 4;
    wc.hInstance = g_instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = W(kRegToolClass);
    if (!RegisterClassW(&wc)) return false;
    // A tool window stays out of the task bar and the Alt+Tab list.
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, W(kRegToolClass), W(kRegToolTitle), WS_POPUP,
                                  0, 0, 0, 0, nullptr, nullptr, g_instance, nullptr);
    g_window = window;
    if (!window) return false;
    ShowWindow(window, SW_HIDE);
    return true;
}

LRESULT CALLBACK RegToolWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            g_window = window;
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_QUERYENDSESSION:
            // The session may end, but another program may still cancel it:
            // the RegTool ends only once the end is certain.
            return 1;
        case WM_ENDSESSION:
            if (wParam) DestroyWindow(window);
            return 0;
        case WM_APPLY_FOLDER:
            ApplyHandOff();
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

void ApplyHandOff() {
    // No SID, or a key path that would not fit: nothing read, nothing deleted.
    char16_t path[kPathChars];
    if (!HandOffKeyPath(path, kPathChars)) return;
    char16_t folder[kPathChars];
    if (TakeHandOffFolder(path, folder, sizeof folder) != kDone) return;
    // Taken out of the key whatever it is; applied only when it is the user's.
    if (!IsUserFolder(folder)) return;
    // The only failure the RegTool reports; the sender stays blocked until
    // the box is closed.
    if (ApplySaveFolder(folder) == kSeedWriteFailed) MessageBoxW(nullptr, L"failed", nullptr, MB_OK);
}

int RunRegTool(HINSTANCE instance) {
    if (!InitRegTool(instance)) {
        DestroyRegToolWindow();
        Uninitialize();
        return 1;
    }
    MSG msg = {};
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(msg.hwnd, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    DestroyRegToolWindow();
    Uninitialize();
    return static_cast<int>(msg.wParam);
}

}  // namespace fw
