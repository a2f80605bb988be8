#include "regtool_logic.h"
#include "reg_helpers.h"
#include "results.h"
#include "save_folder.h"
#include "settings_store.h"
#include "text.h"

namespace fw {

namespace {

// A policy value read into 4 bytes, whatever its type; false when missing.
bool PolicyValueOn(const char16_t* name) {
    uint32_t value = 0;
    uint32_t size = sizeof value;
    // MoreData means the value is wider than 4 bytes: nothing defined to judge by.
    if (QueryRegValue(RegRoot::LocalMachine, kPolicySystemKey, name, &value, &size, nullptr) != RegQuery::Ok)
        return false;
    // A shorter value fills only its own bytes; the rest stay 0.
    return value != 0;
}

}  // namespace

bool AdminConsentPromptEnabled() { return PolicyValueOn(kConsentPromptValue); }

bool RegToolPolicyAllows() { return AdminConsentPromptEnabled() || PolicyValueOn(kEnableLuaValue); }

bool IsUserFolder(const char16_t* folder) {
    if (!folder || !folder[0]) return false;
    char16_t stored[kFolderChars];
    ReadSettingString(kDefaultFolder, u"", stored, sizeof stored);
    if (stored[0] && EqualTextI(stored, folder)) return true;
    // The handler's walk: the same indices, the same gap limit.
    int32_t num = static_cast<int32_t>(ReadSettingDword(kNum, 0));
    int32_t gap = 0;
    for (int32_t i = 0; i < num; ++i) {
        ReadRuleFolder(i, u"", stored, sizeof stored);
        if (stored[0]) {
            gap = 0;
            if (EqualTextI(stored, folder)) return true;
        } else if (!RuleIndexEmpty(i)) {
            gap = 0;
        } else if (++gap >= kRuleGapLimit) {
            break;
        }
    }
    return false;
}

int TakeHandOffFolder(const char16_t* keyPath, char16_t* folder, uint32_t cbFolder) {
    if (!folder || cbFolder < sizeof(char16_t)) return kFailed;
    folder[0] = 0;
    if (!ReadRegText(RegRoot::CurrentUser, keyPath, kHandOffValue, folder, cbFolder)) folder[0] = 0;
    // The key goes in any case, so a stale or malformed value cannot come back
    // with the next message.
    DeleteRegTree(RegRoot::CurrentUser, keyPath);
    return folder[0] != 0 ? kDone : kFailed;
}

}  // namespace fw
