// A test stand-in for the RegTool's window, run as a process of its own:
//   regtool_window.exe HANDOFF_KEY_PATH DELAY_MS [CLOSE_DELAY_MS]
// WM_CLOSE ends it after CLOSE_DELAY_MS (default 0), inside the handling of
// the message, as a busy RegTool would. For every WM_APPLY_FOLDER it waits
// DELAY_MS, then copies what the hand-off
// key's "DownloadFolder" holds at that moment to HKCU\Software\FwTest\RegToolWindow
// "Seen" and counts the message in "Count". A sender that returns before the
// window is done cannot find them.
#include "save_folder.h"
#include "win.h"
#include <cwchar>

namespace {

const wchar_t kReportKey[] = L"Software\\FwTest\\RegToolWindow";
const wchar_t* g_handOffKey = L"";
DWORD g_delay = 0;
DWORD g_closeDelay = 0;

void Report() {
    Sleep(g_delay);
    wchar_t folder[400] = L"(none)";
    DWORD size = sizeof folder - sizeof(wchar_t);
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, g_handOffKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        if (RegQueryValueExW(key, W(fw::kHandOffValue), nullptr, nullptr, reinterpret_cast<BYTE*>(folder), &size) !=
            ERROR_SUCCESS)
            lstrcpyW(folder, L"(no value)");
        RegCloseKey(key);
    }
    HKEY out = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kReportKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &out, nullptr) !=
        ERROR_SUCCESS)
        return;
    DWORD count = 0;
    DWORD cb = sizeof count;
    RegQueryValueExW(out, L"Count", nullptr, nullptr, reinterpret_cast<BYTE*>(&count), &cb);
    ++count;
    RegSetValueExW(out, L"Seen", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder),
                   static_cast<DWORD>((lstrlenW(folder) + 1) * sizeof(wchar_t)));
    RegSetValueExW(out, L"Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof count);
    RegCloseKey(out);
}

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case fw::WM_APPLY_FOLDER:
            Report();
            return 0;
        case WM_CLOSE:
            Sleep(g_closeDelay);
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    g_handOffKey = argv[1];
    g_delay = static_cast<DWORD>(wcstoul(argv[2], nullptr, 10));
    if (argc > 3) g_closeDelay = static_cast<DWORD>(wcstoul(argv[3], nullptr, 10));
    WNDCLASSW wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = W(fw::kRegToolClass);
    if (!RegisterClassW(&wc)) return 3;
    HWND hwnd = CreateWindowExW(WS_EX_TOOLWINDOW, W(fw::kRegToolClass), W(fw::kRegToolTitle), WS_POPUP, 0, 0, 0, 0,
                                nullptr, nullptr, wc.hInstance, nullptr);
    if (!hwnd) return 4;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
