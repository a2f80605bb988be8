#include "rule_matching.h"
#include "settings_store.h"
#include "text.h"

namespace fw {

int32_t FindRuleFolder(const char16_t* url, const char16_t* nameSource, char16_t* folder) {
    if (!nameSource) return kInvalidArg;
    const uint32_t folderBytes = kFolderChars * sizeof(char16_t);

    uint32_t useDefault = ReadSettingDword(kUseDefault, 0);

    // The name part runs from the last '/' (included) to the end; the
    // extension from the last '.', usable only after the name part's start.
    const char16_t* dot = TextRChr(nameSource, u'.');
    const char16_t* slash = TextRChr(nameSource, u'/');
    const char16_t* namePart = slash ? slash : nameSource;
    bool extensionUsable = dot && dot > namePart;
    bool nameUsable = TextLen(namePart) > 1;

    // A missing text is empty, so that the rule is skipped.
    constexpr RuleDefaults kMissing = {kNameRule, u"", u""};
    char16_t rule[kRuleChars];
    int32_t num = static_cast<int32_t>(ReadSettingDword(kNum, 0));
    int32_t gap = 0;  // indices in a row with nothing stored
    for (int32_t i = 0; i < num; ++i) {
        uint32_t type = ReadRule(i, kMissing, rule, sizeof rule);
        if (!rule[0]) {
            // A huge corrupt "Num" would otherwise block the browser for hours.
            // Looked at only here, so stored rules cost no extra reads.
            if (!RuleIndexEmpty(i)) gap = 0;
            else if (++gap >= kRuleGapLimit) break;
            continue;
        }
        gap = 0;

        bool match = false;
        switch (type) {
            case kNameRule: match = nameUsable && FindTextI(namePart, rule); break;
            case kExtensionRule: match = extensionUsable && EqualTextI(dot, rule); break;
            case kUrlRule: match = url && FindTextI(url, rule); break;
            default: break;
        }
        if (match) {
            ReadRuleFolder(i, kMissing.folder, folder, folderBytes);
            return kFolderFound;
        }
    }

    if (!useDefault) return kNoMatch;
    ReadSettingString(kDefaultFolder, u"", folder, folderBytes);
    return folder[0] ? kFolderFound : kNoMatch;
}

}  // namespace fw
