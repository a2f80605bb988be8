// The rule tester and the rule list's marks in the real program under Wine,
// driven from the keyboard. Built once per language build (FW_TESTER_EXE
// names the program, the linked text sets are its language's). The result
// list is read through the list view's own messages.
#include "fwise_ui.h"
#include "loopback_ports.h"
#include "rule_tester.h"
#include "server_util.h"
#include "store_util.h"
#include "tester_texts.h"
#include "texts.h"
#include <commctrl.h>
#include <memory>
#include <sstream>

namespace fw::test {
namespace {

// A block of memory in another process, for messages whose structures and
// buffers the controls do not copy across processes.
class RemoteBlock {
public:
    static constexpr size_t kBytes = 8192;
    explicit RemoteBlock(HWND window) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_) remote_ = VirtualAllocEx(process_, nullptr, kBytes, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBlock() {
        if (remote_) VirtualFreeEx(process_, remote_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    // Where `local`'s member `p` lies in the other process.
    template <class T, class M>
    M* There(T* local, M* p) const {
        return reinterpret_cast<M*>(static_cast<char*>(remote_) + (reinterpret_cast<char*>(p) - reinterpret_cast<char*>(local)));
    }
    // Copies `local` over, runs `send`, copies it back.
    template <class T, class F>
    bool Call(T* local, F send) {
        static_assert(sizeof(T) <= kBytes, "block too small");
        SIZE_T n = 0;
        if (!remote_ || !WriteProcessMemory(process_, remote_, local, sizeof *local, &n)) return false;
        send();
        return ReadProcessMemory(process_, remote_, local, sizeof *local, &n) != 0;
    }

private:
    HANDLE process_ = nullptr;
    void* remote_ = nullptr;
};

// Rows of another process's list view.
class RemoteList {
public:
    explicit RemoteList(HWND list) : list_(list), block_(list) {}

    int Count() const { return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)); }
    std::wstring Text(int i, int sub) {
        Item local = {};
        local.item.iSubItem = sub;
        local.item.pszText = block_.There(&local, local.text);
        local.item.cchTextMax = kChars;
        LVITEMW* there = block_.There(&local, &local.item);
        if (!block_.Call(&local, [&] { SendMessageW(list_, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(there)); }))
            return L"<unreadable>";
        local.text[kChars - 1] = 0;
        return local.text;
    }
    // A rectangle of the row (LVIR_BOUNDS, LVIR_ICON) in the list's client area.
    RECT Bounds(int i, int part = LVIR_BOUNDS) {
        RECT r = {part, 0, 0, 0};
        RECT* there = block_.There(&r, &r);
        block_.Call(&r, [&] { SendMessageW(list_, LVM_GETITEMRECT, i, reinterpret_cast<LPARAM>(there)); });
        return r;
    }
    // The row's picture and item data.
    void Get(int i, int* image, LPARAM* data) {
        Item local = {};
        local.item.mask = LVIF_IMAGE | LVIF_PARAM;
        local.item.iItem = i;
        LVITEMW* there = block_.There(&local, &local.item);
        block_.Call(&local, [&] { SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(there)); });
        *image = local.item.iImage;
        *data = local.item.lParam;
    }

private:
    static constexpr int kChars = 1300;
    struct Item {
        LVITEMW item;
        wchar_t text[kChars];
    };
    HWND list_;
    RemoteBlock block_;
};

// The text of a tracking tooltip's one tool (id 1 on `owner`).
std::wstring TipText(HWND tip, HWND owner) {
    RemoteBlock block(tip);
    struct {
        TOOLINFOW info;
        wchar_t text[1024];
    } local = {};
    local.info.cbSize = sizeof local.info;
    local.info.hwnd = owner;
    local.info.uId = 1;
    local.info.lpszText = block.There(&local, local.text);
    TOOLINFOW* there = block.There(&local, &local.info);
    if (!block.Call(&local, [&] { SendMessageW(tip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(there)); }))
        return L"<unreadable>";
    local.text[1023] = 0;
    return local.text;
}

// Waits while this thread's messages are answered: the program may ask this
// one, the clipboard's owner, for the clipboard's data.
void Pump(int ms) {
    DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        DWORD now = GetTickCount();
        if (static_cast<int>(end - now) <= 0) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
    }
}

std::wstring Wide(const char16_t* s) { return W(s); }

// An edit box's text: GetWindowTextW on another process's window gives only
// the text it was made with.
std::wstring EditText(HWND edit) {
    wchar_t buf[2100] = {};
    SendMessageW(edit, WM_GETTEXT, 2100, reinterpret_cast<LPARAM>(buf));
    return buf;
}
std::string Out(const std::wstring& s) { return Narrow(s); }

// A clipboard opened without a window has no owner, and then takes no data.
void SetClipboard(const wchar_t* text) {
    static HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (!OpenClipboard(owner)) return;
    EmptyClipboard();
    size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    if (HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        memcpy(GlobalLock(h), text, bytes);
        GlobalUnlock(h);
        if (!SetClipboardData(CF_UNICODETEXT, h)) GlobalFree(h);
    }
    CloseClipboard();
}

// The program with the rule list focused and its first row selected: Wine's
// desktop may take a moment to hand a new window the focus.
void FocusFirstRow(Fwise& app) {
    RECT list;
    GetWindowRect(app.List(), &list);
    for (int tries = 0; tries < 5 && app.Selected() != 0; ++tries) {
        Sleep(400);
        ClickAt(list.left + 60, list.top + 30);
    }
}

// Opens the tester with Ctrl+T in the rule list.
HWND OpenTester(Fwise& app) {
    Press({VK_CONTROL, 'T'});
    for (int waited = 0; waited < 8000; waited += 100) {
        Pump(100);
        if (HWND dlg = WaitWindow(app.Pid(), L"TTestDlgBox", 0)) return dlg;
    }
    return nullptr;
}

struct Tester {
    HWND dlg, address, list, test, follow;
};

Tester Parts(HWND dlg) {
    Tester t{dlg, nullptr, nullptr, nullptr, nullptr};
    auto edits = Children(dlg, L"Edit");
    if (!edits.empty()) t.address = edits[0];
    auto lists = Children(dlg, WC_LISTVIEWW);
    if (!lists.empty()) t.list = lists[0];
    t.test = Child(dlg, L"Button", TestTexts().btnTest);
    t.follow = Child(dlg, L"Button", TestTexts().cbFollow);
    return t;
}

// Types an address (its text set at once), presses Enter, and waits until
// the result list is there and Test can be pressed again.
void TestAddress(const Tester& t, const std::wstring& url, int ms = 15000) {
    SendMessageW(t.address, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(url.c_str()));
    SetFocus(t.address);
    Press({VK_RETURN});
    for (int waited = 0; waited < ms; waited += 100) {
        if (IsWindowEnabled(t.test) && SendMessageW(t.list, LVM_GETITEMCOUNT, 0, 0) > 0) return;
        Sleep(100);
    }
}

// The rows the program shows: "first | why", with the picture for rule rows.
std::vector<std::string> ShownRows(HWND list) {
    RemoteList rows(list);
    std::vector<std::string> out;
    for (int i = 0; i < rows.Count(); ++i) out.push_back(Out(rows.Text(i, 0) + L" | " + rows.Text(i, 1)));
    return out;
}

std::vector<std::string> ExpectedRows(const std::vector<Rule>& rules, bool useDefault, const char16_t* defaultFolder,
                                      const char16_t* url) {
    std::vector<ScreenRule> screen;
    for (const Rule& r : rules) screen.push_back({r.type, r.text.c_str(), r.folder.c_str()});
    TestRun run;
    RunTest(screen.data(), static_cast<int32_t>(screen.size()), {useDefault, defaultFolder}, url, url, &run);
    std::vector<TestRow> rows;
    ExplainTest(screen.data(), static_cast<int32_t>(screen.size()), run, url, nullptr, url, &rows);
    std::vector<std::string> out;
    for (const TestRow& r : rows) out.push_back(Utf8(r.first) + " | " + Utf8(r.why));
    return out;
}

// The result row's text for a folder the browser reported ("" for none):
// the last row says where the Save dialog opens and which rule decided.
std::string ResultFor(const std::string& folder, LPARAM rule) {
    const TesterTexts& tt = TestTexts();
    std::u16string f(folder.begin(), folder.end());
    char16_t number[16], text[kRowChars];
    FormatDecimal(number, 16, static_cast<int32_t>(rule) + 1);
    if (folder.empty()) FillText(text, kRowChars, tt.noFolder, nullptr);
    else if (rule < 0) FillText(text, kRowChars, tt.byDefault, f.c_str());
    else FillText(text, kRowChars, tt.byRule, f.c_str(), number);
    return Utf8(text);
}

const std::vector<Rule> kSaved = {{kExtensionRule, u".pdf", u"C:\\RT\\Docs"},
                                  {kNameRule, u"setup", u"C:\\RT\\Installers"},
                                  {kUrlRule, u"/music/", u"C:\\RT\\Music"},
                                  {kExtensionRule, u".zip", u"C:\\RT\\Zips"}};

class TesterProgram : public StoreTest {
protected:
    static void SetUpTestSuite() {
        for (const wchar_t* f : {L"C:\\RT", L"C:\\RT\\Docs", L"C:\\RT\\Installers", L"C:\\RT\\Music", L"C:\\RT\\Zips",
                                 L"C:\\RT\\Default"})
            CreateDirectoryW(f, nullptr);
    }
    void SaveRules() {
        WriteRules(kSaved);
        WriteSettingDword(kUseDefault, 1);
        WriteSettingString(kDefaultFolder, u"C:\\RT\\Default");
    }
};

TEST_F(TesterProgram, FromTheKeyboardWithUnsavedChanges) {
    SaveRules();
    Fwise app(FW_TESTER_EXE);
    ASSERT_TRUE(app.Main()) << "no main window";
    FocusFirstRow(app);
    ASSERT_EQ(app.Selected(), 0);
    // An unsaved change: the .zip rule goes; the tester must not see it.
    Press({VK_END});
    Press({VK_DELETE});
    ASSERT_EQ(app.Rows(), 3);
    std::vector<Rule> onScreen(kSaved.begin(), kSaved.begin() + 3);

    SetClipboard(L"http://example.com/music/song.mp3");
    HWND dlg = OpenTester(app);
    ASSERT_TRUE(dlg) << "Ctrl+T opened no tester";
    EXPECT_EQ(Out(Text(dlg)), Utf8(TestTexts().caption));
    Tester t = Parts(dlg);
    ASSERT_TRUE(t.address && t.list && t.test && t.follow);
    EXPECT_EQ(Out(EditText(t.address)), "http://example.com/music/song.mp3") << "taken from the clipboard";
    EXPECT_EQ(SendMessageW(t.follow, BM_GETCHECK, 0, 0), BST_UNCHECKED) << "as the General page";

    // Three addresses, the one that matches a rule last.
    const char16_t* urls[] = {u"http://example.com/dl/archive.zip", u"http://example.com/music/Report.PDF",
                              u"http://example.com/files/Setup_v2.exe"};
    const int32_t matched[] = {-1, 0, 1};
    for (size_t i = 0; i < 3; ++i) {
        TestAddress(t, Wide(urls[i]));
        EXPECT_EQ(ShownRows(t.list), ExpectedRows(onScreen, true, u"C:\\RT\\Default", urls[i])) << Utf8(urls[i]);
        RemoteList rows(t.list);
        int n = rows.Count();
        ASSERT_GT(n, 3);
        int image = 0;
        LPARAM data = 0;
        rows.Get(n - 1, &image, &data);
        EXPECT_EQ(data, matched[i]) << "the deciding rule, " << Utf8(urls[i]);
        // Each rule row carries its rule's picture.
        for (int r = 0; r < n - 1; ++r) {
            rows.Get(r, &image, &data);
            if (data >= 0) {
                EXPECT_EQ(image, static_cast<int>(onScreen[data].type)) << "row " << r;
            }
        }
    }
    // Spot checks of the words themselves, in the English build.
    if (std::wstring(FW_TESTER_EXE) == L"Fwise.exe") {
        std::vector<std::string> last = ShownRows(t.list);
        ASSERT_GE(last.size(), 3u);
        EXPECT_EQ(last[last.size() - 3], "setup | the file name /Setup_v2.exe contains \"setup\"");
        EXPECT_EQ(last.back(), "Save dialog | opens in C:\\RT\\Installers (rule 2)");
    }

    // Closing with a matched rule selects it in the main list.
    Press({VK_ESCAPE});
    ASSERT_TRUE(WaitGone(dlg));
    Sleep(200);
    EXPECT_EQ(app.Selected(), 1);
    PostMessageW(app.Main(), WM_CLOSE, 0, 0);
    HWND ask = WaitWindow(app.Pid(), L"#32770", 3000);
    if (ask) PostMessageW(ask, WM_COMMAND, IDOK, 0);  // discard the unsaved delete
    EXPECT_EQ(app.WaitExit(), 0);
    EXPECT_EQ(ReadSettingDword(kNum, 0), 4u) << "testing saved nothing";
}

TEST_F(TesterProgram, FollowingShowsProgressAndCanBeCancelled) {
    LoopbackPorts ports = ReadLoopbackPorts();
    if (!ports.live) GTEST_SKIP() << "no loopback server";
    SaveRules();
    WriteSettingDword(kParseUrl, 1);
    Fwise app(FW_TESTER_EXE);
    ASSERT_TRUE(app.Main());
    FocusFirstRow(app);
    SetClipboard(L"not an address");
    HWND dlg = OpenTester(app);
    ASSERT_TRUE(dlg);
    Tester t = Parts(dlg);
    EXPECT_EQ(Out(EditText(t.address)), "") << "the clipboard held no address";
    EXPECT_EQ(SendMessageW(t.follow, BM_GETCHECK, 0, 0), BST_CHECKED) << "as the General page";

    std::wstring slow = L"http://127.0.0.1:" + std::to_wstring(ports.live) + L"/slow.php?id=1";
    SendMessageW(t.address, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(slow.c_str()));
    SetFocus(t.address);
    Press({VK_RETURN});
    HWND stop = Child(dlg, L"Button", TestTexts().btnCancel);
    ASSERT_TRUE(stop);
    EXPECT_TRUE(IsWindowVisible(stop)) << "a Cancel button while the address is followed";
    EXPECT_TRUE(IsWindowVisible(Children(dlg, PROGRESS_CLASSW).at(0))) << "progress while following";
    EXPECT_FALSE(IsWindowEnabled(t.test));
    Press({VK_ESCAPE});  // Esc cancels the following, not the dialog
    EXPECT_TRUE(IsWindowVisible(dlg));
    EXPECT_FALSE(IsWindowVisible(stop));
    std::vector<std::string> rows = ShownRows(t.list);
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(rows[1], Utf8(TestTexts().rowResolved) + " | " + Utf8(TestTexts().resolveCancelled));
    EXPECT_EQ(rows.back(), Utf8(TestTexts().rowResult) + " | " + ResultFor("C:\\RT\\Default", -1))
        << "tested as given";
    // The answer that comes later is not wanted any more; the dialog stays usable.
    Sleep(4500);
    EXPECT_EQ(ShownRows(t.list), rows);
    Press({VK_ESCAPE});
    EXPECT_TRUE(WaitGone(dlg));
}

// The same addresses through the stand-in browser (with the registered
// handler) and through the tester give the same folder.
TEST_F(TesterProgram, SameFolderAsTheBrowser) {
    LoopbackPorts ports = ReadLoopbackPorts();
    if (!ports.live) GTEST_SKIP() << "no loopback server";
    const std::wstring dir = L"C:\\Program Files\\TesterTest";
    ASSERT_TRUE(InstallInto(dir, {L"Fwise64.dll"}));
    ASSERT_EQ(Regsvr32(L"/s \"" + dir + L"\\Fwise64.dll\""), 0);
    WriteRules(kSaved);
    WriteSettingDword(kUseDefault, 0);
    WriteSettingDword(kParseUrl, 1);
    std::string base = "http://127.0.0.1:" + std::to_string(ports.live);
    std::vector<std::string> urls = {base + "/papers/Report.PDF", base + "/tools/Setup_v2.exe",
                                     base + "/get.php?id=42", base + "/misc/movie.mkv"};
    std::wstring cmd = L"\"" + ExeDir() + L"\\iexplore.exe\" /fresh";
    for (const auto& u : urls) cmd += L" " + std::wstring(u.begin(), u.end());
    std::string out;
    ASSERT_EQ(RunProgram(cmd, &out), 0) << out;
    Regsvr32(L"/s /u \"" + dir + L"\\Fwise64.dll\"");
    std::vector<std::string> folders;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("save-folder\t", 0) == 0) folders.push_back(line.substr(12));
    }
    ASSERT_EQ(folders.size(), urls.size()) << out;

    Fwise app(FW_TESTER_EXE);
    ASSERT_TRUE(app.Main());
    FocusFirstRow(app);
    HWND dlg = OpenTester(app);
    ASSERT_TRUE(dlg);
    Tester t = Parts(dlg);
    for (size_t i = 0; i < urls.size(); ++i) {
        TestAddress(t, std::wstring(urls[i].begin(), urls[i].end()));
        RemoteList rows(t.list);
        int n = rows.Count();
        ASSERT_GT(n, 0) << urls[i];
        int image = 0;
        LPARAM rule = 0;
        rows.Get(n - 1, &image, &rule);
        EXPECT_EQ(Out(rows.Text(n - 1, 1)), ResultFor(folders[i], rule)) << urls[i];
    }
    Press({VK_ESCAPE});
    EXPECT_TRUE(WaitGone(dlg));
}

// Whether the mark is on screen over a row's picture: its red shows inside
// the picture's rectangle (client coordinates of `list`).
bool MarkShown(HWND list, RECT icon) {
    POINT at = {icon.left, icon.top};
    ClientToScreen(list, &at);
    HDC screen = GetDC(nullptr);
    int red = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            COLORREF c = GetPixel(screen, at.x + x, at.y + y);
            if (GetRValue(c) > 180 && GetGValue(c) < 90 && GetBValue(c) < 90) ++red;
        }
    ReleaseDC(nullptr, screen);
    return red >= 8;
}

// The program's tooltip on screen, if one is.
HWND ShownTip(Fwise& app) {
    Find f = {app.Pid(), TOOLTIPS_CLASSW, nullptr};
    EnumWindows(&FindTopLevel, reinterpret_cast<LPARAM>(&f));
    return f.found;
}

// Hovers row `i` of the rule list and returns the tip the list shows.
std::wstring TipOfRow(Fwise& app, int i) {
    RECT row = RemoteList(app.List()).Bounds(i);
    POINT p = {row.left + 60, (row.top + row.bottom) / 2};
    ClientToScreen(app.List(), &p);
    SetCursorPos(p.x, p.y - 60);
    Sleep(300);
    // A few real moves onto the row, as a hand would make them.
    for (int step = 0; step < 4; ++step) {
        SetCursorPos(p.x + step * 4, p.y);
        Mouse(MOUSEEVENTF_MOVE);
        Sleep(150);
    }
    for (int waited = 0; waited < 3000; waited += 100) {
        if (HWND tip = ShownTip(app)) return TipText(tip, app.List());
        Sleep(100);
    }
    return L"<no tip shown>";
}

TEST_F(TesterProgram, MarksShowWhyARuleNeverTakesEffect) {
    WriteRules({{kNameRule, u"setup", u"C:\\RT\\Installers"},
                {kNameRule, u"MySetup", u"C:\\RT\\Installers"},
                {kExtensionRule, u".tar.gz", u"C:\\RT\\Zips"},
                {kUrlRule, u"/music/", u"C:\\RT\\NoSuchFolder"},
                {kNameRule, u"report", u"C:\\RT\\Docs"}});
    Fwise app(FW_TESTER_EXE);
    ASSERT_TRUE(app.Main());
    FocusFirstRow(app);
    auto overlays = [&] {
        Sleep(300);  // the marks follow a change after a moment, then the list repaints
        RemoteList list(app.List());
        std::string s;
        for (int i = 0; i < list.Count(); ++i) s += MarkShown(app.List(), list.Bounds(i, LVIR_ICON)) ? 'M' : '-';
        return s;
    };
    EXPECT_EQ(overlays(), "-MMM-") << "shadowed, never matching, missing folder";

    const TesterTexts& tt = TestTexts();
    char16_t hint[kRowChars];
    FillText(hint, kRowChars, tt.markShadowed, u"1", u"setup");
    EXPECT_EQ(Out(TipOfRow(app, 1)), Utf8(hint));

    // Marks follow at once when the list changes: with "setup" lowered below
    // "MySetup", nothing shadows the latter any more.
    FocusFirstRow(app);
    Press({VK_CONTROL, VK_DOWN});
    EXPECT_EQ(overlays(), "--MM-") << "after a move";
    Press({VK_DELETE});  // the moved "setup" goes; the rows below move up
    EXPECT_EQ(overlays(), "-MM-") << "after a delete";
    PostMessageW(app.Main(), WM_CLOSE, 0, 0);
    HWND ask = WaitWindow(app.Pid(), L"#32770", 3000);
    if (ask) PostMessageW(ask, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(app.WaitExit(), 0);
}

TEST_F(TesterProgram, Screenshots) {
    wchar_t dir[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"FW_SCREENSHOTS", dir, MAX_PATH)) GTEST_SKIP() << "FW_SCREENSHOTS not set";
    std::wstring out = std::wstring(dir) + L"\\";
    std::wstring suffix = std::wstring(FW_TESTER_EXE) == L"Fwise_JPN.exe" ? L"_jpn" : L"";
    WriteRules({{kExtensionRule, u".pdf", u"C:\\RT\\Docs"},
                {kNameRule, u"setup", u"C:\\RT\\Installers"},
                {kUrlRule, u"example.org/music/", u"C:\\RT\\Music"},
                {kNameRule, u"Setup_v2", u"C:\\RT\\Installers"},
                {kExtensionRule, u".zip", u"C:\\RT\\Zips"}});
    WriteSettingDword(kUseDefault, 1);
    WriteSettingString(kDefaultFolder, u"C:\\RT\\Default");
    Fwise app(FW_TESTER_EXE);
    ASSERT_TRUE(app.Main());
    FocusFirstRow(app);
    std::wstring tip = TipOfRow(app, 3);
    EXPECT_NE(tip, L"<no tip shown>");
    RECT main, shot;
    GetWindowRect(app.Main(), &main);
    RECT tr = main;
    if (HWND tip = ShownTip(app)) GetWindowRect(tip, &tr);
    UnionRect(&shot, &main, &tr);
    EXPECT_TRUE(SaveScreenPicture(shot, out + L"marks" + suffix + L".bmp"));

    SetCursorPos(0, 0);
    FocusFirstRow(app);
    SetClipboard(L"http://example.org/downloads/Setup_v2.exe");
    HWND dlg = OpenTester(app);
    ASSERT_TRUE(dlg);
    Tester t = Parts(dlg);
    TestAddress(t, L"http://example.org/downloads/Setup_v2.exe");
    Sleep(400);
    RECT d;
    GetWindowRect(dlg, &d);
    EXPECT_TRUE(SaveScreenPicture(d, out + L"tester" + suffix + L".bmp"));
    Press({VK_ESCAPE});
    EXPECT_TRUE(WaitGone(dlg));
    PostMessageW(app.Main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app.WaitExit(), 0);
}

}  // namespace
}  // namespace fw::test
