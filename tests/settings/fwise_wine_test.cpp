// Fwise.exe itself, started on a prepared store and driven from outside with
// window messages and real keyboard input, the way a user would; the
// registry is checked afterwards.
#include "fwise_ui.h"
#include "store_util.h"
#include "texts.h"
#include "win.h"
#include <commctrl.h>
#include <sddl.h>
#include <cstdio>
#include <string>
#include <vector>

namespace fw::test {
namespace {

std::u16string Stored(const char16_t* name) {
    char16_t buf[kRuleChars];
    ReadSettingString(name, u"<missing>", buf, sizeof buf);
    return buf;
}

class FwiseProgram : public StoreTest {};

TEST_F(FwiseProgram, AddMoveDeleteApply) {
    WriteRules({{0, u"setup", u"C:\\Setup"}, {2, u"example.org/music/", u"C:\\Music"}, {7, u"odd", u"C:\\Odd"}});
    Fwise app;
    ASSERT_TRUE(app.Main()) << "no main window";
    const TextSet& t = Texts();
    ASSERT_EQ(app.Rows(), 3);
    EXPECT_EQ(app.Selected(), -1);
    EXPECT_FALSE(IsWindowEnabled(app.Button(t.hintDelete))) << "Delete starts disabled";

    // Add a rule through the dialog; OK only once both boxes hold text.
    PostMessageW(app.Button(t.hintAddByName), BM_CLICK, 0, 0);
    HWND dlg = WaitWindow(app.Pid(), L"TRuleDlgBox");
    ASSERT_TRUE(dlg) << "no rule dialog";
    EXPECT_EQ(Narrow(Text(dlg)), Utf8(t.ruleCaption));
    // The dialog can be widened, but not made taller or narrower.
    RECT r0;
    GetWindowRect(dlg, &r0);
    int w0 = r0.right - r0.left, h0 = r0.bottom - r0.top;
    struct Size {
        int w, h, gotW, gotH;
    } sizes[] = {{w0 - 100, h0 - 50, w0, h0}, {w0 + 120, h0 + 80, w0 + 120, h0}, {w0 + 10, h0, w0 + 10, h0}};
    for (const auto& sz : sizes) {
        SetWindowPos(dlg, nullptr, 0, 0, sz.w, sz.h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT r;
        GetWindowRect(dlg, &r);
        EXPECT_EQ(r.right - r.left, sz.gotW) << "dialog asked for " << sz.w << "x" << sz.h;
        EXPECT_EQ(r.bottom - r.top, sz.gotH) << "dialog asked for " << sz.w << "x" << sz.h;
    }
    auto edits = Children(dlg, L"Edit");
    ASSERT_EQ(edits.size(), 2u);
    HWND ok = Child(dlg, L"Button", t.btnOK);
    ASSERT_TRUE(ok);
    EXPECT_FALSE(IsWindowEnabled(ok));
    SendMessageW(edits[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L".pdf"));
    EXPECT_FALSE(IsWindowEnabled(ok)) << "folder still empty";
    SendMessageW(edits[1], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"C:\\Papers"));
    EXPECT_TRUE(IsWindowEnabled(ok));
    PostMessageW(ok, BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitGone(dlg));
    Sleep(200);
    ASSERT_EQ(app.Rows(), 4);
    EXPECT_EQ(app.Selected(), 3) << "the new rule is selected at the end";
    EXPECT_TRUE(IsWindowEnabled(app.Button(t.hintDelete)));

    // Ctrl+Up raises it one place; Home then Delete removes the first rule.
    SetForegroundWindow(app.Main());
    Press({VK_CONTROL, VK_UP});
    EXPECT_EQ(app.Selected(), 2) << "Ctrl+Up";
    Press({VK_HOME});
    EXPECT_EQ(app.Selected(), 0) << "Home";
    Press({VK_DELETE});
    EXPECT_EQ(app.Rows(), 3) << "Delete";
    EXPECT_EQ(app.Selected(), 0) << "the next rule moves up into the selection";

    SendMessageW(app.Button(t.btnApply), BM_CLICK, 0, 0);
    ExpectStoredRules({{2, u"example.org/music/", u"C:\\Music"}, {1, u".pdf", u"C:\\Papers"}, {7, u"odd", u"C:\\Odd"}});
    EXPECT_EQ(Utf8(Stored(u"0003Rule")), "<missing>");
    EXPECT_EQ(Utf8(Stored(kGuiFontFace)), "Arial");
    EXPECT_EQ(ReadSettingDword(kGuiCharSet, 99), 1u);

    // Saved: closing asks nothing and the program ends with 0.
    PostMessageW(app.Main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app.WaitExit(), 0);
}

// Enter on a rule opens the dialog with the row's texts in its boxes; what OK
// gives back replaces the row, and the stored type keeps the dialog's kind.
TEST_F(FwiseProgram, EditThroughTheDialog) {
    WriteRules({{0, u"setup", u"C:\\Setup"}, {2, u"example.org/music/", u"C:\\Music"}});
    Fwise app;
    ASSERT_TRUE(app.Main());
    const TextSet& t = Texts();
    struct Row {
        int row;
        const wchar_t* rule;
        const wchar_t* folder;
        const wchar_t* newRule;
        uint32_t type;  // stored after OK
    } rows[] = {{0, L"setup", L"C:\\Setup", L".exe", 1}, {1, L"example.org/music/", L"C:\\Music", L".mp3", 2}};
    RECT list;
    GetWindowRect(app.List(), &list);
    ClickAt(list.left + 60, list.top + 30);  // the first row
    for (const Row& r : rows) {
        while (app.Selected() < r.row) Press({VK_DOWN});
        ASSERT_EQ(app.Selected(), r.row);
        Press({VK_RETURN});
        HWND dlg = WaitWindow(app.Pid(), L"TRuleDlgBox");
        ASSERT_TRUE(dlg) << "row " << r.row << ": no rule dialog";
        auto edits = Children(dlg, L"Edit");
        ASSERT_EQ(edits.size(), 2u);
        // An edit box's text lives in the control: ask it, the caption is stale.
        wchar_t rule[64] = {}, folder[64] = {};
        SendMessageW(edits[0], WM_GETTEXT, 64, reinterpret_cast<LPARAM>(rule));
        SendMessageW(edits[1], WM_GETTEXT, 64, reinterpret_cast<LPARAM>(folder));
        EXPECT_EQ(Narrow(rule), Narrow(r.rule)) << "row " << r.row;
        EXPECT_EQ(Narrow(folder), Narrow(r.folder)) << "row " << r.row;
        HWND ok = Child(dlg, L"Button", t.btnOK);
        EXPECT_TRUE(IsWindowEnabled(ok)) << "row " << r.row << ": both boxes hold text";
        SendMessageW(edits[0], WM_SETTEXT, 0, reinterpret_cast<LPARAM>(r.newRule));
        PostMessageW(ok, BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitGone(dlg));
        Sleep(200);
    }
    SendMessageW(app.Button(t.btnApply), BM_CLICK, 0, 0);
    EXPECT_EQ(Utf8(Stored(u"0000Rule")), ".exe");
    EXPECT_EQ(ReadSettingDword(u"0000Type", 99), 1u) << "a name rule edited into .exe";
    EXPECT_EQ(Utf8(Stored(u"0001Rule")), ".mp3");
    EXPECT_EQ(ReadSettingDword(u"0001Type", 99), 2u) << "a URL rule stays one";
    EXPECT_EQ(Utf8(Stored(u"0001Folder")), "C:\\Music");
    PostMessageW(app.Main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app.WaitExit(), 0);
}

TEST_F(FwiseProgram, ResizeKeepsTheMinimumAndTheButtonsRight) {
    Fwise app;
    ASSERT_TRUE(app.Main());
    RECT client;
    GetClientRect(app.Main(), &client);
    EXPECT_EQ(client.right, 624);
    EXPECT_EQ(client.bottom, 432);
    RECT r0;
    GetWindowRect(app.Main(), &r0);
    int w0 = r0.right - r0.left, h0 = r0.bottom - r0.top;
    struct Size {
        int w, h, gotW, gotH;
    } sizes[] = {{w0 - 200, h0 - 100, w0, h0}, {w0 + 100, h0 - 100, w0 + 100, h0}, {w0 + 150, h0 + 60, w0 + 150, h0 + 60}};
    for (const auto& sz : sizes) {
        SetWindowPos(app.Main(), nullptr, 0, 0, sz.w, sz.h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT r;
        GetWindowRect(app.Main(), &r);
        EXPECT_EQ(r.right - r.left, sz.gotW) << "asked for " << sz.w << "x" << sz.h;
        EXPECT_EQ(r.bottom - r.top, sz.gotH) << "asked for " << sz.w << "x" << sz.h;
        // Every bottom button keeps its distance from the right edge.
        GetClientRect(app.Main(), &client);
        for (const char16_t* caption : {Texts().btnApply, Texts().btnHelp}) {
            RECT b;
            GetWindowRect(app.Button(caption), &b);
            MapWindowPoints(nullptr, app.Main(), reinterpret_cast<POINT*>(&b), 2);
            int expected = TextEqual(caption, Texts().btnApply) ? 8 : 624 - 98;
            EXPECT_EQ(client.right - b.right, expected) << Utf8(caption) << " at " << sz.w << "x" << sz.h;
        }
    }
    PostMessageW(app.Main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app.WaitExit(), 0);
}

TEST_F(FwiseProgram, CloseAsksOnlyWithUnsavedChanges) {
    const TextSet& t = Texts();
    {
        Fwise app;
        ASSERT_TRUE(app.Main());
        PostMessageW(app.Main(), WM_CLOSE, 0, 0);
        EXPECT_EQ(app.WaitExit(), 0) << "no change, no question";
    }
    Fwise app;
    ASSERT_TRUE(app.Main());
    HWND useDefault = app.Button(t.cbUseDefault);
    ASSERT_TRUE(useDefault);
    SendMessageW(useDefault, BM_CLICK, 0, 0);
    PostMessageW(app.Main(), WM_CLOSE, 0, 0);
    HWND box = WaitWindow(app.Pid(), L"#32770");
    ASSERT_TRUE(box) << "no question";
    EXPECT_EQ(Narrow(Text(box)), Utf8(t.caption));
    EXPECT_EQ(Narrow(BoxText(box)), Utf8(t.closeQuestion));
    PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitGone(box));
    EXPECT_EQ(app.WaitExit(500), -1) << "Cancel keeps the window";
    EXPECT_EQ(SendMessageW(useDefault, BM_GETCHECK, 0, 0), BST_CHECKED) << "with the edit intact";

    PostMessageW(app.Main(), WM_CLOSE, 0, 0);
    box = WaitWindow(app.Pid(), L"#32770");
    ASSERT_TRUE(box);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(app.WaitExit(), 0);
    EXPECT_FALSE(ReadSettingDword(kUseDefault, 0)) << "discarded, not saved";
}

// Dark pixels in the text part of a check box as the screen shows it: its
// caption is black when the box is enabled and grey when it is not.
int DarkTextPixels(HWND box) {
    RECT r;
    GetWindowRect(box, &r);
    int w = r.right - r.left - 18, h = r.bottom - r.top;  // past the square itself
    if (w <= 0 || h <= 0) return -1;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, w, h, screen, r.left + 18, r.top, SRCCOPY);
    GdiFlush();
    int dark = 0;
    const BYTE* p = static_cast<const BYTE*>(bits);
    for (int i = 0; i < w * h; ++i, p += 4)
        if (p[0] < 80 && p[1] < 80 && p[2] < 80) ++dark;
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return dark;
}

void ClickBox(HWND box) {
    RECT r;
    GetWindowRect(box, &r);
    ClickAt(r.left + 7, (r.top + r.bottom) / 2);
}

TEST_F(FwiseProgram, ServerNameBoxWorksOnlyWithParseUrl) {
    const TextSet& t = Texts();
    Fwise app;
    ASSERT_TRUE(app.Main());
    HWND parse = app.Button(t.cbParseURL);
    HWND named = app.Button(t.cbUseContentDisposition);
    ASSERT_TRUE(parse && named);
    // Wine's desktop may take a moment to hand the new window the focus.
    for (int tries = 0; tries < 5 && !IsWindowVisible(named); ++tries) {
        Press({VK_CONTROL, VK_TAB});  // to the General page
        if (!IsWindowVisible(named)) Sleep(500);
    }
    ASSERT_TRUE(IsWindowVisible(named));
    EXPECT_FALSE(IsWindowEnabled(named)) << "ParseURL starts off";
    int grey = DarkTextPixels(named);

    ClickBox(parse);
    EXPECT_EQ(SendMessageW(parse, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(IsWindowEnabled(named));
    Sleep(300);
    int black = DarkTextPixels(named);
    EXPECT_GT(black, grey + 30) << "the caption is drawn enabled: " << grey << " dark pixels before, " << black << " after";
    ClickBox(named);
    EXPECT_EQ(SendMessageW(named, BM_GETCHECK, 0, 0), BST_CHECKED);
    SendMessageW(app.Button(t.btnApply), BM_CLICK, 0, 0);
    EXPECT_EQ(ReadSettingDword(kParseUrl, 9), 1u);
    EXPECT_EQ(ReadSettingDword(kUseContentDisposition, 9), 1u);

    // ParseURL off again: the box greys out and keeps its tick for later.
    ClickBox(parse);
    EXPECT_FALSE(IsWindowEnabled(named));
    Sleep(300);
    EXPECT_LT(DarkTextPixels(named), black - 30) << "the caption is drawn disabled";
    ClickBox(named);
    EXPECT_EQ(SendMessageW(named, BM_GETCHECK, 0, 0), BST_CHECKED) << "a disabled box takes no click";
    SendMessageW(app.Button(t.btnApply), BM_CLICK, 0, 0);
    EXPECT_EQ(ReadSettingDword(kParseUrl, 9), 0u);
    EXPECT_EQ(ReadSettingDword(kUseContentDisposition, 9), 1u);
    PostMessageW(app.Main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app.WaitExit(), 0);
}

// A settings key whose writes and deletion the user may not make.
void LockStore(bool lock) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, W(kSettingsKey), 0, nullptr, 0, WRITE_DAC | READ_CONTROL, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    PSECURITY_DESCRIPTOR sd = nullptr;
    const wchar_t* sddl = lock ? L"D:(D;;KW;;;WD)(D;;SD;;;WD)(A;;KA;;;WD)" : L"D:(A;;KA;;;WD)";
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd, nullptr));
    EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd), ERROR_SUCCESS);
    LocalFree(sd);
    RegCloseKey(key);
}

TEST_F(FwiseProgram, FailedSaveIsReported) {
    const TextSet& t = Texts();
    WriteRules({{0, u"setup", u"C:\\Setup"}});
    LockStore(true);
    EXPECT_EQ(WriteSettingDword(kNum, 5), 0) << "the locked key takes no writes";
    Fwise app;
    ASSERT_TRUE(app.Main());
    PostMessageW(app.Button(t.btnApply), BM_CLICK, 0, 0);
    HWND box = WaitWindow(app.Pid(), L"#32770");
    ASSERT_TRUE(box) << "the failure was not reported";
    EXPECT_EQ(Narrow(Text(box)), Utf8(t.caption));
    EXPECT_EQ(Narrow(BoxText(box)), Utf8(t.saveFailed));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitGone(box));

    // The window still holds what the store lacks: closing asks.
    PostMessageW(app.Main(), WM_CLOSE, 0, 0);
    box = WaitWindow(app.Pid(), L"#32770");
    ASSERT_TRUE(box) << "closing after a failed save did not ask";
    EXPECT_EQ(Narrow(BoxText(box)), Utf8(t.closeQuestion));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(app.WaitExit(), 0);
    LockStore(false);
}

TEST_F(FwiseProgram, PressAndHoldOnTheDownArrow) {
    std::vector<Rule> rules;
    for (int i = 0; i < 10; ++i) rules.push_back({0, std::u16string(1, static_cast<char16_t>(u'a' + i)), u"C:\\x"});
    WriteRules(rules);
    Fwise app;
    ASSERT_TRUE(app.Main());
    RECT list;
    GetWindowRect(app.List(), &list);
    ClickAt(list.left + 60, list.top + 30);
    ASSERT_EQ(app.Selected(), 0);
    // The arrows sit above the list's right end, the down arrow last.
    POINT down = {list.right - 24 + 8, list.top - 29 + 7 + 8};
    SetCursorPos(down.x, down.y);

    // A short click moves one row.
    Mouse(MOUSEEVENTF_LEFTDOWN);
    Mouse(MOUSEEVENTF_LEFTUP);
    Sleep(800);
    EXPECT_EQ(app.Selected(), 1) << "one click, one row";

    // Held, it repeats until the end of the list.
    Mouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(2500);
    EXPECT_EQ(app.Selected(), 9) << "held down to the last row";
    Mouse(MOUSEEVENTF_LEFTUP);
    Sleep(300);
    EXPECT_EQ(app.Rows(), 10);

    SendMessageW(app.Button(Texts().btnApply), BM_CLICK, 0, 0);
    EXPECT_EQ(Utf8(Stored(u"0009Rule")), "a") << "the first rule went to the bottom";
    EXPECT_EQ(Utf8(Stored(u"0000Rule")), "b");
    PostMessageW(app.Main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app.WaitExit(), 0);
}

// Pictures of the four pages and the rule dialog for the documentation;
// runs only when FW_SCREENSHOTS names a folder (tests/settings/screenshots.sh).
TEST_F(FwiseProgram, Screenshots) {
    wchar_t dir[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"FW_SCREENSHOTS", dir, MAX_PATH)) GTEST_SKIP() << "FW_SCREENSHOTS not set";
    std::wstring out = std::wstring(dir) + L"\\";
    WriteRules({{1, u".pdf", u"C:\\Users\\me\\Documents\\Papers"},
                {0, u"setup", u"C:\\Installers"},
                {2, u"example.org/music/", u"D:\\Music"},
                {1, u".zip", u"D:\\Archives"},
                {2, u"downloads.example.com/video/", u"D:\\Video"}});
    WriteSettingDword(kUseDefault, 1);
    WriteSettingString(kDefaultFolder, u"C:\\Users\\me\\Downloads");
    WriteSettingDword(kParseUrl, 1);
    // The folders on C: exist, so that no rule is marked as doing nothing.
    for (const wchar_t* f : {L"C:\\Users\\me", L"C:\\Users\\me\\Documents", L"C:\\Users\\me\\Documents\\Papers",
                             L"C:\\Installers", L"C:\\Users\\me\\Downloads"})
        CreateDirectoryW(f, nullptr);
    WriteSettingDword(kUseContentDisposition, 1);
    Fwise app;
    ASSERT_TRUE(app.Main());
    RECT list;
    GetWindowRect(app.List(), &list);
    // Wine's desktop may take a moment to hand the new window the focus.
    for (int tries = 0; tries < 5 && app.Selected() != 1; ++tries) {
        Sleep(500);
        ClickAt(list.left + 60, list.top + 30);  // the first row
        Press({VK_DOWN});
    }
    ASSERT_EQ(app.Selected(), 1);
    SetCursorPos(0, 0);  // no rule's hint over the pictures
    const wchar_t* pages[] = {L"rules", L"general", L"setup", L"about"};
    for (const wchar_t* page : pages) {
        Sleep(300);
        EXPECT_TRUE(SaveWindowPicture(app.Main(), out + page + L".bmp")) << Narrow(page);
        Press({VK_CONTROL, VK_TAB});
    }
    Press({VK_RETURN});  // edits the selected rule
    HWND dlg = WaitWindow(app.Pid(), L"TRuleDlgBox");
    ASSERT_TRUE(dlg);
    Sleep(500);
    EXPECT_TRUE(SaveWindowPicture(dlg, out + L"rule_dialog.bmp"));
    Press({VK_ESCAPE});
    ASSERT_TRUE(WaitGone(dlg));
    PostMessageW(app.Main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app.WaitExit(), 0);

    // The Japanese build's Rules page. Wine has no Japanese faces of its
    // own: this prefix draws them with the IPA fonts (fonts-ipafont-gothic).
    struct Face {
        const wchar_t* face;
        const wchar_t* host;
    } faces[] = {{L"ＭＳ Ｐゴシック", L"IPAPGothic"}, {L"MS UI Gothic", L"IPAGothic"}};
    for (const Face& f : faces)
        RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\Fonts\\Replacements", f.face, REG_SZ, f.host,
                        static_cast<DWORD>((wcslen(f.host) + 1) * sizeof(wchar_t)));
    Fwise ja(L"Fwise_JPN.exe");
    ASSERT_TRUE(ja.Main());
    RECT jaList;
    GetWindowRect(ja.List(), &jaList);
    for (int tries = 0; tries < 5 && ja.Selected() != 1; ++tries) {
        Sleep(500);
        ClickAt(jaList.left + 60, jaList.top + 30);
        Press({VK_DOWN});
    }
    SetCursorPos(0, 0);
    Sleep(300);
    EXPECT_TRUE(SaveWindowPicture(ja.Main(), out + L"rules_jpn.bmp"));
    Press({VK_CONTROL, VK_TAB});
    Sleep(300);
    EXPECT_TRUE(SaveWindowPicture(ja.Main(), out + L"general_jpn.bmp"));
    PostMessageW(ja.Main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(ja.WaitExit(), 0);
}

}  // namespace
}  // namespace fw::test
