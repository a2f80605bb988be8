// Arbitrary registry data under a settings value, read back with every
// buffer size the programs use: the result is always a terminated text
// inside the buffer, and a number is either the stored one or the default.
#include "registry_mem.h"
#include "settings_store.h"
#include "text.h"
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    fw::mem::Reset();
    uint32_t type = data[0] % 12;
    uint16_t capUnits = static_cast<uint16_t>(1 + data[1] * 3);  // 1 .. 766 units
    std::vector<uint8_t> value(data + 2, data + size);
    fw::SetRegValue(fw::RegRoot::CurrentUser, fw::kSettingsKey, u"V", type, value.data(),
                    static_cast<uint32_t>(value.size()));

    uint32_t got = fw::ReadSettingDword(u"V", 0xABCDu);
    if (got != 0xABCDu) {
        uint32_t stored;
        if (type != fw::kRegDword || value.size() != 4) std::abort();
        std::memcpy(&stored, value.data(), 4);
        if (stored != got) std::abort();
    }

    std::vector<char16_t> buf(capUnits, u'#');
    fw::ReadSettingString(u"V", u"default", buf.data(), capUnits * 2);
    if (fw::TextLenBounded(buf.data(), capUnits) >= capUnits) std::abort();
    return 0;
}
