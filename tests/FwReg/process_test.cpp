// FwReg.exe as a real process under Wine: the single-instance rule, the
// gates, the hidden window and how the process ends.
#include "regtool_test_win.h"

namespace fw::test {
namespace {

constexpr DWORD kStartMs = 15000;
const wchar_t* const kWineKey = L"Software\\Wine";

class RegToolProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(RegToolWindows().empty()) << "a RegTool from elsewhere is running";
        AllowRegTool();
    }
    void TearDown() override { EXPECT_TRUE(RegToolWindows().empty()) << "a RegTool was left running"; }

    ValueSnapshot lua_{HKEY_LOCAL_MACHINE, W(kPolicySystemKey), L"EnableLUA"};
    ValueSnapshot consent_{HKEY_LOCAL_MACHINE, W(kPolicySystemKey), W(kConsentPromptValue)};
    ValueSnapshot version_{HKEY_CURRENT_USER, kWineKey, L"Version"};
};

TEST_F(RegToolProcessTest, SecondCopyEndsAtOnceAndTheFirstGoesOn) {
    RegToolProcess first, second;
    ASSERT_TRUE(first.Start());
    HWND window = first.WaitWindow(kStartMs);
    ASSERT_NE(window, nullptr);

    ASSERT_TRUE(second.Start());
    EXPECT_EQ(second.WaitExit(kStartMs), 1u) << "exit code of the second copy";
    std::vector<HWND> windows = RegToolWindows();
    ASSERT_EQ(windows.size(), 1u) << "RegTool windows after the second copy ended";
    EXPECT_EQ(windows[0], window);
    EXPECT_EQ(FindWindowW(W(kRegToolClass), W(kRegToolTitle)), window);
    DWORD_PTR answer = 7;
    EXPECT_NE(SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer), 0)
        << "the first copy no longer answers";

    CloseRegTool(first, window, "first copy");
    // The mutex went with the first copy: a new one runs again.
    RegToolProcess third;
    ASSERT_TRUE(third.Start());
    HWND again = third.WaitWindow(kStartMs);
    ASSERT_NE(again, nullptr) << "no RegTool after the first one ended";
    CloseRegTool(third, again, "third copy");
}

struct GateRow {
    const char* label;
    bool policyKey;     // false: the whole Policies\System key is gone
    DWORD type;         // REG_NONE: no ConsentPromptBehaviorAdmin value
    std::vector<BYTE> data;
    const wchar_t* wineVersion;  // the Windows version the prefix reports, null: its default
    bool runs;
};

TEST_F(RegToolProcessTest, RunsOnlyOnVersion6WithTheConsentPromptOn) {
    const GateRow rows[] = {
        {"consent 0", true, REG_DWORD, {0, 0, 0, 0}, nullptr, false},
        {"consent value missing", true, REG_NONE, {}, nullptr, false},
        {"Policies\\System key missing", false, REG_NONE, {}, nullptr, false},
        {"consent 1", true, REG_DWORD, {1, 0, 0, 0}, nullptr, true},
        {"consent 2", true, REG_DWORD, {2, 0, 0, 0}, nullptr, true},
        {"consent 5", true, REG_DWORD, {5, 0, 0, 0}, nullptr, true},
        {"consent 0x100 (only a higher byte set)", true, REG_DWORD, {0, 1, 0, 0}, nullptr, true},
        {"consent of another type, 4 bytes not 0", true, REG_BINARY, {3, 0, 0, 0}, nullptr, true},
        {"consent wider than 4 bytes (REG_QWORD 1)", true, REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, nullptr, false},
        {"Windows XP, consent 1", true, REG_DWORD, {1, 0, 0, 0}, L"winxp", false},
        {"Windows 7, consent 1", true, REG_DWORD, {1, 0, 0, 0}, L"win7", true},
        {"Windows 10, consent 1", true, REG_DWORD, {1, 0, 0, 0}, L"win10", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        SHDeleteKeyW(HKEY_LOCAL_MACHINE, W(kPolicySystemKey));
        if (row.policyKey) PutDword(HKEY_LOCAL_MACHINE, W(kPolicySystemKey), L"EnableLUA", 0);
        if (row.type != REG_NONE)
            PutValue(HKEY_LOCAL_MACHINE, W(kPolicySystemKey), W(kConsentPromptValue), row.type, row.data.data(),
                     static_cast<DWORD>(row.data.size()));
        if (row.wineVersion) PutString(HKEY_CURRENT_USER, kWineKey, L"Version", row.wineVersion);
        else SHDeleteValueW(HKEY_CURRENT_USER, kWineKey, L"Version");

        RegToolProcess tool;
        ASSERT_TRUE(tool.Start());
        if (row.runs) {
            HWND window = tool.WaitWindow(kStartMs);
            ASSERT_NE(window, nullptr) << row.label << ": no window, exit code " << tool.WaitExit(0);
            CloseRegTool(tool, window, row.label);
        } else {
            EXPECT_EQ(tool.WaitExit(kStartMs), 1u) << row.label << ": exit code";
            EXPECT_TRUE(RegToolWindows().empty()) << row.label << ": a window was left";
        }
    }
}

TEST_F(RegToolProcessTest, WindowIsAHiddenZeroSizedToolWindow) {
    RegToolProcess tool;
    ASSERT_TRUE(tool.Start());
    HWND window = tool.WaitWindow(kStartMs);
    ASSERT_NE(window, nullptr);

    EXPECT_EQ(GetClassLongW(window, GCL_STYLE), 0x000Bu) << "class style";
    EXPECT_EQ(GetClassLongW(window, GCL_CBWNDEXTRA), 4u) << "window extra bytes";
    EXPECT_EQ(GetClassLongW(window, GCL_CBCLSEXTRA), 0u) << "class extra bytes";
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)), 0x00000088u) << "extended style";
    DWORD style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    EXPECT_TRUE(style & WS_POPUP) << std::hex << "style " << style;
    EXPECT_FALSE(style & (WS_VISIBLE | WS_CHILD | WS_CAPTION | WS_BORDER)) << std::hex << "style " << style;
    EXPECT_EQ(GetParent(window), nullptr);
    EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);
    RECT r = {1, 1, 1, 1};
    ASSERT_TRUE(GetWindowRect(window, &r));
    EXPECT_TRUE(r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0)
        << "rect " << r.left << "," << r.top << " - " << r.right << "," << r.bottom;

    // Still hidden once it has handled messages.
    SendMessageTimeoutW(window, WM_APPLY_FOLDER, 0, 0, SMTO_NORMAL, 5000, nullptr);
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, nullptr);
    EXPECT_FALSE(IsWindowVisible(window));
    CloseRegTool(tool, window, "window");
}

// The query only asks: another program may still cancel the logoff, and
// then the RegTool must still be there.
TEST_F(RegToolProcessTest, EndOfSessionIsAllowedButEndsTheProcessOnlyWhenItComes) {
    RegToolProcess tool;
    ASSERT_TRUE(tool.Start());
    HWND window = tool.WaitWindow(kStartMs);
    ASSERT_NE(window, nullptr);
    DWORD_PTR answer = 0;
    ASSERT_NE(SendMessageTimeoutW(window, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 5000, &answer), 0);
    EXPECT_EQ(answer, 1u) << "WM_QUERYENDSESSION answer";
    EXPECT_EQ(tool.WaitExit(300), static_cast<DWORD>(STILL_ACTIVE)) << "ended on the query alone";
    // Cancelled by someone else.
    ASSERT_NE(SendMessageTimeoutW(window, WM_ENDSESSION, FALSE, 0, SMTO_NORMAL, 5000, &answer), 0);
    EXPECT_EQ(tool.WaitExit(300), static_cast<DWORD>(STILL_ACTIVE)) << "ended on a cancelled logoff";
    EXPECT_TRUE(IsWindow(window));
    ASSERT_NE(SendMessageTimeoutW(window, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 5000, &answer), 0);
    EXPECT_EQ(tool.WaitExit(10000), 0u) << "exit code after WM_ENDSESSION";
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(RegToolProcessTest, CommandLineChangesNothing) {
    const wchar_t* const lines[] = {L"/close", L"/u /s", L"-apply \"C:\\Music\"", L"x y z"};
    for (const wchar_t* line : lines) {
        std::string label(line, line + lstrlenW(line));
        RegToolProcess tool;
        ASSERT_TRUE(tool.Start(line));
        HWND window = tool.WaitWindow(kStartMs);
        ASSERT_NE(window, nullptr) << label << ": no window, exit code " << tool.WaitExit(0);
        // A second copy with the same line still yields to the first.
        RegToolProcess second;
        ASSERT_TRUE(second.Start(line));
        EXPECT_EQ(second.WaitExit(kStartMs), 1u) << label << ": second copy";
        CloseRegTool(tool, window, label.c_str());
    }
}

}  // namespace
}  // namespace fw::test
