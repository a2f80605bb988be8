// The settings program's main-window logic against the in-memory store, a
// fake window, a scripted rule dialog and a fake clock.
#include "fake_option_dlg.h"
#include "option_logic.h"
#include "store_util.h"
#include "texts.h"
#include <algorithm>

namespace fw::test {
namespace {

std::vector<FakeRow> Rows(int n) {
    std::vector<FakeRow> out;
    for (int i = 0; i < n; ++i) {
        std::u16string s(1, static_cast<char16_t>(u'a' + i));
        out.push_back({kNameRule, s, u"C:\\" + s});
    }
    return out;
}

std::string Order(const std::vector<FakeRow>& rows) {
    std::string out;
    for (const auto& r : rows) out += Utf8(r.rule);
    return out;
}

std::vector<std::string> StoredNames() {
    std::vector<std::string> out;
    for (const auto& n : mem::ValueNames(RegRoot::CurrentUser, kSettingsKey)) out.push_back(Utf8(n));
    return out;
}

std::u16string Stored(const char16_t* name) {
    char16_t buf[kRuleChars];
    ReadSettingString(name, u"<missing>", buf, sizeof buf);
    return buf;
}

class Settings : public StoreTest {};

// After the store was deleted under the window, the new rows are saved as
// shown: nothing an earlier "ERR" row kept is written for them.
TEST_F(Settings, ReloadDropsWhatTheOldRowsKept) {
    WriteRules({{2, Repeat(u'r', 600), u"C:\\long"}});
    FakeOptionDlg dlg;
    dlg.LoadSettings();
    ASSERT_EQ(Utf8(dlg.rows.at(0).rule), "ERR");
    DeleteSettings();
    dlg.ReloadSettings();
    ASSERT_TRUE(dlg.rows.empty());
    dlg.answers.push_back({true, u".pdf", u"C:\\Docs"});
    dlg.OnAdd(RuleDialogKind::File);
    ASSERT_TRUE(dlg.SaveSettings());
    EXPECT_EQ(Utf8(Stored(u"0000Rule")), ".pdf");
    EXPECT_EQ(ReadSettingDword(u"0000Type", 9), 1u);
}

TEST_F(Settings, FirstStartWithoutKey) {
    FakeOptionDlg dlg;
    dlg.LoadSettings();
    EXPECT_TRUE(dlg.rows.empty());
    EXPECT_FALSE(dlg.useDefault);
    EXPECT_FALSE(dlg.parseUrl);
    EXPECT_EQ(Utf8(dlg.defaultFolder), "");
    EXPECT_FALSE(dlg.defaultEnabled);
    EXPECT_EQ(Utf8(dlg.windowFace), "Arial");
    EXPECT_EQ(dlg.windowCharSet, 1u);
    EXPECT_EQ(Utf8(dlg.shownFace), "Arial");
    EXPECT_EQ(Utf8(dlg.shownCharSet), "Default (1)");
    EXPECT_FALSE(dlg.Changed());
    dlg.btnCancelClick();
    EXPECT_TRUE(dlg.closed);
    EXPECT_EQ(dlg.asks, 0);
}

TEST_F(Settings, LoadTable) {
    struct Row {
        const char* label;
        std::vector<Rule> stored;
        int32_t num;  // "Num" as stored
        std::vector<FakeRow> expected;
    };
    std::u16string r512 = Repeat(u'r', 512), r513 = Repeat(u'r', 513);
    std::u16string f259 = Repeat(u'f', 259), f260 = Repeat(u'f', 260);
    const Row rows[] = {
        {"two rules", {{0, u"abc", u"C:\\a"}, {2, u"example.org/", u"C:\\b"}}, 2,
         {{0, u"abc", u"C:\\a"}, {2, u"example.org/", u"C:\\b"}}},
        {"Num beyond the stored rules", {{1, u".txt", u"C:\\t"}, {0, u"x", u"C:\\x"}}, 3,
         {{1, u".txt", u"C:\\t"}, {0, u"x", u"C:\\x"}, {0, u"ERR", u"ERR"}}},
        {"Num 0", {{0, u"a", u"C:\\a"}}, 0, {}},
        {"Num -1", {{0, u"a", u"C:\\a"}}, -1, {}},
        {"type 7 kept", {{7, u"a", u"C:\\a"}}, 1, {{7, u"a", u"C:\\a"}}},
        {"512-character rule and 259-character folder fit", {{0, r512, f259}}, 1, {{0, r512, f259}}},
        {"longer texts show ERR", {{0, r513, f260}}, 1, {{0, u"ERR", u"ERR"}}},
    };
    for (const auto& row : rows) {
        mem::Reset();
        WriteRules(row.stored);
        WriteSettingDword(kNum, static_cast<uint32_t>(row.num));
        FakeOptionDlg dlg;
        dlg.LoadSettings();
        ASSERT_EQ(dlg.rows.size(), row.expected.size()) << row.label;
        for (size_t i = 0; i < row.expected.size(); ++i) {
            EXPECT_EQ(dlg.rows[i].type, row.expected[i].type) << row.label << " row " << i;
            EXPECT_EQ(Utf8(dlg.rows[i].rule), Utf8(row.expected[i].rule)) << row.label << " row " << i;
            EXPECT_EQ(Utf8(dlg.rows[i].folder), Utf8(row.expected[i].folder)) << row.label << " row " << i;
        }
        EXPECT_FALSE(dlg.Changed()) << row.label;
    }
}

// A corrupt huge "Num" neither fills memory nor takes minutes: missing
// indices show as "ERR" only when a stored rule follows within the gap.
TEST_F(Settings, HugeNumStopsAfterAGapOfMissingRules) {
    struct {
        const char* label;
        int32_t at;      // index of the second stored rule
        size_t rows;     // rows shown
    } rows[] = {
        {"next index", 1, 2},
        {"last index inside the gap", kRuleGapLimit, static_cast<size_t>(kRuleGapLimit) + 1},
        {"first index past the gap", kRuleGapLimit + 1, 1},
    };
    for (const auto& row : rows) {
        mem::Reset();
        WriteRuleAt(0, {0, u"a", u"C:\\a"});
        WriteRuleAt(row.at, {2, u"b", u"C:\\b"});
        WriteSettingDword(kNum, 0x7FFFFFFFu);
        FakeOptionDlg dlg;
        dlg.LoadSettings();
        ASSERT_EQ(dlg.rows.size(), row.rows) << row.label;
        EXPECT_EQ(Utf8(dlg.rows.front().rule), "a") << row.label;
        if (row.rows > 1) {
            EXPECT_EQ(Utf8(dlg.rows.back().rule), "b") << row.label;
            EXPECT_EQ(dlg.rows.back().type, 2u) << row.label;
        }
        for (size_t i = 1; i + 1 < dlg.rows.size(); ++i)
            ASSERT_EQ(Utf8(dlg.rows[i].rule + dlg.rows[i].folder), "ERRERR") << row.label << " row " << i;
    }
}

TEST_F(Settings, OptionsLoadAndSaveBack) {
    struct Row {
        const char* label;
        uint32_t useDefault, parseUrl, charSet;
        bool checkedDefault, checkedParse;
        uint32_t windowCharSet;
        const char* charSetText;
        uint32_t savedDefault, savedParse;
    } rows[] = {
        {"both 1", 1, 1, 0, true, true, 0, "ANSI (0)", 1, 1},
        {"both 2 show checked, saved as 1", 2, 2, 1, true, true, 1, "Default (1)", 1, 1},
        {"both 0", 0, 0, 204, false, false, 204, "Russian (204)", 0, 0},
        {"GUICharSet 384 gives 128", 0, 0, 384, false, false, 128, "Shift JIS (128)", 0, 0},
    };
    for (const auto& row : rows) {
        mem::Reset();
        WriteSettingDword(kUseDefault, row.useDefault);
        WriteSettingDword(kParseUrl, row.parseUrl);
        WriteSettingDword(kGuiCharSet, row.charSet);
        WriteSettingString(kGuiFontFace, u"Tahoma");
        WriteSettingString(kDefaultFolder, u"D:\\Downloads");
        FakeOptionDlg dlg;
        dlg.LoadSettings();
        EXPECT_EQ(dlg.useDefault, row.checkedDefault) << row.label;
        EXPECT_EQ(dlg.defaultEnabled, row.checkedDefault) << row.label;
        EXPECT_EQ(dlg.parseUrl, row.checkedParse) << row.label;
        EXPECT_EQ(dlg.windowCharSet, row.windowCharSet) << row.label;
        EXPECT_EQ(Utf8(dlg.shownCharSet), row.charSetText) << row.label;
        EXPECT_EQ(Utf8(dlg.defaultFolder), "D:\\Downloads") << row.label;
        EXPECT_FALSE(dlg.Changed()) << row.label;
        ASSERT_TRUE(dlg.SaveSettings()) << row.label;
        EXPECT_EQ(ReadSettingDword(kUseDefault, 9), row.savedDefault) << row.label;
        EXPECT_EQ(ReadSettingDword(kParseUrl, 9), row.savedParse) << row.label;
        EXPECT_EQ(ReadSettingDword(kGuiCharSet, 999), row.windowCharSet) << row.label;
        EXPECT_EQ(Utf8(Stored(kGuiFontFace)), "Tahoma") << row.label;
        EXPECT_EQ(Utf8(Stored(kDefaultFolder)), "D:\\Downloads") << row.label;
    }
}

TEST_F(Settings, ServerNameOptionIsOnOnlyAsOneAndNeedsParseUrl) {
    struct Row {
        const char* label;
        int stored;  // "UseContentDisposition"; -1: missing
        uint32_t parseUrl;
        bool checked, enabled;
        bool saved;  // written (as 1, right after "ParseURL") by the next save
    } rows[] = {
        {"missing: off", -1, 1, false, true, false},
        {"0: off", 0, 1, false, true, false},
        {"1: on", 1, 1, true, true, true},
        {"2: off, and the save leaves it out", 2, 1, false, true, false},
        {"on without ParseURL: kept, but disabled", 1, 0, true, false, true},
    };
    for (const auto& row : rows) {
        mem::Reset();
        WriteSettingDword(kParseUrl, row.parseUrl);
        if (row.stored >= 0) WriteSettingDword(kUseContentDisposition, static_cast<uint32_t>(row.stored));
        FakeOptionDlg dlg;
        dlg.LoadSettings();
        EXPECT_EQ(dlg.useContentDisposition, row.checked) << row.label;
        EXPECT_EQ(dlg.contentDispositionEnabled, row.enabled) << row.label;
        EXPECT_FALSE(dlg.Changed()) << row.label;
        ASSERT_TRUE(dlg.SaveSettings()) << row.label;
        EXPECT_EQ(ReadSettingDword(kUseContentDisposition, 9), row.saved ? 1u : 9u) << row.label;
        std::vector<std::string> names = StoredNames();
        auto parse = std::find(names.begin(), names.end(), "ParseURL");
        ASSERT_NE(parse, names.end()) << row.label;
        EXPECT_EQ(parse + 1 != names.end() && *(parse + 1) == "UseContentDisposition", row.saved) << row.label;
    }
    // The box follows cbParseURL as the user clicks it.
    FakeOptionDlg dlg;
    dlg.LoadSettings();
    dlg.parseUrl = false;
    dlg.cbUseDefaultClick();
    EXPECT_FALSE(dlg.contentDispositionEnabled);
    dlg.parseUrl = true;
    dlg.cbUseDefaultClick();
    EXPECT_TRUE(dlg.contentDispositionEnabled);
    EXPECT_TRUE(dlg.Changed());
}

TEST_F(Settings, SaveDeletesFirstThenWritesInOrder) {
    WriteRules({{0, u"a", u"A"}, {1, u".b", u"B"}, {2, u"c", u"C"}, {7, u"d", u"D"}, {0, u"e", u"E"}});
    WriteSettingString(u"Stray", u"left over");
    FakeOptionDlg dlg;
    dlg.LoadSettings();
    for (int i = 0; i < 3; ++i) {
        dlg.Select(2);
        dlg.OnDel();
    }
    ASSERT_EQ(dlg.rows.size(), 2u);
    mem::ClearLog();
    ASSERT_TRUE(dlg.SaveSettings());
    ASSERT_FALSE(mem::Log().empty());
    EXPECT_EQ(mem::Log()[0].kind, mem::Call::DeleteTree);
    std::vector<std::string> expected = {"GUIFontFace", "GUICharSet", "UseDefault", "DefaultFolder", "ParseURL",
                                         "Num",         "0000Type",   "0000Rule",   "0000Folder",    "0001Type",
                                         "0001Rule",    "0001Folder"};
    EXPECT_EQ(StoredNames(), expected);
    EXPECT_EQ(ReadSettingDword(kNum, 0), 2u);
    EXPECT_EQ(ReadSettingDword(u"0001Type", 0), 1u);
    EXPECT_FALSE(dlg.Changed());
}

TEST_F(Settings, RulesRoundTripUnchanged) {
    std::vector<FakeRow> list;
    for (int i = 0; i < 8; ++i) list.push_back({static_cast<uint32_t>(i % 3), u"r" + Repeat(u'x', i), u"C:\\f"});
    list.push_back({7, Repeat(u'y', 512), Repeat(u'z', 259)});
    list.push_back({0, u"\u30D5\u30A1\u30A4\u30EB ERR", u"C:\\\u65E5\u672C"});
    FakeOptionDlg dlg;
    dlg.Load(list);
    ASSERT_TRUE(dlg.SaveSettings());
    EXPECT_EQ(ReadSettingDword(u"0007Type", 99), 1u);
    EXPECT_EQ(Utf8(Stored(u"0007Rule")), "rxxxxxxx");
    FakeOptionDlg again;
    again.LoadSettings();
    ASSERT_EQ(again.rows.size(), list.size());
    for (size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(again.rows[i].type, list[i].type) << "row " << i;
        EXPECT_EQ(Utf8(again.rows[i].rule), Utf8(list[i].rule)) << "row " << i;
        EXPECT_EQ(Utf8(again.rows[i].folder), Utf8(list[i].folder)) << "row " << i;
    }
}

TEST_F(Settings, FailedSaveIsReportedAndKeepsTheFlag) {
    const char16_t* failing[] = {kGuiFontFace, kNum, u"0001Rule", u"0001Folder", nullptr};
    for (const char16_t* name : failing) {
        mem::Reset();
        FakeOptionDlg dlg;
        dlg.Load(Rows(2));
        if (name) mem::FailWrites(name);
        else mem::FailWrites(u"");  // every write
        dlg.btnOKClick();
        std::string label = name ? Utf8(name) : "all writes";
        EXPECT_EQ(dlg.saveFailReports, 1) << label;
        EXPECT_TRUE(dlg.Changed()) << label;
        EXPECT_EQ(dlg.asks, 1) << label << ": closing after the failed OK asks";
        // The writes that can succeed still did.
        if (name && !TextEqual(name, kNum)) {
            EXPECT_EQ(ReadSettingDword(kNum, 0), 2u) << label;
        }
    }
    mem::Reset();
    FakeOptionDlg ok;
    ok.btnApplyClick();
    EXPECT_EQ(ok.saveFailReports, 0);
    EXPECT_FALSE(ok.Changed());
}

TEST_F(Settings, ChangedFlag) {
    struct Row {
        const char* label;
        void (*act)(FakeOptionDlg&);
        bool changed;
    } rows[] = {
        {"check box click", [](FakeOptionDlg& d) { d.useDefault = true; d.cbUseDefaultClick(); }, true},
        {"default folder typed", [](FakeOptionDlg& d) { d.eDefaultChange(); }, true},
        {"folder picked", [](FakeOptionDlg& d) { d.pickFolderOk = true; d.pickedFolder = u"E:\\x"; d.btnBrowseDefaultClick(); }, true},
        {"picker cancelled", [](FakeOptionDlg& d) { d.btnBrowseDefaultClick(); }, false},
        {"font changed", [](FakeOptionDlg& d) { d.pickFontOk = true; d.pickedFace = u"Tahoma"; d.pickedCharSet = 204; d.btnChangeFontClick(); }, false},
        {"font dialog cancelled", [](FakeOptionDlg& d) { d.btnChangeFontClick(); }, false},
        {"rule dialog cancelled", [](FakeOptionDlg& d) { d.answers.push_back({false, u"", u""}); d.OnAdd(RuleDialogKind::File); }, false},
        {"rule added", [](FakeOptionDlg& d) { d.answers.push_back({true, u"a", u"b"}); d.OnAdd(RuleDialogKind::File); }, true},
        {"change, then Apply", [](FakeOptionDlg& d) { d.eDefaultChange(); d.btnApplyClick(); }, false},
    };
    for (const auto& row : rows) {
        mem::Reset();
        FakeOptionDlg dlg;
        dlg.LoadSettings();
        row.act(dlg);
        EXPECT_EQ(dlg.Changed(), row.changed) << row.label;
        dlg.discardAnswer = false;
        dlg.btnCancelClick();
        EXPECT_EQ(dlg.asks, row.changed ? 1 : 0) << row.label;
        EXPECT_EQ(dlg.closed, !row.changed) << row.label << ": answering Cancel keeps the window";
    }
}

TEST_F(Settings, FontChoiceShowsAtOnceAndIsNotStoredByCancel) {
    FakeOptionDlg dlg;
    dlg.LoadSettings();
    dlg.pickFontOk = true;
    dlg.pickedFace = u"Tahoma";
    dlg.pickedCharSet = 204;
    dlg.btnChangeFontClick();
    EXPECT_EQ(Utf8(dlg.windowFace), "Tahoma");
    EXPECT_EQ(Utf8(dlg.shownCharSet), "Russian (204)");
    dlg.btnCancelClick();
    EXPECT_TRUE(dlg.closed);
    EXPECT_FALSE(mem::KeyExists(RegRoot::CurrentUser, kSettingsKey));
}

TEST_F(Settings, BrowseStartsAtTheTypedFolder) {
    FakeOptionDlg dlg;
    dlg.defaultFolder = u"C:\\typed";
    dlg.btnBrowseDefaultClick();
    EXPECT_EQ(Utf8(dlg.pickFolderStart), "C:\\typed");
    EXPECT_EQ(Utf8(dlg.defaultFolder), "C:\\typed");
    dlg.pickFolderOk = true;
    dlg.pickedFolder = u"D:\\picked";
    dlg.btnBrowseDefaultClick();
    EXPECT_EQ(Utf8(dlg.defaultFolder), "D:\\picked");
}

TEST(RuleType, Decision) {
    const RuleDialogKind F = RuleDialogKind::File, U = RuleDialogKind::Url;
    struct Row {
        RuleDialogKind dialog;
        const char16_t* text;
        uint32_t type;
    } rows[] = {
        {F, u".txt", 1}, {F, u"a.txt", 0}, {F, u".", 1},      {F, u" .txt", 0},
        {F, u"abc", 0},  {F, u"..", 1},    {U, u".txt", 2}, {U, u"abc", 2},
    };
    for (const auto& row : rows)
        EXPECT_EQ(static_cast<uint32_t>(DecideRuleKind(row.dialog, row.text)), row.type)
            << (row.dialog == F ? "file kind " : "URL kind ") << Utf8(row.text);
}

// Each stored type picks its icon and its dialog; other numbers neither an
// icon nor the URL dialog.
TEST(RuleType, KindsTable) {
    struct Row {
        uint32_t type;
        int32_t image;
        RuleDialogKind dialog;
    } rows[] = {{0, 0, RuleDialogKind::File}, {1, 1, RuleDialogKind::File}, {2, 2, RuleDialogKind::Url},
                {3, -1, RuleDialogKind::File}, {7, -1, RuleDialogKind::File}, {0xFFFFFFFFu, -1, RuleDialogKind::File}};
    for (const auto& row : rows) {
        EXPECT_EQ(RuleImage(row.type), row.image) << "type " << row.type;
        EXPECT_EQ(DialogForType(row.type), row.dialog) << "type " << row.type;
    }
}

TEST(RuleDialog, OkNeedsBothBoxes) {
    struct Row {
        const char16_t* rule;
        const char16_t* folder;
        bool ok;
    } rows[] = {{u"", u"", false}, {u"a", u"", false}, {u"", u"C:\\", false}, {u" ", u" ", true}, {u".txt", u"C:\\t", true}};
    for (const auto& row : rows)
        EXPECT_EQ(RuleDlgOkEnabled(row.rule, row.folder), row.ok) << "'" << Utf8(row.rule) << "' '" << Utf8(row.folder) << "'";
}

TEST(Resize, Limits) {
    struct Row {
        bool dialog;
        int32_t w, h, gotW, gotH;
    } rows[] = {
        {false, 500, 300, 640, 470}, {false, 700, 300, 700, 470}, {false, 500, 900, 640, 900},
        {false, 800, 600, 800, 600}, {true, 500, 300, 640, 470},  {true, 900, 600, 900, 470},
        {true, 900, 100, 900, 470},
    };
    for (const auto& row : rows) {
        int32_t w = row.w, h = row.h;
        if (row.dialog) RuleDlgCanResize(640, 470, &w, &h);
        else MainCanResize(640, 470, &w, &h);
        EXPECT_EQ(w, row.gotW) << (row.dialog ? "dialog " : "main ") << row.w << "x" << row.h;
        EXPECT_EQ(h, row.gotH) << (row.dialog ? "dialog " : "main ") << row.w << "x" << row.h;
    }
}

TEST(CharSetNames, Table) {
    struct Row {
        uint32_t charSet;
        const char* text;
    } rows[] = {{0, "ANSI (0)"},       {1, "Default (1)"},    {2, "Symbol (2)"},       {128, "Shift JIS (128)"},
                {129, "Hangeul (129)"}, {134, "GB2312 (134)"}, {136, "Chinese Big5 (136)"}, {255, "OEM (255)"},
                {130, "Johab (130)"},   {177, "Hebrew (177)"}, {178, "Arabic (178)"},   {161, "Greek (161)"},
                {162, "Turkish (162)"}, {163, "Vietnamese (163)"}, {222, "Thai (222)"}, {238, "East Europe (238)"},
                {204, "Russian (204)"}, {77, "MAC (77)"},      {186, "Baltic (186)"},   {100, "Unknown (100)"},
                {3, "Unknown (3)"}};
    for (const auto& row : rows) {
        char16_t buf[64];
        FormatCharSet(buf, 64, row.charSet);
        EXPECT_EQ(Utf8(buf), row.text) << row.charSet;
    }
}

class Rules : public StoreTest {};

TEST_F(Rules, AddGivesTypeAndGoesToTheEnd) {
    const RuleDialogKind F = RuleDialogKind::File, U = RuleDialogKind::Url;
    struct Row {
        RuleDialogKind dialog;
        const char16_t* text;
        uint32_t type;
    } rows[] = {{F, u".txt", 1}, {F, u"a.txt", 0}, {F, u".", 1}, {F, u" .txt", 0}, {U, u".txt", 2}, {U, u"abc", 2}};
    for (const auto& row : rows) {
        FakeOptionDlg dlg;
        dlg.Load(Rows(2));
        dlg.answers.push_back({true, row.text, u"C:\\dl"});
        dlg.OnAdd(row.dialog);
        ASSERT_EQ(dlg.dialogCalls.size(), 1u);
        EXPECT_EQ(dlg.dialogCalls[0].dialog, row.dialog) << Utf8(row.text);
        EXPECT_EQ(Utf8(dlg.dialogCalls[0].rule), "") << Utf8(row.text);
        ASSERT_EQ(dlg.rows.size(), 3u) << Utf8(row.text);
        EXPECT_EQ(dlg.rows[2].type, row.type) << Utf8(row.text);
        EXPECT_EQ(Utf8(dlg.rows[2].rule), Utf8(row.text));
        EXPECT_EQ(dlg.Selected(), 2) << Utf8(row.text);
        EXPECT_EQ(dlg.focusMark, 2) << "the new row carries the focus mark, so Up and Down start from it";
        EXPECT_EQ(dlg.shown, 2);
        EXPECT_TRUE(dlg.listFocused);
        EXPECT_TRUE(dlg.ruleButtons);
        EXPECT_TRUE(dlg.Changed());
    }
}

TEST_F(Rules, EditKeepsKindByStoredType) {
    struct Row {
        const char* label;
        uint32_t type;
        bool ok;
        const char16_t* newText;
        RuleDialogKind dialog;
        uint32_t newType;
    } rows[] = {
        {"name rule into .zip", 0, true, u".zip", RuleDialogKind::File, 1},
        {"extension rule into a name", 1, true, u"setup", RuleDialogKind::File, 0},
        {"URL rule stays URL", 2, true, u".zip", RuleDialogKind::Url, 2},
        {"type 7 opens the file dialog", 7, true, u"x", RuleDialogKind::File, 0},
        {"type 7 into an extension", 7, true, u".x", RuleDialogKind::File, 1},
        {"cancel keeps type 7", 7, false, u"", RuleDialogKind::File, 7},
    };
    for (const auto& row : rows) {
        FakeOptionDlg dlg;
        dlg.Load({{0, u"first", u"C:\\1"}, {row.type, u"old", u"C:\\old"}});
        dlg.Select(1);
        dlg.answers.push_back({row.ok, row.newText, u"C:\\new"});
        dlg.lvListDblClick();
        ASSERT_EQ(dlg.dialogCalls.size(), 1u) << row.label;
        EXPECT_EQ(dlg.dialogCalls[0].dialog, row.dialog) << row.label;
        EXPECT_EQ(Utf8(dlg.dialogCalls[0].rule), "old") << row.label;
        EXPECT_EQ(Utf8(dlg.dialogCalls[0].folder), "C:\\old") << row.label;
        EXPECT_EQ(dlg.rows[1].type, row.newType) << row.label;
        EXPECT_EQ(Utf8(dlg.rows[1].rule), row.ok ? Utf8(row.newText) : "old") << row.label;
        EXPECT_EQ(Utf8(dlg.rows[1].folder), row.ok ? "C:\\new" : "C:\\old") << row.label;
        EXPECT_EQ(dlg.Selected(), 1) << row.label;
        EXPECT_EQ(dlg.Changed(), row.ok) << row.label;
    }
}

TEST_F(Rules, DeleteSelection) {
    struct Row {
        const char* label;
        int rows, select;
        const char* left;
        int32_t selectedAfter;
    } rows[] = {
        {"last of five", 5, 4, "abcd", 3},
        {"second of five", 5, 1, "acde", 1},
        {"first of five", 5, 0, "bcde", 0},
        {"only rule", 1, 0, "", -1},
        {"nothing selected", 3, -1, "abc", -1},
    };
    for (const auto& row : rows) {
        FakeOptionDlg dlg;
        dlg.Load(Rows(row.rows));
        if (row.select >= 0) dlg.Select(row.select);
        dlg.PressKey(kKeyDelete, false);
        EXPECT_EQ(Order(dlg.rows), row.left) << row.label;
        EXPECT_EQ(dlg.Selected(), row.selectedAfter) << row.label;
        EXPECT_EQ(dlg.ruleButtons, row.selectedAfter >= 0) << row.label;
        EXPECT_EQ(dlg.Changed(), row.select >= 0) << row.label;
    }
}

TEST_F(Rules, EmptyListIgnoresEveryKey) {
    FakeOptionDlg dlg;
    const uint16_t keys[] = {kKeyDelete, kKeyReturn, u'D', kKeyUp, kKeyDown};
    for (uint16_t key : keys) dlg.PressKey(key, true);
    dlg.OnEdit();
    EXPECT_TRUE(dlg.dialogCalls.empty());
    EXPECT_FALSE(dlg.Changed());
    EXPECT_FALSE(dlg.MoveRuleItem(1));
}

TEST_F(Rules, MovesAndTheEnds) {
    struct Row {
        const char* label;
        int select, direction;
        bool moved;
        const char* order;
        int32_t selectedAfter;
    } rows[] = {
        {"top row up", 0, -1, false, "abcd", 0},
        {"bottom row down", 3, 1, false, "abcd", 3},
        {"second row up", 1, -1, true, "bacd", 0},
        {"third row down", 2, 1, true, "abdc", 3},
        {"no selection", -1, 1, false, "abcd", -1},
        {"direction 0", 1, 0, false, "abcd", 1},
    };
    for (const auto& row : rows) {
        FakeOptionDlg dlg;
        dlg.Load(Rows(4));
        if (row.select >= 0) dlg.Select(row.select);
        EXPECT_EQ(dlg.MoveRuleItem(row.direction), row.moved) << row.label;
        EXPECT_EQ(Order(dlg.rows), row.order) << row.label;
        EXPECT_EQ(dlg.Selected(), row.selectedAfter) << row.label;
        EXPECT_EQ(dlg.Changed(), row.moved) << row.label;
        if (row.moved) {
            EXPECT_EQ(dlg.focusMark, row.selectedAfter) << row.label;
            EXPECT_EQ(dlg.shown, row.selectedAfter) << row.label;
            EXPECT_TRUE(dlg.listFocused) << row.label;
        }
    }
}

TEST_F(Rules, KeyTable) {
    const RuleDialogKind F = RuleDialogKind::File, U = RuleDialogKind::Url;
    struct Row {
        const char* label;
        uint16_t key;
        bool ctrl;
        const char* order;       // after the key, from "abcd" with row 1 selected
        int dialogs;             // rule dialogs opened
        RuleDialogKind dialog;
        bool consumed;           // the list view does not see the key
        int tests = 0;           // testers opened
    } rows[] = {
        {"Delete", kKeyDelete, false, "acd", 0, F, false},
        {"Ctrl+Delete", kKeyDelete, true, "acd", 0, F, false},
        {"Enter edits", kKeyReturn, false, "abcd", 1, F, false},
        {"Ctrl+I adds by name", u'I', true, "abcd", 1, F, false},
        {"I alone", u'I', false, "abcd", 0, F, false},
        {"Insert adds by name", kKeyInsert, false, "abcd", 1, F, false},
        {"Ctrl+Insert adds by name", kKeyInsert, true, "abcd", 1, F, false},
        {"Ctrl+U adds a URL rule", u'U', true, "abcd", 1, U, false},
        {"U alone", u'U', false, "abcd", 0, F, false},
        {"Ctrl+D deletes", u'D', true, "acd", 0, F, false},
        {"D alone", u'D', false, "abcd", 0, F, false},
        {"Ctrl+Up", kKeyUp, true, "bacd", 0, F, true},
        {"Up alone", kKeyUp, false, "abcd", 0, F, false},
        {"Ctrl+Down", kKeyDown, true, "acbd", 0, F, true},
        {"Down alone", kKeyDown, false, "abcd", 0, F, false},
        {"Ctrl+T tests", kKeyTest, true, "abcd", 0, F, false, 1},
        {"T alone", kKeyTest, false, "abcd", 0, F, false, 0},
    };
    for (const auto& row : rows) {
        FakeOptionDlg dlg;
        dlg.Load(Rows(4));
        dlg.Select(1);
        EXPECT_EQ(dlg.PressKey(row.key, row.ctrl), row.consumed ? 0 : row.key) << row.label;
        EXPECT_EQ(Order(dlg.rows), row.order) << row.label;
        ASSERT_EQ(static_cast<int>(dlg.dialogCalls.size()), row.dialogs) << row.label;
        if (row.dialogs) {
            EXPECT_EQ(dlg.dialogCalls[0].dialog, row.dialog) << row.label;
        }
        EXPECT_EQ(dlg.testerCalls, row.tests) << row.label;
    }
}

TEST_F(Rules, TesterSelectsTheMatchedRule) {
    struct {
        int32_t match, selectedAfter;
    } rows[] = {{2, 2}, {-1, 1}, {9, 1}};  // matched; none; not in the list (stale answer)
    for (const auto& row : rows) {
        FakeOptionDlg dlg;
        dlg.Load(Rows(4));
        dlg.Select(1);
        dlg.testerMatch = row.match;
        dlg.OnTest();
        EXPECT_EQ(dlg.Selected(), row.selectedAfter) << row.match;
        EXPECT_TRUE(dlg.listFocused) << row.match;
        EXPECT_FALSE(dlg.Changed()) << "testing changes nothing";
    }
}

TEST_F(Rules, PressAndHoldDown) {
    FakeOptionDlg dlg;
    dlg.Load(Rows(10));
    dlg.Select(0);
    dlg.leftDown = true;
    dlg.OnMoveStart(MoveDirection::Down, forms::TMouseButton::mbLeft);
    EXPECT_EQ(dlg.Selected(), 1) << "moved at once";
    EXPECT_TRUE(dlg.timerOn);
    EXPECT_EQ(dlg.interval, kMoveFirstDelayMs);
    struct Step {
        uint64_t at;
        int32_t row;
        bool running;
    } steps[] = {{499, 1, true}, {500, 2, true}, {599, 2, true}, {600, 3, true},
                 {700, 4, true}, {1200, 9, true}, {1300, 9, false}};
    for (const auto& s : steps) {
        dlg.Advance(s.at - dlg.now);
        EXPECT_EQ(dlg.Selected(), s.row) << "at " << s.at << " ms";
        EXPECT_EQ(dlg.timerOn, s.running) << "at " << s.at << " ms";
    }
    EXPECT_EQ(Utf8(dlg.rows[9].rule), "a");
}

TEST_F(Rules, PressAndHoldStops) {
    // Released after the second move: the next tick stops without moving.
    FakeOptionDlg dlg;
    dlg.Load(Rows(10));
    dlg.Select(5);
    dlg.leftDown = true;
    dlg.OnMoveStart(MoveDirection::Up, forms::TMouseButton::mbLeft);
    dlg.Advance(500);
    EXPECT_EQ(dlg.Selected(), 3);
    dlg.leftDown = false;
    dlg.Advance(100);
    EXPECT_EQ(dlg.Selected(), 3);
    EXPECT_FALSE(dlg.timerOn);

    // A right-button press stops a running repeat and moves nothing.
    dlg.leftDown = true;
    dlg.OnMoveStart(MoveDirection::Up, forms::TMouseButton::mbLeft);
    EXPECT_EQ(dlg.Selected(), 2);
    dlg.OnMoveStart(MoveDirection::Down, forms::TMouseButton::mbRight);
    EXPECT_FALSE(dlg.timerOn);
    EXPECT_EQ(dlg.Selected(), 2);
    dlg.Advance(2000);
    EXPECT_EQ(dlg.Selected(), 2);

    // At the top nothing moves and the timer does not start.
    dlg.Select(0);
    dlg.OnMoveStart(MoveDirection::Up, forms::TMouseButton::mbLeft);
    EXPECT_FALSE(dlg.timerOn);
    EXPECT_EQ(dlg.Selected(), 0);
}

TEST_F(Rules, ButtonsFollowTheSelectionExceptDuringAHold) {
    FakeOptionDlg dlg;
    dlg.Load(Rows(3));
    EXPECT_FALSE(dlg.ruleButtons);
    dlg.Select(1);
    EXPECT_TRUE(dlg.ruleButtons);
    dlg.leftDown = true;
    dlg.OnMoveStart(MoveDirection::Down, forms::TMouseButton::mbLeft);
    dlg.ruleButtons = false;  // a state change while the timer runs leaves them alone
    dlg.lvListChange(1, forms::TItemChange::ctState);
    EXPECT_FALSE(dlg.ruleButtons);
    dlg.SetTimerOff();
    dlg.lvListChange(1, forms::TItemChange::ctText);  // not a state change
    EXPECT_FALSE(dlg.ruleButtons);
    dlg.lvListChange(1, forms::TItemChange::ctState);
    EXPECT_TRUE(dlg.ruleButtons);
}

}  // namespace
}  // namespace fw::test
