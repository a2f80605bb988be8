#include "text.h"

namespace fw {

size_t TextLen(const char16_t* s) {
    if (!s) return 0;
    size_t n = 0;
    while (s[n]) ++n;
    return n;
}

size_t TextLenBounded(const char16_t* s, size_t cap) {
    if (!s) return 0;
    size_t n = 0;
    while (n < cap && s[n]) ++n;
    return n;
}

bool TextCopy(char16_t* dst, size_t cap, const char16_t* src) {
    if (!dst || cap == 0) return false;
    size_t n = 0;
    if (src) {
        while (src[n] && n + 1 < cap) {
            dst[n] = src[n];
            ++n;
        }
    }
    dst[n] = 0;
    return !src || src[n] == 0;
}

bool TextAppend(char16_t* dst, size_t cap, const char16_t* src) {
    size_t have = TextLenBounded(dst, cap);
    size_t add = TextLen(src);
    if (have >= cap || add >= cap - have) return false;
    for (size_t i = 0; i < add; ++i) dst[have + i] = src[i];
    dst[have + add] = 0;
    return true;
}

bool TextEqual(const char16_t* a, const char16_t* b) {
    if (!a) a = u"";
    if (!b) b = u"";
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

const char16_t* TextRChr(const char16_t* s, char16_t c) {
    const char16_t* last = nullptr;
    for (; s && *s; ++s)
        if (*s == c) last = s;
    return last;
}

const char16_t* TextChr(const char16_t* s, char16_t c) {
    for (; s && *s; ++s)
        if (*s == c) return s;
    return nullptr;
}

static bool FormatNumber(char16_t* dst, size_t cap, int32_t value, int minDigits) {
    char16_t digits[12];
    int n = 0;
    // Work on the magnitude as unsigned so INT32_MIN is safe.
    uint32_t mag = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do {
        digits[n++] = static_cast<char16_t>(u'0' + mag % 10);
        mag /= 10;
    } while (mag);
    while (n < minDigits) digits[n++] = u'0';
    size_t need = static_cast<size_t>(n) + (value < 0 ? 1 : 0);
    if (!dst || need >= cap) return false;
    size_t pos = 0;
    if (value < 0) dst[pos++] = u'-';
    while (n) dst[pos++] = digits[--n];
    dst[pos] = 0;
    return true;
}

bool FormatIndexName(char16_t* dst, size_t cap, int32_t index, const char16_t* suffix) {
    if (!FormatNumber(dst, cap, index, 4)) return false;
    return TextAppend(dst, cap, suffix);
}

bool FormatDecimal(char16_t* dst, size_t cap, int32_t value) {
    return FormatNumber(dst, cap, value, 1);
}

}  // namespace fw
