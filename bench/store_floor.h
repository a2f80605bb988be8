// The settings store at the registry's own speed, for the benchmarks'
// floors: a store written bare the way a save writes it, and the reads a
// load makes, bare.
#pragma once
#include "settings_store.h"

namespace fw::bench {

// The writes a save makes, bare: the floor of a save and of an import.
inline void WriteStore(int rules) {
    fw::DeleteSettings();
    fw::WriteSettingString(fw::kGuiFontFace, u"Arial");
    fw::WriteSettingDword(fw::kGuiCharSet, 1);
    fw::WriteSettingDword(fw::kUseDefault, 1);
    fw::WriteSettingString(fw::kDefaultFolder, u"C:\\Downloads");
    fw::WriteSettingDword(fw::kParseUrl, 1);
    fw::WriteSettingDword(fw::kNum, rules);
    char16_t name[fw::kValueNameChars];
    for (int i = 0; i < rules; ++i) {
        fw::RuleValueName(name, fw::kValueNameChars, i, fw::kTypeSuffix);
        fw::WriteSettingDword(name, static_cast<uint32_t>(i % 3));
        fw::RuleValueName(name, fw::kValueNameChars, i, fw::kRuleSuffix);
        fw::WriteSettingString(name, i % 3 == 1 ? u".ext" : u"example.org/some/path/");
        fw::RuleValueName(name, fw::kValueNameChars, i, fw::kFolderSuffix);
        fw::WriteSettingString(name, u"C:\\Users\\me\\Downloads\\Folder");
    }
}

// The reads LoadSettings makes, bare: the floor of a load and of an export.
inline void BareReads() {
    char16_t text[fw::kRuleChars];
    char16_t folder[fw::kPathChars];
    char16_t name[fw::kValueNameChars];
    fw::ReadSettingString(fw::kGuiFontFace, u"Arial", folder, sizeof folder);
    fw::ReadSettingDword(fw::kGuiCharSet, 1);
    fw::ReadSettingDword(fw::kUseDefault, 0);
    fw::ReadSettingString(fw::kDefaultFolder, u"", folder, sizeof folder);
    fw::ReadSettingDword(fw::kParseUrl, 0);
    int n = static_cast<int>(fw::ReadSettingDword(fw::kNum, 0));
    for (int i = 0; i < n; ++i) {
        fw::RuleValueName(name, fw::kValueNameChars, i, fw::kTypeSuffix);
        fw::ReadSettingDword(name, 0);
        fw::RuleValueName(name, fw::kValueNameChars, i, fw::kRuleSuffix);
        fw::ReadSettingString(name, u"ERR", text, sizeof text);
        fw::RuleValueName(name, fw::kValueNameChars, i, fw::kFolderSuffix);
        fw::ReadSettingString(name, u"ERR", folder, sizeof folder);
    }
}

}  // namespace fw::bench
