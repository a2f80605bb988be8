// What the form layer's source files share among themselves.
#pragma once
#include "forms.h"

namespace fw::forms {

// The window class of forms' own containers (panels, pages, group boxes).
inline constexpr wchar_t kContainerClass[] = L"FwContainer";

// Paints through an off-screen bitmap of the client's size and copies it to
// `dc` in one go, against flicker; `paint(HDC)` draws into the bitmap. An
// empty client area is painted straight into `dc`.
template <class Paint>
void PaintBuffered(HDC dc, const RECT& client, const Paint& paint) {
    if (client.right <= 0 || client.bottom <= 0) {
        paint(dc);
        return;
    }
    HDC mem = CreateCompatibleDC(dc);
    ScopedGdiObject<HBITMAP> bmp(CreateCompatibleBitmap(dc, client.right, client.bottom));
    HGDIOBJ old = SelectObject(mem, bmp.Get());
    paint(mem);
    BitBlt(dc, 0, 0, client.right, client.bottom, mem, 0, 0, SRCCOPY);
    // Out of the DC before the owner deletes it.
    SelectObject(mem, old);
    DeleteDC(mem);
}

// The windows Tab and Shift+Tab visit inside `parent`, in the order the
// controls were made: visible, enabled windows with WS_TABSTOP, hidden pages
// and their controls left out. Controls added later join in their place.
void CollectTabStops(const TWinControl* parent, std::vector<HWND>& out);

}  // namespace fw::forms
