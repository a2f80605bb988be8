// Native stand-in for StrStrIW / lstrcmpiW: simple one-to-one case folding of
// the scripts users put in rules (Latin, Greek, Cyrillic, full-width Latin).
// Windows folds more; the shared case table in the tests lists where they part.
#include "text.h"

namespace fw {

static char16_t Fold(char16_t c) {
    if (c < 0x80) return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 0x20) : c;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 0x20);
    if (c >= 0x100 && c <= 0x17F) {
        // Latin Extended-A alternates upper/lower, in two runs with different parity.
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
        if (c == 0x178) return 0xFF;
        bool oddRun = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        bool upper = oddRun ? (c & 1) : !(c & 1);
        return upper ? static_cast<char16_t>(c + 1) : c;
    }
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return static_cast<char16_t>(c + 0x20);
    if (c >= 0x410 && c <= 0x42F) return static_cast<char16_t>(c + 0x20);
    if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 0x50);
    if (c >= 0xFF21 && c <= 0xFF3A) return static_cast<char16_t>(c + 0x20);
    return c;
}

const char16_t* FindTextI(const char16_t* haystack, const char16_t* needle) {
    // As StrStrIW: no match for a missing or empty needle.
    if (!haystack || !needle || !*needle) return nullptr;
    for (const char16_t* h = haystack; *h; ++h) {
        const char16_t* a = h;
        const char16_t* b = needle;
        while (*a && *b && Fold(*a) == Fold(*b)) {
            ++a;
            ++b;
        }
        if (!*b) return h;
    }
    return nullptr;
}

bool EqualTextI(const char16_t* a, const char16_t* b) {
    if (!a) a = u"";
    if (!b) b = u"";
    while (*a && Fold(*a) == Fold(*b)) {
        ++a;
        ++b;
    }
    return Fold(*a) == Fold(*b);
}

}  // namespace fw
