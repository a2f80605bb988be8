#include "pictures.h"
#include "scoped_win.h"
#include <cstdint>
#include <cstring>

namespace fw {
namespace {

// One character a pixel; '.' is transparent.
uint32_t Argb(char c) {
    switch (c) {
        case 'k': return 0xFF303030;
        case 'w': return 0xFFFFFFFF;
        case 'g': return 0xFF909090;
        case 'l': return 0xFFD0D0D0;
        case 'y': return 0xFFF4C850;
        case 'o': return 0xFFB88A20;
        case 'b': return 0xFF2A64C8;
        case 'c': return 0xFF8CB8F0;
        case 'G': return 0xFF1E9A2E;
        case 'r': return 0xFFD02828;
        case 'p': return 0xFFE0A040;
        default: return 0;
    }
}

using Map = const char* const[16];

Map kNameRule = {
    "..kkkkkkkk......", "..kwwwwwwkk.....", "..kwwwwwwkwk....", "..kwwwwwwkkkk...",
    "..kwggggwwwwk...", "..kwwwwwwwwwk...", "..kwggggggwwk...", "..kwwwwwwwwwk...",
    "..kwggggggwwk...", "..kwwwwwwwwwk...", "..kwggggggwwk...", "..kwwwwwwwwwk...",
    "..kwggggwwwwk...", "..kwwwwwwwwwk...", "..kkkkkkkkkkk...", "................",
};
Map kExtRule = {
    "..kkkkkkkk......", "..kwwwwwwkk.....", "..kwwwwwwkwk....", "..kwwwwwwkkkk...",
    "..kwwwwwwwwwk...", "..kwwwwwwwwwk...", "bbbbbbbbbbbbbb..", "bbbbbwbwbwwwbb..",
    "bbbbbwbwbbwbbb..", "bbbbbbwbbbwbbb..", "bbwbbwbwbbwbbb..", "bbbbbbbbbbbbbb..",
    "..kwwwwwwwwwk...", "..kwwwwwwwwwk...", "..kkkkkkkkkkk...", "................",
};
Map kUrlRule = {
    ".....kkkkkk.....", "...kkbcbbcbkk...", "..kbbcbbbbcbbk..", ".kbbcbbbbbbcbbk.",
    ".kccccccccccccck", "kbbcbbbbbbbbcbbk", "kbbcbbbbbbbbcbbk", "kccccccccccccccc",
    "kbbcbbbbbbbbcbbk", "kbbcbbbbbbbbcbbk", ".kccccccccccccck", ".kbbcbbbbbbcbbk.",
    "..kbbcbbbbcbbk..", "...kkbcbbcbkk...", ".....kkkkkk.....", "................",
};
Map kAddByName = {
    ".kkkkkkkk.......", ".kwwwwwwkk......", ".kwwwwwwkwk.....", ".kwggggwkkkk....",
    ".kwwwwwwwwwk....", ".kwggggggwwk....", ".kwwwwwwwwwk....", ".kwggggggwwk....",
    ".kwwwwwwwGGG....", ".kwgggggwGGG....", ".kwwwwGGGGGGGGG.", ".kwwwwGGGGGGGGG.",
    ".kkkkkGGGGGGGGG.", ".........GGG....", ".........GGG....", "................",
};
Map kAddByUrl = {
    "....kkkkkk......", "..kkbcbbcbkk....", ".kbbcbbbbcbbk...", "kccccccccccccck.",
    "kbbcbbbbbbcbbbk.", "kbbcbbbbbbcbbbk.", "kccccccccccccck.", "kbbcbbbbbGGGbbk.",
    ".kbbcbbbbGGGbk..", ".kccccGGGGGGGGG.", "..kkbcGGGGGGGGG.", "....kkGGGGGGGGG.",
    ".........GGG....", ".........GGG....", "................", "................",
};
Map kEditRule = {
    "............kk..", "...........krrk.", "..........krrrrk", ".........kpkrrk.",
    "........kpppkk..", ".......kpppppk..", "......kpppppk...", ".....kpppppk....",
    "....kpppppk.....", "...kpppppk......", "..klpppppk......", "..kllppk........",
    ".kkllkk.........", ".kkkk...........", ".kk.............", "................",
};
Map kDeleteRule = {
    "................", "..rr........rr..", ".rrrr......rrrr.", "..rrrr....rrrr..",
    "...rrrr..rrrr...", "....rrrrrrrr....", ".....rrrrrr.....", "......rrrr......",
    ".....rrrrrr.....", "....rrrrrrrr....", "...rrrr..rrrr...", "..rrrr....rrrr..",
    ".rrrr......rrrr.", "..rr........rr..", "................", "................",
};
Map kUpArrow = {
    "................", ".......bb.......", "......bbbb......", ".....bbbbbb.....",
    "....bbbbbbbb....", "...bbbbbbbbbb...", "..bbbbbbbbbbbb..", ".bbbbbbbbbbbbbb.",
    ".....bbbbbb.....", ".....bbbbbb.....", ".....bbbbbb.....", ".....bbbbbb.....",
    ".....bbbbbb.....", ".....bbbbbb.....", "................", "................",
};
Map kDownArrow = {
    "................", "................", ".....bbbbbb.....", ".....bbbbbb.....",
    ".....bbbbbb.....", ".....bbbbbb.....", ".....bbbbbb.....", ".....bbbbbb.....",
    ".bbbbbbbbbbbbbb.", "..bbbbbbbbbbbb..", "...bbbbbbbbbb...", "....bbbbbbbb....",
    ".....bbbbbb.....", "......bbbb......", ".......bb.......", "................",
};
Map kFolder = {
    "................", "................", ".ooooo..........", "oyyyyyo.........",
    "oyyyyyyoooooooo.", "oyyyyyyyyyyyyyo.", "oppppppppppppppo", "oyyyyyyyyyyyyyyo",
    "oyyyyyyyyyyyyyyo", "oyyyyyyyyyyyyyyo", "oyyyyyyyyyyyyyyo", "oyyyyyyyyyyyyyyo",
    "oyyyyyyyyyyyyyyo", "oooooooooooooooo", "................", "................",
};
// The program: a folder with a blue arrow into it.
Map kProgram = {
    "................", "................", ".ooooo....bb....", "oyyyyyo...bb....",
    "oyyyyyyooobbooo.", "oyyyyyyyyybbyyo.", "opppppbbbbbbbbpo", "oyyyyyybbbbbbyyo",
    "oyyyyyyybbbbyyyo", "oyyyyyyyybbyyyyo", "oyyyyyyyyyyyyyyo", "oyyyyyyyyyyyyyyo",
    "oyyyyyyyyyyyyyyo", "oooooooooooooooo", "................", "................",
};

uint32_t Greyed(uint32_t argb) {
    uint32_t a = argb >> 24, r = (argb >> 16) & 0xFF, g = (argb >> 8) & 0xFF, b = argb & 0xFF;
    uint32_t grey = (r * 30 + g * 59 + b * 11) / 200 + 110;
    return ((a * 3 / 5) << 24) | (grey << 16) | (grey << 8) | grey;
}

HICON MakeIcon(Map map, int size, bool greyed = false) {
    int scale = size / 16;
    BITMAPV5HEADER bi = {};
    bi.bV5Size = sizeof bi;
    bi.bV5Width = size;
    bi.bV5Height = -size;
    bi.bV5Planes = 1;
    bi.bV5BitCount = 32;
    bi.bV5Compression = BI_BITFIELDS;
    bi.bV5RedMask = 0x00FF0000;
    bi.bV5GreenMask = 0x0000FF00;
    bi.bV5BlueMask = 0x000000FF;
    bi.bV5AlphaMask = 0xFF000000;
    void* bits = nullptr;
    HDC dc = GetDC(nullptr);
    ScopedGdiObject<HBITMAP> color(
        CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS, &bits, nullptr, 0));
    ReleaseDC(nullptr, dc);
    if (!color) return nullptr;
    uint32_t* px = static_cast<uint32_t*>(bits);
    for (int y = 0; y < size; ++y) {
        const char* row = map[y / scale];
        size_t len = std::strlen(row);
        for (int x = 0; x < size; ++x) {
            size_t col = static_cast<size_t>(x / scale);
            uint32_t c = col < len ? Argb(row[col]) : 0;
            px[y * size + x] = greyed && c ? Greyed(c) : c;
        }
    }
    // The alpha channel carries the shape; the mask only has to be blank.
    static const uint8_t kBlank[32 * 4] = {};
    // The icon gets its own copies of both bitmaps.
    ScopedGdiObject<HBITMAP> mask(CreateBitmap(size, size, 1, 1, kBlank));
    ICONINFO ii = {};
    ii.fIcon = TRUE;
    ii.hbmColor = color.Get();
    ii.hbmMask = mask.Get();
    return CreateIconIndirect(&ii);
}

const char* const* const kMaps[] = {kNameRule, kExtRule,   kUrlRule, kAddByName, kAddByUrl,
                                    kEditRule, kDeleteRule, kUpArrow, kDownArrow, kFolder};

HICON CachedIcon(Picture p, bool greyed) {
    static HICON icons[2][static_cast<int>(Picture::Count)] = {};
    int i = static_cast<int>(p);
    if (i < 0 || i >= static_cast<int>(Picture::Count)) return nullptr;
    HICON& icon = icons[greyed ? 1 : 0][i];
    if (!icon) icon = MakeIcon(kMaps[i], 16, greyed);
    return icon;
}

}  // namespace

HICON PictureIcon(Picture p) { return CachedIcon(p, false); }
HICON DisabledPictureIcon(Picture p) { return CachedIcon(p, true); }

HICON ProgramIcon(int size) {
    static HICON small = nullptr, large = nullptr;
    HICON& icon = size >= 32 ? large : small;
    if (!icon) icon = MakeIcon(kProgram, size >= 32 ? 32 : 16);
    return icon;
}

}  // namespace fw
