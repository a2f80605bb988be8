#include "rule_matching.h"
#include "match_steps.h"
#include "settings_store.h"
#include "text.h"

namespace fw {

namespace {

// The rules as the handler reads them: afresh from the settings store, value
// by value, only as far as the walk goes.
class StoreRules : public RuleSource {
public:
    uint32_t UseDefault() override { return ReadSettingDword(kUseDefault, 0); }
    int32_t Count() override { return static_cast<int32_t>(ReadSettingDword(kNum, 0)); }

    bool Rule(int32_t i, uint32_t* type, char16_t* rule, uint32_t ruleBytes) override {
        *type = ReadRule(i, kMissing, rule, ruleBytes);
        if (rule[0]) {
            gap_ = 0;
            return true;
        }
        // A huge corrupt "Num" would otherwise block the browser for hours.
        // Looked at only here, so stored rules cost no extra reads.
        if (!RuleIndexEmpty(i)) gap_ = 0;
        else if (++gap_ >= kRuleGapLimit) return false;
        return true;
    }

    void Folder(int32_t i, char16_t* folder, uint32_t folderBytes) override {
        ReadRuleFolder(i, kMissing.folder, folder, folderBytes);
    }

    void DefaultFolder(char16_t* folder, uint32_t folderBytes) override {
        ReadSettingString(kDefaultFolder, u"", folder, folderBytes);
    }

private:
    // A missing text is empty, so that the rule is skipped.
    static constexpr RuleDefaults kMissing = {kNameRule, u"", u""};
    int32_t gap_ = 0;  // indices in a row with nothing stored
};

}  // namespace

int32_t FindRuleFolder(const char16_t* url, const char16_t* nameSource, char16_t* folder) {
    StoreRules store;
    return WalkRules(store, url, nameSource, folder, kFolderChars * sizeof(char16_t), nullptr);
}

}  // namespace fw
