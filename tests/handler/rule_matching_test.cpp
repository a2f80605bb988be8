// Rule matching over a stored rule list: one table natively and under Wine,
// with the rules written by the settings store's own writers.
#include "rule_matching.h"
#include "store_util.h"

namespace fw::test {
namespace {

struct MatchRow {
    const char* label;
    std::vector<Rule> rules;
    const char16_t* url;
    const char16_t* nameSource;  // null: same as url
    int32_t expected;
    const char16_t* folder;
    int useDefault = -1;  // -1: not stored
    const char16_t* defaultFolder = nullptr;
};

const Rule kExe{kExtensionRule, u".exe", u"C:\\exe"};

class RuleMatching : public StoreTest {};

TEST_F(RuleMatching, Table) {
    const std::u16string longFolder = Repeat(u'f', 323);
    const std::u16string longUrl = u"http://h/?" + Repeat(u'q', 512);
    const MatchRow rows[] = {
        {"extension ignores case", {kExe}, u"http://h/Setup_v2.EXE", nullptr, 0, u"C:\\exe"},
        {"extension needs its dot", {{kExtensionRule, u"exe", u"A"}}, u"http://h/Setup_v2.EXE", nullptr, 1, u""},
        {"name rule ignores case", {{kNameRule, u"setup", u"N"}}, u"http://h/Setup_v2.EXE", nullptr, 0, u"N"},
        {"extension is after the last dot", {{kExtensionRule, u".tar.gz", u"A"}, {kNameRule, u".tar.gz", u"B"}},
         u"http://h/archive.tar.gz", nullptr, 0, u"B"},
        {"dot before the last slash: no extension", {{kExtensionRule, u".old/readme", u"A"}, {kNameRule, u"read", u"B"}},
         u"http://h/dir.old/readme", nullptr, 0, u"B"},
        {"trailing slash: only URL rules", {{kNameRule, u"/", u"A"}, {kExtensionRule, u".com/", u"B"}, {kUrlRule, u"download/", u"C"}},
         u"http://h.com/download/", nullptr, 0, u"C"},
        {"the slash belongs to the name part", {{kNameRule, u"/setup", u"A"}}, u"http://h/setup.exe", nullptr, 0, u"A"},
        {"... and does not match inside a name", {{kNameRule, u"/setup", u"A"}}, u"http://h/mysetup.exe", nullptr, 1, u""},
        {"no slash: the whole text is the name", {{kNameRule, u"port", u"A"}}, u"report.txt", nullptr, 0, u"A"},
        {"no slash: extension", {{kExtensionRule, u".txt", u"A"}}, u"report.txt", nullptr, 0, u"A"},
        {"leading dot is no extension", {{kExtensionRule, u".txt", u"A"}, {kNameRule, u"txt", u"B"}}, u".txt", nullptr, 0, u"B"},
        {"empty name source: no name rule", {{kNameRule, u"a", u"A"}, {kUrlRule, u"h/", u"U"}}, u"http://h/a", u"", 0, u"U"},
        {"one character without slash: no name rule", {{kNameRule, u"a", u"A"}}, u"a", nullptr, 1, u""},
        {"backslashes do not separate", {{kNameRule, u"dl", u"A"}}, u"C:\\dl\\file.txt", nullptr, 0, u"A"},
        {"backslash path keeps its extension", {{kExtensionRule, u".txt", u"A"}}, u"C:\\dl\\file.txt", nullptr, 0, u"A"},
        {"unresolved script URL: extension runs to the end", {{kExtensionRule, u".php", u"A"}, {kNameRule, u"id=7", u"B"}},
         u"http://h/get.php?id=7", nullptr, 0, u"B"},
        {"resolved: extension from the final URL", {{kExtensionRule, u".pdf", u"A"}},
         u"http://h/get.php?id=7", u"http://h/files/report.pdf", 0, u"A"},
        {"resolved: URL rules see the download URL", {{kUrlRule, u"report.pdf", u"A"}, {kUrlRule, u"get.php", u"B"}},
         u"http://h/get.php?id=7", u"http://h/files/report.pdf", 0, u"B"},
        {"first match wins", {{kNameRule, u"set", u"first"}, kExe}, u"http://h/setup.exe", nullptr, 0, u"first"},
        {"empty rule text is skipped", {{kNameRule, u"", u"skipped"}, kExe}, u"http://h/setup.exe", nullptr, 0, u"C:\\exe"},
        {"unknown type never matches", {{3, u"setup", u"A"}, {7, u"setup", u"B"}, kExe}, u"http://h/setup.exe", nullptr, 0, u"C:\\exe"},
        {"matching rule with empty folder beats the default", {{kNameRule, u"setup", u""}}, u"http://h/setup.exe", nullptr, 0, u"",
         1, u"C:\\default"},
        {"no match, UseDefault 2 takes the default", {kExe}, u"http://h/a.zip", nullptr, 0, u"C:\\default", 2, u"C:\\default"},
        {"no match, UseDefault 1 with empty default", {kExe}, u"http://h/a.zip", nullptr, 1, u"", 1, u""},
        {"no match, UseDefault 1 without default", {kExe}, u"http://h/a.zip", nullptr, 1, u"", 1, nullptr},
        {"no match, UseDefault 0 ignores the default", {kExe}, u"http://h/a.zip", nullptr, 1, u"", 0, u"C:\\default"},
        {"folder of 323 characters fits", {{kNameRule, u"a", longFolder}}, u"http://h/a", nullptr, 0, longFolder.c_str()},
        {"folder of 324 characters counts as not read", {{kNameRule, u"a", longFolder + u"x"}}, u"http://h/a", nullptr, 0, u""},
        {"rule of 512 characters is matched whole", {{kUrlRule, Repeat(u'q', 512), u"Q"}},
         longUrl.c_str(), nullptr, 0, u"Q"},
    };
    for (const auto& row : rows) {
        DeleteSettings();
        WriteRules(row.rules);
        if (row.useDefault >= 0) WriteSettingDword(kUseDefault, static_cast<uint32_t>(row.useDefault));
        if (row.defaultFolder) WriteSettingString(kDefaultFolder, row.defaultFolder);
        char16_t folder[kFolderChars] = {};
        int32_t got = FindRuleFolder(row.url, row.nameSource ? row.nameSource : row.url, folder);
        EXPECT_EQ(got, row.expected) << row.label;
        EXPECT_EQ(Utf8(folder), Utf8(row.folder)) << row.label;
    }
}

TEST_F(RuleMatching, OverLongRuleIsSkipped) {
    // Longer than any rule the settings program saves: never matched cut.
    WriteRules({{kNameRule, Repeat(u'a', 513), u"A"}, {kNameRule, u"a", u"B"}});
    char16_t folder[kFolderChars] = {};
    EXPECT_EQ(FindRuleFolder(u"http://h/aaa", u"http://h/aaa", folder), 0);
    EXPECT_EQ(Utf8(folder), "B");
}

TEST_F(RuleMatching, MalformedValuesAreDefaults) {
    WriteRules({{kNameRule, u"x", u"X"}, {kExtensionRule, u".zip", u"Z"}});
    const uint8_t qword[8] = {1};
    PutRaw(u"0001Type", kRegQword, qword, 8);  // not a number: type 0, a name rule
    const char16_t unterminated[3] = {u'A', u'B', u'C'};
    PutRaw(u"0000Rule", kRegSz, unterminated, sizeof unterminated);
    char16_t folder[kFolderChars] = {};
    EXPECT_EQ(FindRuleFolder(u"http://h/f.zip", u"http://h/f.zip", folder), 0);
    EXPECT_EQ(Utf8(folder), "Z");
}

TEST_F(RuleMatching, NumZeroOrNegativeExaminesNoRule) {
    for (uint32_t num : {0u, 0xFFFFFFFFu, 0x80000000u}) {
        DeleteSettings();
        WriteRules({kExe});
        WriteSettingDword(kNum, num);
        WriteSettingDword(kUseDefault, 1);
        WriteSettingString(kDefaultFolder, u"D");
        char16_t folder[kFolderChars] = {};
        EXPECT_EQ(FindRuleFolder(u"http://h/a.exe", u"http://h/a.exe", folder), 0) << num;
        EXPECT_EQ(Utf8(folder), "D") << num;
    }
}

TEST_F(RuleMatching, NumLargerThanStoredRulesSkipsTheRest) {
    WriteRules({{kNameRule, u"zzz", u"Z"}});
    WriteSettingDword(kNum, 3);
    char16_t folder[kFolderChars] = {};
    EXPECT_EQ(FindRuleFolder(u"http://h/a.exe", u"http://h/a.exe", folder), 1);
    EXPECT_EQ(folder[0], 0);
}

// A corrupt huge "Num": the walk ends after kRuleGapLimit indices in a row
// with nothing stored, so a rule just inside the gap is found and one past it
// is not; either way the call returns instead of reading 2^31 indices.
TEST_F(RuleMatching, HugeNumStopsAfterAGapOfMissingRules) {
    struct {
        const char* label;
        int32_t at;  // index of the matching rule; 0 holds a rule that does not match
        int32_t expected;
    } rows[] = {
        {"next index", 1, 0},
        {"last index inside the gap", kRuleGapLimit, 0},
        {"first index past the gap", kRuleGapLimit + 1, 1},
    };
    for (const auto& row : rows) {
        DeleteSettings();
        WriteRuleAt(0, {kNameRule, u"zzz", u"Z"});
        WriteRuleAt(row.at, {kExtensionRule, u".exe", u"E"});
        WriteSettingDword(kNum, 0x7FFFFFFFu);
        char16_t folder[kFolderChars] = {};
        EXPECT_EQ(FindRuleFolder(u"http://h/a.exe", u"http://h/a.exe", folder), row.expected) << row.label;
        EXPECT_EQ(Utf8(folder), row.expected == 0 ? "E" : "") << row.label;
    }
    // Any one value alone keeps the walk going, as a stored rule does: the
    // settings program lists such an index as a row, so the rule behind it
    // must match too.
    struct {
        const char* label;
        const char16_t* suffix;
    } lone[] = {{"Type alone", kTypeSuffix}, {"empty Rule alone", kRuleSuffix}, {"Folder alone", kFolderSuffix}};
    for (const auto& row : lone) {
        DeleteSettings();
        for (int32_t i = 0; i < kRuleGapLimit; i += kRuleGapLimit / 2) {
            char16_t name[kValueNameChars];
            RuleValueName(name, kValueNameChars, i, row.suffix);
            if (row.suffix == kTypeSuffix) WriteSettingDword(name, kNameRule);
            else WriteSettingString(name, row.suffix == kRuleSuffix ? u"" : u"F");
        }
        WriteRuleAt(kRuleGapLimit + kRuleGapLimit / 2, {kExtensionRule, u".exe", u"E"});
        WriteSettingDword(kNum, 0x7FFFFFFFu);
        char16_t folder[kFolderChars] = {};
        EXPECT_EQ(FindRuleFolder(u"http://h/a.exe", u"http://h/a.exe", folder), 0) << row.label;
        EXPECT_EQ(Utf8(folder), "E") << row.label;
    }
}

TEST_F(RuleMatching, NullNameSourceReadsNothing) {
    WriteSettingDword(kUseDefault, 1);
    WriteSettingString(kDefaultFolder, u"D");
    char16_t folder[kFolderChars];
    std::fill(std::begin(folder), std::end(folder), u'#');
#ifndef _WIN32
    mem::ClearLog();
#endif
    EXPECT_EQ(FindRuleFolder(u"http://h/a", nullptr, folder), kInvalidArg);
    EXPECT_EQ(folder[0], u'#');
#ifndef _WIN32
    EXPECT_TRUE(mem::Log().empty());
#endif
}

#ifndef _WIN32
// What is read, in order: no cache, only the matching rule's folder, the
// default folder only when no rule matched.
TEST_F(RuleMatching, ReadsOnlyWhatItNeeds) {
    WriteRules({{kNameRule, u"zzz", u"Z"}, {kUrlRule, u"h/", u"U"}, {kNameRule, u"a", u"A"}});
    WriteSettingDword(kUseDefault, 1);
    WriteSettingString(kDefaultFolder, u"D");
    mem::ClearLog();
    char16_t folder[kFolderChars] = {};
    ASSERT_EQ(FindRuleFolder(u"http://h/a", u"http://h/a", folder), 0);
    std::vector<std::u16string> names;
    for (const auto& call : mem::Log()) {
        EXPECT_EQ(call.kind, mem::Call::Query);
        names.push_back(call.name);
    }
    std::vector<std::u16string> expected = {u"UseDefault", u"Num",      u"0000Type",  u"0000Rule",
                                            u"0001Type",   u"0001Rule", u"0001Folder"};
    EXPECT_EQ(names, expected);
}
#endif

}  // namespace
}  // namespace fw::test
