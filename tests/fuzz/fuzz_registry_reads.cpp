// The single values the RegTool and the Save-dialog seeding read, stored with
// any type and any bytes: the hand-off "DownloadFolder" (with every buffer
// size), the consent-prompt policy and Internet Explorer's "Version". The
// first byte picks the value and its type.
#include "ie_places.h"
#include "registry_mem.h"
#include "regtool_logic.h"
#include "save_folder.h"
#include "save_folder_logic.h"
#include "text.h"
#include <cstdlib>
#include <vector>

namespace {

const char16_t* const kHandOffKey = u"Software\\Fwise\\HandOff";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    fw::mem::Reset();
    uint8_t pick = data[0] % 3;
    uint32_t type = (data[0] / 3) % 12;
    uint16_t capUnits = static_cast<uint16_t>(data[1] * 2);  // 0 .. 510 units
    std::vector<uint8_t> value(data + 2, data + size);
    const uint8_t* bytes = value.empty() ? nullptr : value.data();
    uint32_t len = static_cast<uint32_t>(value.size());
    switch (pick) {
        case 0: {
            fw::SetRegValue(fw::RegRoot::CurrentUser, kHandOffKey, fw::kHandOffValue, type, bytes, len);
            std::vector<char16_t> folder(capUnits + 1u, u'#');
            int got = fw::TakeHandOffFolder(kHandOffKey, folder.data(), capUnits * 2u);
            if (capUnits) {
                if (fw::TextLenBounded(folder.data(), capUnits) >= capUnits) std::abort();
                if (got != (folder[0] != 0 ? 1 : 0)) std::abort();
            } else {
                if (got || folder[0] != u'#') std::abort();  // no room at all: nothing written
                break;
            }
            // The key is gone whatever it held.
            uint32_t probe = 0;
            if (fw::QueryRegValue(fw::RegRoot::CurrentUser, kHandOffKey, fw::kHandOffValue, nullptr, &probe,
                                  nullptr) != fw::RegQuery::Failed)
                std::abort();
            break;
        }
        case 1: {
            fw::SetRegValue(fw::RegRoot::LocalMachine, fw::kPolicySystemKey, fw::kConsentPromptValue, type, bytes,
                            len);
            bool on = fw::AdminConsentPromptEnabled();
            bool anySet = false;
            for (uint32_t i = 0; i < len && len <= 4; ++i) anySet |= value[i] != 0;
            if (on != anySet) std::abort();
            break;
        }
        case 2: {
            fw::SetRegValue(fw::RegRoot::LocalMachine, fw::ie::kIeKey, fw::ie::kVersionValue, type, bytes, len);
            fw::ChooseSeedPlace();
            break;
        }
    }
    return 0;
}
