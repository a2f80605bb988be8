// The rule tester's explanation and the rule list's marks. The tester runs
// the handler's own walk over the rules on screen, so each table row is also
// run through FindRuleFolder over the same rules saved to the store.
#include "rule_matching.h"
#include "rule_tester.h"
#include "store_util.h"
#include <memory>

namespace fw::test {
namespace {

using O = RuleOutcome;

std::vector<ScreenRule> OnScreen(const std::vector<Rule>& rules) {
    std::vector<ScreenRule> out;
    for (const Rule& r : rules) out.push_back({r.type, r.text.c_str(), r.folder.c_str()});
    return out;
}

struct StepRow {
    const char* label;
    std::vector<Rule> rules;
    const char16_t* url;
    const char16_t* nameSource;  // null: the url
    std::vector<O> steps;
    std::vector<std::string> whys;  // the rule rows' reasons, then the result row
    bool useDefault = false;
};

class RuleTester : public StoreTest {};

TEST_F(RuleTester, StepsAndReasonsAgreeWithTheHandler) {
    const StepRow rows[] = {
        {"extension differs, then the name part matches",
         {{kExtensionRule, u".pdf", u"P"}, {kNameRule, u"setup", u"S"}, {kExtensionRule, u".exe", u"E"}},
         u"http://h/Setup_v2.EXE", nullptr, {O::OtherExtension, O::Matched},
         {"the extension is .EXE, not .pdf", "the file name /Setup_v2.EXE contains \"setup\"",
          "never tried: rule 2 matched first", "opens in S (rule 2)"}},
        {"trailing slash: only URL rules can match",
         {{kNameRule, u"download", u"N"}, {kExtensionRule, u".com/", u"X"}, {kUrlRule, u"download/", u"U"}},
         u"http://h.com/download/", nullptr, {O::NoNamePart, O::NoExtension, O::Matched},
         {"there is no file name: name rules cannot match", "there is no extension, so not .com/",
          "the address contains \"download/\"", "opens in U (rule 3)"}},
        {"no slash: the whole text is the name part", {{kNameRule, u"PORT", u"A"}}, u"report.txt", nullptr,
         {O::Matched}, {"the file name report.txt contains \"PORT\"", "opens in A (rule 1)"}},
        {"a dot at the first character is no extension", {{kExtensionRule, u".txt", u"A"}, {kNameRule, u"txt", u"B"}},
         u".txt", nullptr, {O::NoExtension, O::Matched},
         {"there is no extension, so not .txt", "the file name .txt contains \"txt\"", "opens in B (rule 2)"}},
        {"query string: the extension runs to the end", {{kExtensionRule, u".php", u"A"}, {kNameRule, u"id=8", u"B"}},
         u"http://h/get.php?id=7", nullptr, {O::OtherExtension, O::NotInName},
         {"the extension is .php?id=7, not .php", "the file name /get.php?id=7 does not contain \"id=8\"",
          "no rule matched and no default folder: Internet Explorer chooses"}},
        {"followed: URL rules keep the address as given", {{kUrlRule, u"report.pdf", u"A"}, {kExtensionRule, u".pdf", u"B"}},
         u"http://h/get.php?id=7", u"http://h/files/report.pdf", {O::NotInUrl, O::Matched},
         {"URL rules look at the address: it does not contain \"report.pdf\"", "the extension is .pdf",
          "opens in B (rule 2)"}},
        {"skipped and unknown rules, then the default folder",
         {{kNameRule, u"", u"A"}, {7, u"h", u"B"}, {kUrlRule, u"zzz", u"C"}}, u"http://h/a.zip", nullptr,
         {O::EmptyText, O::UnknownType, O::NotInUrl},
         {"skipped: empty text", "skipped: type 7 is no rule type",
          "URL rules look at the address: it does not contain \"zzz\"", "opens in C:\\dl (default folder)"},
         true},
        {"a matching rule without a folder beats the default", {{kNameRule, u"a", u""}}, u"http://h/a.zip", nullptr,
         {O::Matched}, {"the file name /a.zip contains \"a\"",
          "rule 1 matched but has no folder: Internet Explorer chooses"}, true},
    };
    for (const StepRow& row : rows) {
        std::vector<ScreenRule> screen = OnScreen(row.rules);
        const char16_t* nameSource = row.nameSource ? row.nameSource : row.url;
        ScreenDefault def{row.useDefault, u"C:\\dl"};
        TestRun run;
        RunTest(screen.data(), static_cast<int32_t>(screen.size()), def, row.url, nameSource, &run);
        EXPECT_EQ(run.steps, row.steps) << row.label;

        std::vector<TestRow> shown;
        ExplainTest(screen.data(), static_cast<int32_t>(screen.size()), run, row.url, nullptr, nameSource, &shown);
        std::vector<std::string> whys;
        for (const TestRow& r : shown)
            if (r.kind != TestRow::Info) whys.push_back(Utf8(r.why));
        EXPECT_EQ(whys, row.whys) << row.label;

        // The handler over the same rules, saved.
        DeleteSettings();
        WriteRules(row.rules);
        WriteSettingDword(kUseDefault, row.useDefault ? 1 : 0);
        WriteSettingString(kDefaultFolder, def.folder);
        char16_t folder[kFolderChars] = {};
        EXPECT_EQ(FindRuleFolder(row.url, nameSource, folder), run.result) << row.label;
        EXPECT_EQ(Utf8(folder), Utf8(run.folder)) << row.label;
    }
}

TEST_F(RuleTester, InfoRowsShowTheNameSourceAsTheHandlerSplitsIt) {
    std::vector<Rule> rules = {{kUrlRule, u"x", u"X"}};
    std::vector<ScreenRule> screen = OnScreen(rules);
    TestRun run;
    RunTest(screen.data(), 1, {false, u""}, u"http://h/dl.php?f=1", u"http://h/dir.old/readme", &run);
    std::vector<TestRow> shown;
    ExplainTest(screen.data(), 1, run, u"http://h/dl.php?f=1", u"http://h/dir.old/readme", u"http://h/dir.old/readme",
                &shown);
    std::vector<std::string> info;
    for (const TestRow& r : shown)
        if (r.kind == TestRow::Info) info.push_back(Utf8(r.first) + ": " + Utf8(r.why));
    std::vector<std::string> expected = {"Address: http://h/dl.php?f=1", "Followed to: http://h/dir.old/readme",
                                         "File name taken from: http://h/dir.old/readme", "Name part: /readme",
                                         "Extension: (none)"};
    EXPECT_EQ(info, expected);
}

TEST_F(RuleTester, TextsTooLongForTheStoreAreEmptyAsAfterASave) {
    // The store's readers give an over-long rule text back empty; so does the tester.
    std::vector<Rule> rules = {{kNameRule, Repeat(u'a', 513), u"A"}, {kNameRule, u"a", u"B"}};
    std::vector<ScreenRule> screen = OnScreen(rules);
    TestRun run;
    RunTest(screen.data(), 2, {false, u""}, u"http://h/aaa", u"http://h/aaa", &run);
    EXPECT_EQ(run.steps, (std::vector<O>{O::EmptyText, O::Matched}));
    EXPECT_EQ(Utf8(run.folder), "B");
}

struct MarkRow {
    const char* label;
    std::vector<Rule> rules;
    std::vector<std::pair<MarkReason, int32_t>> marks;  // per rule: reason, winner
    std::vector<bool> folderMissing = {};
};

constexpr auto kNone = std::make_pair(MarkReason::None, -1);
std::pair<MarkReason, int32_t> By(int32_t winner) { return {MarkReason::Shadowed, winner}; }
std::pair<MarkReason, int32_t> Never(MarkReason r) { return {r, -1}; }

TEST_F(RuleTester, Marks) {
    const MarkRow rows[] = {
        {"name inside a later name", {{kNameRule, u"setup", u"A"}, {kNameRule, u"MySetup_v2", u"B"}}, {kNone, By(0)}},
        {"name inside a later extension", {{kNameRule, u"exe", u"A"}, {kExtensionRule, u".EXE", u"B"}}, {kNone, By(0)}},
        {"equal extensions", {{kExtensionRule, u".zip", u"A"}, {kExtensionRule, u".ZIP", u"B"}}, {kNone, By(0)}},
        {"URL inside a later URL", {{kUrlRule, u"example.com", u"A"}, {kUrlRule, u"dl.EXAMPLE.com/f", u"B"}},
         {kNone, By(0)}},
        {"the earliest winner is named",
         {{kNameRule, u"a", u"A"}, {kNameRule, u"ab", u"B"}, {kNameRule, u"abc", u"C"}}, {kNone, By(0), By(0)}},
        {"URL text inside a later name: the name source may be another address",
         {{kUrlRule, u"setup", u"A"}, {kNameRule, u"setup", u"B"}}, {kNone, kNone}},
        {"name text inside a later URL", {{kNameRule, u"setup", u"A"}, {kUrlRule, u"setup", u"B"}}, {kNone, kNone}},
        {"an extension does not decide a name", {{kExtensionRule, u".exe", u"A"}, {kNameRule, u"a.exe", u"B"}},
         {kNone, kNone}},
        {"a longer earlier name", {{kNameRule, u"setup_v2", u"A"}, {kNameRule, u"setup", u"B"}}, {kNone, kNone}},
        {"an extension inside a later one is no match",
         {{kExtensionRule, u".ex", u"A"}, {kExtensionRule, u".exe", u"B"}}, {kNone, kNone}},
        {"a rule that never matches wins nothing",
         {{kExtensionRule, u".tar.gz", u"A"}, {kExtensionRule, u".tar.gz", u"B"}, {kNameRule, u"", u"C"},
          {kNameRule, u"x", u"D"}},
         {Never(MarkReason::ExtensionTwoDots), Never(MarkReason::ExtensionTwoDots), Never(MarkReason::EmptyText), kNone}},
        {"can never match",
         {{kExtensionRule, u"exe", u"A"}, {kNameRule, u"dl/setup", u"B"}, {kNameRule, u"/setup", u"C"},
          {3, u"x", u"D"}, {kUrlRule, u"", u"E"}},
         {Never(MarkReason::ExtensionNoDot), Never(MarkReason::NameSlash), kNone, Never(MarkReason::UnknownType),
          Never(MarkReason::EmptyText)}},
        {"a missing folder, unless the rule is marked already",
         {{kNameRule, u"a", u"A"}, {kNameRule, u"ab", u"B"}, {kNameRule, u"", u"C"}, {kUrlRule, u"q", u"D"}},
         {Never(MarkReason::FolderMissing), By(0), Never(MarkReason::EmptyText), kNone}, {true, true, true, false}},
    };
    for (const MarkRow& row : rows) {
        std::vector<ScreenRule> screen = OnScreen(row.rules);
        std::vector<RuleMark> marks(screen.size());
        std::unique_ptr<bool[]> missing(new bool[screen.size()]());
        for (size_t i = 0; i < row.folderMissing.size(); ++i) missing[i] = row.folderMissing[i];
        MarkRules(screen.data(), static_cast<int32_t>(screen.size()), missing.get(), marks.data());
        for (size_t i = 0; i < screen.size(); ++i) {
            EXPECT_EQ(static_cast<int>(marks[i].reason), static_cast<int>(row.marks[i].first))
                << row.label << ", rule " << i;
            EXPECT_EQ(marks[i].winner, row.marks[i].second) << row.label << ", rule " << i;
        }
    }
}

TEST_F(RuleTester, LongListsGetOnlySingleRuleMarks) {
    std::vector<ScreenRule> screen(kShadowCheckLimit + 1, ScreenRule{kNameRule, u"unique", u"A"});
    std::vector<std::u16string> texts;
    for (int32_t i = 0; i <= kShadowCheckLimit; ++i) texts.push_back(u"r" + std::u16string(1, char16_t(u'a' + i % 26)) +
                                                                       std::u16string(i / 26 + 1, u'x'));
    for (size_t i = 0; i < screen.size(); ++i) screen[i].rule = texts[i].c_str();
    screen.back().rule = texts[0].c_str();  // would be shadowed by rule 0
    screen[5].rule = u"";
    std::vector<RuleMark> marks(screen.size());
    MarkRules(screen.data(), static_cast<int32_t>(screen.size()), nullptr, marks.data());
    EXPECT_EQ(static_cast<int>(marks.back().reason), static_cast<int>(MarkReason::None));
    EXPECT_EQ(static_cast<int>(marks[5].reason), static_cast<int>(MarkReason::EmptyText));
    screen.pop_back();  // at the limit, pairs are looked at
    screen.back().rule = texts[0].c_str();
    MarkRules(screen.data(), static_cast<int32_t>(screen.size()), nullptr, marks.data());
    EXPECT_EQ(static_cast<int>(marks[screen.size() - 1].reason), static_cast<int>(MarkReason::Shadowed));
}

TEST_F(RuleTester, HintsNameTheWinnerAndTheFolder) {
    std::vector<Rule> rules = {{kUrlRule, u"q", u"Q"}, {kNameRule, u"setup", u"A"}, {kNameRule, u"Setup2", u"B"},
                               {kNameRule, u"zip", u"Z:\\gone"}, {9, u"x", u"X"}};
    std::vector<ScreenRule> screen = OnScreen(rules);
    std::vector<RuleMark> marks(screen.size());
    bool missing[] = {false, false, false, true, false};
    MarkRules(screen.data(), 5, missing, marks.data());
    char16_t hint[kRowChars];
    const char* expected[] = {"", "", "Never used: rule 2 (\"setup\") always matches first",
                              "Does nothing: the folder Z:\\gone does not exist",
                              "Can never match: type 9 is no rule type"};
    for (int32_t i = 0; i < 5; ++i) {
        MarkHint(marks[i], screen.data(), 5, i, hint, kRowChars);
        EXPECT_EQ(Utf8(hint), expected[i]) << i;
    }
}

TEST(RuleTesterText, FillTextCutsInsideItsBuffer) {
    char16_t out[8];
    FillText(out, 8, u"%2-%1-%3", u"ab", u"cd");
    EXPECT_EQ(Utf8(out), "cd-ab-%");
    FillText(out, 8, u"x%1", u"0123456789");
    EXPECT_EQ(Utf8(out), "x012345");
}

TEST(RuleTesterText, FoldersThatAreLookedAt) {
    struct {
        const char16_t* folder;
        FolderCheck expected;
    } rows[] = {
        {u"C:\\Downloads", FolderCheck::Check}, {u"d:/x", FolderCheck::Check}, {u"", FolderCheck::Missing},
        {u"\\\\server\\share", FolderCheck::Skip}, {u"//server/share", FolderCheck::Skip},
        {u"Downloads", FolderCheck::Skip}, {u"C:", FolderCheck::Skip},
    };
    for (const auto& row : rows)
        EXPECT_EQ(static_cast<int>(ClassifyFolder(row.folder)), static_cast<int>(row.expected)) << Utf8(row.folder);
}

TEST(RuleTesterText, ClipboardAddresses) {
    struct {
        const char16_t* text;
        bool taken;
    } rows[] = {
        {u"http://example.com/a.zip", true}, {u"HTTPS://example.com/", true}, {u"ftp://h/f", true},
        {u"file:///C:/dl/x.txt", true}, {u"http://", false}, {u"see http://example.com", false},
        {u"http://h/a\r\nsecond line", false}, {u"mailto:a@b", false}, {u"", false},
    };
    for (const auto& row : rows) EXPECT_EQ(IsTestableAddress(row.text), row.taken) << Utf8(row.text);
}

}  // namespace
}  // namespace fw::test
