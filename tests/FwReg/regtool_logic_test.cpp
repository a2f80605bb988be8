// The RegTool's policy gate and the reading of a hand-off: the same tables run
// natively against the in-memory registry and under Wine against the real one.
#include "regtool_logic.h"
#include "reg_helpers.h"
#include "save_folder.h"
#include "store_util.h"
#include <vector>
#ifdef _WIN32
#include "win.h"
#endif

namespace fw::test {
namespace {

constexpr uint32_t kNoValue = 0xFFFFFFFEu;  // the row writes no value
constexpr uint32_t kNoKey = 0xFFFFFFFDu;    // the row leaves the key away

bool KeyThere(RegRoot root, const char16_t* path) {
#ifdef _WIN32
    HKEY key = nullptr;
    if (RegOpenKeyExW(root == RegRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, W(path), 0, KEY_READ,
                      &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
#else
    return mem::KeyExists(root, path);
#endif
}

std::vector<uint8_t> Bytes(const std::u16string& units, bool terminated) {
    std::vector<uint8_t> out;
    for (char16_t c : units) {
        out.push_back(static_cast<uint8_t>(c & 0xFF));
        out.push_back(static_cast<uint8_t>(c >> 8));
    }
    if (terminated) out.insert(out.end(), {0, 0});
    return out;
}

// Natively every test starts from an empty registry; under Wine the values a
// test touches are put back as they were.
class RegToolLogic : public ::testing::Test {
protected:
    void SetUp() override {
#ifndef _WIN32
        mem::Reset();
#else
        consentBefore_ = QueryRegValue(RegRoot::LocalMachine, kPolicySystemKey, kConsentPromptValue, consent_,
                                       &consentSize_, &consentType_) == RegQuery::Ok;
        luaBefore_ = ReadRegDword(RegRoot::LocalMachine, kPolicySystemKey, u"EnableLUA", &lua_) != 0;
#endif
        DeleteRegTree(RegRoot::CurrentUser, kTestRoot);
    }
    void TearDown() override {
        DeleteRegTree(RegRoot::CurrentUser, kTestRoot);
#ifdef _WIN32
        if (luaBefore_) WriteRegDword(RegRoot::LocalMachine, kPolicySystemKey, u"EnableLUA", lua_);
        if (consentBefore_)
            SetRegValue(RegRoot::LocalMachine, kPolicySystemKey, kConsentPromptValue, consentType_, consent_,
                        consentSize_);
        else
            DeleteRegValue(RegRoot::LocalMachine, kPolicySystemKey, kConsentPromptValue);
#endif
    }

    static constexpr const char16_t* kTestRoot = u"Software\\FwRegTest";
    static constexpr const char16_t* kHandOffTestKey = u"Software\\FwRegTest\\HandOff";

private:
#ifdef _WIN32
    bool consentBefore_ = false, luaBefore_ = false;
    uint8_t consent_[64] = {};
    uint32_t consentSize_ = sizeof consent_, consentType_ = 0, lua_ = 0;
#endif
};

struct ConsentRow {
    const char* label;
    uint32_t type;  // kNoValue, kNoKey or the value's type
    std::vector<uint8_t> data;
    bool enabled;
};

TEST_F(RegToolLogic, ConsentPromptIsOnOnlyForAReadableValueNotZero) {
    const ConsentRow rows[] = {
        {"Policies\\System key missing", kNoKey, {}, false},
        {"value missing", kNoValue, {}, false},
        {"REG_DWORD 0", kRegDword, {0, 0, 0, 0}, false},
        {"REG_DWORD 1", kRegDword, {1, 0, 0, 0}, true},
        {"REG_DWORD 5", kRegDword, {5, 0, 0, 0}, true},
        {"REG_DWORD 0x01000000 (only the top byte)", kRegDword, {0, 0, 0, 1}, true},
        {"REG_BINARY 4 bytes, not 0 (type not looked at)", kRegBinary, {2, 0, 0, 0}, true},
        {"REG_SZ \"1\" (its 4 bytes are not 0)", kRegSz, {'1', 0, 0, 0}, true},
        {"REG_SZ empty (2 zero bytes)", kRegSz, {0, 0}, false},
        {"REG_BINARY of 2 bytes 01 00", kRegBinary, {1, 0}, true},
        {"REG_DWORD of 0 bytes", kRegDword, {}, false},
        {"REG_QWORD 1: wider than 4 bytes", kRegQword, {1, 0, 0, 0, 0, 0, 0, 0}, false},
        {"REG_BINARY of 5 bytes, not 0", kRegBinary, {1, 1, 1, 1, 1}, false},
    };
    for (const auto& row : rows) {
        DeleteRegTree(RegRoot::LocalMachine, kPolicySystemKey);
        if (row.type != kNoKey) {
            ASSERT_TRUE(WriteRegDword(RegRoot::LocalMachine, kPolicySystemKey, u"EnableLUA", 0));
        }
        if (row.type != kNoKey && row.type != kNoValue) {
            ASSERT_TRUE(SetRegValue(RegRoot::LocalMachine, kPolicySystemKey, kConsentPromptValue, row.type,
                                    row.data.data(), static_cast<uint32_t>(row.data.size())))
                << row.label;
        }
        EXPECT_EQ(AdminConsentPromptEnabled(), row.enabled) << row.label;
    }
}

// Each of the two values, or neither, lets the RegTool run.
TEST_F(RegToolLogic, RunsWhenUacOrTheConsentPromptIsOn) {
    struct Policy {
        const char* label;
        uint32_t type;  // kNoValue or the value's type
        std::vector<uint8_t> data;
        bool on;
    };
    const Policy luas[] = {
        {"EnableLUA 1", kRegDword, {1, 0, 0, 0}, true},
        {"EnableLUA 0", kRegDword, {0, 0, 0, 0}, false},
        {"EnableLUA missing", kNoValue, {}, false},
        {"EnableLUA wider than 4 bytes", kRegQword, {1, 0, 0, 0, 0, 0, 0, 0}, false},
    };
    const Policy consents[] = {
        {"consent 0", kRegDword, {0, 0, 0, 0}, false},
        {"consent 5", kRegDword, {5, 0, 0, 0}, true},
        {"consent missing", kNoValue, {}, false},
    };
    for (const Policy& lua : luas) {
        for (const Policy& consent : consents) {
            DeleteRegTree(RegRoot::LocalMachine, kPolicySystemKey);
            ASSERT_TRUE(WriteRegDword(RegRoot::LocalMachine, kPolicySystemKey, u"Other", 1));
            for (const auto* p : {&lua, &consent}) {
                if (p->type == kNoValue) continue;
                ASSERT_TRUE(SetRegValue(RegRoot::LocalMachine, kPolicySystemKey,
                                        p == &lua ? kEnableLuaValue : kConsentPromptValue, p->type, p->data.data(),
                                        static_cast<uint32_t>(p->data.size())));
            }
            EXPECT_EQ(RegToolPolicyAllows(), lua.on || consent.on) << lua.label << ", " << consent.label;
        }
    }
    DeleteRegValue(RegRoot::LocalMachine, kPolicySystemKey, u"Other");
}

// A handed-off folder is applied only when the user's own settings name it.
TEST_F(RegToolLogic, OnlyTheUsersOwnFoldersAreApplied) {
    DeleteSettings();
    WriteRules({{kNameRule, u"report", u"C:\\Reports"}, {kUrlRule, u"example.org", u"\\\\server\\Share\\In"}});
    WriteSettingString(kDefaultFolder, u"D:\\Downloads");
    // Past a gap in the indices, as a hand-edited store may have.
    WriteSettingDword(kNum, 40);
    WriteRuleAt(30, {kExtensionRule, u".iso", u"E:\\Images"});
    const struct {
        const char* label;
        const char16_t* folder;
        bool applied;
    } rows[] = {
        {"a rule's folder", u"C:\\Reports", true},
        {"case ignored", u"c:\\REPORTS", true},
        {"a rule's share", u"\\\\server\\share\\in", true},
        {"the default folder", u"D:\\Downloads", true},
        {"a rule after a gap", u"E:\\Images", true},
        {"another share", u"\\\\attacker\\share", false},
        {"a subfolder of a rule's folder", u"C:\\Reports\\Startup", false},
        {"a prefix of a rule's folder", u"C:\\Report", false},
        {"the rule's text, not its folder", u"report", false},
        {"empty", u"", false},
    };
    for (const auto& row : rows) EXPECT_EQ(IsUserFolder(row.folder), row.applied) << row.label;

    // Nothing stored: nothing is the user's.
    DeleteSettings();
    EXPECT_FALSE(IsUserFolder(u"C:\\Reports"));
    // A corrupt huge count does not walk two billion indices.
    WriteSettingDword(kNum, 0x7FFFFFFF);
    WriteRuleAt(0, {kNameRule, u"a", u"C:\\A"});
    EXPECT_FALSE(IsUserFolder(u"C:\\Elsewhere"));
    EXPECT_TRUE(IsUserFolder(u"C:\\A"));
    DeleteSettings();
}

struct HandOffRow {
    const char* label;
    uint32_t type;  // kNoKey, kNoValue or the type of "DownloadFolder"
    std::vector<uint8_t> data;
    const char16_t* expected;  // the folder to apply; null: nothing
};

TEST_F(RegToolLogic, HandOffTakesOnlyAWholeTextAndAlwaysDeletesTheKey) {
    const std::u16string longest = u"C:\\" + Repeat(u'a', 256);  // 259 characters
    const std::u16string tooLong = longest + u"b";              // 260
    const HandOffRow rows[] = {
        {"no hand-off key", kNoKey, {}, nullptr},
        {"key without DownloadFolder", kNoValue, {}, nullptr},
        {"empty text", kRegSz, Bytes(u"", true), nullptr},
        {"empty value (0 bytes)", kRegSz, {}, nullptr},
        {"a folder", kRegSz, Bytes(u"C:\\Music Files", true), u"C:\\Music Files"},
        {"REG_EXPAND_SZ is text too", kRegExpandSz, Bytes(u"C:\\Data", true), u"C:\\Data"},
        {"259 characters: the most that fits", kRegSz, Bytes(longest, true), longest.c_str()},
        {"260 characters: larger than the buffer", kRegSz, Bytes(tooLong, true), nullptr},
        {"520 bytes without a terminator", kRegSz, Bytes(tooLong, false), nullptr},
        {"REG_BINARY holding a folder text", kRegBinary, Bytes(u"C:\\Music", true), nullptr},
        {"REG_DWORD", kRegDword, {1, 0, 0, 0}, nullptr},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(WriteRegDword(RegRoot::CurrentUser, kTestRoot, u"Parent", 1));
        if (row.type != kNoKey) {
            ASSERT_TRUE(WriteRegDword(RegRoot::CurrentUser, kHandOffTestKey, u"Other", 3));
        }
        if (row.type != kNoKey && row.type != kNoValue) {
            ASSERT_TRUE(SetRegValue(RegRoot::CurrentUser, kHandOffTestKey, kHandOffValue, row.type, row.data.data(),
                                    static_cast<uint32_t>(row.data.size())))
                << row.label;
        }
        char16_t folder[kPathChars];
        for (auto& c : folder) c = u'#';
        int got = TakeHandOffFolder(kHandOffTestKey, folder, sizeof folder);
        EXPECT_EQ(got, row.expected ? 1 : 0) << row.label;
        EXPECT_EQ(Utf8(folder), Utf8(row.expected ? row.expected : u"")) << row.label;
        EXPECT_FALSE(KeyThere(RegRoot::CurrentUser, kHandOffTestKey)) << row.label << ": the key is still there";
        EXPECT_TRUE(KeyThere(RegRoot::CurrentUser, kTestRoot)) << row.label << ": the parent went too";
    }
}

TEST_F(RegToolLogic, HandOffKeyGoesWithItsValuesAndSubkeys) {
    std::u16string sub = std::u16string(kHandOffTestKey) + u"\\Deeper\\Still";
    ASSERT_TRUE(WriteRegString(RegRoot::CurrentUser, kHandOffTestKey, kHandOffValue, u"D:\\Films"));
    ASSERT_TRUE(WriteRegString(RegRoot::CurrentUser, kHandOffTestKey, u"Extra", u"x"));
    ASSERT_TRUE(WriteRegDword(RegRoot::CurrentUser, sub.c_str(), u"Inner", 1));
#ifndef _WIN32
    mem::ClearLog();
#endif
    char16_t folder[kPathChars];
    EXPECT_EQ(TakeHandOffFolder(kHandOffTestKey, folder, sizeof folder), 1);
    EXPECT_EQ(Utf8(folder), "D:\\Films");
    EXPECT_FALSE(KeyThere(RegRoot::CurrentUser, sub.c_str()));
    EXPECT_FALSE(KeyThere(RegRoot::CurrentUser, kHandOffTestKey));
    // A second message for the same hand-off finds nothing.
    EXPECT_EQ(TakeHandOffFolder(kHandOffTestKey, folder, sizeof folder), 0);
    EXPECT_EQ(folder[0], 0);
#ifndef _WIN32
    // It only reads and deletes: nothing is written anywhere.
    for (const auto& call : mem::Log()) EXPECT_NE(call.kind, mem::Call::Set) << Utf8(call.name);
#endif
}

}  // namespace
}  // namespace fw::test
