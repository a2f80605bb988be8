// Test helpers over the settings store and the registry seam. The same
// helpers run natively (in-memory registry) and under Wine (the real one).
#pragma once
#include "registry.h"
#include "settings_store.h"
#include "text.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>
#ifndef _WIN32
#include "registry_mem.h"
#endif

namespace fw::test {

inline std::u16string Repeat(char16_t c, size_t n) { return std::u16string(n, c); }

inline void PutRaw(const char16_t* name, uint32_t type, const void* data, uint32_t size,
                   const char16_t* key = kSettingsKey) {
    ASSERT_TRUE(SetRegValue(RegRoot::CurrentUser, key, name, type, data, size));
}

inline void PutText(const char16_t* name, const std::u16string& text) {
    PutRaw(name, kRegSz, text.c_str(), static_cast<uint32_t>((text.size() + 1) * 2));
}

struct Rule {
    uint32_t type;
    std::u16string text;
    std::u16string folder;
};

// Writes one rule's three values at `index`, as the settings program's save does.
inline void WriteRuleAt(int32_t index, const Rule& rule) {
    WriteRule(index, rule.type, rule.text.c_str(), rule.folder.c_str());
}

// Writes a rule list the way the settings program's save does.
inline void WriteRules(const std::vector<Rule>& rules) {
    WriteSettingDword(kNum, static_cast<uint32_t>(rules.size()));
    for (size_t i = 0; i < rules.size(); ++i) WriteRuleAt(static_cast<int32_t>(i), rules[i]);
}

// Prints UTF-16 as UTF-8 in failure messages.
inline std::string Utf8(const std::u16string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        uint32_t c = s[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size()) c = 0x10000 + ((c - 0xD800) << 10) + (s[++i] - 0xDC00);
        if (c < 0x80) out += static_cast<char>(c);
        else if (c < 0x800) { out += static_cast<char>(0xC0 | c >> 6); out += static_cast<char>(0x80 | (c & 0x3F)); }
        else if (c < 0x10000) { out += static_cast<char>(0xE0 | c >> 12); out += static_cast<char>(0x80 | ((c >> 6) & 0x3F)); out += static_cast<char>(0x80 | (c & 0x3F)); }
        else { out += static_cast<char>(0xF0 | c >> 18); out += static_cast<char>(0x80 | ((c >> 12) & 0x3F)); out += static_cast<char>(0x80 | ((c >> 6) & 0x3F)); out += static_cast<char>(0x80 | (c & 0x3F)); }
    }
    return out;
}

// Every test starts from an empty settings key (and, natively, an empty registry).
class StoreTest : public ::testing::Test {
protected:
    void SetUp() override {
#ifndef _WIN32
        mem::Reset();
#endif
        DeleteSettings();
    }
    void TearDown() override { DeleteSettings(); }
};

}  // namespace fw::test
