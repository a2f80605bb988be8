// Windows side only: the portable code holds char16_t, the API takes wchar_t;
// both are 16-bit UTF-16 units on Windows.
#pragma once
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wchar_t expected");

inline const wchar_t* W(const char16_t* s) { return reinterpret_cast<const wchar_t*>(s); }
inline wchar_t* W(char16_t* s) { return reinterpret_cast<wchar_t*>(s); }
inline const char16_t* U(const wchar_t* s) { return reinterpret_cast<const char16_t*>(s); }
inline char16_t* U(wchar_t* s) { return reinterpret_cast<char16_t*>(s); }
