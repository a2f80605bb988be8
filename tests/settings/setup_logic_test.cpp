// The Setup page against a fake system: what is shown, run, deleted and
// started, in order. Also the help-file path and the About page's shift.
#include "setup_logic.h"
#include "store_util.h"
#include "texts.h"
#include <deque>
#include <set>

namespace fw::test {
namespace {

struct FakeSide : SetupSide {
    std::u16string program = u"C:\\Program Files\\Folderwise\\Fwise.exe";
    std::set<std::u16string> files = {u"C:\\Program Files\\Folderwise\\Fwise.dll",
                                      u"C:\\Program Files\\Folderwise\\Fwise64.dll"};
    bool is64 = false;
    bool delReg = false;
    // One entry per regsvr32 run: the exit code, or -1 for a run that never started.
    std::deque<int> exits;
    std::vector<std::string> log;

    bool FileExists(const char16_t* path) override { return files.count(path) != 0; }
    void ShowMessage(const char16_t* text, MessageIcon icon) override {
        log.push_back(std::string(icon == MessageIcon::Error ? "error: " : "info: ") + Utf8(text));
    }
    bool RunRegsvr32Process(const char16_t* params, uint32_t* exitCode) override {
        log.push_back("run " + Utf8(params));
        int e = exits.empty() ? 0 : exits.front();
        if (!exits.empty()) exits.pop_front();
        if (e < 0) return false;
        *exitCode = static_cast<uint32_t>(e);
        return true;
    }
    bool Is64BitWindows() override { return is64; }
    void CloseRegTool() override { log.push_back("close RegTool"); }
    void StartRegTool() override { log.push_back("start RegTool"); }
    bool DelRegChecked() override { return delReg; }
    void ProgramPath(char16_t* out, size_t cap) override { TextCopy(out, cap, program.c_str()); }
    void DeleteSettings() override {
        log.push_back("delete settings");
        SetupSide::DeleteSettings();
    }
};

std::string Join(const std::vector<std::string>& v) {
    std::string out;
    for (const auto& s : v) out += s + "\n";
    return out;
}

const std::string kRun32 = "run /s \"C:\\Program Files\\Folderwise\\Fwise.dll\"";
const std::string kRun64 = "run /s \"C:\\Program Files\\Folderwise\\Fwise64.dll\"";
const std::string kUnrun32 = "run /s /u \"C:\\Program Files\\Folderwise\\Fwise.dll\"";
const std::string kUnrun64 = "run /s /u \"C:\\Program Files\\Folderwise\\Fwise64.dll\"";
const std::string kInstalled = "info: Installed the \"Folderwise\" successfully.";
const std::string kUninstalled = "info: Uninstalled the \"Folderwise\" successfully.";
const std::string kInstallFailed = "error: Failed to install the \"Folderwise\".";
const std::string kUninstallFailed = "error: Failed to uninstall the \"Folderwise\".";
const std::string kNotice32 = "info: Now start Installation for the 32bit DLL";
const std::string kNotice64 = "info: Now start Installation for the 64bit DLL";
const std::string kUnnotice32 = "info: Now start Uninstallation for the 32bit DLL";
const std::string kUnnotice64 = "info: Now start Uninstallation for the 64bit DLL";
const std::string kDelete = "delete settings";
const std::string kClose = "close RegTool";
const std::string kStart = "start RegTool";
constexpr SetupAction kInstall = SetupAction::Install;
constexpr SetupAction kUninstall = SetupAction::Uninstall;

struct Row {
    const char* name;
    SetupAction action;
    bool is64;
    bool delReg;
    std::vector<int> exits;
    bool dll32Missing;
    bool dll64Missing;
    std::vector<std::string> expected;
};

class Setup : public StoreTest {};

TEST_F(Setup, OnSetupDllSequences) {
    const std::string kMissing32 = "error: C:\\Program Files\\Folderwise\\Fwise.dllnot found";
    const std::string kMissing64 = "error: C:\\Program Files\\Folderwise\\Fwise64.dllnot found";
    const Row rows[] = {
        {"32-bit install succeeds", kInstall, false, false, {0}, false, false, {kRun32, kInstalled, kStart}},
        {"64-bit install, both succeed", kInstall, true, false, {0, 0}, false, false,
         {kNotice32, kRun32, kInstalled, kNotice64, kRun64, kInstalled, kStart}},
        {"64-bit install, 32-bit run fails: stops", kInstall, true, false, {3}, false, false,
         {kNotice32, kRun32, kInstallFailed}},
        {"64-bit install, 64-bit run fails: RegTool still starts", kInstall, true, false, {0, 4}, false, false,
         {kNotice32, kRun32, kInstalled, kNotice64, kRun64, kInstallFailed, kStart}},
        {"install with cbDelReg never deletes", kInstall, false, true, {0}, false, false, {kRun32, kInstalled, kStart}},
        {"install exit code 5 is a failure", kInstall, false, false, {5}, false, false, {kRun32, kInstallFailed}},
        {"install, Fwise64.dll missing: RegTool still starts", kInstall, true, false, {0}, false, true,
         {kNotice32, kRun32, kInstalled, kNotice64, kMissing64, kStart}},
        {"install, Fwise.dll missing", kInstall, true, false, {}, true, false, {kNotice32, kMissing32}},
        {"uninstall, 32-bit", kUninstall, false, false, {0}, false, false, {kClose, kUnrun32, kUninstalled}},
        {"uninstall with cbDelReg deletes after every run", kUninstall, true, true, {0, 0}, false, false,
         {kClose, kUnnotice32, kUnrun32, kDelete, kUninstalled, kUnnotice64, kUnrun64, kDelete, kUninstalled}},
        // A failed uninstallation leaves the handler registered: its RegTool comes back.
        {"uninstall with cbDelReg deletes even on failure", kUninstall, false, true, {3}, false, false,
         {kClose, kUnrun32, kDelete, kUninstallFailed, kStart}},
        {"uninstall with cbDelReg, Fwise.dll missing: nothing deleted", kUninstall, false, true, {}, true, false,
         {kClose, kMissing32, kStart}},
        {"uninstall exit code 5 is a failure: 64-bit step skipped", kUninstall, true, false, {5}, false, false,
         {kClose, kUnnotice32, kUnrun32, kUninstallFailed, kStart}},
        {"64-bit uninstall, 64-bit exit code 5 is a failure", kUninstall, true, false, {0, 5}, false, false,
         {kClose, kUnnotice32, kUnrun32, kUninstalled, kUnnotice64, kUnrun64, kUninstallFailed, kStart}},
        {"64-bit uninstall, Fwise64.dll missing", kUninstall, true, false, {0}, false, true,
         {kClose, kUnnotice32, kUnrun32, kUninstalled, kUnnotice64, kMissing64, kStart}},
        // The elevation prompt declined: no process, so the failure and no wait.
        {"install, regsvr32 not started", kInstall, true, false, {-1}, false, false, {kNotice32, kRun32, kInstallFailed}},
        {"uninstall with cbDelReg, regsvr32 not started: settings stay", kUninstall, false, true, {-1}, false, false,
         {kClose, kUnrun32, kUninstallFailed, kStart}},
    };
    for (const Row& row : rows) {
        FakeSide side;
        side.is64 = row.is64;
        side.delReg = row.delReg;
        side.exits.assign(row.exits.begin(), row.exits.end());
        if (row.dll32Missing) side.files.erase(u"C:\\Program Files\\Folderwise\\Fwise.dll");
        if (row.dll64Missing) side.files.erase(u"C:\\Program Files\\Folderwise\\Fwise64.dll");
        OnSetupDll(side, row.action);
        EXPECT_EQ(Join(side.log), Join(row.expected)) << row.name;
        EXPECT_TRUE(side.exits.empty()) << row.name << ": runs left over";
    }
}

TEST_F(Setup, RunRegsvr32Results) {
    struct R {
        bool install;
        int exit;
        bool expected;
    } rows[] = {{true, 0, true}, {true, 5, false}, {true, 1, false}, {false, 0, true},
                {false, 5, false}, {false, 3, false}, {true, -1, false}, {false, -1, false}};
    for (const R& r : rows) {
        FakeSide side;
        side.exits = {r.exit};
        EXPECT_EQ(RunRegsvr32(side, u"C:\\Program Files\\Folderwise\\Fwise.dll", r.install, false), r.expected)
            << "install " << r.install << " exit " << r.exit;
    }
}

TEST_F(Setup, UninstallRemovesTheStoreEvenWhenRegsvr32Fails) {
    WriteSettingDword(kUseDefault, 1);
    FakeSide side;
    side.delReg = true;
    side.exits = {3};
    OnSetupDll(side, kUninstall);
    uint32_t size = 0;
    EXPECT_EQ(QueryRegValue(RegRoot::CurrentUser, kSettingsKey, kUseDefault, nullptr, &size, nullptr), RegQuery::Failed);

    WriteSettingDword(kUseDefault, 1);
    FakeSide install;
    install.delReg = true;
    OnSetupDll(install, kInstall);
    EXPECT_EQ(ReadSettingDword(kUseDefault, 0), 1u) << "an installation keeps the settings";
}

TEST_F(Setup, NotFoundTextFollowsThePathDirectly) {
    FakeSide side;
    side.program = u"C:\\Tools\\Fwise.exe";
    side.files.clear();
    OnSetupDll(side, kInstall);
    ASSERT_EQ(side.log.size(), 1u);
    EXPECT_EQ(side.log[0], "error: C:\\Tools\\Fwise.dllnot found");
}

TEST_F(Setup, ProgramWithoutFolderRunsNothing) {
    FakeSide side;
    side.program = u"Fwise.exe";
    side.files = {u"Fwise.dll", u"\\Fwise.dll"};
    OnSetupDll(side, kInstall);
    EXPECT_EQ(Join(side.log), "error: Fwise.dllnot found\n");
}

TEST(SetupPaths, Regsvr32Params) {
    char16_t out[kRegsvrParamChars];
    ASSERT_TRUE(BuildRegsvr32Params(out, kRegsvrParamChars, u"C:\\Tools\\Fwise.dll", true));
    EXPECT_EQ(Utf8(out), "/s \"C:\\Tools\\Fwise.dll\"");
    ASSERT_TRUE(BuildRegsvr32Params(out, kRegsvrParamChars, u"C:\\Tools\\Fwise.dll", false));
    EXPECT_EQ(Utf8(out), "/s /u \"C:\\Tools\\Fwise.dll\"");
    char16_t small[10];
    EXPECT_FALSE(BuildRegsvr32Params(small, 10, u"C:\\Tools\\Fwise.dll", true));
    EXPECT_EQ(small[0], 0);
}

TEST(SetupPaths, SiblingAndHelpPaths) {
    struct R {
        const char16_t* program;
        const char* regTool;  // "" when nothing is to be started
        const char* help;
    } rows[] = {
        {u"C:\\Tools\\Fwise.exe", "C:\\Tools\\FwReg.exe", "C:\\Tools\\Fwise.chm"},
        {u"C:\\Tools\\Settings.exe", "C:\\Tools\\FwReg.exe", "C:\\Tools\\Settings.chm"},
        {u"C:\\my.tools\\Fwise", "C:\\my.tools\\FwReg.exe", "C:\\my.tools\\Fwise.chm"},
        {u"C:\\Fwise_JPN.exe", "C:\\FwReg.exe", "C:\\Fwise_JPN.chm"},
        {u"Fwise.exe", "", "Fwise.chm"},
    };
    for (const R& r : rows) {
        char16_t out[kSetupPathChars];
        SiblingPath(out, kSetupPathChars, r.program, u"FwReg.exe");
        EXPECT_EQ(Utf8(out), r.regTool) << Utf8(r.program);
        HelpFilePath(out, kSetupPathChars, r.program);
        EXPECT_EQ(Utf8(out), r.help) << Utf8(r.program);
    }
    // A path that leaves no room for the name gives nothing, never a cut one.
    std::u16string longDir = u"C:\\" + Repeat(u'a', kPathChars - 8) + u"\\Fwise.exe";
    char16_t out[kPathChars];
    EXPECT_FALSE(SiblingPath(out, kPathChars, longDir.c_str(), u"Fwise64.dll"));
    EXPECT_EQ(out[0], 0);
}

TEST(SetupPaths, AboutShiftTruncatesTowardZero) {
    struct R {
        int32_t width, expected;
    } rows[] = {{616, 0}, {716, 50}, {717, 50}, {613, -1}, {612, -2}, {615, 0}};
    for (const R& r : rows) EXPECT_EQ(AboutShift(r.width, 616), r.expected) << "width " << r.width;
}

}  // namespace
}  // namespace fw::test
