#include "name_source.h"
#include "settings_store.h"
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

NameSourceSteps NameSourceStepsFor(const char16_t* url) {
    NameSourceSteps steps;
    steps.resolve = IsScriptUrl(url) && ReadSettingDword(kParseUrl, 0) == 1;
    steps.serverName = steps.resolve && ReadSettingDword(kUseContentDisposition, 0) == 1;
    return steps;
}

const char16_t* ChooseNameSource(const char16_t* url, const char16_t* finalUrl, const char16_t* serverName,
                                 char16_t* buf, size_t cap) {
    // The leading '/' makes the whole name the name part the rules see.
    if (serverName && *serverName && buf && cap > 1) {
        buf[0] = u'/';
        buf[1] = 0;
        if (TextAppend(buf, cap, serverName)) return buf;
    }
    return finalUrl ? finalUrl : url;
}

}  // namespace fw
