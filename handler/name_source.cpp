#include "name_source.h"
#include "text.h"

namespace fw {

// Tested in this order; the first found decides.
static const char16_t* const kScriptMarkers[] = {
    u".asp", u".php", u".pl", u".rb", u".py", u".jsp", u".cgi",
};

bool IsScriptUrl(const char16_t* url) {
    if (!url) return false;
    if (TextChr(url, u'?')) return true;
    for (const char16_t* marker : kScriptMarkers) {
        if (FindTextI(url, marker)) return true;
    }
    return false;
}

}  // namespace fw
