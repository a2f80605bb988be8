// What a person sees of Fwise.exe, in both language builds, read from the
// screen: every window-less label drawn, captions intact after widening,
// edges that stop at the minimum size, the About title's glyphs and the
// hints over disabled tool buttons. Pages are turned with Ctrl+Tab and the
// windows widened by dragging their frame, as a person does.
#include "fwise_ui.h"
#include "person.h"
#include "store_util.h"

namespace fw::test {
namespace {

using namespace person;

struct Build {
    const wchar_t* exe;
    const char* name;
    bool japanese;
};
const Build kBuilds[] = {{L"Fwise.exe", "English", false}, {L"Fwise_JPN.exe", "Japanese", true}};

const uint32_t kFace = Rgb(GetSysColor(COLOR_BTNFACE));

// The visible page (a container inside the tab control).
HWND VisiblePage(HWND main) {
    auto tabs = Children(main, WC_TABCONTROLW);
    if (tabs.size() != 1) return nullptr;
    for (HWND h = GetWindow(tabs[0], GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        if (IsWindowVisible(h) && ClassOf(h) == L"FwContainer") return h;
    return nullptr;
}

// Turns `count` pages on with Ctrl+Tab; the page then shown.
HWND TurnOn(HWND main, int count) {
    for (int i = 0; i < count; ++i) CtrlTab();
    Sleep(300);
    return VisiblePage(main);
}

// Clicks the middle of a window.
void Click(HWND h) {
    RECT r = WindowOnScreen(h);
    ClickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// Opens the rule dialog with the first tool button of the Rules page.
HWND OpenRuleDialog(Fwise& app) {
    HWND page = VisiblePage(app.Main());
    for (HWND h : Children(page, L"Button"))
        if ((GetWindowLongW(h, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW) {
            Click(h);
            break;
        }
    HWND dlg = WaitWindow(app.Pid(), L"TRuleDlgBox", 3000);
    Sleep(300);
    return dlg;
}

// The group box (a container) inside `page`; each page has at most one.
HWND Box(HWND page) {
    auto boxes = Children(page, L"FwContainer");
    return boxes.empty() ? nullptr : boxes[0];
}

struct Label {
    const char* name;
    int page;             // 0..3 in the main window, -1: the rule dialog
    bool inBox;           // in the page's group box
    RECT english, japanese;  // where its text must show, in its container
};

// Where each label's text begins; a label is drawn when its rectangle holds ink.
const Label kLabels[] = {
    {"lblInformParase", 1, false, {72, 124, 200, 138}, {72, 124, 200, 138}},
    {"lblChangeFont", 1, false, {12, 184, 60, 198}, {12, 172, 60, 186}},
    {"lblFontFace", 1, false, {32, 204, 60, 218}, {32, 192, 60, 206}},
    {"lblCharSet", 1, false, {32, 230, 60, 244}, {32, 218, 60, 232}},
    {"gbInstall caption", 2, true, {8, 0, 60, 12}, {8, 0, 60, 12}},
    {"lblSetupExp", 2, true, {16, 24, 120, 38}, {16, 24, 120, 38}},
    {"lblInform", 2, true, {56, 49, 200, 63}, {56, 51, 200, 65}},
    {"Label1", 2, true, {16, 96, 120, 110}, {16, 96, 120, 110}},
    {"Label2", 2, true, {16, 120, 120, 134}, {16, 120, 120, 134}},
    {"About title", 3, false, {220, 40, 400, 78}, {220, 40, 400, 78}},
    {"lblVersion", 3, false, {0, 96, 616, 123}, {0, 96, 616, 123}},
    {"lblCR", 3, false, {166, 140, 300, 154}, {166, 140, 300, 154}},
    {"lblSoftType", 3, false, {166, 162, 200, 176}, {166, 162, 200, 176}},
    {"gbContact caption", 3, true, {8, 0, 50, 12}, {8, 0, 50, 12}},
    {"lblMail", 3, true, {14, 20, 40, 34}, {15, 20, 40, 34}},
    {"lblURL", 3, true, {11, 42, 40, 56}, {14, 42, 40, 56}},
    {"hlblMail", 3, true, {48, 20, 150, 34}, {48, 20, 150, 34}},
    {"hlblURL", 3, true, {50, 42, 150, 56}, {50, 42, 150, 56}},
    {"lblRule", -1, false, {12, 10, 100, 24}, {12, 10, 100, 24}},
    {"lblInform (rule dialog)", -1, false, {52, 58, 300, 72}, {52, 58, 300, 72}},
    {"lblFolder", -1, false, {12, 114, 60, 128}, {12, 114, 60, 128}},
};

class Screen : public StoreTest {};

TEST_F(Screen, EveryWindowlessLabelIsDrawn) {
    for (const Build& b : kBuilds) {
        SCOPED_TRACE(b.name);
        Fwise app(b.exe);
        ASSERT_TRUE(app.Main());
        HWND main = app.Main();
        int page = 0;
        HWND container = nullptr, dlg = nullptr;
        for (const Label& l : kLabels) {
            if (!container || l.page != page) {
                if (l.page >= 0) {
                    container = TurnOn(main, (l.page - page + 4) % 4);
                } else {
                    TurnOn(main, (4 - page) % 4);
                    dlg = OpenRuleDialog(app);
                    ASSERT_TRUE(dlg) << "no rule dialog";
                    auto panels = Children(dlg, L"FwContainer");
                    container = panels.empty() ? dlg : panels[0];
                }
                page = l.page;
                ASSERT_TRUE(container) << "no page " << l.page;
                char name[64];
                snprintf(name, sizeof name, "labels_%s_page%d", b.name, l.page);
                Save(Grab(WindowOnScreen(GetAncestor(container, GA_ROOT))), name);
            }
            HWND in = container;
            if (l.inBox) {
                in = Box(container);
                ASSERT_TRUE(in) << l.name << ": no group box";
            }
            Shot s = Grab(OnScreen(in, b.japanese ? l.japanese : l.english));
            EXPECT_GT(Ink(s, kFace), 10) << l.name << " is not drawn";
        }
        Key(VK_ESCAPE);
        ASSERT_TRUE(WaitGone(dlg));
        Key(VK_ESCAPE);
        EXPECT_EQ(app.WaitExit(), 0);
    }
}

// The About page's title and version line are Latin text in both builds:
// the Japanese build draws them as the English build does, not as boxes.
TEST_F(Screen, AboutTitleDrawnAlikeInBothBuilds) {
    Shot title[2], version[2];
    for (int i = 0; i < 2; ++i) {
        Fwise app(kBuilds[i].exe);
        ASSERT_TRUE(app.Main());
        HWND page = TurnOn(app.Main(), 3);
        ASSERT_TRUE(page);
        title[i] = Grab(OnScreen(page, RECT{0, 38, 614, 81}));
        version[i] = Grab(OnScreen(page, RECT{300, 96, 616, 123}));
        Save(title[i], i ? "about_title_Japanese" : "about_title_English");
        Key(VK_ESCAPE);
        EXPECT_EQ(app.WaitExit(), 0);
    }
    EXPECT_GT(Ink(title[0], kFace), 500) << "the English title";
    EXPECT_EQ(Differences(title[0], title[1]), 0) << "the Japanese build's title differs from the English one";
    EXPECT_EQ(Differences(version[0], version[1]), 0) << "the version line differs";
}

// Without a window manager on the test's display, Wine hands a drag of a
// managed window's frame to the (absent) manager and nothing moves. Windows
// made while this lives are Wine's own: it runs the sizing loop itself, as
// Windows does.
class OwnFrames {
public:
    OwnFrames() {
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", 0, nullptr, 0, KEY_SET_VALUE | KEY_QUERY_VALUE,
                        nullptr, &key_, nullptr);
        had_ = key_ && RegQueryValueExW(key_, L"Managed", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
        if (key_) RegSetValueExW(key_, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"N"), 4);
    }
    ~OwnFrames() {
        if (key_ && !had_) RegDeleteValueW(key_, L"Managed");
        if (key_) RegCloseKey(key_);
    }

private:
    HKEY key_ = nullptr;
    bool had_ = false;
};

// The right or bottom edge of a window's frame, where a drag resizes it.
POINT RightEdge(HWND h) {
    RECT r = WindowOnScreen(h);
    return POINT{r.right - 2, (r.top + r.bottom) / 2};
}

// The bottom buttons (and the rule dialog's buttons) look the same after the
// window is widened as before: moved, but painted at once and in full.
TEST_F(Screen, CaptionsIntactAfterWidening) {
    OwnFrames frames;
    for (const Build& b : kBuilds) {
        SCOPED_TRACE(b.name);
        Fwise app(b.exe);
        ASSERT_TRUE(app.Main());
        HWND main = app.Main();
        std::vector<HWND> buttons;
        for (HWND h : Children(main, L"Button"))
            if (IsWindowVisible(h) && GetParent(h) != VisiblePage(main) && !IsChild(VisiblePage(main), h))
                buttons.push_back(h);
        ASSERT_EQ(buttons.size(), 4u) << "Help, OK, Cancel, Apply";
        std::vector<Shot> before;
        for (HWND h : buttons) before.push_back(Grab(WindowOnScreen(h)));
        RECT w0 = WindowOnScreen(main);
        POINT edge = RightEdge(main);
        Drag(edge, POINT{edge.x + 150, edge.y});
        Sleep(500);
        RECT w1 = WindowOnScreen(main);
        ASSERT_EQ(w1.right - w1.left, w0.right - w0.left + 150) << "the drag did not widen the window";
        Save(Grab(w1), (std::string("widened_") + b.name).c_str());
        for (size_t i = 0; i < buttons.size(); ++i)
            EXPECT_EQ(Differences(before[i], Grab(WindowOnScreen(buttons[i]))), 0)
                << Narrow(Text(buttons[i])) << " is not painted as before";
        // The strip under the pages is plain between Help and OK.
        RECT help = WindowOnScreen(buttons[0]), ok = WindowOnScreen(buttons[1]);
        Shot strip = Grab(RECT{help.right + 4, help.top, ok.left - 4, help.bottom});
        EXPECT_EQ(Ink(strip, kFace, 24), 0) << "the bottom strip is not repainted";

        // The rule dialog, widened the same way.
        HWND dlg = OpenRuleDialog(app);
        ASSERT_TRUE(dlg);
        std::vector<HWND> dlgButtons;
        for (HWND h : Children(dlg, L"Button")) dlgButtons.push_back(h);
        ASSERT_EQ(dlgButtons.size(), 3u) << "folder, OK, Cancel";
        before.clear();
        for (HWND h : dlgButtons) before.push_back(Grab(WindowOnScreen(h)));
        edge = RightEdge(dlg);
        Drag(edge, POINT{edge.x + 120, edge.y});
        Sleep(500);
        Save(Grab(WindowOnScreen(dlg)), (std::string("widened_dialog_") + b.name).c_str());
        for (size_t i = 0; i < dlgButtons.size(); ++i)
            EXPECT_EQ(Differences(before[i], Grab(WindowOnScreen(dlgButtons[i]))), 0)
                << "dialog button " << i << " (" << Narrow(Text(dlgButtons[i])) << ") is not painted as before";
        Key(VK_ESCAPE);
        ASSERT_TRUE(WaitGone(dlg));
        Key(VK_ESCAPE);
        EXPECT_EQ(app.WaitExit(), 0);
    }
}

// Dragging the left or top edge inwards past the minimum size stops the
// edge there: the window keeps its place and size.
TEST_F(Screen, EdgesStopAtTheMinimumSize) {
    OwnFrames frames;
    Fwise app;
    ASSERT_TRUE(app.Main());
    struct Drag_ {
        const char* edge;
        int dx, dy;
    } drags[] = {{"left", 200, 0}, {"top", 0, 120}};
    auto check = [&](HWND h, const char* what) {
        for (const Drag_& d : drags) {
            RECT r0 = WindowOnScreen(h);
            POINT from = d.dx ? POINT{r0.left + 2, (r0.top + r0.bottom) / 2} : POINT{(r0.left + r0.right) / 2, r0.top + 2};
            Drag(from, POINT{from.x + d.dx, from.y + d.dy});
            RECT r1 = WindowOnScreen(h);
            // The sizing loop may first put the edge under the pointer (a
            // pixel or two); a slide is the whole drag.
            EXPECT_NEAR(r1.left, r0.left, 2) << what << ", " << d.edge << " edge";
            EXPECT_NEAR(r1.top, r0.top, 2) << what << ", " << d.edge << " edge";
            EXPECT_EQ(r1.right, r0.right) << what << ", " << d.edge << " edge";
            EXPECT_EQ(r1.bottom, r0.bottom) << what << ", " << d.edge << " edge";
        }
    };
    check(app.Main(), "main window");
    HWND dlg = OpenRuleDialog(app);
    ASSERT_TRUE(dlg);
    check(dlg, "rule dialog");
    Key(VK_ESCAPE);
    ASSERT_TRUE(WaitGone(dlg));
    Key(VK_ESCAPE);
    EXPECT_EQ(app.WaitExit(), 0);
}

// Every tool button shows its hint under the mouse, disabled or not.
TEST_F(Screen, HintsOverEveryToolButton) {
    Fwise app;
    ASSERT_TRUE(app.Main());
    std::vector<HWND> tools;
    for (HWND h : Children(VisiblePage(app.Main()), L"Button"))
        if ((GetWindowLongW(h, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW) tools.push_back(h);
    ASSERT_GE(tools.size(), 4u);
    for (HWND h : tools) {
        MoveTo(0, 0);
        Sleep(600);
        RECT r = WindowOnScreen(h);
        MoveTo((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        HWND tip = WaitWindow(app.Pid(), TOOLTIPS_CLASSW, 3000);
        EXPECT_TRUE(tip) << "no hint over " << Narrow(Text(h)) << (IsWindowEnabled(h) ? "" : " (disabled)");
    }
    MoveTo(0, 0);
    Key(VK_ESCAPE);
    EXPECT_EQ(app.WaitExit(), 0);
}

}  // namespace
}  // namespace fw::test
