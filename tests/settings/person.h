// A person at the keyboard and in front of the screen, for tests that drive
// Fwise.exe from outside: key presses only through SendInput (to whichever
// window has the focus), and what the screen shows, read back from the
// screen itself (the window DC of the desktop), pixel by pixel.
#pragma once
#include "win.h"
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace fw::test::person {

// --- the keyboard ---

inline bool Extended(WORD vk) {
    switch (vk) {
        case VK_UP: case VK_DOWN: case VK_LEFT: case VK_RIGHT: case VK_HOME: case VK_END:
        case VK_PRIOR: case VK_NEXT: case VK_INSERT: case VK_DELETE:
            return true;
        default:
            return false;
    }
}

inline INPUT KeyInput(WORD vk, bool up) {
    INPUT i = {};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = vk;
    i.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    i.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (Extended(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    return i;
}

// How long the program gets to take in one key: under Wine a key reaches the
// program through the X server, so a test waits rather than asks.
constexpr DWORD kKeyMs = 150;

// A chord: the keys go down in order and come up in reverse (Ctrl+Shift+Tab
// is Keys({VK_CONTROL, VK_SHIFT, VK_TAB})).
inline void Keys(std::initializer_list<WORD> keys, DWORD settleMs = kKeyMs) {
    std::vector<INPUT> in;
    for (WORD k : keys) in.push_back(KeyInput(k, false));
    for (auto it = keys.end(); it != keys.begin();) in.push_back(KeyInput(*--it, true));
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
    Sleep(settleMs);
}

inline void Key(WORD vk, int times = 1) {
    for (int i = 0; i < times; ++i) Keys({vk});
}
inline void Tab(int times = 1) { Key(VK_TAB, times); }
inline void ShiftTab(int times = 1) {
    for (int i = 0; i < times; ++i) Keys({VK_SHIFT, VK_TAB});
}
inline void CtrlTab() { Keys({VK_CONTROL, VK_TAB}, 400); }
inline void CtrlShiftTab() { Keys({VK_CONTROL, VK_SHIFT, VK_TAB}, 400); }
inline void Ctrl(WORD vk) { Keys({VK_CONTROL, vk}); }
// A mnemonic: Alt and the underlined letter.
inline void Alt(char letter) { Keys({VK_MENU, static_cast<WORD>(letter)}); }

// Typing text as characters (as an input method would deliver them), so the
// keyboard layout plays no part.
inline void Type(const wchar_t* text) {
    std::vector<INPUT> in;
    for (const wchar_t* p = text; *p; ++p) {
        INPUT i = {};
        i.type = INPUT_KEYBOARD;
        i.ki.wScan = *p;
        i.ki.dwFlags = KEYEVENTF_UNICODE;
        in.push_back(i);
        i.ki.dwFlags |= KEYEVENTF_KEYUP;
        in.push_back(i);
    }
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
    Sleep(kKeyMs + 10 * static_cast<DWORD>(in.size()));
}

// --- the mouse ---

inline void MoveTo(int x, int y) {
    SetCursorPos(x, y);
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &in, sizeof in);
    Sleep(50);
}

inline void Button(bool down) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof in);
    Sleep(100);
}

// Presses at `from`, moves in steps to `to` and lets go there.
inline void Drag(POINT from, POINT to, int steps = 8) {
    MoveTo(from.x, from.y);
    Button(true);
    for (int i = 1; i <= steps; ++i)
        MoveTo(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps);
    Button(false);
    Sleep(300);
}

// --- the screen ---

// A picture of part of the screen, as 0x00RRGGBB pixels, top row first.
struct Shot {
    int width = 0, height = 0;
    std::vector<uint32_t> px;
    uint32_t At(int x, int y) const { return px[static_cast<size_t>(y) * width + x]; }
    bool operator==(const Shot& o) const { return width == o.width && height == o.height && px == o.px; }
};

inline Shot Grab(const RECT& screen) {
    Shot s;
    s.width = screen.right - screen.left;
    s.height = screen.bottom - screen.top;
    if (s.width <= 0 || s.height <= 0) return Shot{};
    HDC desk = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(desk);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = s.width;
    bi.bmiHeader.biHeight = -s.height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(desk, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, s.width, s.height, desk, screen.left, screen.top, SRCCOPY);
    GdiFlush();
    const uint32_t* p = static_cast<const uint32_t*>(bits);
    s.px.assign(p, p + static_cast<size_t>(s.width) * s.height);
    for (uint32_t& v : s.px) v &= 0xFFFFFF;
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(nullptr, desk);
    return s;
}

// A rectangle of a window's client area, in screen coordinates.
inline RECT OnScreen(HWND h, RECT client) {
    MapWindowPoints(h, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return client;
}

inline RECT WindowOnScreen(HWND h) {
    RECT r;
    GetWindowRect(h, &r);
    return r;
}

inline uint32_t Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

inline int Distance(uint32_t a, uint32_t b) {
    int d = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        int x = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        d += x < 0 ? -x : x;
    }
    return d;
}

// Pixels that stand out from `background`: the ink of text or of a picture.
inline int Ink(const Shot& s, uint32_t background, int threshold = 96) {
    int n = 0;
    for (uint32_t v : s.px)
        if (Distance(v, background) > threshold) ++n;
    return n;
}

// Pixels that differ between two pictures of the same size.
inline int Differences(const Shot& a, const Shot& b) {
    if (a.width != b.width || a.height != b.height) return -1;
    int n = 0;
    for (size_t i = 0; i < a.px.size(); ++i)
        if (a.px[i] != b.px[i]) ++n;
    return n;
}

// Writes a picture as a 24-bit BMP.
inline bool WriteBmp(const Shot& s, const wchar_t* path) {
    if (s.width == 0) return false;
    FILE* f = _wfopen(path, L"wb");
    if (!f) return false;
    DWORD stride = (static_cast<DWORD>(s.width) * 3 + 3) & ~3u;
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof ih;
    ih.biWidth = s.width;
    ih.biHeight = -s.height;
    ih.biPlanes = 1;
    ih.biBitCount = 24;
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih;
    fh.bfSize = fh.bfOffBits + stride * s.height;
    bool ok = fwrite(&fh, sizeof fh, 1, f) == 1 && fwrite(&ih, sizeof ih, 1, f) == 1;
    std::vector<unsigned char> row(stride, 0);
    for (int y = 0; ok && y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            uint32_t v = s.At(x, y);
            row[x * 3] = v & 0xFF;
            row[x * 3 + 1] = (v >> 8) & 0xFF;
            row[x * 3 + 2] = (v >> 16) & 0xFF;
        }
        ok = fwrite(row.data(), stride, 1, f) == 1;
    }
    fclose(f);
    return ok;
}

// Saves a picture where FW_SHOTS names a folder, for a person to look at;
// does nothing otherwise.
inline void Save(const Shot& s, const char* name) {
    wchar_t dir[MAX_PATH];
    DWORD n = GetEnvironmentVariableW(L"FW_SHOTS", dir, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    wchar_t path[MAX_PATH];
    swprintf(path, MAX_PATH, L"%ls\\%hs.bmp", dir, name);
    WriteBmp(s, path);
}

}  // namespace fw::test::person
