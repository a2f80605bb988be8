#include "forms.h"
#include <commdlg.h>
#include <windowsx.h>
#include <unordered_map>

namespace fw::forms {

TApplication Application;

namespace {

const wchar_t kContainerClass[] = L"FwContainer";

// Which control a window belongs to. Kept in the process rather than in
// window properties: Wine asks its server for every property lookup, and a
// list of 10,000 rules makes many.
std::unordered_map<HWND, TWinControl*>& ControlMap() {
    static std::unordered_map<HWND, TWinControl*> map;
    return map;
}

void SetControlProp(HWND h, TWinControl* c) { ControlMap()[h] = c; }
void RemoveControlProp(HWND h) { ControlMap().erase(h); }

}  // namespace

TShiftState KeyShift() {
    TShiftState s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    return s;
}

COLORREF ColorToRGB(TColor c) {
    return (c & 0x80000000u) ? GetSysColor(static_cast<int>(c & 0xFF)) : static_cast<COLORREF>(c);
}

// --- TFont ---

TFont& TFont::operator=(const TFont& other) {
    if (this == &other) return *this;
    if (handle_) DeleteObject(handle_);
    handle_ = nullptr;
    lstrcpynW(name_, other.name_, LF_FACESIZE);
    CharSet = other.CharSet;
    Height = other.Height;
    Bold = other.Bold;
    Color = other.Color;
    return *this;
}

TFont::~TFont() {
    if (handle_) DeleteObject(handle_);
}

void TFont::SetName(const wchar_t* face) {
    lstrcpynW(name_, face ? face : L"", LF_FACESIZE);
    if (handle_) DeleteObject(handle_);
    handle_ = nullptr;
}

LOGFONTW TFont::Log() const {
    LOGFONTW lf = {};
    lf.lfHeight = Height;
    lf.lfWeight = Bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = CharSet;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    lstrcpynW(lf.lfFaceName, name_, LF_FACESIZE);
    return lf;
}

HFONT TFont::Handle() {
    if (!handle_) {
        LOGFONTW lf = Log();
        handle_ = CreateFontIndirectW(&lf);
    }
    return handle_;
}

HFONT TFont::Release() {
    HFONT h = handle_;
    handle_ = nullptr;
    return h;
}

// --- TControl ---

TControl::TControl(TWinControl* parent) : parent_(parent) {
    if (parent_) parent_->AddChild(this);
}

TForm* TControl::Form() const {
    const TControl* c = this;
    while (c->parent_) c = c->parent_;
    return const_cast<TForm*>(static_cast<const TForm*>(c));
}

void TControl::SetBounds(int left, int top, int width, int height) {
    bool moved = left != left_ || top != top_ || width != width_ || height != height_;
    if (moved && parent_ && parent_->Handle()) {
        RECT old = BoundsRect();
        InvalidateRect(parent_->Handle(), &old, TRUE);
    }
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (moved) {
        Invalidate();
        if (hintId_) Form()->UpdateHintRect(this);
    }
}

void TControl::SetAnchors(uint8_t anchors) {
    anchors_ = anchors;
    if (parent_) {
        toRight_ = parent_->ClientWidth() - (left_ + width_);
        toBottom_ = parent_->ClientHeight() - (top_ + height_);
    }
}

void TControl::ParentResized(int pw, int ph) {
    int l = left_, t = top_, w = width_, h = height_;
    if (anchors_ & akRight) {
        if (anchors_ & akLeft) w = pw - toRight_ - l;
        else l = pw - toRight_ - w;
    }
    if (anchors_ & akBottom) {
        if (anchors_ & akTop) h = ph - toBottom_ - t;
        else t = ph - toBottom_ - h;
    }
    if (w < 0) w = 0;
    if (h < 0) h = 0;
    if (l != left_ || t != top_ || w != width_ || h != height_) SetBounds(l, t, w, h);
}

void TControl::SetEnabled(bool on) {
    enabled_ = on;
    Invalidate();
}

void TControl::SetVisible(bool on) {
    visible_ = on;
    if (parent_ && parent_->Handle()) {
        RECT r = BoundsRect();
        InvalidateRect(parent_->Handle(), &r, TRUE);
    }
}

TFont& TControl::Font() {
    if (parentFont_ && parent_) return parent_->Font();
    return font_;
}

TFont& TControl::OwnFont() {
    if (parentFont_ && parent_) {
        font_ = parent_->Font();
        parentFont_ = false;
    }
    return font_;
}

void TControl::SetFontFace(const wchar_t* face, BYTE charSet) {
    TFont& f = OwnFont();
    HFONT old = f.Release();
    f.SetName(face);
    f.CharSet = charSet;
    FontChanged();
    if (old) DeleteObject(old);
}

void TControl::SetFontColor(TColor color) {
    OwnFont().Color = color;
    Invalidate();
}

void TControl::FontChanged() { Invalidate(); }

void TControl::SetHint(const wchar_t* hint) {
    hint_ = hint ? hint : L"";
    Form()->AddHint(this);
}

void TControl::Invalidate() {
    if (!parent_ || !parent_->Handle()) return;
    RECT r = BoundsRect();
    InvalidateRect(parent_->Handle(), &r, TRUE);
}

// --- TWinControl ---

TWinControl::TWinControl(TWinControl* parent) : TControl(parent) {}

TWinControl::~TWinControl() {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) delete *it;
    controls_.clear();
    if (handle_) {
        if (subclassed_) RemoveWindowSubclass(handle_, &TWinControl::SubclassThunk, 1);
        RemoveControlProp(handle_);
        if (IsWindow(handle_)) DestroyWindow(handle_);
    }
}

TWinControl* TWinControl::FromHandle(HWND hwnd) {
    if (!hwnd) return nullptr;
    auto it = ControlMap().find(hwnd);
    return it == ControlMap().end() ? nullptr : it->second;
}

TWinControl* TWinControl::FindControl(HWND hwnd) {
    while (hwnd) {
        if (TWinControl* c = FromHandle(hwnd)) return c;
        if (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD) hwnd = GetParent(hwnd);
        else break;
    }
    return nullptr;
}

HWND TWinControl::ParentHandle() const { return parent_ ? parent_->Handle() : nullptr; }

void TWinControl::Attach(HWND hwnd) {
    handle_ = hwnd;
    SetControlProp(hwnd, this);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
}

void TWinControl::CreateSystemWindow(DWORD exStyle, const wchar_t* cls, const wchar_t* text, DWORD style,
                                     bool subclass) {
    HWND h = CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, left_, top_, width_, height_,
                             ParentHandle(), reinterpret_cast<HMENU>(Form()->NewId()), GetModuleHandleW(nullptr),
                             nullptr);
    if (!h) return;
    Attach(h);
    // Only controls that need their own messages are subclassed: each
    // subclassed message costs a property lookup in comctl32.
    if (subclass) subclassed_ = SetWindowSubclass(h, &TWinControl::SubclassThunk, 1, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK TWinControl::SubclassThunk(HWND h, UINT msg, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR ref) {
    return reinterpret_cast<TWinControl*>(ref)->SubclassProc(h, msg, w, l);
}

LRESULT TWinControl::SubclassProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_SIZE) {
        LRESULT r = DefSubclassProc(h, msg, w, l);
        LayoutChildren();
        OnResize(this);
        return r;
    }
    return DefSubclassProc(h, msg, w, l);
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    bool moved = left != left_ || top != top_ || width != width_ || height != height_;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (moved && handle_)
        SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (moved && hintId_) Form()->UpdateHintRect(this);
}

void TWinControl::SetEnabled(bool on) {
    enabled_ = on;
    if (handle_) EnableWindow(handle_, on);
}

void TWinControl::SetVisible(bool on) {
    visible_ = on;
    if (handle_) ShowWindow(handle_, on ? SW_SHOW : SW_HIDE);
}

void TWinControl::FontChanged() {
    if (handle_) SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
    for (TControl* c : controls_)
        if (c->ParentFont()) c->FontChanged();
    if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::SetFocus() {
    if (handle_) ::SetFocus(handle_);
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

int TWinControl::ClientWidth() const {
    if (!handle_) return width_;
    RECT r;
    GetClientRect(handle_, &r);
    return r.right;
}

int TWinControl::ClientHeight() const {
    if (!handle_) return height_;
    RECT r;
    GetClientRect(handle_, &r);
    return r.bottom;
}

void TWinControl::LayoutChildren() {
    int w = ClientWidth(), h = ClientHeight();
    for (TControl* c : controls_) c->ParentResized(w, h);
}

// --- TContainer ---

TContainer::TContainer(TWinControl* parent) : TWinControl(parent) {}

TContainer::~TContainer() {
    // Children first, then our own window, unhooked so that its last
    // messages no longer reach this half-destroyed object.
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) delete *it;
    controls_.clear();
    if (handle_) {
        SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
        RemoveControlProp(handle_);
        DestroyWindow(handle_);
        handle_ = nullptr;
    }
}

void TContainer::RegisterContainerClass(const wchar_t* cls) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(GetModuleHandleW(nullptr), cls, &wc)) return;
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &TContainer::ContainerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = cls;
    RegisterClassExW(&wc);
}

void TContainer::CreateContainer(DWORD exStyle, const wchar_t* cls, const wchar_t* text, DWORD style, HWND parent) {
    RegisterContainerClass(cls);
    HMENU id = (style & WS_CHILD) ? reinterpret_cast<HMENU>(Form()->NewId()) : nullptr;
    CreateWindowExW(exStyle | WS_EX_CONTROLPARENT, cls, text, style | WS_CLIPCHILDREN, left_, top_, width_, height_,
                    parent, id, GetModuleHandleW(nullptr), this);
    if (handle_) SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
}

LRESULT CALLBACK TContainer::ContainerProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    TContainer* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<TContainer*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
        self->handle_ = h;
        SetWindowLongPtrW(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        SetControlProp(h, self);
    } else {
        self = reinterpret_cast<TContainer*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(h, msg, w, l);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(h, GWLP_USERDATA, 0);
        RemoveControlProp(h);
        LRESULT r = self->WndProc(msg, w, l);
        self->handle_ = nullptr;
        return r;
    }
    return self->WndProc(msg, w, l);
}

void TContainer::SetHot(TControl* c) {
    TControl* old = hot_;
    hot_ = c;
    if (old) old->OnMouseLeave(old);
    if (c) c->OnMouseEnter(c);
}

TControl* TContainer::GraphicAt(int x, int y) {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        if (c->Windowed() || !c->Visible()) continue;
        POINT p = {x, y};
        RECT r = c->BoundsRect();
        if (PtInRect(&r, p)) return c;
    }
    return nullptr;
}

void TContainer::PaintAll(HDC dc, const RECT& client) {
    HBRUSH bg = CreateSolidBrush(ColorToRGB(Color));
    FillRect(dc, &client, bg);
    DeleteObject(bg);
    PaintFrame(dc);
    for (TControl* c : controls_)
        if (!c->Windowed() && c->Visible()) c->Paint(dc);
}

LRESULT TContainer::WndProc(UINT msg, WPARAM w, LPARAM l) {
    HWND h = handle_;
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
        case WM_PRINTCLIENT: {
            PAINTSTRUCT ps = {};
            HDC dc = msg == WM_PAINT ? BeginPaint(h, &ps) : reinterpret_cast<HDC>(w);
            RECT client;
            GetClientRect(h, &client);
            if (doubleBuffered_ && client.right > 0 && client.bottom > 0) {
                HDC mem = CreateCompatibleDC(dc);
                HBITMAP bmp = CreateCompatibleBitmap(dc, client.right, client.bottom);
                HGDIOBJ old = SelectObject(mem, bmp);
                PaintAll(mem, client);
                BitBlt(dc, 0, 0, client.right, client.bottom, mem, 0, 0, SRCCOPY);
                SelectObject(mem, old);
                DeleteObject(bmp);
                DeleteDC(mem);
            } else {
                PaintAll(dc, client);
            }
            if (msg == WM_PAINT) EndPaint(h, &ps);
            return 0;
        }
        case WM_SIZE:
            LayoutChildren();
            OnResize(this);
            return 0;
        case WM_COMMAND:
            if (TWinControl* c = FromHandle(reinterpret_cast<HWND>(l))) {
                c->HandleCommand(HIWORD(w));
                return 0;
            }
            break;
        case WM_NOTIFY: {
            NMHDR* hdr = reinterpret_cast<NMHDR*>(l);
            LRESULT result = 0;
            if (TWinControl* c = FromHandle(hdr->hwndFrom))
                if (c->HandleNotify(hdr, &result)) return result;
            break;
        }
        case WM_DRAWITEM: {
            const DRAWITEMSTRUCT* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
            if (TWinControl* c = FromHandle(dis->hwndItem)) {
                c->DrawItem(dis);
                return TRUE;
            }
            break;
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            if (TWinControl* c = FromHandle(reinterpret_cast<HWND>(l)))
                if (HBRUSH b = c->CtlColor(reinterpret_cast<HDC>(w))) return reinterpret_cast<LRESULT>(b);
            break;
        case WM_SETCURSOR:
            if (reinterpret_cast<HWND>(w) == h && LOWORD(l) == HTCLIENT) {
                POINT p;
                GetCursorPos(&p);
                ScreenToClient(h, &p);
                TControl* c = GraphicAt(p.x, p.y);
                if (c && c->Cursor) {
                    SetCursor(c->Cursor);
                    return TRUE;
                }
            }
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            TControl* c = GraphicAt(GET_X_LPARAM(l), GET_Y_LPARAM(l));
            if (c && c->Enabled()) {
                captured_ = c;
                SetCapture(h);
                TMouseButton b = msg == WM_RBUTTONDOWN ? TMouseButton::mbRight
                                 : msg == WM_MBUTTONDOWN ? TMouseButton::mbMiddle
                                                         : TMouseButton::mbLeft;
                c->OnMouseDown(c, b, KeyShift(), GET_X_LPARAM(l) - c->Left(), GET_Y_LPARAM(l) - c->Top());
                return 0;
            }
            break;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            if (captured_) {
                TControl* c = captured_;
                captured_ = nullptr;
                ReleaseCapture();
                POINT p = {GET_X_LPARAM(l), GET_Y_LPARAM(l)};
                RECT r = c->BoundsRect();
                if (msg == WM_LBUTTONUP && PtInRect(&r, p)) c->OnClick(c);
                return 0;
            }
            break;
        case WM_CAPTURECHANGED:
            captured_ = nullptr;
            break;
        case WM_MOUSEMOVE: {
            TControl* c = GraphicAt(GET_X_LPARAM(l), GET_Y_LPARAM(l));
            if (c != hot_) {
                if (c && !hot_) {
                    // Tell us when the mouse leaves the window, too.
                    TRACKMOUSEEVENT t = {sizeof t, TME_LEAVE, h, 0};
                    TrackMouseEvent(&t);
                }
                SetHot(c);
            }
            break;
        }
        case WM_MOUSELEAVE:
            SetHot(nullptr);
            break;
        default:
            break;
    }
    return DefWindowProcW(h, msg, w, l);
}

// --- TPanel, TGroupBox ---

TPanel::TPanel(TWinControl* parent) : TContainer(parent) {
    CreateContainer(0, kContainerClass, L"", WS_CHILD | WS_VISIBLE, ParentHandle());
}

TGroupBox::TGroupBox(TWinControl* parent, const wchar_t* caption)
    : TContainer(parent), caption_(caption ? caption : L"") {
    CreateContainer(0, kContainerClass, caption, WS_CHILD | WS_VISIBLE, ParentHandle());
}

void TGroupBox::PaintFrame(HDC dc) {
    HGDIOBJ oldFont = SelectObject(dc, Font().Handle());
    TEXTMETRICW tm = {};
    GetTextMetricsW(dc, &tm);
    RECT r;
    GetClientRect(handle_, &r);
    r.top += tm.tmHeight / 2;
    DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
    if (!caption_.empty()) {
        SIZE sz = {};
        GetTextExtentPoint32W(dc, caption_.c_str(), static_cast<int>(caption_.size()), &sz);
        RECT tr = {8, 0, 8 + sz.cx, tm.tmHeight};
        SetBkColor(dc, ColorToRGB(Color));
        SetTextColor(dc, ColorToRGB(Font().Color));
        ExtTextOutW(dc, 8, 0, ETO_OPAQUE, &tr, caption_.c_str(), static_cast<UINT>(caption_.size()), nullptr);
    }
    SelectObject(dc, oldFont);
}

// --- TPageControl, TTabSheet ---

TPageControl::TPageControl(TWinControl* parent) : TWinControl(parent) {
    width_ = 289;
    height_ = 193;
    CreateSystemWindow(0, WC_TABCONTROLW, L"", WS_TABSTOP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | TCS_HOTTRACK, true);
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

void TPageControl::SetPageCaption(int index, const wchar_t* caption) {
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(caption);
    SendMessageW(handle_, TCM_SETITEMW, index, reinterpret_cast<LPARAM>(&item));
}

RECT TPageControl::DisplayRect() const {
    RECT r = {0, 0, width_, height_};
    if (handle_) {
        GetClientRect(handle_, &r);
        SendMessageW(handle_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    }
    return r;
}

void TPageControl::SetActivePageIndex(int index) {
    if (index < 0 || index >= static_cast<int>(pages_.size())) return;
    active_ = index;
    if (static_cast<int>(SendMessageW(handle_, TCM_GETCURSEL, 0, 0)) != index)
        SendMessageW(handle_, TCM_SETCURSEL, index, 0);
    for (size_t i = 0; i < pages_.size(); ++i)
        if (static_cast<int>(i) != index) pages_[i]->SetVisible(false);
    pages_[index]->SetVisible(true);
}

void TPageControl::SelectNextPage(bool forward) {
    int n = static_cast<int>(pages_.size());
    if (n == 0) return;
    SetActivePageIndex((active_ + (forward ? 1 : n - 1)) % n);
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
        HDC mem = CreateCompatibleDC(dc);
        HBITMAP bmp = CreateCompatibleBitmap(dc, c.right > 0 ? c.right : 1, c.bottom > 0 ? c.bottom : 1);
        HGDIOBJ old = SelectObject(mem, bmp);
        FillRect(mem, &c, GetSysColorBrush(COLOR_BTNFACE));
        DefSubclassProc(h, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT);
        BitBlt(dc, 0, 0, c.right, c.bottom, mem, 0, 0, SRCCOPY);
        SelectObject(mem, old);
        DeleteObject(bmp);
        DeleteDC(mem);
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

void TTabSheet::SetCaption(const wchar_t* caption) {
    SetWindowTextW(handle_, caption);
}


// --- TLabel, TImage ---

TLabel::TLabel(TWinControl* parent, const wchar_t* caption) : TControl(parent), caption_(caption ? caption : L"") {}

void TLabel::SetCaption(const wchar_t* caption) {
    caption_ = caption ? caption : L"";
    AdjustSize();
    Invalidate();
}

void TLabel::SetAutoSize(bool on) {
    autoSize_ = on;
    AdjustSize();
}

void TLabel::FontChanged() {
    AdjustSize();
    Invalidate();
}

void TLabel::AdjustSize() {
    if (!autoSize_ || WordWrap) return;
    HWND h = parent_ ? parent_->Handle() : nullptr;
    HDC dc = GetDC(h);
    HGDIOBJ old = SelectObject(dc, Font().Handle());
    RECT r = {0, 0, 0, 0};
    DrawTextW(dc, caption_.empty() ? L" " : caption_.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(h, dc);
    // A little room to spare: Wine's substitute fonts can draw a few pixels
    // wider than they measure, and a cut label reads badly.
    int slack = Alignment == TAlignment::taLeftJustify ? 6 : 0;
    SetBounds(left_, top_, r.right + slack, r.bottom);
}

void TLabel::Paint(HDC dc) {
    TFont& f = Font();
    HGDIOBJ old = SelectObject(dc, f.Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, enabled_ ? ColorToRGB(f.Color) : GetSysColor(COLOR_GRAYTEXT));
    RECT r = BoundsRect();
    UINT flags = WordWrap ? DT_WORDBREAK : DT_SINGLELINE;
    if (Alignment == TAlignment::taCenter) flags |= DT_CENTER;
    else if (Alignment == TAlignment::taRightJustify) flags |= DT_RIGHT;
    DrawTextW(dc, caption_.c_str(), -1, &r, flags);
    SelectObject(dc, old);
}

TImage::TImage(TWinControl* parent) : TControl(parent) {}

void TImage::SetPicture(HICON icon, int size) {
    icon_ = icon;
    size_ = size;
    Invalidate();
}

void TImage::Paint(HDC dc) {
    if (icon_) DrawIconEx(dc, left_, top_, icon_, size_, size_, 0, nullptr, DI_NORMAL);
}

// --- TButton, TFlatButton, TCheckBox ---

TButton::TButton(TWinControl* parent, const wchar_t* caption) : TWinControl(parent) {
    width_ = 75;
    height_ = 25;
    CreateSystemWindow(0, L"BUTTON", caption, WS_TABSTOP | BS_PUSHBUTTON);
}

void TButton::SetCaption(const wchar_t* caption) { SetWindowTextW(handle_, caption); }

void TButton::SetDefault(bool on) {
    Form()->DefaultButton = on ? this : nullptr;
    SendMessageW(handle_, BM_SETSTYLE, on ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::SetCancel(bool on) { Form()->CancelButton = on ? this : nullptr; }

void TButton::Click() {
    TForm* form = Form();
    OnClick(this);
    if (ModalResult != mrNone) form->ModalResult = ModalResult;
}

void TButton::HandleCommand(WORD code) {
    if (code == BN_CLICKED) Click();
}

TFlatButton::TFlatButton(TWinControl* parent) : TWinControl(parent) {
    width_ = 24;
    height_ = 22;
    CreateSystemWindow(0, L"BUTTON", L"", BS_OWNERDRAW, true);
}

void TFlatButton::Click() { OnClick(this); }

void TFlatButton::HandleCommand(WORD code) {
    if (code == BN_CLICKED) Click();
}

LRESULT TFlatButton::SubclassProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_MOUSEMOVE && !hot_) {
        hot_ = true;
        TRACKMOUSEEVENT t = {sizeof t, TME_LEAVE, h, 0};
        TrackMouseEvent(&t);
        InvalidateRect(h, nullptr, FALSE);
    } else if (msg == WM_MOUSELEAVE) {
        hot_ = false;
        InvalidateRect(h, nullptr, FALSE);
    }
    return TWinControl::SubclassProc(h, msg, w, l);
}

void TFlatButton::DrawItem(const DRAWITEMSTRUCT* dis) {
    RECT r = dis->rcItem;
    HDC dc = dis->hDC;
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    bool pressed = (dis->itemState & ODS_SELECTED) != 0;
    bool disabled = (dis->itemState & ODS_DISABLED) != 0;
    if (!disabled && (pressed || hot_)) DrawEdge(dc, &r, pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    if (glyph_) {
        int x = (r.right - r.left - 16) / 2 + (pressed ? 1 : 0);
        int y = (r.bottom - r.top - 16) / 2 + (pressed ? 1 : 0);
        HICON icon = disabled && disabledGlyph_ ? disabledGlyph_ : glyph_;
        DrawIconEx(dc, x, y, icon, 16, 16, 0, nullptr, DI_NORMAL);
    }
}

TCheckBox::TCheckBox(TWinControl* parent, const wchar_t* caption) : TWinControl(parent) {
    width_ = 97;
    height_ = 17;
    CreateSystemWindow(0, L"BUTTON", caption, WS_TABSTOP | BS_AUTOCHECKBOX);
}

bool TCheckBox::Checked() const { return SendMessageW(handle_, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TCheckBox::SetChecked(bool on) {
    if (Checked() == on) return;
    SendMessageW(handle_, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    OnClick(this);
}

void TCheckBox::HandleCommand(WORD code) {
    if (code == BN_CLICKED) OnClick(this);
}

// --- TEdit ---

TEdit::TEdit(TWinControl* parent, bool border) : TWinControl(parent) {
    width_ = 121;
    height_ = 23;
    CreateSystemWindow(border ? WS_EX_CLIENTEDGE : WS_EX_STATICEDGE, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL);
}

TEdit::~TEdit() {
    if (brush_) DeleteObject(brush_);
}

void TEdit::SetText(const wchar_t* text) { SetWindowTextW(handle_, text ? text : L""); }

void TEdit::GetText(wchar_t* out, int cap) const {
    if (!out || cap <= 0) return;
    out[0] = 0;
    GetWindowTextW(handle_, out, cap);
}

int TEdit::TextLength() const { return GetWindowTextLengthW(handle_); }

void TEdit::SetMaxLength(int chars) { SendMessageW(handle_, EM_SETLIMITTEXT, chars, 0); }

void TEdit::SetReadOnly(bool on) { SendMessageW(handle_, EM_SETREADONLY, on, 0); }

void TEdit::SetColor(TColor color) {
    color_ = color;
    if (brush_) DeleteObject(brush_);
    brush_ = nullptr;
    if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

HBRUSH TEdit::CtlColor(HDC dc) {
    if (!brush_) brush_ = CreateSolidBrush(ColorToRGB(color_));
    SetBkColor(dc, ColorToRGB(color_));
    SetTextColor(dc, IsWindowEnabled(handle_) ? ColorToRGB(Font().Color) : GetSysColor(COLOR_GRAYTEXT));
    return brush_;
}

void TEdit::HandleCommand(WORD code) {
    if (code == EN_CHANGE) OnChange(this);
}

// --- TImageList ---

TImageList::TImageList(TForm* owner, int size) {
    list_ = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, 4, 4);
    owner->AddComponent(this);
}

TImageList::~TImageList() {
    if (list_) ImageList_Destroy(list_);
}

int TImageList::Add(HICON icon) { return ImageList_AddIcon(list_, icon); }

// --- TListView ---

TListView::TListView(TWinControl* parent) : TWinControl(parent) {
    width_ = 250;
    height_ = 150;
    CreateSystemWindow(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                       WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER |
                           LVS_SHAREIMAGELISTS);
    SendMessageW(handle_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES,
                 LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
}

void TListView::SetDoubleBuffered(bool on) {
    doubleBuffered_ = on;
    SendMessageW(handle_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_DOUBLEBUFFER, on ? LVS_EX_DOUBLEBUFFER : 0);
}

void TListView::AddColumn(const wchar_t* caption, int width) {
    LVCOLUMNW col = {};
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    col.pszText = const_cast<wchar_t*>(caption);
    col.cx = width;
    int index = static_cast<int>(SendMessageW(GetWindow(handle_, GW_CHILD), HDM_GETITEMCOUNT, 0, 0));
    if (index < 0) index = 0;
    col.iSubItem = index;
    SendMessageW(handle_, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&col));
}

void TListView::SetColumnCaption(int index, const wchar_t* caption) {
    LVCOLUMNW col = {};
    col.mask = LVCF_TEXT;
    col.pszText = const_cast<wchar_t*>(caption);
    SendMessageW(handle_, LVM_SETCOLUMNW, index, reinterpret_cast<LPARAM>(&col));
}

void TListView::SetImages(TImageList* images) {
    SendMessageW(handle_, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images->Handle()));
    SendMessageW(handle_, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(images->Handle()));
}

int TListView::Count() const { return static_cast<int>(SendMessageW(handle_, LVM_GETITEMCOUNT, 0, 0)); }

int TListView::SelectedIndex() const {
    return static_cast<int>(SendMessageW(handle_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TListView::Add(int image, const wchar_t* caption, const wchar_t* sub, LPARAM data) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE | LVIF_PARAM;
    item.lParam = data;
    item.iItem = Count();
    item.iImage = image;
    item.state = 0;  // no focus mark
    item.stateMask = LVIS_FOCUSED | LVIS_SELECTED;
    item.pszText = const_cast<wchar_t*>(caption);
    int i = static_cast<int>(SendMessageW(handle_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (i < 0) return;
    LVITEMW subItem = {};
    subItem.iSubItem = 1;
    subItem.pszText = const_cast<wchar_t*>(sub);
    SendMessageW(handle_, LVM_SETITEMTEXTW, i, reinterpret_cast<LPARAM>(&subItem));
}

void TListView::Get(int i, int* image, wchar_t* caption, int captionCap, wchar_t* sub, int subCap,
                    LPARAM* data) const {
    LVITEMW item = {};
    item.mask = LVIF_IMAGE | LVIF_PARAM;
    item.iItem = i;
    SendMessageW(handle_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    *image = item.iImage;
    *data = item.lParam;
    LVITEMW text = {};
    caption[0] = 0;
    text.pszText = caption;
    text.cchTextMax = captionCap;
    SendMessageW(handle_, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&text));
    sub[0] = 0;
    text.iSubItem = 1;
    text.pszText = sub;
    text.cchTextMax = subCap;
    SendMessageW(handle_, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&text));
}

void TListView::Set(int i, int image, const wchar_t* caption, const wchar_t* sub, LPARAM data) {
    LVITEMW item = {};
    item.mask = LVIF_IMAGE | LVIF_TEXT | LVIF_PARAM;
    item.iItem = i;
    item.lParam = data;
    item.iImage = image;
    item.pszText = const_cast<wchar_t*>(caption);
    SendMessageW(handle_, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    LVITEMW subItem = {};
    subItem.iSubItem = 1;
    subItem.pszText = const_cast<wchar_t*>(sub);
    SendMessageW(handle_, LVM_SETITEMTEXTW, i, reinterpret_cast<LPARAM>(&subItem));
}

void TListView::Delete(int i) { SendMessageW(handle_, LVM_DELETEITEM, i, 0); }

void TListView::Exchange(int i, int j) {
    // Through a temporary row: caption, sub-item, picture and item data.
    const int cap = 1024;
    std::wstring ci(cap, L'\0'), si(cap, L'\0'), cj(cap, L'\0'), sj(cap, L'\0');
    int ii = 0, ij = 0;
    LPARAM di = 0, dj = 0;
    Get(i, &ii, &ci[0], cap, &si[0], cap, &di);
    Get(j, &ij, &cj[0], cap, &sj[0], cap, &dj);
    Set(i, ij, cj.c_str(), sj.c_str(), dj);
    Set(j, ii, ci.c_str(), si.c_str(), di);
}

void TListView::Select(int i) {
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageW(handle_, LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&item));
}

void TListView::FocusItem(int i) {
    LVITEMW item = {};
    item.stateMask = LVIS_FOCUSED;
    item.state = LVIS_FOCUSED;
    SendMessageW(handle_, LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&item));
}

void TListView::MakeVisible(int i) { SendMessageW(handle_, LVM_ENSUREVISIBLE, i, FALSE); }

void TListView::SetRowMark(HICON mark) { mark_ = mark; }

// Wine's list view has no info tips of its own (LVS_EX_INFOTIP): the list
// keeps a tracking tooltip and shows it itself, alike everywhere. The mouse
// is looked at on a timer rather than by subclassing the list, which would
// cost a lookup on every one of its messages.
constexpr UINT kTipTickMs = 150;
constexpr int kTipRestTicks = 3;  // the mouse rests this long before a tip shows

void TListView::EnableInfoTips() {
    if (tip_) return;
    tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, handle_, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
    if (!tip_) return;
    SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, 500);
    TOOLINFOW ti = {};
    ti.cbSize = sizeof ti;
    ti.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    ti.hwnd = handle_;
    ti.uId = 1;
    ti.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    tipTimer_ = new TTimer(Form());
    tipTimer_->SetInterval(kTipTickMs);
    tipTimer_->OnTimer = Bind<&TListView::TipTick>(this);
    tipTimer_->SetEnabled(true);
}

TListView::~TListView() {
    // The timer belongs to the form and may outlive the list: it must not call us.
    if (tipTimer_) {
        tipTimer_->SetEnabled(false);
        tipTimer_->OnTimer = {};
    }
    if (tip_) DestroyWindow(tip_);
}

void TListView::HideTip() {
    if (!tip_ || !tipShown_) return;
    TOOLINFOW ti = {};
    ti.cbSize = sizeof ti;
    ti.hwnd = handle_;
    ti.uId = 1;
    SendMessageW(tip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&ti));
    tipShown_ = false;
}

void TListView::TipTick(TObject*) {
    POINT p;
    int row = -1;
    if (GetCursorPos(&p) && WindowFromPoint(p) == handle_ && GetForegroundWindow() == GetAncestor(handle_, GA_ROOT)) {
        LVHITTESTINFO hit = {};
        hit.pt = p;
        ScreenToClient(handle_, &hit.pt);
        row = static_cast<int>(SendMessageW(handle_, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    }
    if (row != tipRow_) {
        HideTip();
        tipRow_ = row;
        tipWait_ = kTipRestTicks;
        return;
    }
    if (row < 0 || tipShown_ || tipWait_ <= 0 || --tipWait_ > 0 || !OnInfoTip) return;
    wchar_t text[1024] = {};
    OnInfoTip(this, row, text, 1024);
    text[1023] = 0;
    if (!text[0]) return;
    TOOLINFOW ti = {};
    ti.cbSize = sizeof ti;
    ti.hwnd = handle_;
    ti.uId = 1;
    ti.lpszText = text;
    SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
    SendMessageW(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(p.x + 12, p.y + 20));
    SendMessageW(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&ti));
    tipShown_ = true;
}

void TListView::BeginUpdate() {
    SendMessageW(handle_, WM_SETREDRAW, FALSE, 0);
    // Hidden while it fills: Wine's list view otherwise works out its
    // scroll bars again for every row added.
    hiddenForUpdate_ = (GetWindowLongW(handle_, GWL_STYLE) & WS_VISIBLE) != 0;
    if (hiddenForUpdate_) ShowWindow(handle_, SW_HIDE);
}

void TListView::EndUpdate() {
    SendMessageW(handle_, WM_SETREDRAW, TRUE, 0);
    if (hiddenForUpdate_) ShowWindow(handle_, SW_SHOWNA);
    hiddenForUpdate_ = false;
    InvalidateRect(handle_, nullptr, TRUE);
}

bool TListView::HandleNotify(NMHDR* hdr, LRESULT* result) {
    if (hdr->code == LVN_ITEMCHANGED) {
        const NMLISTVIEW* nm = reinterpret_cast<const NMLISTVIEW*>(hdr);
        // A row added with a clear state reports a "change" that changes
        // nothing; answering it costs a search of the whole list per row.
        if (nm->uChanged == LVIF_STATE && ((nm->uNewState ^ nm->uOldState) & (LVIS_SELECTED | LVIS_FOCUSED)) == 0) {
            *result = 0;
            return true;
        }
        TItemChange change = (nm->uChanged & LVIF_STATE)   ? TItemChange::ctState
                             : (nm->uChanged & LVIF_IMAGE) ? TItemChange::ctImage
                                                           : TItemChange::ctText;
        OnChange(this, nm->iItem, change);
        *result = 0;
        return true;
    }
    if (hdr->code == NM_CUSTOMDRAW && mark_ && OnRowMarked) {
        NMLVCUSTOMDRAW* cd = reinterpret_cast<NMLVCUSTOMDRAW*>(hdr);
        int row = static_cast<int>(cd->nmcd.dwItemSpec);
        switch (cd->nmcd.dwDrawStage) {
            case CDDS_PREPAINT: *result = CDRF_NOTIFYITEMDRAW; return true;
            case CDDS_ITEMPREPAINT: {
                bool marked = false;
                OnRowMarked(this, row, marked);
                *result = marked ? CDRF_NOTIFYPOSTPAINT : CDRF_DODEFAULT;
                return true;
            }
            case CDDS_ITEMPOSTPAINT: {
                RECT icon = {LVIR_ICON, 0, 0, 0};
                if (SendMessageW(handle_, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&icon)))
                    DrawIconEx(cd->nmcd.hdc, icon.left, icon.top, mark_, 16, 16, 0, nullptr, DI_NORMAL);
                *result = CDRF_DODEFAULT;
                return true;
            }
            default: *result = CDRF_DODEFAULT; return true;
        }
    }
    if (hdr->code == NM_DBLCLK) {
        OnDblClick(this);
        *result = 0;
        return true;
    }
    return false;
}

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

TForm::~TForm() {
    for (auto it = components_.rbegin(); it != components_.rend(); ++it) delete *it;
    components_.clear();
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) delete *it;
    controls_.clear();
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
        HWND first = GetNextDlgTabItem(handle_, nullptr, FALSE);
        if (first) ::SetFocus(first);
    }
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
        ti.uFlags |= TTF_IDISHWND;
        ti.hwnd = c->Parent()->Handle();
        ti.uId = reinterpret_cast<UINT_PTR>(static_cast<TWinControl*>(c)->Handle());
    } else {
        ti.hwnd = c->Parent()->Handle();
        ti.uId = NewId();
        ti.rect = c->BoundsRect();
    }
    SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    c->SetHintId(ti.uId);
}

void TForm::UpdateHintRect(TControl* c) {
    if (!tooltip_ || c->Windowed()) return;
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
        case WM_WINDOWPOSCHANGING: {
            WINDOWPOS* wp = reinterpret_cast<WINDOWPOS*>(l);
            if (!(wp->flags & SWP_NOSIZE) && OnCanResize) {
                int cw = wp->cx, ch = wp->cy;
                bool resize = true;
                OnCanResize(this, cw, ch, resize);
                if (resize) {
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
            } else if (lastFocus_ && IsWindow(lastFocus_) && IsWindowEnabled(lastFocus_)) {
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
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES |
                                              ICC_PROGRESS_CLASS};
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
