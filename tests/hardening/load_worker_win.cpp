// One stand-in download process for the load test: for the given number of
// milliseconds it does what the handler does per download (match the rules,
// then seed the Save dialog directly, or with "handoff" through the hand-off
// key and the RegTool as a protected-mode handler does). It writes one line
// to the given file: downloads, worst call in microseconds, and the handle
// count and private bytes before and after.
#include "registry.h"
#include "reg_helpers.h"
#include "rule_matching.h"
#include "save_folder.h"
#include "settings_store.h"
#include "win.h"
#include <objbase.h>
#include <psapi.h>
#include <cstdio>
#include <cwchar>

namespace {

// The committed private memory. Wine leaves PrivateUsage 0 but fills
// PagefileUsage, which is the same figure on Windows.
SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    return pmc.PagefileUsage;
}

// 0 under Wine 8, which does not count a process's handles.
DWORD Handles() {
    DWORD n = 0;
    GetProcessHandleCount(GetCurrentProcess(), &n);
    return n;
}

void Download(bool handOff, const char16_t* handOffPath) {
    char16_t folder[fw::kFolderChars] = {};
    if (fw::FindRuleFolder(u"http://example.org/files/setup.exe", u"http://example.org/files/setup.exe", folder))
        return;
    if (!handOff) {
        fw::ApplySaveFolder(folder);
        return;
    }
    fw::WriteRegString(fw::RegRoot::CurrentUser, handOffPath, fw::kHandOffValue, folder);
    HWND regTool = FindWindowW(W(fw::kRegToolClass), W(fw::kRegToolTitle));
    DWORD_PTR answer = 0;
    if (regTool) SendMessageTimeoutW(regTool, fw::WM_APPLY_FOLDER, 0, 0, SMTO_NORMAL, 10000, &answer);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) return 2;
    DWORD ms = static_cast<DWORD>(_wtoi(argv[1]));
    bool handOff = std::wcscmp(argv[2], L"handoff") == 0;
    char16_t path[fw::kPathChars];
    if (!fw::HandOffKeyPath(path, fw::kPathChars)) return 3;
    CoInitialize(nullptr);

    LARGE_INTEGER freq, start, t0, t1;
    QueryPerformanceFrequency(&freq);
    // Warm-up: the first calls load the shell's DLLs.
    for (int i = 0; i < 5; ++i) Download(handOff, path);
    DWORD handles0 = Handles();
    SIZE_T bytes0 = PrivateBytes();
    long long downloads = 0;
    double worstUs = 0;
    QueryPerformanceCounter(&start);
    for (;;) {
        QueryPerformanceCounter(&t0);
        if ((t0.QuadPart - start.QuadPart) * 1000 / freq.QuadPart >= ms) break;
        Download(handOff, path);
        QueryPerformanceCounter(&t1);
        double us = (t1.QuadPart - t0.QuadPart) * 1e6 / freq.QuadPart;
        if (us > worstUs) worstUs = us;
        ++downloads;
    }
    DWORD handles1 = Handles();
    SIZE_T bytes1 = PrivateBytes();
    CoUninitialize();

    FILE* out = _wfopen(argv[3], L"w");
    if (!out) return 4;
    std::fprintf(out, "%lld %.0f %lu %lu %llu %llu\n", downloads, worstUs, handles0, handles1,
                 static_cast<unsigned long long>(bytes0), static_cast<unsigned long long>(bytes1));
    std::fclose(out);
    return 0;
}
