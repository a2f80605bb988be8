// Forms, their timers and font dialogs, and the application's message loop.
#include "forms_internal.h"

namespace fw::forms {

TApplication Application;

// --- TTimer, TFontDialog ---

TTimer::TTimer(TForm* owner) : owner_(owner), id_(owner->NewId()) {
    owner->AddComponent(this);
    owner->AddTimer(this);
}

TTimer::~TTimer() {
    enabled_ = false;
    Update();
    owner_->RemoveTimer(this);
}

void TTimer::SetEnabled(bool on) {
    if (enabled_ == on) return;
    enabled_ = on;
    Update();
}

void TTimer::SetInterval(UINT ms) {
    if (interval_ == ms) return;
    interval_ = ms;
    Update();
}

void TTimer::Update() {
    if (!owner_->Handle()) return;
    KillTimer(owner_->Handle(), id_);
    if (enabled_ && interval_ > 0) SetTimer(owner_->Handle(), id_, interval_, nullptr);
}

TFontDialog::TFontDialog(TForm* owner) { owner->AddComponent(this); }

bool TFontDialog::Execute(HWND owner) {
    LOGFONTW lf = Font.Log();
    CHOOSEFONTW cf = {};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = owner;
    cf.lpLogFont = &lf;
    cf.Flags = Options | CF_INITTOLOGFONTSTRUCT;
    cf.nSizeMin = MinFontSize;
    cf.nSizeMax = MaxFontSize;
    cf.rgbColors = ColorToRGB(Font.Color);
    if (!ChooseFontW(&cf)) return false;
    Font.SetName(lf.lfFaceName);
    Font.CharSet = lf.lfCharSet;
    Font.Height = lf.lfHeight;
    Font.Bold = lf.lfWeight >= FW_BOLD;
    return true;
}

// --- TForm ---

TForm::TForm(const wchar_t* cls, TForm* owner, bool sizeable, bool minMax) : TContainer(nullptr), owner_(owner) {
    DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    if (sizeable) style |= WS_THICKFRAME;
    if (minMax) style |= WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    width_ = 400;
    height_ = 300;
    left_ = CW_USEDEFAULT;
    top_ = CW_USEDEFAULT;
    CreateContainer(owner ? WS_EX_DLGMODALFRAME : 0, cls, L"", style, owner ? owner->Handle() : nullptr);
    left_ = top_ = 0;
    if (owner && handle_) {
        // Dialogs carry no icon in the caption, as Windows' own do not.
        SendMessageW(handle_, WM_SETICON, ICON_SMALL, 0);
        SendMessageW(handle_, WM_SETICON, ICON_BIG, 0);
    }
}

// The controls and the window go in TWinControl's teardown; the timers,
// image lists and font dialogs, which need the window, before them.
TForm::~TForm() {
    for (auto it = components_.rbegin(); it != components_.rend(); ++it) delete *it;
    components_.clear();
    if (tooltip_) DestroyWindow(tooltip_);
}

TForm* TForm::FromWindow(HWND hwnd) {
    TWinControl* c = FromHandle(hwnd);
    if (!c || c->Parent()) return nullptr;
    return static_cast<TForm*>(c);
}

void TForm::SetCaption(const wchar_t* caption) { SetWindowTextW(handle_, caption); }

void TForm::SetClientSize(int width, int height) {
    RECT r = {0, 0, width, height};
    AdjustWindowRectEx(&r, GetWindowLongW(handle_, GWL_STYLE), FALSE, GetWindowLongW(handle_, GWL_EXSTYLE));
    SetWindowPos(handle_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT w;
    GetWindowRect(handle_, &w);
    width_ = w.right - w.left;
    height_ = w.bottom - w.top;
}

void TForm::CenterWindow() {
    RECT w;
    GetWindowRect(handle_, &w);
    RECT area;
    if (Position == TPosition::poOwnerFormCenter && owner_) {
        GetWindowRect(owner_->Handle(), &area);
    } else if (Position != TPosition::poDesigned) {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    } else {
        return;
    }
    int x = area.left + ((area.right - area.left) - (w.right - w.left)) / 2;
    int y = area.top + ((area.bottom - area.top) - (w.bottom - w.top)) / 2;
    SetWindowPos(handle_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::Show() {
    CenterWindow();
    ShowWindow(handle_, SW_SHOW);
    SetForegroundWindow(handle_);
    if (!lastFocus_) {
        std::vector<HWND> stops;
        CollectTabStops(this, stops);
        if (!stops.empty()) ::SetFocus(stops[0]);
    }
}

bool TForm::FocusNext(bool forward) {
    std::vector<HWND> stops;
    CollectTabStops(this, stops);
    if (stops.empty()) return false;
    // The stop that holds the focus: the window itself, or the nearest stop
    // it lies in (the tab strip for a control of a page that is no stop).
    HWND focus = GetFocus();
    int at = -1;
    for (size_t i = 0; i < stops.size(); ++i)
        if (stops[i] == focus || (at < 0 && IsChild(stops[i], focus))) at = static_cast<int>(i);
    for (size_t i = 0; i < stops.size(); ++i)
        if (stops[i] == focus) at = static_cast<int>(i);
    int n = static_cast<int>(stops.size());
    int next = at < 0 ? (forward ? 0 : n - 1) : (at + (forward ? 1 : n - 1)) % n;
    HWND target = stops[next];
    ::SetFocus(target);
    // An edit box reached with Tab has its text selected, as in a dialog.
    if (SendMessageW(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(target, EM_SETSEL, 0, -1);
    return true;
}

int TForm::ShowModal() {
    HWND ownerWnd = owner_ ? owner_->Handle() : nullptr;
    if (ownerWnd) EnableWindow(ownerWnd, FALSE);
    ModalResult = mrNone;
    modal_ = true;
    Show();
    HWND self = handle_;
    while (ModalResult == mrNone && IsWindow(self)) {
        if (!Application.ProcessMessage()) {
            PostQuitMessage(0);
            if (ModalResult == mrNone) ModalResult = mrCancel;
        }
    }
    modal_ = false;
    if (ownerWnd) {
        EnableWindow(ownerWnd, TRUE);
        SetActiveWindow(ownerWnd);
    }
    if (IsWindow(self)) ShowWindow(self, SW_HIDE);
    return ModalResult;
}

bool TForm::CloseQuery() {
    bool canClose = true;
    OnCloseQuery(this, canClose);
    return canClose;
}

void TForm::Close() {
    if (!CloseQuery()) return;
    if (modal_) {
        if (ModalResult == mrNone) ModalResult = mrCancel;
        return;
    }
    DestroyWindow(handle_);
}

void TForm::RemoveTimer(TTimer* t) {
    for (auto it = timers_.begin(); it != timers_.end(); ++it)
        if (*it == t) {
            timers_.erase(it);
            return;
        }
}

void TForm::AddHint(TControl* c) {
    if (!tooltip_) {
        tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, handle_, nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 600);
    }
    TOOLINFOW ti = {};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_SUBCLASS;
    ti.lpszText = const_cast<wchar_t*>(c->Hint());
    if (c->Windowed()) {
        TOOLINFOW own = ti;
        own.uFlags |= TTF_IDISHWND;
        own.hwnd = c->Parent()->Handle();
        own.uId = reinterpret_cast<UINT_PTR>(static_cast<TWinControl*>(c)->Handle());
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&own));
    }
    // A rectangle on the parent: a disabled window gets no mouse messages
    // (its parent does), and its hint must show all the same.
    ti.hwnd = c->Parent()->Handle();
    ti.uId = NewId();
    ti.rect = c->BoundsRect();
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    c->SetHintId(ti.uId);
}

void TForm::UpdateHintRect(TControl* c) {
    if (!tooltip_) return;
    TOOLINFOW ti = {};
    ti.cbSize = sizeof ti;
    ti.hwnd = c->Parent()->Handle();
    ti.uId = c->HintId();
    ti.rect = c->BoundsRect();
    SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
}

bool TForm::PreTranslate(MSG& msg) {
    HWND self = handle_;
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        WORD key = static_cast<WORD>(msg.wParam);
        TShiftState shift = KeyShift();
        TWinControl* c = FindControl(msg.hwnd);
        if (c && c->OnKeyDown) {
            c->OnKeyDown(c, key, shift);
            if (!IsWindow(self) || key == 0) return true;
        }
        if (msg.message == WM_KEYDOWN) {
            if (key == VK_TAB && (shift & ssCtrl) && Pages) {
                Pages->SelectNextPage(!(shift & ssShift));
                return true;
            }
            // Tab walks the form's own order, into the visible page and out
            // again: the pages lie inside the tab control, where the dialog
            // handling's walk would not follow.
            if (key == VK_TAB && !(shift & (ssCtrl | ssAlt)) && FocusNext(!(shift & ssShift))) return true;
            if (key == VK_RETURN) {
                // A focused push button takes Enter itself, as in a dialog.
                TWinControl* f = FromHandle(GetFocus());
                TButton* b = f ? f->AsButton() : nullptr;
                if (!b) b = DefaultButton;
                if (b) {
                    if (IsWindowEnabled(b->Handle()) && IsWindowVisible(b->Handle())) b->Click();
                    return true;
                }
            }
            if (key == VK_ESCAPE && CancelButton) {
                if (IsWindowEnabled(CancelButton->Handle())) CancelButton->Click();
                return true;
            }
        }
    }
    return IsDialogMessageW(self, &msg) != 0;
}

LRESULT TForm::WndProc(UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
        case WM_CLOSE:
            Close();
            return 0;
        case WM_QUERYENDSESSION:
            return CloseQuery() ? TRUE : FALSE;
        case WM_DESTROY:
            for (TTimer* t : timers_) KillTimer(handle_, t->Id());
            if (Application.MainForm == this) PostQuitMessage(0);
            return 0;
        case WM_TIMER:
            for (TTimer* t : timers_)
                if (t->Id() == w) {
                    t->Tick();
                    break;
                }
            return 0;
        case WM_GETMINMAXINFO:
            // The sizing loop stops a dragged edge at the limits.
            if (OnCanResize) {
                MINMAXINFO* mm = reinterpret_cast<MINMAXINFO*>(l);
                int w = 1, h = 1;
                bool resize = true;
                OnCanResize(this, w, h, resize);
                mm->ptMinTrackSize.x = w;
                mm->ptMinTrackSize.y = h;
                int bigW = 1 << 15, bigH = 1 << 15;
                OnCanResize(this, bigW, bigH, resize);
                if (bigW < (1 << 15)) mm->ptMaxTrackSize.x = bigW;
                if (bigH < (1 << 15)) mm->ptMaxTrackSize.y = bigH;
                return 0;
            }
            break;
        case WM_WINDOWPOSCHANGING: {
            WINDOWPOS* wp = reinterpret_cast<WINDOWPOS*>(l);
            if (!(wp->flags & SWP_NOSIZE) && OnCanResize) {
                int cw = wp->cx, ch = wp->cy;
                bool resize = true;
                OnCanResize(this, cw, ch, resize);
                if (resize) {
                    // A left or top edge held back at the limit keeps the
                    // opposite edge where it was, instead of sliding the window.
                    RECT old;
                    if (!(wp->flags & SWP_NOMOVE) && GetWindowRect(handle_, &old)) {
                        if (wp->x != old.left && cw != wp->cx) wp->x += wp->cx - cw;
                        if (wp->y != old.top && ch != wp->cy) wp->y += wp->cy - ch;
                    }
                    wp->cx = cw;
                    wp->cy = ch;
                } else {
                    wp->flags |= SWP_NOSIZE;
                }
            }
            break;
        }
        case WM_ACTIVATE:
            if (LOWORD(w) == WA_INACTIVE) {
                HWND f = GetFocus();
                if (f && IsChild(handle_, f)) lastFocus_ = f;
            } else if (lastFocus_ && IsWindow(lastFocus_) && IsWindowEnabled(lastFocus_) && IsWindowVisible(lastFocus_)) {
                ::SetFocus(lastFocus_);
                return 0;
            }
            break;
        default:
            break;
    }
    return TContainer::WndProc(msg, w, l);
}

// --- TApplication ---

void TApplication::Initialize() {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
}

bool TApplication::ProcessMessage() {
    MSG msg;
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) return false;
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    TForm* form = root ? TForm::FromWindow(root) : nullptr;
    if (form && form->PreTranslate(msg)) return true;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
}

void TApplication::Run(TForm* mainForm) {
    MainForm = mainForm;
    mainForm->Show();
    while (ProcessMessage()) {
    }
}

}  // namespace fw::forms
