// The platform's own case-insensitive search and comparison.
#include "text.h"
#include "win.h"
#include <shlwapi.h>

namespace fw {

const char16_t* FindTextI(const char16_t* haystack, const char16_t* needle) {
    return U(StrStrIW(W(haystack), W(needle)));
}

bool EqualTextI(const char16_t* a, const char16_t* b) {
    return lstrcmpiW(W(a), W(b)) == 0;
}

}  // namespace fw
