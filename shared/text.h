// Portable UTF-16 text helpers over fixed buffers. No Windows types here:
// this file builds natively for the tests and for Windows for the products.
#pragma once
#include <cstddef>
#include <cstdint>

namespace fw {

// Length in code units of a terminated text; a null pointer counts as empty.
size_t TextLen(const char16_t* s);

// Length of the text inside a buffer of `cap` units: `cap` when no terminator
// is found there (the caller then treats the buffer as not holding a text).
size_t TextLenBounded(const char16_t* s, size_t cap);

// Copies `src` into `dst` (capacity `cap` units, cap > 0), cut if need be;
// the result is always terminated. Returns false when it had to cut.
bool TextCopy(char16_t* dst, size_t cap, const char16_t* src);

// Appends `src` to the text in `dst`; false (and `dst` unchanged) when the
// whole result would not fit with its terminator.
bool TextAppend(char16_t* dst, size_t cap, const char16_t* src);

// Exact comparison; true when both texts are equal.
bool TextEqual(const char16_t* a, const char16_t* b);

// Last / first occurrence of `c`, or null.
const char16_t* TextRChr(const char16_t* s, char16_t c);
const char16_t* TextChr(const char16_t* s, char16_t c);

// Writes `index` in decimal, zero-padded to at least four digits, followed by
// `suffix` ("%04d" + suffix). Returns false when it does not fit in `cap`.
bool FormatIndexName(char16_t* dst, size_t cap, int32_t index, const char16_t* suffix);

// Writes `value` in decimal without padding ("%d").
bool FormatDecimal(char16_t* dst, size_t cap, int32_t value);

// Case-insensitive search and comparison. On Windows these are the platform's
// own (StrStrIW, lstrcmpiW) so that matching behaves as on the user's system;
// natively a portable case folding stands in (text_ci_portable.cpp).
const char16_t* FindTextI(const char16_t* haystack, const char16_t* needle);
bool EqualTextI(const char16_t* a, const char16_t* b);

}  // namespace fw
