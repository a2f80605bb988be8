#include "match_steps.h"
#include "rule_matching.h"
#include "settings_store.h"
#include "text.h"

namespace fw {

NameParts SplitNameSource(const char16_t* nameSource) {
    NameParts p;
    // The name part runs from the last '/' (included) to the end; the
    // extension from the last '.', usable only after the name part's start.
    const char16_t* dot = TextRChr(nameSource, u'.');
    const char16_t* slash = TextRChr(nameSource, u'/');
    p.namePart = slash ? slash : nameSource;
    p.extension = dot;
    p.extensionUsable = dot && dot > p.namePart;
    p.nameUsable = TextLen(p.namePart) > 1;
    return p;
}

RuleOutcome TestRule(const NameParts& parts, const char16_t* url, uint32_t type, const char16_t* rule) {
    if (!rule || !rule[0]) return RuleOutcome::EmptyText;
    switch (type) {
        case kNameRule:
            if (!parts.nameUsable) return RuleOutcome::NoNamePart;
            return FindTextI(parts.namePart, rule) ? RuleOutcome::Matched : RuleOutcome::NotInName;
        case kExtensionRule:
            if (!parts.extensionUsable) return RuleOutcome::NoExtension;
            return EqualTextI(parts.extension, rule) ? RuleOutcome::Matched : RuleOutcome::OtherExtension;
        case kUrlRule: return url && FindTextI(url, rule) ? RuleOutcome::Matched : RuleOutcome::NotInUrl;
        default: return RuleOutcome::UnknownType;
    }
}

int32_t WalkRules(RuleSource& source, const char16_t* url, const char16_t* nameSource, char16_t* folder,
                  uint32_t folderBytes, MatchSteps* steps) {
    if (!nameSource) return kInvalidArg;
    uint32_t useDefault = source.UseDefault();
    NameParts parts = SplitNameSource(nameSource);
    if (steps) steps->Parts(parts);

    char16_t rule[kRuleChars];
    int32_t num = source.Count();
    for (int32_t i = 0; i < num; ++i) {
        uint32_t type = kNameRule;
        if (!source.Rule(i, &type, rule, sizeof rule)) break;
        RuleOutcome outcome = TestRule(parts, url, type, rule);
        if (steps) steps->Step(i, outcome);
        if (outcome == RuleOutcome::Matched) {
            // The first match decides, even with an empty folder.
            source.Folder(i, folder, folderBytes);
            return kFolderFound;
        }
    }

    if (!useDefault) return kNoMatch;
    source.DefaultFolder(folder, folderBytes);
    return folder[0] ? kFolderFound : kNoMatch;
}

}  // namespace fw
