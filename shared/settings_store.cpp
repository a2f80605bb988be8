#include "settings_store.h"
#include "reg_helpers.h"
#include "results.h"
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

namespace {

// A name that does not fit reads as missing: never a cut name, which would
// be another index's value.
void ReadRuleText(int32_t index, const char16_t* suffix, const char16_t* def, char16_t* buf, uint32_t cb) {
    char16_t name[kValueNameChars];
    if (RuleValueName(name, kValueNameChars, index, suffix))
        ReadSettingString(name, def, buf, cb);
    else if (buf && cb >= sizeof(char16_t))
        TextCopy(buf, cb / sizeof(char16_t), def);
}

}  // namespace

uint32_t ReadRule(int32_t index, const RuleDefaults& def, char16_t* text, uint32_t textBytes, char16_t* folder,
                  uint32_t folderBytes) {
    char16_t name[kValueNameChars];
    uint32_t type = RuleValueName(name, kValueNameChars, index, kTypeSuffix) ? ReadSettingDword(name, def.type)
                                                                             : def.type;
    ReadRuleText(index, kRuleSuffix, def.text, text, textBytes);
    if (folder) ReadRuleText(index, kFolderSuffix, def.folder, folder, folderBytes);
    return type;
}

void ReadRuleFolder(int32_t index, const char16_t* def, char16_t* folder, uint32_t folderBytes) {
    ReadRuleText(index, kFolderSuffix, def, folder, folderBytes);
}

int WriteRule(int32_t index, uint32_t type, const char16_t* text, const char16_t* folder) {
    char16_t name[kValueNameChars];
    int ok = kDone;
    if (!RuleValueName(name, kValueNameChars, index, kTypeSuffix) || !WriteSettingDword(name, type)) ok = kFailed;
    if (!RuleValueName(name, kValueNameChars, index, kRuleSuffix) || !WriteSettingString(name, text)) ok = kFailed;
    if (!RuleValueName(name, kValueNameChars, index, kFolderSuffix) || !WriteSettingString(name, folder))
        ok = kFailed;
    return ok;
}

bool RuleIndexEmpty(int32_t index) {
    char16_t name[kValueNameChars];
    const char16_t* const suffixes[] = {kTypeSuffix, kRuleSuffix, kFolderSuffix};
    for (const char16_t* suffix : suffixes)
        if (RuleValueName(name, kValueNameChars, index, suffix) && SettingStored(name)) return false;
    return true;
}

}  // namespace fw
