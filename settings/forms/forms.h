// A small form layer over Win32 for the settings program's two windows:
// forms, panels, pages, labels, pictures, edit boxes, buttons, check boxes,
// a list view, a timer and a font dialog, with the events the windows bind.
// Only what those two windows need is here.
//
// Ownership: a control belongs to its parent and is deleted with it; timers,
// image lists and font dialogs belong to their form. Labels and pictures have
// no window of their own: their container paints them and routes the mouse.
#pragma once
#include "events.h"
#include "scoped_win.h"
#include "win.h"
#include <commctrl.h>
#include <commdlg.h>
#include <cstdint>
#include <string>
#include <vector>

namespace fw::forms {

enum : uint8_t { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
enum class TAlignment : uint8_t { taLeftJustify, taCenter, taRightJustify };
enum : int { mrNone = 0, mrOk = 1, mrCancel = 2 };

using TNotifyEvent = TEvent<TObject*>;
using TKeyEvent = TEvent<TObject*, WORD&, TShiftState>;
using TMouseEvent = TEvent<TObject*, TMouseButton, TShiftState, int, int>;
using TCanResizeEvent = TEvent<TObject*, int&, int&, bool&>;
using TCloseQueryEvent = TEvent<TObject*, bool&>;
using TLVChangeEvent = TEvent<TObject*, int, TItemChange>;

TShiftState KeyShift();

// Colours: a COLORREF, or a system colour index with the high bit set.
using TColor = uint32_t;
constexpr TColor SysColor(int index) { return 0x80000000u | static_cast<uint32_t>(index); }
constexpr TColor clBtnFace = SysColor(COLOR_BTNFACE);
constexpr TColor clWindow = SysColor(COLOR_WINDOW);
constexpr TColor clWindowText = SysColor(COLOR_WINDOWTEXT);
constexpr TColor clNavy = RGB(0, 0, 128);
constexpr TColor clWhite = RGB(255, 255, 255);
COLORREF ColorToRGB(TColor c);

class TFont {
public:
    TFont() = default;
    TFont(const TFont& other) { *this = other; }
    TFont& operator=(const TFont& other);

    void SetName(const wchar_t* face);
    const wchar_t* Name() const { return name_; }
    BYTE CharSet = DEFAULT_CHARSET;
    int Height = -12;
    bool Bold = false;
    TColor Color = clWindowText;

    HFONT Handle();    // made on first use, kept until Release
    HFONT Release();   // hands the handle to the caller (who deletes it)
    LOGFONTW Log() const;

private:
    wchar_t name_[LF_FACESIZE] = L"Arial";
    ScopedGdiObject<HFONT> handle_;
};

class TWinControl;
class TForm;
class TButton;

class TControl : public TObject {
public:
    explicit TControl(TWinControl* parent);
    ~TControl() override = default;
    TControl(const TControl&) = delete;
    TControl& operator=(const TControl&) = delete;

    TWinControl* Parent() const { return parent_; }
    TForm* Form() const;
    virtual bool Windowed() const { return false; }

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    virtual void SetBounds(int left, int top, int width, int height);
    void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
    // Anchors keep the distances to the parent's edges taken when they are set.
    void SetAnchors(uint8_t anchors);
    void ParentResized(int parentWidth, int parentHeight);

    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool on);
    bool Visible() const { return visible_; }
    virtual void SetVisible(bool on);

    // The font in effect: the parent's while ParentFont holds.
    TFont& Font();
    TFont& OwnFont();  // takes a font of its own (a copy of the parent's) and returns it
    void SetFontFace(const wchar_t* face, BYTE charSet);
    void SetFontColor(TColor color);
    bool ParentFont() const { return parentFont_; }
    virtual void FontChanged();

    void SetHint(const wchar_t* hint);
    const wchar_t* Hint() const { return hint_.c_str(); }
    HCURSOR Cursor = nullptr;

    TMouseEvent OnMouseDown;
    TNotifyEvent OnClick;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

    virtual void Paint(HDC) {}
    void Invalidate();
    RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }
    UINT_PTR HintId() const { return hintId_; }
    void SetHintId(UINT_PTR id) { hintId_ = id; }

protected:
    TWinControl* parent_;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    uint8_t anchors_ = akLeft | akTop;
    int toRight_ = 0, toBottom_ = 0;
    bool enabled_ = true, visible_ = true, parentFont_ = true;
    TFont font_;
    std::wstring hint_;
    UINT_PTR hintId_ = 0;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TWinControl* parent);
    ~TWinControl() override;
    bool Windowed() const override { return true; }

    HWND Handle() const { return handle_; }
    static TWinControl* FromHandle(HWND hwnd);
    // The control of `hwnd` or of its nearest ancestor that has one.
    static TWinControl* FindControl(HWND hwnd);

    void SetBounds(int left, int top, int width, int height) override;
    void SetEnabled(bool on) override;
    void SetVisible(bool on) override;
    void FontChanged() override;
    void SetFocus();
    int ClientWidth() const;
    int ClientHeight() const;

    // Off-screen painting against flicker.
    virtual void SetDoubleBuffered(bool on) { doubleBuffered_ = on; }

    TKeyEvent OnKeyDown;
    TNotifyEvent OnResize;

    const std::vector<TControl*>& Controls() const { return controls_; }
    void AddChild(TControl* c) { controls_.push_back(c); }
    void LayoutChildren();

    // Messages the parent reflects back to the control that caused them.
    virtual void HandleCommand(WORD) {}
    virtual bool HandleNotify(NMHDR*, LRESULT*) { return false; }
    virtual HBRUSH CtlColor(HDC) { return nullptr; }
    virtual void DrawItem(const DRAWITEMSTRUCT*) {}
    virtual TButton* AsButton() { return nullptr; }

protected:
    // A window of a system class, subclassed so that its messages reach us.
    void CreateSystemWindow(DWORD exStyle, const wchar_t* cls, const wchar_t* text, DWORD style,
                            bool subclass = false);
    void Attach(HWND hwnd);
    virtual LRESULT SubclassProc(HWND h, UINT msg, WPARAM w, LPARAM l);
    static LRESULT CALLBACK SubclassThunk(HWND h, UINT msg, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR ref);
    HWND ParentHandle() const;

    HWND handle_ = nullptr;
    std::vector<TControl*> controls_;
    bool doubleBuffered_ = false;
    bool subclassed_ = false;
    bool ownClass_ = false;  // a container of ours: GWLP_USERDATA holds `this`
};

// A window of our own class that holds other controls and paints the
// window-less ones: the base of forms, panels, pages and group boxes.
class TContainer : public TWinControl {
public:
    explicit TContainer(TWinControl* parent);
    TColor Color = clBtnFace;

protected:
    void CreateContainer(DWORD exStyle, const wchar_t* cls, const wchar_t* text, DWORD style, HWND parent);
    static void RegisterContainerClass(const wchar_t* cls);
    static LRESULT CALLBACK ContainerProc(HWND h, UINT msg, WPARAM w, LPARAM l);
    virtual LRESULT WndProc(UINT msg, WPARAM w, LPARAM l);
    virtual void PaintFrame(HDC) {}
    TControl* GraphicAt(int x, int y);
    void PaintAll(HDC dc, const RECT& client);

    TControl* captured_ = nullptr;
    TControl* hot_ = nullptr;  // the window-less control under the mouse
    void SetHot(TControl* c);
};

class TPanel : public TContainer {
public:
    explicit TPanel(TWinControl* parent);
};

class TGroupBox : public TContainer {
public:
    TGroupBox(TWinControl* parent, const wchar_t* caption);

protected:
    void PaintFrame(HDC dc) override;

private:
    std::wstring caption_;
};

class TPageControl;
class TTabSheet : public TContainer {
public:
    TTabSheet(TPageControl* pages, const wchar_t* caption);
    // Gives the focus to the control of the page that had it last, or to its
    // first tab stop; false when the page has none.
    bool FocusInside();
    HWND LastFocus = nullptr;
};

class TPageControl : public TWinControl {
public:
    explicit TPageControl(TWinControl* parent);
    void SetDoubleBuffered(bool on) override;
    int AddPage(TTabSheet* sheet, const wchar_t* caption);
    int ActivePageIndex() const { return active_; }
    void SetActivePageIndex(int index);
    void SelectNextPage(bool forward);
    RECT DisplayRect() const;
    bool HandleNotify(NMHDR* hdr, LRESULT* result) override;

protected:
    LRESULT SubclassProc(HWND h, UINT msg, WPARAM w, LPARAM l) override;

private:
    void Turn(int index, bool intoPage);
    std::vector<TTabSheet*> pages_;
    int active_ = -1;
};

class TLabel : public TControl {
public:
    TLabel(TWinControl* parent, const wchar_t* caption);
    void SetCaption(const wchar_t* caption);
    TAlignment Alignment = TAlignment::taLeftJustify;
    bool WordWrap = false;
    void SetAutoSize(bool on);  // sizes a one-line label to its text
    void Paint(HDC dc) override;
    void FontChanged() override;

private:
    void AdjustSize();
    std::wstring caption_;
    bool autoSize_ = true;
};

class TImage : public TControl {
public:
    explicit TImage(TWinControl* parent);
    void SetPicture(HICON icon, int size);  // the image does not own the icon
    void Paint(HDC dc) override;

private:
    HICON icon_ = nullptr;
    int size_ = 16;
};

class TButton : public TWinControl {
public:
    TButton(TWinControl* parent, const wchar_t* caption);
    void SetDefault(bool on);
    void SetCancel(bool on);
    int ModalResult = mrNone;
    void Click();
    void HandleCommand(WORD code) override;
    TButton* AsButton() override { return this; }
};

// A flat button with a picture, that shows an edge only under the mouse.
class TFlatButton : public TWinControl {
public:
    explicit TFlatButton(TWinControl* parent);
    // Pictures for the normal and the disabled look; not owned.
    void SetGlyph(HICON icon, HICON disabled = nullptr) {
        glyph_ = icon;
        disabledGlyph_ = disabled;
        if (handle_) InvalidateRect(handle_, nullptr, FALSE);
    }
    void Click();
    void HandleCommand(WORD code) override;
    void DrawItem(const DRAWITEMSTRUCT* dis) override;

protected:
    LRESULT SubclassProc(HWND h, UINT msg, WPARAM w, LPARAM l) override;

private:
    HICON glyph_ = nullptr;
    HICON disabledGlyph_ = nullptr;
    bool hot_ = false;
};

class TCheckBox : public TWinControl {
public:
    TCheckBox(TWinControl* parent, const wchar_t* caption);
    bool Checked() const;
    void SetChecked(bool on);  // fires OnClick when the state changes
    void HandleCommand(WORD code) override;
};

class TEdit : public TWinControl {
public:
    explicit TEdit(TWinControl* parent, bool border = true);
    void SetText(const wchar_t* text);  // fires OnChange
    void GetText(wchar_t* out, int cap) const;
    void SetMaxLength(int chars);
    void SetReadOnly(bool on);
    void SetColor(TColor color);
    TNotifyEvent OnChange;
    void HandleCommand(WORD code) override;
    HBRUSH CtlColor(HDC dc) override;

private:
    TColor color_ = clWindow;
    ScopedGdiObject<HBRUSH> brush_;  // made on first use, in color_
};

class TImageList : public TObject {
public:
    TImageList(TForm* owner, int size);
    ~TImageList() override;
    int Add(HICON icon);
    HIMAGELIST Handle() const { return list_; }

private:
    HIMAGELIST list_ = nullptr;
};

class TListView : public TWinControl {
public:
    explicit TListView(TWinControl* parent);
    void SetDoubleBuffered(bool on) override;
    void AddColumn(const wchar_t* caption, int width);
    void SetImages(TImageList* images);

    int Count() const;
    int SelectedIndex() const;  // -1: none
    // A row: picture, caption, first sub-item and a number of the caller's.
    void Add(int image, const wchar_t* caption, const wchar_t* sub, LPARAM data);
    void Get(int i, int* image, wchar_t* caption, int captionCap, wchar_t* sub, int subCap, LPARAM* data) const;
    void Set(int i, int image, const wchar_t* caption, const wchar_t* sub, LPARAM data);
    void Delete(int i);
    void Exchange(int i, int j);
    void Select(int i);
    void FocusItem(int i);
    void MakeVisible(int i);
    void BeginUpdate();
    void EndUpdate();

    TLVChangeEvent OnChange;
    TNotifyEvent OnDblClick;
    bool HandleNotify(NMHDR* hdr, LRESULT* result) override;

private:
    bool hiddenForUpdate_ = false;
};

class TTimer : public TObject {
public:
    explicit TTimer(TForm* owner);
    ~TTimer() override;
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool on);
    UINT Interval() const { return interval_; }
    void SetInterval(UINT ms);  // restarts a running timer
    TNotifyEvent OnTimer;
    void Tick() { OnTimer(this); }
    UINT_PTR Id() const { return id_; }

private:
    void Update();
    TForm* owner_;
    UINT_PTR id_;
    bool enabled_ = false;
    UINT interval_ = 1000;
};

class TFontDialog : public TObject {
public:
    explicit TFontDialog(TForm* owner);
    TFont Font;
    DWORD Options = CF_SCREENFONTS | CF_FORCEFONTEXIST | CF_LIMITSIZE;
    int MinFontSize = 9, MaxFontSize = 9;
    bool Execute(HWND owner);
};

enum class TPosition : uint8_t { poDesigned, poDesktopCenter, poOwnerFormCenter };

class TForm : public TContainer {
public:
    // `cls` is the window class name (the form's class name); `owner` the
    // form it stays above, if any.
    TForm(const wchar_t* cls, TForm* owner, bool sizeable, bool minMax);
    ~TForm() override;
    static TForm* FromWindow(HWND hwnd);

    void SetCaption(const wchar_t* caption);
    void SetClientSize(int width, int height);
    TPosition Position = TPosition::poDesigned;

    void Show();
    int ShowModal();
    void Close();  // through the close query
    bool CloseQuery();
    int ModalResult = mrNone;

    TButton* DefaultButton = nullptr;
    TButton* CancelButton = nullptr;
    TPageControl* Pages = nullptr;  // Ctrl+Tab turns its pages

    TCanResizeEvent OnCanResize;
    TCloseQueryEvent OnCloseQuery;

    UINT_PTR NewId() { return nextId_++; }
    void AddComponent(TObject* c) { components_.push_back(c); }
    void AddTimer(TTimer* t) { timers_.push_back(t); }
    void RemoveTimer(TTimer* t);
    void AddHint(TControl* c);
    void UpdateHintRect(TControl* c);
    // Enter, Esc, Ctrl+Tab and the OnKeyDown events; true when consumed.
    bool PreTranslate(MSG& msg);
    // Moves the focus to the next (or previous) tab stop; false when none.
    bool FocusNext(bool forward);

protected:
    LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

private:
    void CenterWindow();
    TForm* owner_;
    bool modal_ = false;
    HWND tooltip_ = nullptr;
    HWND lastFocus_ = nullptr;
    UINT_PTR nextId_ = 1000;
    std::vector<TObject*> components_;
    std::vector<TTimer*> timers_;
};

class TApplication {
public:
    void Initialize();
    void Run(TForm* mainForm);
    // One message through the forms' keyboard handling; false on WM_QUIT.
    bool ProcessMessage();
    TForm* MainForm = nullptr;
};
extern TApplication Application;

}  // namespace fw::forms
