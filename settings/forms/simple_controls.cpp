// Labels, pictures, buttons, check boxes and edit boxes.
#include "forms_internal.h"

namespace fw::forms {

// --- TLabel, TImage ---

// Measured at once: a label placed with its own size before any font change
// reaches it would otherwise stay 0 x 0.
TLabel::TLabel(TWinControl* parent, const wchar_t* caption) : TControl(parent), caption_(caption ? caption : L"") {
    AdjustSize();
}

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

void TEdit::SetText(const wchar_t* text) { SetWindowTextW(handle_, text ? text : L""); }

void TEdit::GetText(wchar_t* out, int cap) const {
    if (!out || cap <= 0) return;
    out[0] = 0;
    GetWindowTextW(handle_, out, cap);
}

void TEdit::SetMaxLength(int chars) { SendMessageW(handle_, EM_SETLIMITTEXT, chars, 0); }

void TEdit::SetReadOnly(bool on) { SendMessageW(handle_, EM_SETREADONLY, on, 0); }

void TEdit::SetColor(TColor color) {
    color_ = color;
    brush_.Reset();
    if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

HBRUSH TEdit::CtlColor(HDC dc) {
    if (!brush_) brush_.Reset(CreateSolidBrush(ColorToRGB(color_)));
    SetBkColor(dc, ColorToRGB(color_));
    SetTextColor(dc, IsWindowEnabled(handle_) ? ColorToRGB(Font().Color) : GetSysColor(COLOR_GRAYTEXT));
    return brush_.Get();
}

void TEdit::HandleCommand(WORD code) {
    if (code == EN_CHANGE) OnChange(this);
}

}  // namespace fw::forms
