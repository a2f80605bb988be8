// Fwise.exe /export and /import of 10,000 rules against the real registry
// (under Wine), each against a floor measured in the same run: the registry
// reads an export needs and the writes an import needs, made bare. The
// program's own start is inside the measured time.
#include "scoped_win.h"
#include "store_floor.h"
#include "win.h"
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRules = 10000;
constexpr int kRounds = 5;

double Ms(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

std::wstring BinDir() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    return p.substr(0, p.rfind(L'\\') + 1);
}

// The program's exit code, or -1 when it did not end within a minute.
long Run(const std::wstring& args) {
    std::wstring cmd = L"\"" + BinDir() + L"Fwise.exe\" " + args;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
    fw::ScopedHandle process(pi.hProcess), thread(pi.hThread);
    if (WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 1);
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    return static_cast<long>(code);
}

void Report(const char* what, double got, double floor) {
    double ratio = floor > 0 ? got / floor : 0.0;
    std::printf("%-36s %9.1f ms   floor %9.1f ms   ratio %.2f\n", what, got, floor, ratio);
    std::printf("RESULT|%s, %d rules|%.1f ms|%.1f ms|%.2f|<= 1.2x\n", what, kRules, got, floor, ratio);
}

}  // namespace

int main() {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    std::wstring file = std::wstring(dir) + L"bench_rules.reg";
    std::wstring quoted = L"\"" + file + L"\"";
    double bareRead = 1e30, exportMs = 1e30, bareWrite = 1e30, importMs = 1e30;
    for (int round = 0; round < kRounds; ++round) {
        auto t0 = Clock::now();
        fw::bench::WriteStore(kRules);
        auto t1 = Clock::now();
        fw::bench::BareReads();
        auto t2 = Clock::now();
        long exported = Run(L"/export " + quoted);
        auto t3 = Clock::now();
        // Over the full store, as the floor's writes: both delete it first.
        long imported = Run(L"/import " + quoted);
        auto t4 = Clock::now();
        if (exported != 0 || imported != 0) {
            std::printf("Fwise.exe failed: /export %ld, /import %ld\n", exported, imported);
            return 1;
        }
        if (fw::ReadSettingDword(fw::kNum, 0) != kRules) {
            std::printf("the import left %u rules, expected %d\n", fw::ReadSettingDword(fw::kNum, 0), kRules);
            return 1;
        }
        bareWrite = std::min(bareWrite, Ms(t0, t1));
        bareRead = std::min(bareRead, Ms(t1, t2));
        exportMs = std::min(exportMs, Ms(t2, t3));
        importMs = std::min(importMs, Ms(t3, t4));
    }
    std::printf("%d rules, best of %d rounds\n", kRules, kRounds);
    Report("Fwise.exe /export", exportMs, bareRead);
    Report("Fwise.exe /import", importMs, bareWrite);
    DeleteFileW(file.c_str());
    fw::DeleteSettings();
    return 0;
}
