// fwrules: writes a rule list and the options through the settings store, the
// way the settings program saves them (the key is deleted, then written whole).
//
//   fwrules.exe [/default FOLDER] [/parseurl N] [/usecd N] [name|ext|url TEXT FOLDER]...
//
// Without /default, UseDefault is 0. Exit code 0, or 2 for a bad command line.
#include "results.h"
#include "settings_store.h"
#include "win.h"
#include <cstdio>
#include <cwchar>

namespace {

bool RuleType(const wchar_t* word, uint32_t* type) {
    if (lstrcmpiW(word, L"name") == 0) *type = fw::kNameRule;
    else if (lstrcmpiW(word, L"ext") == 0) *type = fw::kExtensionRule;
    else if (lstrcmpiW(word, L"url") == 0) *type = fw::kUrlRule;
    else return false;
    return true;
}

int Usage() {
    std::fwprintf(stderr, L"usage: fwrules.exe [/default FOLDER] [/parseurl N] [/usecd N] [name|ext|url TEXT FOLDER]...\n");
    return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    fw::DeleteSettings();
    int rules = 0;
    bool useDefault = false;
    for (int i = 1; i < argc;) {
        uint32_t type;
        if (lstrcmpiW(argv[i], L"/default") == 0 && i + 1 < argc) {
            useDefault = true;
            fw::WriteSettingString(fw::kDefaultFolder, U(argv[i + 1]));
            i += 2;
        } else if (lstrcmpiW(argv[i], L"/parseurl") == 0 && i + 1 < argc) {
            fw::WriteSettingDword(fw::kParseUrl, static_cast<uint32_t>(std::wcstoul(argv[i + 1], nullptr, 10)));
            i += 2;
        } else if (lstrcmpiW(argv[i], L"/usecd") == 0 && i + 1 < argc) {
            fw::WriteSettingDword(fw::kUseContentDisposition,
                                  static_cast<uint32_t>(std::wcstoul(argv[i + 1], nullptr, 10)));
            i += 2;
        } else if (RuleType(argv[i], &type) && i + 2 < argc) {
            if (fw::WriteRule(rules++, type, U(argv[i + 1]), U(argv[i + 2])) != fw::kDone) return 1;
            i += 3;
        } else {
            return Usage();
        }
    }
    fw::WriteSettingDword(fw::kUseDefault, useDefault ? 1 : 0);
    fw::WriteSettingDword(fw::kNum, static_cast<uint32_t>(rules));
    return 0;
}
