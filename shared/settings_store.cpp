#include "settings_store.h"
#include "reg_helpers.h"
#include "text.h"

namespace fw {

uint32_t ReadSettingDword(const char16_t* name, uint32_t def) {
    uint32_t value = def;
    return ReadRegDword(RegRoot::CurrentUser, kSettingsKey, name, &value) ? value : def;
}

void ReadSettingString(const char16_t* name, const char16_t* def, char16_t* buf, uint32_t cb) {
    uint32_t cap = cb / sizeof(char16_t);
    if (!buf || cap == 0) return;
    if (!ReadRegText(RegRoot::CurrentUser, kSettingsKey, name, buf, cap * sizeof(char16_t)))
        TextCopy(buf, cap, def);
}

int WriteSettingDword(const char16_t* name, uint32_t value) {
    return WriteRegDword(RegRoot::CurrentUser, kSettingsKey, name, value);
}

int WriteSettingString(const char16_t* name, const char16_t* text) {
    return WriteRegString(RegRoot::CurrentUser, kSettingsKey, name, text);
}

bool SettingStored(const char16_t* name) {
    return ReadRegValueSize(RegRoot::CurrentUser, kSettingsKey, name) != 0xFFFFFFFFu;
}

void DeleteSettings() { DeleteRegTree(RegRoot::CurrentUser, kSettingsKey); }

bool RuleValueName(char16_t* dst, uint32_t cap, int32_t index, const char16_t* suffix) {
    return FormatIndexName(dst, cap, index, suffix);
}

}  // namespace fw
