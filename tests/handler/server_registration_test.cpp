// Registration and unregistration of the server through the real regsvr32,
// checked against the exact keys and values they are to leave behind, for
// the server DLL of this build's bitness (server_util.h). The stand-in
// RegTool window comes from bin/protected.
#include "Fwise_h.h"
#include "save_folder.h"
#include "server_util.h"
#include <gtest/gtest.h>

namespace fw::test {
namespace {

const std::wstring kDir = L"C:\\Program Files\\Handler";
const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t* kIeKey = L"SOFTWARE\\Microsoft\\Internet Explorer";
const wchar_t* kOtherClsid = L"{0BADC0DE-0000-4000-8000-000000000001}";

std::wstring ClsidKey() { return L"CLSID\\" + GuidText(CLSID_FwiseObj); }

std::wstring Register(const std::wstring& dll, bool unregister = false) {
    return (unregister ? L"/s /u \"" : L"/s \"") + kDir + L"\\" + dll + L"\"";
}

// What registration leaves under the class's CLSID key and the ProgIDs.
std::vector<std::wstring> ExpectedClassTree(const std::wstring& dll) {
    std::wstring libid = GuidText(LIBID_FWISELib);
    std::vector<std::wstring> lines = {
        L"|",
        L"|(default)|1|FwiseObj Class",
        L"InprocServer32|",
        L"InprocServer32|(default)|1|" + kDir + L"\\" + dll,
        L"InprocServer32|ThreadingModel|1|Apartment",
        L"ProgID|",
        L"ProgID|(default)|1|Fwise.FwiseObj.1",
        L"Programmable|",
        L"TypeLib|",
        L"TypeLib|(default)|1|" + libid,
        L"VersionIndependentProgID|",
        L"VersionIndependentProgID|(default)|1|Fwise.FwiseObj",
    };
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::vector<std::wstring> Sorted(std::vector<std::wstring> v) {
    std::sort(v.begin(), v.end());
    return v;
}

class Registration : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(InstallInto(kDir, {kServerDll, kRoleDll}));
    }
    void TearDown() override {
        Regsvr32(Register(kServerDll, true));
        SHDeleteValueW(HKEY_LOCAL_MACHINE, kRunKey, L"Folderwise");
    }
};

TEST_F(Registration, WritesExactlyTheClassProgIdsTypeLibAndDownloadUi) {
    ASSERT_EQ(Regsvr32(Register(kServerDll)), 0);
    std::wstring clsid = GuidText(CLSID_FwiseObj);
    EXPECT_EQ(Tree(HKEY_CLASSES_ROOT, ClsidKey()), ExpectedClassTree(kServerDll))
        << "got:\n" << Lines(Tree(HKEY_CLASSES_ROOT, ClsidKey()));
    EXPECT_EQ(Tree(HKEY_CLASSES_ROOT, L"Fwise.FwiseObj.1"),
              Sorted({L"|", L"|(default)|1|FwiseObj Class", L"CLSID|", L"CLSID|(default)|1|" + clsid}))
        << "got:\n" << Lines(Tree(HKEY_CLASSES_ROOT, L"Fwise.FwiseObj.1"));
    EXPECT_EQ(Tree(HKEY_CLASSES_ROOT, L"Fwise.FwiseObj"),
              Sorted({L"|", L"|(default)|1|FwiseObj Class", L"CLSID|", L"CLSID|(default)|1|" + clsid, L"CurVer|",
                      L"CurVer|(default)|1|Fwise.FwiseObj.1"}))
        << "got:\n" << Lines(Tree(HKEY_CLASSES_ROOT, L"Fwise.FwiseObj"));
    EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kIeKey, L"DownloadUI"), clsid);
    // The type library, registered from the DLL's own path.
    std::wstring tlb = L"TypeLib\\" + GuidText(LIBID_FWISELib) + L"\\1.0";
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, tlb + L"\\409\\win32", nullptr), kDir + L"\\" + kServerDll);
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, L"Interface\\" + GuidText(IID_IFwiseObj)));
    // Only the DLL with the RegTool's role writes the Run value.
    if (!kServerHasRole) {
        EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kRunKey, L"Folderwise"), L"<missing>");
    }
}

TEST_F(Registration, AgainLeavesNoStaleSubkeysAndTakesDownloadUiOver) {
    ASSERT_EQ(Regsvr32(Register(kServerDll)), 0);
    ASSERT_TRUE(PutText(HKEY_CLASSES_ROOT, ClsidKey() + L"\\Stale\\Deeper", L"x", L"old"));
    ASSERT_TRUE(PutText(HKEY_CLASSES_ROOT, ClsidKey() + L"\\Programmable\\Junk", nullptr, L"old"));
    ASSERT_TRUE(PutText(HKEY_CLASSES_ROOT, ClsidKey() + L"\\InprocServer32", L"Extra", L"old"));
    ASSERT_TRUE(PutText(HKEY_LOCAL_MACHINE, kIeKey, L"DownloadUI", kOtherClsid));
    ASSERT_EQ(Regsvr32(Register(kServerDll)), 0);
    EXPECT_EQ(Tree(HKEY_CLASSES_ROOT, ClsidKey()), ExpectedClassTree(kServerDll))
        << "got:\n" << Lines(Tree(HKEY_CLASSES_ROOT, ClsidKey()));
    EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kIeKey, L"DownloadUI"), GuidText(CLSID_FwiseObj));
}

TEST_F(Registration, UnregistrationRemovesAllOfItAndKeepsTheSharedKeys) {
    ASSERT_EQ(Regsvr32(Register(kServerDll)), 0);
    ASSERT_EQ(Regsvr32(Register(kServerDll, true)), 0);
    for (const std::wstring& key : {ClsidKey(), std::wstring(L"Fwise.FwiseObj"), std::wstring(L"Fwise.FwiseObj.1"),
                                    L"TypeLib\\" + GuidText(LIBID_FWISELib), L"Interface\\" + GuidText(IID_IFwiseObj)})
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, key)) << Narrow(key) << " is still there";
    EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kIeKey, L"DownloadUI"), L"<missing>");
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, L"CLSID"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kIeKey));
    EXPECT_NE(Text(HKEY_LOCAL_MACHINE, kIeKey, L"Version"), L"<missing>");
}

// A download manager installed after us keeps its hook when we go.
TEST_F(Registration, UnregistrationTakesDownloadUiOnlyWhileItNamesOurClass) {
    std::wstring ours = GuidText(CLSID_FwiseObj);
    std::wstring oursLower = ours;
    for (wchar_t& c : oursLower) c = static_cast<wchar_t>(towlower(c));
    const struct {
        const char* label;
        std::wstring before;
        std::wstring after;
    } rows[] = {
        {"ours, as registered", ours, L"<missing>"},
        {"ours in lower case", oursLower, L"<missing>"},
        {"another program's", kOtherClsid, kOtherClsid},
        {"emptied", L"", L""},
    };
    for (const auto& row : rows) {
        ASSERT_EQ(Regsvr32(Register(kServerDll)), 0) << row.label;
        ASSERT_TRUE(PutText(HKEY_LOCAL_MACHINE, kIeKey, L"DownloadUI", row.before)) << row.label;
        EXPECT_EQ(Regsvr32(Register(kServerDll, true)), 0) << row.label;
        EXPECT_EQ(Narrow(Text(HKEY_LOCAL_MACHINE, kIeKey, L"DownloadUI")), Narrow(row.after)) << row.label;
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ClsidKey())) << row.label;
        SHDeleteValueW(HKEY_LOCAL_MACHINE, kIeKey, L"DownloadUI");
    }
}

// The other DLL of an installation and the regsvr32 that registers it: in
// the 64-bit build the FwiseRole32.dll stand-in beside this program (same
// registry view); in the 32-bit build the real Fwise64.dll of the 64-bit
// build, named by FW_PEER_SERVER, through the 64-bit regsvr32 (64-bit view).
struct PeerDll {
    std::wstring path;
    std::wstring regsvr32;
};

PeerDll Peer() {
#ifdef _WIN64
    return {kDir + L"\\FwiseRole32.dll", L"regsvr32.exe"};
#else
    wchar_t unixPath[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"FW_PEER_SERVER", unixPath, MAX_PATH)) return {};
    std::wstring path = std::wstring(L"Z:") + unixPath;
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return {};
    return {path, L"C:\\windows\\sysnative\\regsvr32.exe"};
#endif
}

// "DownloadUI" in both registry views (the 32-bit and the 64-bit DLL each
// write their own), or in the one a 64-bit build shares with its stand-in.
const REGSAM kViews[] = {KEY_WOW64_32KEY, KEY_WOW64_64KEY};

bool PutDownloadUi(REGSAM view, const std::wstring& text) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kIeKey, 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &key, nullptr))
        return false;
    LONG rc = RegSetValueExW(key, L"DownloadUI", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

std::wstring DownloadUi(REGSAM view) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kIeKey, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
        return L"<no key>";
    wchar_t buf[64] = {};
    DWORD cb = sizeof buf - sizeof(wchar_t);
    DWORD type = 0;
    LONG rc = RegQueryValueExW(key, L"DownloadUI", nullptr, &type, reinterpret_cast<BYTE*>(buf), &cb);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && type == REG_SZ ? buf : L"<missing>";
}

// Both DLLs register the one type library: whichever unregisters second
// finds it gone, which counts as done, as does a second unregistration.
// Another program's DownloadUI outlives both.
TEST_F(Registration, BothDllsUnregisterWithZeroInEitherOrderAndAgain) {
    const PeerDll peer = Peer();
    if (peer.path.empty()) GTEST_SKIP() << "no 64-bit build beside this one (FW_PEER_SERVER)";
    const std::wstring ours = L"\"" + kDir + L"\\" + kServerDll + L"\"";
    const std::wstring theirs = L"\"" + peer.path + L"\"";
    auto run = [](const std::wstring& regsvr32, const std::wstring& args) {
        return RunProgram(regsvr32 + L" " + args);
    };
    for (int first = 0; first < 2; ++first) {
        SCOPED_TRACE(first == 0 ? "this build's DLL first" : "the other DLL first");
        ASSERT_EQ(run(L"regsvr32.exe", L"/s " + ours), 0);
        ASSERT_EQ(run(peer.regsvr32, L"/s " + theirs), 0);
        for (REGSAM view : kViews) ASSERT_TRUE(PutDownloadUi(view, kOtherClsid));
        if (first == 0) {
            EXPECT_EQ(run(L"regsvr32.exe", L"/s /u " + ours), 0);
            EXPECT_EQ(run(peer.regsvr32, L"/s /u " + theirs), 0);
        } else {
            EXPECT_EQ(run(peer.regsvr32, L"/s /u " + theirs), 0);
            EXPECT_EQ(run(L"regsvr32.exe", L"/s /u " + ours), 0);
        }
        for (REGSAM view : kViews) EXPECT_EQ(Narrow(DownloadUi(view)), Narrow(kOtherClsid));
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L"TypeLib\\" + GuidText(LIBID_FWISELib)));
        for (REGSAM view : kViews) {
            HKEY key = nullptr;
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kIeKey, 0, KEY_SET_VALUE | view, &key) == ERROR_SUCCESS) {
                RegDeleteValueW(key, L"DownloadUI");
                RegCloseKey(key);
            }
        }
    }
    for (const PeerDll& dll : {PeerDll{kDir + L"\\" + kServerDll, L"regsvr32.exe"}, peer}) {
        const std::wstring quoted = L"\"" + dll.path + L"\"";
        ASSERT_EQ(run(dll.regsvr32, L"/s " + quoted), 0);
        EXPECT_EQ(run(dll.regsvr32, L"/s /u " + quoted), 0) << Narrow(dll.path) << ": first unregistration";
        EXPECT_EQ(run(dll.regsvr32, L"/s /u " + quoted), 0) << Narrow(dll.path) << ": second unregistration";
    }
}

// The stand-in RegTool window (tests/handler/regtool_window.cpp) in a process
// of its own that ends `closeDelayMs` after WM_CLOSE came.
struct StandInRegTool {
    PROCESS_INFORMATION pi = {};
    explicit StandInRegTool(DWORD closeDelayMs) {
        std::wstring exe = ExeDir() + L"\\protected\\regtool_window.exe";
        std::wstring cmd = L"\"" + exe + L"\" Software\\FwTest\\Unused 0 " + std::to_wstring(closeDelayMs);
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        if (!CreateProcessW(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return;
        for (int i = 0; i < 200 && !FindWindowW(W(kRegToolClass), W(kRegToolTitle)); ++i) Sleep(50);
    }
    ~StandInRegTool() {
        if (!pi.hProcess) return;
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 5000);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    bool Ended() const { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }
};

TEST_F(Registration, RegToolRoleWritesAQuotedRunValue) {
    ASSERT_EQ(Regsvr32(Register(kRoleDll)), 0);
    // Quoted: the folder has a blank in it.
    EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kRunKey, L"Folderwise"), L"\"" + kDir + L"\\FwReg.exe\"");
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, ClsidKey() + L"\\InprocServer32", nullptr), kDir + L"\\" + kRoleDll);
    ASSERT_EQ(Regsvr32(Register(kRoleDll, true)), 0);
    EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kRunKey, L"Folderwise"), L"<missing>");
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ClsidKey()));
}

// Unregistration closes the RegTool and waits until its process has ended
// (so its mutex is free for the next start), but a hung one holds it only
// for a bounded time.
TEST_F(Registration, RegToolRoleClosesTheRegToolAndWaitsForItBoundedly) {
    const DWORD bound = kRegToolCloseSendMs + kRegToolExitWaitMs;
    const struct {
        const char* label;
        DWORD closeDelayMs;
        bool ended;
    } rows[] = {
        {"ends at once", 0, true},
        {"ends 1.5 s after WM_CLOSE", 1500, true},
        {"hung in WM_CLOSE", 60000, false},
    };
    for (const auto& row : rows) {
        ASSERT_EQ(Regsvr32(Register(kRoleDll)), 0) << row.label;
        StandInRegTool tool(row.closeDelayMs);
        ASSERT_NE(FindWindowW(W(kRegToolClass), W(kRegToolTitle)), nullptr) << row.label << ": no stand-in window";
        ULONGLONG t0 = GetTickCount64();
        EXPECT_EQ(Regsvr32(Register(kRoleDll, true)), 0) << row.label;
        ULONGLONG took = GetTickCount64() - t0;
        EXPECT_EQ(tool.Ended(), row.ended) << row.label;
        EXPECT_LT(took, bound + 4000u) << row.label << ": not bounded";
        EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kRunKey, L"Folderwise"), L"<missing>") << row.label;
    }
}

// A window of the RegTool's class and title that notes WM_CLOSE.
struct FakeRegTool {
    static inline int closes = 0;
    HWND window = nullptr;
    // A plain function: a lambda does not convert to the stdcall WNDPROC of a 32-bit build.
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
        if (m == WM_CLOSE) {
            ++closes;
            return 0;  // stays open: the test closes it
        }
        return DefWindowProcW(w, m, wp, lp);
    }
    FakeRegTool() {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = W(kRegToolClass);
        RegisterClassW(&wc);
        window = CreateWindowExW(WS_EX_TOOLWINDOW, W(kRegToolClass), W(kRegToolTitle), WS_POPUP, 0, 0, 0, 0,
                                 nullptr, nullptr, wc.hInstance, nullptr);
        closes = 0;
    }
    ~FakeRegTool() { DestroyWindow(window); }
};

TEST_F(Registration, WithoutTheRegToolRoleTheRunValueAndTheRegToolAreLeftAlone) {
    if (kServerHasRole) GTEST_SKIP() << "this build's server DLL has the RegTool's role";
    ASSERT_TRUE(PutText(HKEY_LOCAL_MACHINE, kRunKey, L"Folderwise", L"kept"));
    FakeRegTool tool;
    ASSERT_TRUE(tool.window);
    ASSERT_EQ(Regsvr32(Register(kServerDll)), 0);
    ASSERT_EQ(Regsvr32(Register(kServerDll, true)), 0);
    EXPECT_EQ(FakeRegTool::closes, 0);
    EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kRunKey, L"Folderwise"), L"kept");
}

TEST_F(Registration, AModulePathThatFillsTheBufferFailsBeforeAnythingIsWritten) {
    // 300 characters of folders, so GetModuleFileNameW cannot fit the path in 260.
    std::wstring dir = L"C:\\long";
    while (dir.size() < 300) dir += L"\\" + std::wstring(40, L'd');
    ASSERT_TRUE(InstallInto(dir, {kRoleDll}));
    HMODULE dll = LoadLibraryW((L"\\\\?\\" + dir + L"\\" + kRoleDll).c_str());
    ASSERT_TRUE(dll) << "error " << GetLastError();
    using Entry = HRESULT(STDAPICALLTYPE*)();
    auto reg = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(dll, "DllRegisterServer")));
    auto unreg = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(dll, "DllUnregisterServer")));
    ASSERT_TRUE(reg && unreg);
    EXPECT_EQ(reg(), HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ClsidKey()));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, L"Fwise.FwiseObj"));
    EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kIeKey, L"DownloadUI"), L"<missing>");
    // Nor is a Run value made from a path that may have been cut.
    EXPECT_EQ(Text(HKEY_LOCAL_MACHINE, kRunKey, L"Folderwise"), L"<missing>");
    EXPECT_EQ(unreg(), HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER));
    FreeLibrary(dll);
}

}  // namespace
}  // namespace fw::test
