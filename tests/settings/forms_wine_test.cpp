// The form layer in-process under Wine: which handlers a key reaches, and
// which of the list view's change notices reach OnChange. Each case is an
// expected sequence of what the handlers saw; an optional entry may be
// missing (what Windows and Wine differ in).
#include "forms/forms.h"
#include "store_util.h"
#include "win.h"
#include <commctrl.h>
#include <string>
#include <vector>

namespace fw::test {
namespace {

using namespace forms;

struct Expect {
    std::string what;
    bool optional = false;
};

// Walks `expected` against `got` as Wine's own message tests do: an entry
// that does not match is skipped when optional, else the sequences differ.
bool SequenceMatches(const std::vector<std::string>& got, const std::vector<Expect>& expected) {
    size_t g = 0;
    for (const Expect& e : expected) {
        if (g < got.size() && got[g] == e.what) ++g;
        else if (!e.optional) return false;
    }
    return g == got.size();
}

std::string Show(const std::vector<std::string>& seq) {
    std::string out;
    for (const auto& s : seq) out += "[" + s + "]";
    return out.empty() ? "(nothing)" : out;
}

std::string ShowExpected(const std::vector<Expect>& seq) {
    std::string out;
    for (const auto& e : seq) out += "[" + e.what + (e.optional ? "?" : "") + "]";
    return out.empty() ? "(nothing)" : out;
}

std::string ChangeName(TItemChange c) {
    return c == TItemChange::ctState ? "state" : c == TItemChange::ctImage ? "image" : "text";
}

// A form with two pages, a list and an edit box on the first, a push button
// and the default and cancel buttons; every handler writes to `log`.
class TestForm : public TForm {
public:
    TestForm() : TForm(L"FwFormsTest", nullptr, true, false) {
        SetClientSize(400, 300);
        pages = new TPageControl(this);
        pages->SetBounds(0, 0, 400, 250);
        Pages = pages;
        first = new TTabSheet(pages, L"First");
        second = new TTabSheet(pages, L"Second");
        list = new TListView(first);
        list->SetBounds(4, 4, 300, 150);
        list->AddColumn(L"Rule", 150);
        list->AddColumn(L"Folder", 150);
        list->OnKeyDown = Bind<&TestForm::ListKey>(this);
        list->OnChange = Bind<&TestForm::ListChange>(this);
        edit = new TEdit(first);
        edit->SetBounds(4, 160, 200, 23);
        pushA = new TButton(first, L"A");
        pushA->SetBounds(210, 160, 75, 25);
        pushA->OnClick = Bind<&TestForm::Click>(this);
        ok = new TButton(this, L"OK");
        ok->SetBounds(230, 260, 75, 25);
        ok->SetDefault(true);
        ok->OnClick = Bind<&TestForm::Click>(this);
        cancel = new TButton(this, L"Cancel");
        cancel->SetBounds(315, 260, 75, 25);
        cancel->SetCancel(true);
        cancel->OnClick = Bind<&TestForm::Click>(this);
    }

    void ListKey(TObject*, WORD& key, TShiftState shift) {
        log.push_back("list key " + std::to_string(key) + ((shift & ssCtrl) ? " ctrl" : ""));
        if (key == consume) key = 0;
    }
    void ListChange(TObject*, int item, TItemChange change) {
        log.push_back("change " + std::to_string(item) + " " + ChangeName(change));
    }
    void Click(TObject* sender) {
        log.push_back(std::string("click ") + (sender == ok ? "OK" : sender == cancel ? "Cancel" : "A"));
    }

    TPageControl* pages;
    TTabSheet* first;
    TTabSheet* second;
    TListView* list;
    TEdit* edit;
    TButton* pushA;
    TButton* ok;
    TButton* cancel;
    WORD consume = 0;
    std::vector<std::string> log;
};

// Runs the thread's messages through the forms' keyboard handling until the
// queue has stayed empty for a moment.
void Pump(int quietMs = 150) {
    for (int quiet = 0; quiet < quietMs; quiet += 10) {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE)) {
            Application.ProcessMessage();
            quiet = 0;
        }
        Sleep(10);
    }
}

bool Extended(WORD k) { return k == VK_UP || k == VK_DOWN || k == VK_DELETE || k == VK_INSERT; }

// Real key presses: all down in order, then up in reverse.
void Press(const std::vector<WORD>& keys) {
    std::vector<INPUT> in;
    for (int up = 0; up < 2; ++up)
        for (size_t n = 0; n < keys.size(); ++n) {
            WORD k = up ? keys[keys.size() - 1 - n] : keys[n];
            INPUT i = {};
            i.type = INPUT_KEYBOARD;
            i.ki.wVk = k;
            i.ki.wScan = static_cast<WORD>(MapVirtualKeyW(k, MAPVK_VK_TO_VSC));
            i.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (Extended(k) ? KEYEVENTF_EXTENDEDKEY : 0);
            in.push_back(i);
        }
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

class Forms : public ::testing::Test {
protected:
    void SetUp() override {
        Application.Initialize();
        form = new TestForm();
        form->Show();
        Pump();
    }
    void TearDown() override {
        delete form;
        Pump();
    }
    TestForm* form = nullptr;
};

TEST_F(Forms, KeyRouting) {
    enum Focus { List, Edit, PushA };
    struct Row {
        const char* label;
        Focus focus;
        std::vector<WORD> keys;
        WORD consume;  // the key the list's handler clears
        std::vector<Expect> expected;
    } rows[] = {
        {"Delete in the list reaches its handler", List, {VK_DELETE}, 0, {{"list key 46"}, {"page 0"}, {"selected 1"}}},
        {"Enter in the list: its handler, then the default button", List, {VK_RETURN}, 0,
         {{"list key 13"}, {"click OK"}, {"page 0"}, {"selected 1"}}},
        {"Enter the list's handler clears presses nothing", List, {VK_RETURN}, VK_RETURN,
         {{"list key 13"}, {"page 0"}, {"selected 1"}}},
        {"Enter on a focused push button presses it, not the default", PushA, {VK_RETURN}, 0,
         {{"click A"}, {"page 0"}, {"selected 1"}}},
        {"Esc presses the cancel button", Edit, {VK_ESCAPE}, 0, {{"click Cancel"}, {"page 0"}, {"selected 1"}}},
        {"Esc with focus in the list: its handler first", List, {VK_ESCAPE}, 0,
         {{"list key 27"}, {"click Cancel"}, {"page 0"}, {"selected 1"}}},
        {"Ctrl+Tab turns the page after the list's handler", List, {VK_CONTROL, VK_TAB}, 0,
         {{"list key 17 ctrl"}, {"list key 9 ctrl"}, {"page 1"}, {"selected 1"}}},
        {"Ctrl+Shift+Tab turns it backwards, round to the last", Edit, {VK_CONTROL, VK_SHIFT, VK_TAB}, 0,
         {{"page 1"}, {"selected 1"}}},
        {"Up reaches the handler and then the list view", List, {VK_UP}, 0,
         {{"list key 38"},
          {"change 1 state", true},
          {"change 1 state", true},
          {"change 0 state"},
          {"change 0 state", true},
          {"page 0"},
          {"selected 0"}}},
        {"Up the handler clears leaves the list view's selection", List, {VK_UP}, VK_UP,
         {{"list key 38"}, {"page 0"}, {"selected 1"}}},
    };
    for (const Row& row : rows) {
        form->pages->SetActivePageIndex(0);
        while (form->list->Count() > 0) form->list->Delete(0);
        for (const wchar_t* r : {L"a", L"b", L"c"}) form->list->Add(0, r, L"C:\\x", 0);
        form->list->Select(1);
        form->list->FocusItem(1);
        SetForegroundWindow(form->Handle());
        HWND target = row.focus == List ? form->list->Handle()
                      : row.focus == Edit ? form->edit->Handle()
                                          : form->pushA->Handle();
        ::SetFocus(target);
        Pump();
        ASSERT_EQ(GetFocus(), target) << row.label << ": no focus";
        form->consume = row.consume;
        form->log.clear();
        Press(row.keys);
        Pump();
        std::vector<std::string> got = form->log;
        got.push_back("page " + std::to_string(form->pages->ActivePageIndex()));
        got.push_back("selected " + std::to_string(form->list->SelectedIndex()));
        EXPECT_TRUE(SequenceMatches(got, row.expected))
            << row.label << "\n  got      " << Show(got) << "\n  expected " << ShowExpected(row.expected);
    }
}

// The list view's LVN_ITEMCHANGED as it comes (logged by a subclass of the
// list's parent, ahead of the form layer) and what of it reaches OnChange.
std::vector<std::string>* g_raw = nullptr;

LRESULT CALLBACK RawNotices(HWND h, UINT msg, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR) {
    if (msg == WM_NOTIFY && g_raw) {
        const NMHDR* hdr = reinterpret_cast<const NMHDR*>(l);
        if (hdr->code == LVN_ITEMCHANGED) {
            const NMLISTVIEW* nm = reinterpret_cast<const NMLISTVIEW*>(l);
            std::string what = "raw " + std::to_string(nm->iItem);
            if (nm->uChanged & LVIF_STATE) {
                bool marks = ((nm->uNewState ^ nm->uOldState) & (LVIS_SELECTED | LVIS_FOCUSED)) != 0;
                what += marks ? " state" : " state unchanged";
            }
            if (nm->uChanged & LVIF_IMAGE) what += " image";
            if (nm->uChanged & LVIF_TEXT) what += " text";
            g_raw->push_back(what);
        }
    }
    return DefSubclassProc(h, msg, w, l);
}

void SetState(TListView* l, int i, UINT state, UINT mask) {
    LVITEMW item = {};
    item.state = state;
    item.stateMask = mask;
    SendMessageW(l->Handle(), LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&item));
}

TEST_F(Forms, ListViewChangeFilter) {
    TListView* list = form->list;
    HWND parent = GetParent(list->Handle());
    // Raw notices and OnChange write to one log, in the order they happen.
    g_raw = &form->log;
    ASSERT_TRUE(SetWindowSubclass(parent, &RawNotices, 7, 0));
    struct Step {
        const char* label;
        void (*act)(TListView*);
        std::vector<Expect> expected;
    } steps[] = {
        // Either system may tell of the new row's clear state; it never
        // reaches OnChange, which would search the whole list for each row.
        {"a row added with a clear state", [](TListView* l) { l->Add(0, L"a", L"x", 0); },
         {{"raw 0 state unchanged", true}}},
        {"selecting it", [](TListView* l) { l->Select(0); }, {{"raw 0 state"}, {"change 0 state"}}},
        {"selecting it again", [](TListView* l) { l->Select(0); }, {{"raw 0 state unchanged", true}}},
        {"its focus mark", [](TListView* l) { l->FocusItem(0); }, {{"raw 0 state"}, {"change 0 state"}}},
        // A state bit other than selection and focus changes: told, not passed on.
        {"a cut mark", [](TListView* l) { SetState(l, 0, LVIS_CUT, LVIS_CUT); }, {{"raw 0 state unchanged"}}},
        {"the cut mark cleared", [](TListView* l) { SetState(l, 0, 0, LVIS_CUT); }, {{"raw 0 state unchanged"}}},
        {"a second row", [](TListView* l) { l->Add(0, L"b", L"y", 0); }, {{"raw 1 state unchanged", true}}},
        {"selecting the second moves the selection", [](TListView* l) { l->Select(1); },
         {{"raw 0 state"}, {"change 0 state"}, {"raw 1 state"}, {"change 1 state"}}},
        {"new texts and picture for the first", [](TListView* l) { l->Set(0, 1, L"c", L"z", 0); },
         {{"raw 0 image", true}, {"raw 0 image text", true}, {"change 0 image"}}},
    };
    for (const Step& s : steps) {
        form->log.clear();
        s.act(list);
        Pump(50);
        EXPECT_TRUE(SequenceMatches(form->log, s.expected))
            << s.label << "\n  got      " << Show(form->log) << "\n  expected " << ShowExpected(s.expected);
    }
    RemoveWindowSubclass(parent, &RawNotices, 7);
    g_raw = nullptr;
}

}  // namespace
}  // namespace fw::test
