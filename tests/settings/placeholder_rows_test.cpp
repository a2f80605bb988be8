// Rows that show "ERR" because their stored values could not be read: a save
// writes back what was stored, byte for byte, until the user edits the row.
#include "fake_option_dlg.h"
#include "rule_matching.h"
#include "store_util.h"

namespace fw::test {
namespace {

// A value as stored: its type and bytes, or nothing.
struct Raw {
    bool present = false;
    uint32_t type = 0;
    std::vector<uint8_t> bytes;
    bool operator==(const Raw& o) const { return present == o.present && type == o.type && bytes == o.bytes; }
};

Raw RawValue(int32_t index, const char16_t* suffix) {
    char16_t name[kValueNameChars];
    RuleValueName(name, kValueNameChars, index, suffix);
    Raw raw;
    uint32_t size = 0;
    if (QueryRegValue(RegRoot::CurrentUser, kSettingsKey, name, nullptr, &size, nullptr) != RegQuery::Ok) return raw;
    raw.bytes.resize(size);
    raw.present = QueryRegValue(RegRoot::CurrentUser, kSettingsKey, name, raw.bytes.data(), &size, &raw.type) ==
                  RegQuery::Ok;
    return raw;
}

std::vector<Raw> RawRule(int32_t index) {
    return {RawValue(index, kTypeSuffix), RawValue(index, kRuleSuffix), RawValue(index, kFolderSuffix)};
}

void PutRuleValue(int32_t index, const char16_t* suffix, uint32_t type, const std::vector<uint8_t>& bytes) {
    char16_t name[kValueNameChars];
    RuleValueName(name, kValueNameChars, index, suffix);
    // Followed by bytes that are not 0, so that no terminator is stored for
    // an unterminated text.
    std::vector<uint8_t> padded = bytes;
    padded.insert(padded.end(), {0x41, 0x41});
    PutRaw(name, type, padded.data(), static_cast<uint32_t>(bytes.size()));
}

std::vector<uint8_t> TextBytes(const std::u16string& s, bool terminated = true) {
    std::vector<uint8_t> out;
    for (char16_t c : s) {
        out.push_back(static_cast<uint8_t>(c & 0xFF));
        out.push_back(static_cast<uint8_t>(c >> 8));
    }
    if (terminated) out.insert(out.end(), {0, 0});
    return out;
}

class Placeholders : public StoreTest {
protected:
    // Index 0 a good rule, 1 a rule text too long for the box, 2 a rule text
    // that is not text, 3 a folder never written (a save cut short), 4 nothing
    // at all, 5 a good rule after the gap.
    void SetUp() override {
        StoreTest::SetUp();
        WriteSettingDword(kNum, 6);
        WriteRuleAt(0, {kExtensionRule, u".pdf", u"C:\\Docs"});
        WriteRuleAt(1, {kNameRule, u"x", u"C:\\Long"});
        PutRuleValue(1, kRuleSuffix, kRegSz, TextBytes(Repeat(u'r', 600)));
        WriteRuleAt(2, {kUrlRule, u"x", u"C:\\Bin"});
        PutRuleValue(2, kRuleSuffix, kRegBinary, TextBytes(u"example.org", false));
        char16_t name[kValueNameChars];
        RuleValueName(name, kValueNameChars, 3, kTypeSuffix);
        WriteSettingDword(name, kNameRule);
        RuleValueName(name, kValueNameChars, 3, kRuleSuffix);
        WriteSettingString(name, u"report");
        WriteRuleAt(5, {kExtensionRule, u".iso", u"C:\\Images"});
        for (int32_t i = 0; i < 6; ++i) before_.push_back(RawRule(i));
    }
    std::vector<std::vector<Raw>> before_;
};

TEST_F(Placeholders, AreWrittenBackAsStoredNotAsErr) {
    FakeOptionDlg dlg;
    dlg.LoadSettings();
    ASSERT_EQ(dlg.rows.size(), 6u);
    const char* const shown[] = {".pdf|C:\\Docs", "ERR|C:\\Long", "ERR|C:\\Bin", "report|ERR", "ERR|ERR",
                                 ".iso|C:\\Images"};
    for (size_t i = 0; i < 6; ++i) EXPECT_EQ(Utf8(dlg.rows[i].rule + u"|" + dlg.rows[i].folder), shown[i]) << i;

    ASSERT_TRUE(dlg.SaveSettings());
    for (int32_t i = 0; i < 6; ++i) EXPECT_TRUE(RawRule(i) == before_[i]) << "index " << i << " changed";
    // So the handler does not take "ERR" for a name rule ("transfer.zip").
    char16_t folder[kFolderChars] = {};
    EXPECT_EQ(FindRuleFolder(u"http://h/transfer.zip", u"http://h/transfer.zip", folder), 1);
    // A second save of the same window still writes what was stored.
    ASSERT_TRUE(dlg.SaveSettings());
    for (int32_t i = 0; i < 6; ++i) EXPECT_TRUE(RawRule(i) == before_[i]) << "index " << i << " after a second save";
}

TEST_F(Placeholders, FollowTheirRowsAndGiveWayToAnEdit) {
    FakeOptionDlg dlg;
    dlg.LoadSettings();
    // Rule 1 (the long text) moves to the top, rule 4 (nothing stored) goes,
    // rule 2 is edited in the dialog.
    dlg.Select(1);
    ASSERT_TRUE(dlg.MoveRuleItem(-1));
    dlg.Select(4);
    dlg.OnDel();
    dlg.Select(2);
    dlg.answers.push_back({true, u"example.com", u"C:\\Edited"});
    dlg.OnEdit();
    ASSERT_TRUE(dlg.SaveSettings());

    EXPECT_EQ(ReadSettingDword(kNum, 0), 5u);
    EXPECT_TRUE(RawRule(0) == before_[1]) << "the long text, moved up, byte for byte";
    EXPECT_TRUE(RawRule(1) == before_[0]);
    char16_t rule[kRuleChars], folder[kPathChars];
    constexpr RuleDefaults kMissing = {99, u"<missing>", u"<missing>"};
    EXPECT_EQ(ReadRule(2, kMissing, rule, sizeof rule, folder, sizeof folder), uint32_t{kUrlRule});
    EXPECT_EQ(Utf8(rule), "example.com") << "the edited row is saved as edited";
    EXPECT_EQ(Utf8(folder), "C:\\Edited");
    EXPECT_TRUE(RawRule(3) == before_[3]) << "the folder that was never written stays missing";
    EXPECT_TRUE(RawRule(4) == before_[5]);
}

}  // namespace
}  // namespace fw::test
