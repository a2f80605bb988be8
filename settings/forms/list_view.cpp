// The image list and the list view.
#include "forms_internal.h"

namespace fw::forms {

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
    if (hdr->code == NM_DBLCLK) {
        OnDblClick(this);
        *result = 0;
        return true;
    }
    return false;
}

}  // namespace fw::forms
