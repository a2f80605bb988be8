#include "regtool_logic.h"
#include "reg_helpers.h"
#include "results.h"
#include "save_folder.h"

namespace fw {

bool AdminConsentPromptEnabled() {
    uint32_t value = 0;
    uint32_t size = sizeof value;
    // MoreData means the value is wider than 4 bytes: nothing defined to judge by.
    if (QueryRegValue(RegRoot::LocalMachine, kPolicySystemKey, kConsentPromptValue, &value, &size, nullptr) !=
        RegQuery::Ok)
        return false;
    // A shorter value fills only its own bytes; the rest stay 0.
    return value != 0;
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
