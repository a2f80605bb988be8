// The Setup page for real under Wine: Fwise.exe's Install and Uninstall
// buttons run Wine's regsvr32 on the DLLs beside the program, the message
// boxes are read and dismissed, and the registry and the RegTool are checked.
// The folder holds the two DLLs an installation has: in the 32-bit build the
// real Fwise.dll and the 64-bit build's Fwise64.dll (named by FW_PEER_SERVER);
// in the 64-bit build Fwise64.dll and, under the name Fwise.dll, the 64-bit
// stand-in with the 32-bit DLL's duties (FwiseRole32.dll), so that the test
// also runs where 32-bit Wine does not.
#include "fwise_ui.h"
#include "texts.h"

namespace fw::test {
namespace {

const wchar_t kFolder[] = L"C:\\Program Files\\Folderwise Test";
const wchar_t kIeKey[] = L"SOFTWARE\\Microsoft\\Internet Explorer";
const wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kPolicyKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

std::wstring ReadText(HKEY root, const wchar_t* key, const wchar_t* name) {
    wchar_t buf[1024] = {};
    DWORD size = sizeof buf - sizeof(wchar_t);
    if (RegGetValueW(root, key, name, RRF_RT_REG_SZ, nullptr, buf, &size) != ERROR_SUCCESS) return L"<none>";
    return buf;
}

HWND RegToolWindow() { return FindWindowW(L"_FWREG_CLASSNAME_", L"Folderwise RegTool"); }

bool WaitRegTool(bool running, int ms = 10000) {
    for (int waited = 0; waited <= ms; waited += 100) {
        if ((RegToolWindow() != nullptr) == running) return true;
        Sleep(100);
    }
    return false;
}

// The next message box of the program: its text, then OK.
std::string TakeBox(DWORD pid) {
    HWND box = WaitWindow(pid, L"#32770", 30000);
    if (!box) return "<no message box>";
    std::string text = Narrow(BoxText(box));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    WaitGone(box);
    Sleep(100);
    return text;
}

// Where the two DLLs come from, and which one the class's registration in
// this process's registry view names after an installation.
struct Dlls {
    std::wstring dll32, dll64;
    const wchar_t* registeredLast;
};

Dlls SourceDlls() {
#ifdef _WIN64
    return {BinDir() + L"FwiseRole32.dll", BinDir() + L"Fwise64.dll", L"Fwise64.dll"};
#else
    wchar_t unixPath[MAX_PATH] = {};
    std::wstring peer;
    if (GetEnvironmentVariableW(L"FW_PEER_SERVER", unixPath, MAX_PATH)) {
        peer = std::wstring(L"Z:") + unixPath;
        for (wchar_t& c : peer)
            if (c == L'/') c = L'\\';
    }
    return {BinDir() + L"Fwise.dll", peer, L"Fwise.dll"};
#endif
}

class SetupPage : public StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        const Dlls dlls = SourceDlls();
        if (dlls.dll64.empty() || GetFileAttributesW(dlls.dll64.c_str()) == INVALID_FILE_ATTRIBUTES)
            GTEST_SKIP() << "no 64-bit build beside this one (FW_PEER_SERVER)";
        // The RegTool ends at once unless the consent prompt is on.
        DWORD on = 1;
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, kPolicyKey, L"ConsentPromptBehaviorAdmin", REG_DWORD, &on, sizeof on);
        CreateDirectoryW(kFolder, nullptr);
        struct Copy {
            std::wstring from;
            const wchar_t* to;
        } copies[] = {{BinDir() + L"Fwise.exe", L"Fwise.exe"},
                      {dlls.dll32, L"Fwise.dll"},
                      {dlls.dll64, L"Fwise64.dll"},
                      {BinDir() + L"FwReg.exe", L"FwReg.exe"}};
        for (const Copy& c : copies)
            ASSERT_TRUE(CopyFileW(c.from.c_str(), (std::wstring(kFolder) + L"\\" + c.to).c_str(), FALSE))
                << Narrow(c.from);
    }
    void TearDown() override {
        if (HWND h = RegToolWindow()) SendMessageW(h, WM_CLOSE, 0, 0);
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kPolicyKey, L"ConsentPromptBehaviorAdmin");
        StoreTest::TearDown();
    }
};

TEST_F(SetupPage, InstallThenUninstallWithTheSettings) {
    const TextSet& t = Texts();
    WriteSettingDword(kUseDefault, 1);
    WriteRules({{0, u"setup", u"C:\\Setup"}, {1, u".zip", u"C:\\Zips"}});
    Fwise app((std::wstring(kFolder) + L"\\Fwise.exe").c_str());
    HWND main = app.Main();
    ASSERT_TRUE(main);
    HWND install = Child(main, L"Button", t.btnInstall);
    HWND uninstall = Child(main, L"Button", t.btnUninstall);
    HWND delReg = Child(main, L"Button", t.cbDelReg);
    ASSERT_TRUE(install && uninstall && delReg);

    // Install: 64-bit Windows, so a notice before each DLL and a result after it.
    PostMessageW(install, BM_CLICK, 0, 0);
    const char* installBoxes[] = {"Now start Installation for the 32bit DLL", "Installed the \"Folderwise\" successfully.",
                                  "Now start Installation for the 64bit DLL", "Installed the \"Folderwise\" successfully."};
    for (const char* expected : installBoxes) EXPECT_EQ(TakeBox(app.Pid()), expected);
    std::wstring clsid = ReadText(HKEY_LOCAL_MACHINE, kIeKey, L"DownloadUI");
    EXPECT_EQ(clsid.size(), 38u) << "DownloadUI: " << Narrow(clsid);
    std::wstring server = ReadText(HKEY_CLASSES_ROOT, (L"CLSID\\" + clsid + L"\\InprocServer32").c_str(), nullptr);
    EXPECT_EQ(Narrow(server), Narrow(std::wstring(kFolder) + L"\\" + SourceDlls().registeredLast))
        << "this registry view's last registration";
    EXPECT_NE(ReadText(HKEY_LOCAL_MACHINE, kRunKey, L"Folderwise").find(L"FwReg.exe"), std::wstring::npos);
    ASSERT_TRUE(WaitRegTool(true)) << "no RegTool started";
    DWORD regToolPid = 0;
    GetWindowThreadProcessId(RegToolWindow(), &regToolPid);
    EXPECT_EQ(ReadSettingDword(kUseDefault, 0), 1u) << "an installation keeps the settings";

    // Uninstall with "Remove rule options": the RegTool goes first.
    SendMessageW(delReg, BM_SETCHECK, BST_CHECKED, 0);
    PostMessageW(uninstall, BM_CLICK, 0, 0);
    const char* uninstallBoxes[] = {
        "Now start Uninstallation for the 32bit DLL", "Uninstalled the \"Folderwise\" successfully.",
        "Now start Uninstallation for the 64bit DLL", "Uninstalled the \"Folderwise\" successfully."};
    for (const char* expected : uninstallBoxes) EXPECT_EQ(TakeBox(app.Pid()), expected);
    EXPECT_TRUE(WaitRegTool(false, 1000)) << "the RegTool still runs";
    EXPECT_EQ(Narrow(ReadText(HKEY_LOCAL_MACHINE, kIeKey, L"DownloadUI")), "<none>");
    HKEY k = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CLASSES_ROOT, (L"CLSID\\" + clsid).c_str(), 0, KEY_READ, &k), ERROR_SUCCESS);
    if (k) RegCloseKey(k);
    EXPECT_EQ(Narrow(ReadText(HKEY_LOCAL_MACHINE, kRunKey, L"Folderwise")), "<none>");
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Fwise", 0, KEY_READ, &k), ERROR_SUCCESS)
        << "the settings are gone";
    if (k) RegCloseKey(k);
    Sleep(500);
    EXPECT_FALSE(RegToolWindow()) << "uninstalling starts no RegTool";

    // The window shows the emptied store, and Apply brings nothing back.
    EXPECT_EQ(app.Rows(), 0) << "the removed rules still show";
    EXPECT_EQ(SendMessageW(Child(main, L"Button", t.cbUseDefault), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    SendMessageW(Child(main, L"Button", t.btnApply), BM_CLICK, 0, 0);
    EXPECT_EQ(ReadSettingDword(kNum, 99), 0u) << "Apply wrote the removed rules back";
    EXPECT_EQ(ReadSettingDword(kUseDefault, 99), 0u);

    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(app.WaitExit(), 0);
}

TEST_F(SetupPage, MissingDllIsReportedAndNothingRuns) {
    DeleteFileW((std::wstring(kFolder) + L"\\Fwise.dll").c_str());
    WriteSettingDword(kUseDefault, 1);
    Fwise app((std::wstring(kFolder) + L"\\Fwise.exe").c_str());
    HWND main = app.Main();
    ASSERT_TRUE(main);
    const TextSet& t = Texts();
    SendMessageW(Child(main, L"Button", t.cbDelReg), BM_SETCHECK, BST_CHECKED, 0);
    PostMessageW(Child(main, L"Button", t.btnUninstall), BM_CLICK, 0, 0);
    EXPECT_EQ(TakeBox(app.Pid()), "Now start Uninstallation for the 32bit DLL");
    EXPECT_EQ(TakeBox(app.Pid()), Narrow(std::wstring(kFolder) + L"\\Fwise.dllnot found"));
    EXPECT_EQ(ReadSettingDword(kUseDefault, 0), 1u) << "the settings stay";
    // Nothing was uninstalled, so the RegTool the uninstallation closed runs again.
    EXPECT_TRUE(WaitRegTool(true)) << "no RegTool after the failed uninstallation";
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(app.WaitExit(), 0);
}

}  // namespace
}  // namespace fw::test
