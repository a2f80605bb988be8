// Fwise.exe from the keyboard alone, in both language builds: every key a
// person presses goes through SendInput, nothing is clicked and no message
// is sent to a window; the registry is checked at the end.
#include "fwise_ui.h"
#include "person.h"
#include "store_util.h"

namespace fw::test {
namespace {

using namespace person;

struct Build {
    const wchar_t* exe;
    const char* name;
};
const Build kBuilds[] = {{L"Fwise.exe", "English"}, {L"Fwise_JPN.exe", "Japanese"}};

// The window with the keyboard focus in the program's thread.
HWND FocusOf(HWND window) {
    GUITHREADINFO gti = {};
    gti.cbSize = sizeof gti;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gti);
    return gti.hwndFocus;
}

// Presses Tab (or Shift+Tab) until `target` has the focus; how many presses
// that took, or -1 when it never came within `most`.
int TabTo(HWND window, HWND target, bool back = false, int most = 20) {
    for (int n = 0; n <= most; ++n) {
        if (FocusOf(window) == target) return n;
        back ? ShiftTab() : Tab();
    }
    return -1;
}

// Every window the person reaches with Tab from the one that has the
// focus, once round.
std::vector<HWND> TabRound(HWND window, bool back) {
    std::vector<HWND> seen;
    HWND first = FocusOf(window);
    for (int n = 0; n < 40; ++n) {
        back ? ShiftTab() : Tab();
        HWND f = FocusOf(window);
        if (f == first || !f) break;
        seen.push_back(f);
    }
    return seen;
}

std::u16string Stored(const char16_t* name) {
    char16_t buf[kRuleChars];
    ReadSettingString(name, u"<missing>", buf, sizeof buf);
    return buf;
}

// Adds a rule through its dialog: the dialog opens on `opener`, the rule
// box has the focus, Tab leads to the folder box, Enter is OK.
void AddRule(Fwise& app, std::initializer_list<WORD> opener, const wchar_t* rule, const wchar_t* folder) {
    Keys(opener, 500);
    HWND dlg = WaitWindow(app.Pid(), L"TRuleDlgBox", 3000);
    ASSERT_TRUE(dlg) << "no rule dialog for " << Narrow(rule);
    auto edits = Children(dlg, L"Edit");
    ASSERT_EQ(edits.size(), 2u);
    EXPECT_EQ(FocusOf(dlg), edits[0]) << "the rule box has the focus";
    Type(rule);
    EXPECT_GE(TabTo(dlg, edits[1], false, 3), 0) << "Tab reaches the folder box";
    Type(folder);
    Key(VK_RETURN);
    ASSERT_TRUE(WaitGone(dlg)) << "Enter did not close the dialog";
    Sleep(200);
}

class Keyboard : public StoreTest {};

// From the start a keyboard user reaches the rule list, adds one rule of
// each kind, reorders, deletes, switches to General and sets the options,
// and applies: the registry holds exactly that.
TEST_F(Keyboard, KeyboardOnlyRun) {
    for (const Build& b : kBuilds) {
        SCOPED_TRACE(b.name);
        DeleteSettings();
        WriteSettingDword(kParseUrl, 0);
        Fwise app(b.exe);
        ASSERT_TRUE(app.Main());
        HWND main = app.Main();
        ASSERT_GE(TabTo(main, app.List()), 0) << "Tab never reaches the rule list";

        AddRule(app, {VK_INSERT}, L".pdf", L"C:\\Papers");
        AddRule(app, {VK_CONTROL, 'I'}, L"report", L"C:\\Reports");
        AddRule(app, {VK_CONTROL, 'U'}, L"example.org/music/", L"C:\\Music");
        ASSERT_EQ(app.Rows(), 3);
        EXPECT_EQ(app.Selected(), 2) << "the new rule is selected";
        EXPECT_EQ(FocusOf(main), app.List()) << "the list has the focus again";

        // The new row carries the focus mark too: Up goes to the row above it.
        Key(VK_UP);
        EXPECT_EQ(app.Selected(), 1) << "Up from the new rule";
        Key(VK_DOWN);
        EXPECT_EQ(app.Selected(), 2) << "Down back to it";
        Ctrl(VK_UP);
        Ctrl(VK_UP);
        EXPECT_EQ(app.Selected(), 0) << "Ctrl+Up twice raises the URL rule to the top";
        Key(VK_DOWN);
        Key(VK_DELETE);  // the .pdf rule, now second
        ASSERT_EQ(app.Rows(), 2);

        // General: the focus goes into the page that is shown, and a Delete
        // there reaches no hidden rule.
        CtrlTab();
        HWND useDefault = Children(main, L"Button")[0];
        for (HWND h : Children(main, L"Button"))
            if ((GetWindowLongW(h, GWL_STYLE) & 0xF) == BS_AUTOCHECKBOX && IsWindowVisible(h)) {
                useDefault = h;
                break;
            }
        EXPECT_NE(FocusOf(main), app.List()) << "the focus stayed on the hidden list";
        EXPECT_TRUE(IsChild(GetParent(useDefault), FocusOf(main))) << "the focus is not on the General page";
        Key(VK_DELETE);
        EXPECT_EQ(app.Rows(), 2) << "Delete on the General page deleted a rule";
        ASSERT_GE(TabTo(main, useDefault, false, 12), 0) << "Tab never reaches the check box";
        Key(VK_SPACE);
        Tab();
        Type(L"C:\\Downloads");
        Alt('P');  // the mnemonic of "Parse redirect URLs ..."
        // Round to Apply and press it.
        HWND apply = nullptr;
        for (HWND h : Children(main, L"Button"))
            if (Text(h) == L"Apply" || Text(h) == L"更新") apply = h;
        ASSERT_TRUE(apply);
        ASSERT_GE(TabTo(main, apply, false, 12), 0) << "Tab never reaches Apply";
        Key(VK_SPACE);
        Sleep(300);

        EXPECT_EQ(ReadSettingDword(kNum, 0), 2u);
        struct Row {
            uint32_t type;
            const char16_t* rule;
            const char16_t* folder;
        } expected[] = {{2, u"example.org/music/", u"C:\\Music"}, {0, u"report", u"C:\\Reports"}};
        char16_t name[kValueNameChars];
        for (int i = 0; i < 2; ++i) {
            RuleValueName(name, kValueNameChars, i, kTypeSuffix);
            EXPECT_EQ(ReadSettingDword(name, 99), expected[i].type) << "rule " << i;
            RuleValueName(name, kValueNameChars, i, kRuleSuffix);
            EXPECT_EQ(Utf8(Stored(name)), Utf8(expected[i].rule)) << "rule " << i;
            RuleValueName(name, kValueNameChars, i, kFolderSuffix);
            EXPECT_EQ(Utf8(Stored(name)), Utf8(expected[i].folder)) << "rule " << i;
        }
        EXPECT_EQ(ReadSettingDword(kUseDefault, 9), 1u);
        EXPECT_EQ(Utf8(Stored(kDefaultFolder)), "C:\\Downloads");
        EXPECT_EQ(ReadSettingDword(kParseUrl, 9), 1u) << "Alt+P";

        Key(VK_ESCAPE);  // Cancel: nothing unsaved, so it just closes
        EXPECT_EQ(app.WaitExit(), 0);
    }
}

}  // namespace
}  // namespace fw::test
