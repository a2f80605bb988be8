// Both language builds of Fwise.exe under Wine: the Japanese build's texts,
// fonts and version block, the English one's version block, the About
// page's resize and the Help button.
#include "fwise_ui.h"
#include "texts.h"
#include <winver.h>
#include <algorithm>

namespace fw::test {
namespace {

// An item's text from a control of the program (a tab or a tree item): the
// item and its text buffer must lie in the program's own memory, as these
// controls do not copy them across processes.
template <class Item>
std::wstring RemoteItemText(HWND control, UINT msg, WPARAM w, Item item, size_t textOffset, size_t capOffset) {
    DWORD pid = 0;
    GetWindowThreadProcessId(control, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return L"<no process>";
    struct Remote {
        Item item;
        wchar_t text[256];
    } local = {};
    auto* remote = static_cast<Remote*>(VirtualAllocEx(process, nullptr, sizeof local, MEM_COMMIT, PAGE_READWRITE));
    std::wstring out = L"<no memory>";
    if (remote) {
        local.item = item;
        wchar_t* text = remote->text;
        int cap = 256;
        memcpy(reinterpret_cast<char*>(&local.item) + textOffset, &text, sizeof text);
        memcpy(reinterpret_cast<char*>(&local.item) + capOffset, &cap, sizeof cap);
        SIZE_T n = 0;
        WriteProcessMemory(process, remote, &local, sizeof local, &n);
        SendMessageW(control, msg, w, reinterpret_cast<LPARAM>(&remote->item));
        if (ReadProcessMemory(process, remote, &local, sizeof local, &n)) {
            local.text[255] = 0;
            out = local.text;
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return out;
}

std::wstring TabText(HWND tabs, int i) {
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    return RemoteItemText(tabs, TCM_GETITEMW, i, item, offsetof(TCITEMW, pszText), offsetof(TCITEMW, cchTextMax));
}

bool IsWow64(HANDLE process) {
    BOOL wow = FALSE;
    return IsWow64Process(process, &wow) && wow;
}

// Whether the process runs with the test's own pointer size.
bool SameBitness(DWORD pid) {
    HANDLE p = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!p) return false;
    bool same = IsWow64(p) == IsWow64(GetCurrentProcess());
    CloseHandle(p);
    return same;
}

// The texts of a tree view's top-level items.
std::vector<std::wstring> TreeTexts(HWND tree) {
    std::vector<std::wstring> out;
    for (auto it = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)); it;
         it = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(it)))) {
        TVITEMW item = {};
        item.mask = TVIF_TEXT;
        item.hItem = it;
        out.push_back(RemoteItemText(tree, TVM_GETITEMW, 0, item, offsetof(TVITEMW, pszText), offsetof(TVITEMW, cchTextMax)));
    }
    return out;
}

std::string Utf8W(const std::wstring& s) { return Narrow(s); }

struct VersionFacts {
    std::wstring originalName;
    WORD language = 0, codePage = 0;
};

VersionFacts ReadVersion(const std::wstring& exe) {
    VersionFacts v;
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    if (!size) return v;
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoW(exe.c_str(), 0, size, data.data())) return v;
    WORD* tr = nullptr;
    UINT len = 0;
    if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&tr), &len) || len < 4)
        return v;
    v.language = tr[0];
    v.codePage = tr[1];
    wchar_t path[128];
    swprintf(path, 128, L"\\StringFileInfo\\%04x%04x\\OriginalFilename", tr[0], tr[1]);
    wchar_t* name = nullptr;
    if (VerQueryValueW(data.data(), path, reinterpret_cast<void**>(&name), &len) && name) v.originalName = name;
    return v;
}

class Builds : public StoreTest {};

TEST_F(Builds, VersionBlocks) {
    struct Row {
        const wchar_t* exe;
        const char* name;
        WORD language, codePage;
    } rows[] = {{L"Fwise.exe", "Fwise_ENG.exe", 0x0409, 1252}, {L"Fwise_JPN.exe", "Fwise_JPN.exe", 0x0411, 932}};
    for (const Row& r : rows) {
        VersionFacts v = ReadVersion(BinDir() + r.exe);
        EXPECT_EQ(Utf8W(v.originalName), r.name) << Narrow(r.exe);
        EXPECT_EQ(v.language, r.language) << Narrow(r.exe);
        EXPECT_EQ(v.codePage, r.codePage) << Narrow(r.exe);
    }
}

TEST_F(Builds, JapaneseBuildShowsItsTextsAndFonts) {
    Fwise app(L"Fwise_JPN.exe");
    ASSERT_TRUE(app.Main()) << "no main window";
    EXPECT_EQ(Utf8W(Text(app.Main())), "Folderwise");
    auto tabs = Children(app.Main(), WC_TABCONTROLW);
    ASSERT_EQ(tabs.size(), 1u);
    const char* tabTexts[] = {"条件の設定", "全般", "セットアップ", "バージョン情報"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Utf8W(TabText(tabs[0], i)), tabTexts[i]) << "tab " << i;
    for (const char16_t* b : {u"OK", u"ｷｬﾝｾﾙ", u"更新", u"ﾍﾙﾌﾟ", u"インストール(&I)...", u"アンインストール(&U)...",
                              u"オプション設定も削除する(&R)", u"GUIフォントの変更(&F)..."})
        EXPECT_TRUE(app.Button(b)) << "no button " << Utf8(b);
    // First start: the Japanese default GUI font.
    auto edits = Children(app.Main(), L"Edit");
    std::vector<std::string> texts;
    for (HWND e : edits) {
        // An edit's text lives in the control: ask it, the caption is stale.
        wchar_t buf[128] = {};
        SendMessageW(e, WM_GETTEXT, 128, reinterpret_cast<LPARAM>(buf));
        texts.push_back(Utf8W(buf));
    }
    std::string seen;
    for (const auto& x : texts) seen += "[" + x + "]";
    EXPECT_NE(std::find(texts.begin(), texts.end(), "ＭＳ Ｐゴシック"), texts.end()) << seen;
    EXPECT_NE(std::find(texts.begin(), texts.end(), "Shift JIS (128)"), texts.end()) << seen;
    PostMessageW(app.Button(u"ファイル名、または拡張子の条件を追加  [CTRL + I], [INS]"), BM_CLICK, 0, 0);
    HWND dlg = WaitWindow(app.Pid(), L"TRuleDlgBox");
    ASSERT_TRUE(dlg) << "no rule dialog";
    EXPECT_EQ(Utf8W(Text(dlg)), "Folderwise - 条件の編集");
    EXPECT_TRUE(Child(dlg, L"Button", u"ｷｬﾝｾﾙ"));
    PostMessageW(Child(dlg, L"Button", u"ｷｬﾝｾﾙ"), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitGone(dlg));
    PostMessageW(app.Main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app.WaitExit(), 0);
}

TEST_F(Builds, AboutPageMovesItsBlockByTheTruncatedHalf) {
    Fwise app;
    ASSERT_TRUE(app.Main());
    const TextSet& t = Texts();
    // Group boxes are windows of the form layer's container class.
    HWND contact = Child(app.Main(), L"FwContainer", t.gbContact);
    ASSERT_TRUE(contact) << "no contact box";
    auto leftOf = [&] {
        RECT r, p;
        GetWindowRect(contact, &r);
        GetWindowRect(GetParent(contact), &p);
        return r.left - p.left;
    };
    RECT w0;
    GetWindowRect(app.Main(), &w0);
    int left0 = leftOf();
    struct Step {
        int widen, moved;
    } steps[] = {{100, 50}, {101, 50}, {0, 0}, {37, 18}};
    for (const Step& s : steps) {
        SetWindowPos(app.Main(), nullptr, 0, 0, w0.right - w0.left + s.widen, w0.bottom - w0.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        Sleep(100);
        EXPECT_EQ(leftOf() - left0, s.moved) << "widened by " << s.widen;
    }
    PostMessageW(app.Main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app.WaitExit(), 0);
}

// How many pixels of the screen rectangle have exactly this colour.
int CountColour(const RECT& r, COLORREF colour) {
    HDC screen = GetDC(nullptr);
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (GetPixel(screen, x, y) == colour) ++n;
    ReleaseDC(nullptr, screen);
    return n;
}

// The links are painted by their group box: their colour is seen on screen.
TEST_F(Builds, LinksTurnVioletUnderTheMouse) {
    Fwise app;
    ASSERT_TRUE(app.Main());
    const TextSet& t = Texts();
    auto tabs = Children(app.Main(), WC_TABCONTROLW);
    ASSERT_EQ(tabs.size(), 1u);
    SendMessageW(tabs[0], TCM_SETCURFOCUS, 3, 0);
    Sleep(500);
    HWND contact = Child(app.Main(), L"FwContainer", t.gbContact);
    ASSERT_TRUE(contact);
    RECT box;
    GetWindowRect(contact, &box);
    // The mail link's line (top 20 in the box), right of "Mail :".
    RECT mail = {box.left + 48, box.top + 18, box.right - 4, box.top + 36};
    RECT url = {box.left + 50, box.top + 40, box.right - 4, box.top + 58};
    const COLORREF blue = RGB(0, 0, 255), violet = RGB(192, 32, 255);
    EXPECT_GT(CountColour(mail, blue), 0) << "links start blue";
    EXPECT_EQ(CountColour(mail, violet), 0);
    SetCursorPos(box.left + 60, box.top + 26);
    Sleep(500);
    EXPECT_GT(CountColour(mail, violet), 0) << "mail link under the mouse";
    EXPECT_EQ(CountColour(url, violet), 0) << "the other link stays blue";
    SetCursorPos(box.left + 62, box.top + 48);
    Sleep(500);
    EXPECT_EQ(CountColour(mail, violet), 0) << "left: blue again";
    EXPECT_GT(CountColour(mail, blue), 0);
    EXPECT_GT(CountColour(url, violet), 0) << "URL link under the mouse";
    SetCursorPos(box.right + 80, box.bottom + 40);
    Sleep(500);
    EXPECT_EQ(CountColour(url, violet), 0) << "the mouse left the box";
    PostMessageW(app.Main(), WM_CLOSE, 0, 0);
    EXPECT_EQ(app.WaitExit(), 0);
}

// The title's bytes in the file's code page. Wine's viewer reads them in the
// system's code page (1252 here), Windows in the file's: both are the title.
std::string TitleBytes(const std::wstring& title, UINT codePage) {
    char buf[256] = {};
    WideCharToMultiByte(codePage, 0, title.c_str(), -1, buf, sizeof buf - 1, nullptr, nullptr);
    return buf;
}

struct TitleSearch {
    const wchar_t* title;
    UINT codePage;
    HWND found;
};

BOOL CALLBACK FindTitle(HWND h, LPARAM l) {
    auto* s = reinterpret_cast<TitleSearch*>(l);
    if (IsWindowVisible(h) && (Text(h) == s->title || TitleBytes(Text(h), CP_ACP) == TitleBytes(s->title, s->codePage))) {
        s->found = h;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK ListTitles(HWND h, LPARAM l) {
    if (IsWindowVisible(h) && GetWindowTextLengthW(h) > 0) *reinterpret_cast<std::string*>(l) += "[" + Narrow(Text(h)) + "]";
    return TRUE;
}

// Help opens the help file named like the program beside it, whichever
// build runs: the shell's help viewer shows its title, in the build's language.
TEST_F(Builds, HelpOpensTheHelpFileBesideTheProgram) {
    struct Row {
        const wchar_t* exe;
        const char16_t* help;
        const wchar_t* chm;
        const wchar_t* title;
        UINT codePage;
        std::vector<const wchar_t*> contents;
    } rows[] = {{L"Fwise.exe", u"Help", L"Fwise.chm", L"Folderwise Help", 1252,
                 {L"Folderwise", L"Rules", L"General options", L"Install and uninstall"}},
                {L"Fwise_JPN.exe", u"ﾍﾙﾌﾟ", L"Fwise_JPN.chm", L"Folderwise ヘルプ", 932,
                 {L"Folderwise について", L"条件の設定", L"URLのテストと条件のマーク", L"全般の設定",
                  L"インストールとアンインストール"}}};
    for (const Row& r : rows) {
        ASSERT_NE(GetFileAttributesW((BinDir() + r.chm).c_str()), INVALID_FILE_ATTRIBUTES) << Narrow(r.chm);
        Fwise app(r.exe);
        ASSERT_TRUE(app.Main()) << Narrow(r.exe);
        HWND help = app.Button(r.help);
        ASSERT_TRUE(help) << Narrow(r.exe);
        PostMessageW(help, BM_CLICK, 0, 0);
        TitleSearch found = {r.title, r.codePage, nullptr};
        for (int waited = 0; waited < 15000 && !found.found; waited += 200) {
            Sleep(200);
            EnumWindows(&FindTitle, reinterpret_cast<LPARAM>(&found));
        }
        std::string titles;
        if (!found.found) EnumWindows(&ListTitles, reinterpret_cast<LPARAM>(&titles));
        ASSERT_TRUE(found.found) << Narrow(r.exe) << ": no help window; windows: " << titles;
        DWORD viewer = 0;
        GetWindowThreadProcessId(found.found, &viewer);
        EXPECT_NE(viewer, app.Pid()) << "the shell's viewer shows it";
        // Its contents, in the guide's language. Tree items are read through
        // the viewer's memory, in its own layout: only from a test of the
        // viewer's bitness (Wine's hh.exe is 64-bit, whichever program opens it).
        std::vector<std::wstring> items;
        bool readable = SameBitness(viewer);
        if (!readable) std::printf("contents of %s not read: the viewer's bitness differs\n", Narrow(r.chm).c_str());
        for (int waited = 0; readable && waited < 5000 && items.size() < r.contents.size(); waited += 200) {
            Sleep(200);
            auto trees = Children(found.found, WC_TREEVIEWW);
            if (trees.size() == 1) items = TreeTexts(trees[0]);
        }
        if (readable) {
            ASSERT_EQ(items.size(), r.contents.size()) << Narrow(r.exe);
            for (size_t i = 0; i < items.size(); ++i)
                EXPECT_TRUE(items[i] == r.contents[i] ||
                            TitleBytes(items[i], CP_ACP) == TitleBytes(r.contents[i], r.codePage))
                    << Narrow(r.exe) << " contents " << i << ": " << Narrow(items[i]);
        }
        PostMessageW(found.found, WM_CLOSE, 0, 0);
        for (int waited = 0; waited < 5000 && IsWindow(found.found); waited += 100) Sleep(100);
        PostMessageW(app.Main(), WM_CLOSE, 0, 0);
        EXPECT_EQ(app.WaitExit(), 0) << Narrow(r.exe);
    }
}

}  // namespace
}  // namespace fw::test
