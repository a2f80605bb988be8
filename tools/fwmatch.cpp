// fwmatch: writes a sample rule list through the settings store and shows,
// for a few download URLs, which folder the rules choose.
#include "rule_matching.h"
#include "settings_store.h"
#include "text.h"
#include "win.h"
#include <cstdio>

namespace {

struct SampleRule {
    uint32_t type;
    const char16_t* text;
    const char16_t* folder;
};

const SampleRule kRules[] = {
    {fw::kExtensionRule, u".pdf", u"C:\\Downloads\\Documents"},
    {fw::kNameRule, u"setup", u"C:\\Downloads\\Installers"},
    {fw::kUrlRule, u"example.org/music/", u"C:\\Downloads\\Music"},
};

}  // namespace

int wmain() {
    fw::DeleteSettings();
    fw::WriteSettingDword(fw::kUseDefault, 1);
    fw::WriteSettingString(fw::kDefaultFolder, u"C:\\Downloads");
    fw::WriteSettingDword(fw::kNum, sizeof kRules / sizeof kRules[0]);
    char16_t name[fw::kValueNameChars];
    for (int i = 0; i < static_cast<int>(sizeof kRules / sizeof kRules[0]); ++i) {
        fw::RuleValueName(name, fw::kValueNameChars, i, fw::kTypeSuffix);
        fw::WriteSettingDword(name, kRules[i].type);
        fw::RuleValueName(name, fw::kValueNameChars, i, fw::kRuleSuffix);
        fw::WriteSettingString(name, kRules[i].text);
        fw::RuleValueName(name, fw::kValueNameChars, i, fw::kFolderSuffix);
        fw::WriteSettingString(name, kRules[i].folder);
    }
    const char16_t* urls[] = {
        u"http://example.com/papers/Report.PDF",
        u"http://example.com/tools/Setup_v2.exe",
        u"http://example.org/music/track.ogg",
        u"http://example.com/misc/archive.zip",
    };
    std::printf("%-42s %s\n", "download URL", "folder chosen");
    for (const char16_t* url : urls) {
        char16_t folder[fw::kFolderChars] = {};
        int32_t rc = fw::FindRuleFolder(url, url, folder);
        std::printf("%-42ls %ls\n", W(url), rc == 0 ? W(folder) : L"(left to the browser)");
    }
    return 0;
}
