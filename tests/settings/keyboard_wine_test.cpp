// Fwise.exe from the keyboard alone, in both language builds: every key a
// person presses goes through SendInput, nothing is clicked and no message
// is sent to a window; the registry is checked at the end.
#include "fwise_ui.h"
#include "person.h"
#include "store_util.h"
#include <algorithm>

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
    // The dialog shows first and then takes the focus: a moment to settle.
    for (int waited = 0; waited < 2000 && FocusOf(dlg) != edits[0]; waited += 100) Sleep(100);
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

        ExpectStoredRules({{2, u"example.org/music/", u"C:\\Music"}, {0, u"report", u"C:\\Reports"}});
        EXPECT_EQ(ReadSettingDword(kUseDefault, 9), 1u);
        EXPECT_EQ(Utf8(Stored(kDefaultFolder)), "C:\\Downloads");
        EXPECT_EQ(ReadSettingDword(kParseUrl, 9), 1u) << "Alt+P";

        Key(VK_ESCAPE);  // Cancel: nothing unsaved, so it just closes
        EXPECT_EQ(app.WaitExit(), 0);
    }
}


// What the person can reach on the page shown: every visible, enabled tab
// stop of the main window.
std::vector<HWND> Reachable(HWND main) {
    std::vector<HWND> out;
    for (HWND h = GetWindow(main, GW_CHILD); h;) {
        LONG style = GetWindowLongW(h, GWL_STYLE);
        if ((style & WS_TABSTOP) && IsWindowVisible(h) && IsWindowEnabled(h)) out.push_back(h);
        // Depth first through the window tree.
        HWND next = GetWindow(h, GW_CHILD);
        if (!next || !IsWindowVisible(h)) {
            next = GetWindow(h, GW_HWNDNEXT);
            for (HWND up = h; !next && up != main;) {
                up = GetParent(up);
                if (up == main) break;
                next = GetWindow(up, GW_HWNDNEXT);
            }
        }
        h = next;
    }
    return out;
}

// On every page Tab goes once round every control of the page and the
// bottom buttons, and Shift+Tab goes the same round backwards.
TEST_F(Keyboard, TabReachesEveryControlOfEachPageBothWays) {
    for (const Build& b : kBuilds) {
        SCOPED_TRACE(b.name);
        Fwise app(b.exe);
        ASSERT_TRUE(app.Main());
        HWND main = app.Main();
        for (int page = 0; page < 4; ++page) {
            if (page) CtrlTab();
            std::vector<HWND> forward = TabRound(main, false);
            forward.insert(forward.begin(), FocusOf(main));
            std::vector<HWND> backward = TabRound(main, true);
            backward.insert(backward.begin(), FocusOf(main));
            std::vector<HWND> reachable = Reachable(main);
            EXPECT_EQ(forward.size(), reachable.size()) << "page " << page;
            for (HWND h : reachable)
                EXPECT_NE(std::find(forward.begin(), forward.end(), h), forward.end())
                    << "page " << page << ": Tab never reaches " << Narrow(ClassOf(h)) << " " << Narrow(Text(h));
            // The backward round, read from its end, is the forward one.
            ASSERT_EQ(backward.size(), forward.size()) << "page " << page;
            for (size_t i = 1; i < forward.size(); ++i)
                EXPECT_EQ(backward[backward.size() - i], forward[i]) << "page " << page << ", stop " << i;
        }
        Key(VK_ESCAPE);
        EXPECT_EQ(app.WaitExit(), 0);
    }
}

// A system dialog of the program (folder picker, message box) that came up.
HWND WaitSystemDialog(DWORD pid, int ms = 3000) { return WaitWindow(pid, L"#32770", ms); }

// Closes a system dialog with Esc. Under Wine without a window manager a
// new dialog may take a moment to get the keyboard, and the owner does not
// get it back when the dialog closes (Windows gives it back by itself).
bool CloseWithEscape(HWND dialog, HWND owner) {
    if (!dialog) return true;
    for (int tries = 0; tries < 5 && IsWindow(dialog) && IsWindowVisible(dialog); ++tries) {
        Sleep(400);
        SetForegroundWindow(dialog);
        Key(VK_ESCAPE);
    }
    bool gone = WaitGone(dialog, 1000);
    SetForegroundWindow(owner);
    Sleep(300);
    return gone;
}

bool Checked(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// The mnemonics of the check boxes, and F4 in both folder boxes. (Alt+I and
// Alt+U would install and uninstall, Alt+F opens the font dialog: the
// keyboard-only run and the Setup test cover buttons.)
TEST_F(Keyboard, MnemonicsAndTheFolderKey) {
    for (const Build& b : kBuilds) {
        SCOPED_TRACE(b.name);
        DeleteSettings();
        Fwise app(b.exe);
        ASSERT_TRUE(app.Main());
        HWND main = app.Main();
        std::vector<HWND> checks;
        for (HWND h : Children(main, L"Button"))
            if ((GetWindowLongW(h, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX) checks.push_back(h);
        ASSERT_EQ(checks.size(), 4u) << "use default, parse URLs, the server's file name, remove options";
        HWND dlg = nullptr;
        CtrlTab();
        struct Row {
            char letter;
            HWND box;
        } rows[] = {{'D', checks[0]}, {'P', checks[1]}};
        for (const Row& r : rows) {
            bool before = Checked(r.box);
            Alt(r.letter);
            EXPECT_NE(Checked(r.box), before) << "Alt+" << r.letter;
        }
        Alt('D');  // back off: the default folder box is enabled again below
        if (!Checked(checks[0])) Alt('D');
        // F4 in the default folder box.
        auto edits = Children(main, L"Edit");
        ASSERT_GE(TabTo(main, edits[0], false, 12), 0)
            << "Tab never reaches the default folder box; the focus is on " << Narrow(ClassOf(FocusOf(main))) << " "
            << Narrow(Text(FocusOf(main)));
        Key(VK_F4);
        HWND picker = WaitSystemDialog(app.Pid());
        EXPECT_TRUE(picker) << "F4 opens no folder picker";
        EXPECT_TRUE(CloseWithEscape(picker, dlg ? dlg : main)) << "Esc did not close the folder picker";
        CtrlTab();
        bool before = Checked(checks[3]);
        Alt('R');
        EXPECT_NE(Checked(checks[3]), before) << "Alt+R";
        // F4 in the rule dialog's folder box.
        CtrlTab();
        CtrlTab();
        ASSERT_GE(TabTo(main, app.List()), 0);
        Keys({VK_INSERT}, 500);
        dlg = WaitWindow(app.Pid(), L"TRuleDlgBox", 3000);
        ASSERT_TRUE(dlg);
        Tab();
        Key(VK_F4);
        picker = WaitSystemDialog(app.Pid());
        EXPECT_TRUE(picker) << "F4 in the rule dialog opens no folder picker";
        EXPECT_TRUE(CloseWithEscape(picker, dlg ? dlg : main)) << "Esc did not close the folder picker";
        Key(VK_ESCAPE);
        EXPECT_TRUE(WaitGone(dlg));
        Key(VK_ESCAPE);  // changed options: closing asks, Cancel first
        HWND ask = WaitSystemDialog(app.Pid());
        EXPECT_TRUE(ask) << "closing with changes did not ask";
        if (ask) {
            Sleep(400);
            SetForegroundWindow(ask);
            ShiftTab();  // to OK: discard and close
            Key(VK_SPACE);
        }
        EXPECT_EQ(app.WaitExit(), 0);
    }
}

}  // namespace
}  // namespace fw::test
