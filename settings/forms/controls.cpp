// The base of every control: fonts, window-less and windowed controls, and
// the containers that hold and paint them.
#include "forms_internal.h"
#include <windowsx.h>
#include <unordered_map>

namespace fw::forms {

namespace {

// Which control a window belongs to. Kept in the process rather than in
// window properties: Wine asks its server for every property lookup, and a
// list of 10,000 rules makes many.
std::unordered_map<HWND, TWinControl*>& ControlMap() {
    static std::unordered_map<HWND, TWinControl*> map;
    return map;
}

void RememberControl(HWND h, TWinControl* c) { ControlMap()[h] = c; }
void ForgetControl(HWND h) { ControlMap().erase(h); }

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
    handle_.Reset();
    lstrcpynW(name_, other.name_, LF_FACESIZE);
    CharSet = other.CharSet;
    Height = other.Height;
    Bold = other.Bold;
    Color = other.Color;
    return *this;
}

void TFont::SetName(const wchar_t* face) {
    lstrcpynW(name_, face ? face : L"", LF_FACESIZE);
    handle_.Reset();
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
        handle_.Reset(CreateFontIndirectW(&lf));
    }
    return handle_.Get();
}

HFONT TFont::Release() { return handle_.Detach(); }

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
    // The old font lives until the windows have been given the new one.
    ScopedGdiObject<HFONT> old(f.Release());
    f.SetName(face);
    f.CharSet = charSet;
    FontChanged();
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

// The one teardown of every windowed control, forms included: our window is
// unhooked first, so that the messages which deleting the children sends it
// no longer reach this half-destroyed object; then the children, last first;
// then the window.
TWinControl::~TWinControl() {
    if (handle_) {
        if (subclassed_) RemoveWindowSubclass(handle_, &TWinControl::SubclassThunk, 1);
        if (ownClass_) SetWindowLongPtrW(handle_, GWLP_USERDATA, 0);
        ForgetControl(handle_);
    }
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) delete *it;
    controls_.clear();
    if (handle_ && IsWindow(handle_)) DestroyWindow(handle_);
    handle_ = nullptr;
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
    RememberControl(hwnd, this);
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
        // Painted afresh where it lands: siblings moving in the same layout
        // overlap for a moment, and copied bits would carry one's caption
        // into the other.
        SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
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

void CollectTabStops(const TWinControl* parent, std::vector<HWND>& out) {
    for (TControl* c : parent->Controls()) {
        if (!c->Windowed()) continue;
        const TWinControl* w = static_cast<const TWinControl*>(c);
        HWND h = w->Handle();
        if (!h || !IsWindowVisible(h) || !IsWindowEnabled(h)) continue;
        if (GetWindowLongW(h, GWL_STYLE) & WS_TABSTOP) out.push_back(h);
        CollectTabStops(w, out);
    }
}

void TWinControl::LayoutChildren() {
    int w = ClientWidth(), h = ClientHeight();
    for (TControl* c : controls_) c->ParentResized(w, h);
}

// --- TContainer ---

TContainer::TContainer(TWinControl* parent) : TWinControl(parent) {}

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
    ownClass_ = true;
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
        RememberControl(h, self);
    } else {
        self = reinterpret_cast<TContainer*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(h, msg, w, l);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(h, GWLP_USERDATA, 0);
        ForgetControl(h);
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
    ScopedGdiObject<HBRUSH> bg(CreateSolidBrush(ColorToRGB(Color)));
    FillRect(dc, &client, bg.Get());
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
            if (doubleBuffered_) PaintBuffered(dc, client, [&](HDC target) { PaintAll(target, client); });
            else PaintAll(dc, client);
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

}  // namespace fw::forms
