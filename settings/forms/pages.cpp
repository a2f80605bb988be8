// The page control and its tab sheets.
#include "forms_internal.h"

namespace fw::forms {

// --- TPageControl, TTabSheet ---

TPageControl::TPageControl(TWinControl* parent) : TWinControl(parent) {
    width_ = 289;
    height_ = 193;
    // A control parent, so that the dialog keyboard handling (mnemonics)
    // looks into the pages.
    CreateSystemWindow(WS_EX_CONTROLPARENT, WC_TABCONTROLW, L"", WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | TCS_HOTTRACK, true);
}

void TPageControl::SetDoubleBuffered(bool on) { doubleBuffered_ = on; }

int TPageControl::AddPage(TTabSheet* sheet, const wchar_t* caption) {
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(caption);
    int index = static_cast<int>(pages_.size());
    SendMessageW(handle_, TCM_INSERTITEMW, index, reinterpret_cast<LPARAM>(&item));
    pages_.push_back(sheet);
    // The first tab makes room for the tab row.
    RECT d = DisplayRect();
    for (TTabSheet* s : pages_) s->SetBounds(d.left, d.top, d.right - d.left, d.bottom - d.top);
    return index;
}

RECT TPageControl::DisplayRect() const {
    RECT r = {0, 0, width_, height_};
    if (handle_) {
        GetClientRect(handle_, &r);
        SendMessageW(handle_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    }
    return r;
}

void TPageControl::SetActivePageIndex(int index) { Turn(index, false); }

// `intoPage`: a turn by Ctrl+Tab, which always takes the focus into the page
// shown (back from a page with no control, too).
void TPageControl::Turn(int index, bool intoPage) {
    if (index < 0 || index >= static_cast<int>(pages_.size())) return;
    HWND focus = GetFocus();
    bool onPage = focus && IsChild(handle_, focus);
    bool inForm = focus && IsChild(GetAncestor(handle_, GA_ROOT), focus);
    if (onPage && active_ >= 0 && IsChild(pages_[active_]->Handle(), focus)) pages_[active_]->LastFocus = focus;
    // A click on a tab leaves the focus on the strip; arrows there keep it.
    bool clicked = focus == handle_ && GetKeyState(VK_LBUTTON) < 0;
    active_ = index;
    if (static_cast<int>(SendMessageW(handle_, TCM_GETCURSEL, 0, 0)) != index)
        SendMessageW(handle_, TCM_SETCURSEL, index, 0);
    pages_[index]->SetVisible(true);
    for (size_t i = 0; i < pages_.size(); ++i)
        if (static_cast<int>(i) != index) pages_[i]->SetVisible(false);
    // The keyboard never stays on a hidden page: it follows into the one shown.
    if ((onPage || clicked || (intoPage && inForm)) && !pages_[index]->FocusInside()) ::SetFocus(handle_);
}

void TPageControl::SelectNextPage(bool forward) {
    int n = static_cast<int>(pages_.size());
    if (n == 0) return;
    Turn((active_ + (forward ? 1 : n - 1)) % n, true);
}

bool TPageControl::HandleNotify(NMHDR* hdr, LRESULT* result) {
    if (hdr->code == TCN_SELCHANGE) {
        SetActivePageIndex(static_cast<int>(SendMessageW(handle_, TCM_GETCURSEL, 0, 0)));
        *result = 0;
        return true;
    }
    return false;
}

LRESULT TPageControl::SubclassProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_SIZE) {
        LRESULT r = DefSubclassProc(h, msg, w, l);
        RECT d = DisplayRect();
        for (TTabSheet* s : pages_) s->SetBounds(d.left, d.top, d.right - d.left, d.bottom - d.top);
        return r;
    }
    if (doubleBuffered_ && msg == WM_ERASEBKGND) return 1;
    if (doubleBuffered_ && msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        RECT c;
        GetClientRect(h, &c);
        // The tab control draws itself into the bitmap through WM_PRINTCLIENT.
        PaintBuffered(dc, c, [&](HDC target) {
            FillRect(target, &c, GetSysColorBrush(COLOR_BTNFACE));
            DefSubclassProc(h, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(target), PRF_CLIENT);
        });
        EndPaint(h, &ps);
        return 0;
    }
    return TWinControl::SubclassProc(h, msg, w, l);
}

TTabSheet::TTabSheet(TPageControl* pages, const wchar_t* caption) : TContainer(pages) {
    RECT d = pages->DisplayRect();
    left_ = d.left;
    top_ = d.top;
    width_ = d.right - d.left;
    height_ = d.bottom - d.top;
    visible_ = false;
    CreateContainer(0, kContainerClass, caption, WS_CHILD, pages->Handle());
    pages->AddPage(this, caption);
    if (pages->ActivePageIndex() < 0) pages->SetActivePageIndex(0);
}

bool TTabSheet::FocusInside() {
    if (LastFocus && IsWindow(LastFocus) && IsChild(handle_, LastFocus) && IsWindowVisible(LastFocus) &&
        IsWindowEnabled(LastFocus)) {
        ::SetFocus(LastFocus);
        return true;
    }
    std::vector<HWND> stops;
    CollectTabStops(this, stops);
    if (stops.empty()) return false;
    ::SetFocus(stops[0]);
    return true;
}

}  // namespace fw::forms
