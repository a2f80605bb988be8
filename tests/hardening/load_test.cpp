// Load and concurrency under Wine: several stand-in download processes (some
// through the RegTool) while the settings program's save runs in a loop, for
// a bounded time (FW_LOAD_SECONDS, 10 by default; 60 for the full run).
// Nothing crashes or hangs, no process grows, "MRUListEx" is always whole,
// and the store ends as the last save left it.
#include "fake_option_dlg.h"
#include "regtool_test_win.h"
#include "settings_store.h"
#include "store_util.h"
#include <psapi.h>
#include <atomic>
#include <cstdio>
#include <thread>

namespace fw::test {
namespace {

struct Worker {
    PROCESS_INFORMATION pi = {};
    std::wstring out;
    bool handOff;
};

int Seconds() {
    wchar_t text[16] = {};
    if (!GetEnvironmentVariableW(L"FW_LOAD_SECONDS", text, 16)) return 10;
    int s = _wtoi(text);
    return s > 0 && s <= 600 ? s : 10;
}

TEST(Load, DownloadsWhileSaving) {
    const int seconds = Seconds();
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"fw load";
    CreateDirectoryW(folder.c_str(), nullptr);
    PutString(HKEY_LOCAL_MACHINE, kIeMachineKey, L"Version", L"9.11.9600.18376");
    SHDeleteKeyW(HKEY_CURRENT_USER, kMruKey);
    AllowRegTool();

    FakeOptionDlg saver;
    saver.Load({{kNameRule, u"zzz", u"C:\\z"}, {kExtensionRule, u".exe", U(folder.c_str())}});
    ASSERT_TRUE(saver.SaveSettings());

    RegToolProcess tool;
    ASSERT_TRUE(tool.Start());
    HWND window = tool.WaitWindow(15000);
    ASSERT_NE(window, nullptr) << "FwReg.exe did not come up";

    std::vector<Worker> workers(4);
    std::wstring exe = SiblingPath(L"fw_load_worker.exe");
    for (size_t i = 0; i < workers.size(); ++i) {
        Worker& w = workers[i];
        w.handOff = i % 2 == 1;
        w.out = std::wstring(temp) + L"fw_load_" + std::to_wstring(i) + L".txt";
        DeleteFileW(w.out.c_str());
        std::wstring cmd = L"\"" + exe + L"\" " + std::to_wstring(seconds * 1000) +
                           (w.handOff ? L" handoff \"" : L" direct \"") + w.out + L"\"";
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        ASSERT_TRUE(CreateProcessW(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &w.pi))
            << "worker " << i;
    }

    // The save loop, with a look at "MRUListEx" between saves.
    long saves = 0, badLists = 0;
    std::string badList;
    DWORD startTick = GetTickCount();
    std::u16string lastRule;
    while (GetTickCount() - startTick < static_cast<DWORD>(seconds) * 1000) {
        lastRule = u"zz" + std::u16string(1, static_cast<char16_t>(u'a' + saves % 26));
        saver.rows[0].rule = lastRule;
        EXPECT_TRUE(saver.SaveSettings()) << "save " << saves;
        ++saves;
        std::vector<BYTE> list;
        if (ReadValue(HKEY_CURRENT_USER, kMruKey, L"MRUListEx", &list)) {
            DWORD last = 0;
            if (list.size() >= 4) std::memcpy(&last, list.data() + list.size() - 4, 4);
            if (list.size() < 8 || list.size() % 4 || last != 0xFFFFFFFFu) {
                ++badLists;
                badList = std::to_string(list.size()) + " bytes";
            }
        }
    }
    EXPECT_EQ(badLists, 0) << "MRUListEx not whole, last seen: " << badList;

    long long downloads = 0;
    double worst = 0;
    for (size_t i = 0; i < workers.size(); ++i) {
        Worker& w = workers[i];
        DWORD wait = WaitForSingleObject(w.pi.hProcess, 60000);
        EXPECT_EQ(wait, WAIT_OBJECT_0) << "worker " << i << " hangs";
        if (wait != WAIT_OBJECT_0) TerminateProcess(w.pi.hProcess, 9);
        DWORD code = 1;
        GetExitCodeProcess(w.pi.hProcess, &code);
        EXPECT_EQ(code, 0u) << "worker " << i << " exit code";
        CloseHandle(w.pi.hProcess);
        CloseHandle(w.pi.hThread);
        FILE* f = _wfopen(w.out.c_str(), L"r");
        ASSERT_NE(f, nullptr) << "worker " << i << " wrote no result";
        long long n = 0;
        double us = 0;
        unsigned long h0 = 0, h1 = 0;
        unsigned long long b0 = 0, b1 = 0;
        int got = std::fscanf(f, "%lld %lf %lu %lu %llu %llu", &n, &us, &h0, &h1, &b0, &b1);
        std::fclose(f);
        DeleteFileW(w.out.c_str());
        ASSERT_EQ(got, 6) << "worker " << i;
        std::printf("worker %zu (%s): %lld downloads, worst %.1f ms, handles %lu -> %lu, private %llu -> %llu KB\n",
                    i, w.handOff ? "through the RegTool" : "direct", n, us / 1000, h0, h1, b0 / 1024, b1 / 1024);
        EXPECT_GT(n, 0) << "worker " << i;
        EXPECT_LE(h1, h0 + 4) << "worker " << i << ": handles grew";  // both 0 where not counted
        EXPECT_GT(b0, 0u) << "worker " << i << ": no memory figure";
        EXPECT_LE(b1, b0 + 2 * 1024 * 1024) << "worker " << i << ": private bytes grew";
        downloads += n;
        if (us > worst) worst = us;
    }
    std::printf("load: %d s, %zu processes, %lld downloads (%.1f/s), worst Download %.1f ms, %ld saves\n", seconds,
                workers.size(), downloads, downloads / static_cast<double>(seconds), worst / 1000, saves);

    DWORD answer = 0;
    EXPECT_NE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, reinterpret_cast<PDWORD_PTR>(&answer)), 0)
        << "the RegTool no longer answers";
    CloseRegTool(tool, window, "after the run");

    // The store is what the last save wrote.
    FakeOptionDlg check;
    check.LoadSettings();
    ASSERT_EQ(check.rows.size(), 2u);
    EXPECT_EQ(Utf8(check.rows[0].rule), Utf8(lastRule));
    EXPECT_EQ(Utf8(check.rows[1].rule), ".exe");
    SHDeleteKeyW(HKEY_CURRENT_USER, kMruKey);
    DeleteSettings();
    RemoveDirectoryW(folder.c_str());
}

}  // namespace
}  // namespace fw::test
