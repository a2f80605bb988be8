// The settings store's readers and writers: the same table runs natively
// against the in-memory registry and under Wine against the real one.
#include "store_util.h"
#include <cstring>

namespace fw::test {
namespace {

constexpr uint32_t kNoValue = 0xFFFFFFFEu;  // row writes nothing

struct DwordRow {
    const char* label;
    uint32_t type;
    std::vector<uint8_t> data;
    uint32_t expected;  // with default 77
};

class SettingsDword : public StoreTest {};

TEST_F(SettingsDword, ReadsOnlyWholeFourByteNumbers) {
    const DwordRow rows[] = {
        {"missing value", kNoValue, {}, 77},
        {"REG_DWORD 5", kRegDword, {5, 0, 0, 0}, 5},
        {"REG_DWORD 0xFFFFFFFF (Num -1)", kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}, 0xFFFFFFFFu},
        {"REG_DWORD 0x180", kRegDword, {0x80, 0x01, 0, 0}, 0x180},
        {"REG_QWORD: larger than the buffer (ERROR_MORE_DATA)", kRegQword, {1, 0, 0, 0, 0, 0, 0, 0}, 77},
        {"REG_DWORD of 8 bytes (ERROR_MORE_DATA)", kRegDword, {1, 0, 0, 0, 2, 0, 0, 0}, 77},
        {"REG_DWORD of 2 bytes", kRegDword, {1, 0}, 77},
        {"REG_DWORD of 0 bytes", kRegDword, {}, 77},
        {"REG_BINARY of 4 bytes", kRegBinary, {5, 0, 0, 0}, 77},
        {"REG_SZ \"5\"", kRegSz, {'5', 0, 0, 0}, 77},
    };
    for (const auto& row : rows) {
        DeleteSettings();
        WriteSettingDword(u"Other", 1);  // the key exists
        if (row.type != kNoValue)
            PutRaw(u"Value", row.type, row.data.data(), static_cast<uint32_t>(row.data.size()));
        EXPECT_EQ(ReadSettingDword(u"Value", 77), row.expected) << row.label;
    }
}

TEST_F(SettingsDword, MissingKeyGivesDefault) {
    EXPECT_EQ(ReadSettingDword(kNum, 0), 0u);
    EXPECT_EQ(ReadSettingDword(kGuiCharSet, 1), 1u);
}

struct TextRow {
    const char* label;
    uint32_t type;
    std::vector<char16_t> units;  // stored as they are
    int extraBytes;               // 1: an odd byte after the units
    const char16_t* expected;     // with default "D"
    const char16_t* onWindows = nullptr;  // where the platform's answer differs
    bool zeroPast = false;                // the unit just past the written bytes is 0
};

class SettingsText : public StoreTest {};

TEST_F(SettingsText, ReadsOnlyTerminatedTextsThatFit) {
    std::u16string fits = Repeat(u'f', 259);
    std::u16string tooLong = Repeat(u'L', 260);
    auto units = [](const std::u16string& s, bool nul = true) {
        std::vector<char16_t> v(s.begin(), s.end());
        if (nul) v.push_back(0);
        return v;
    };
    const TextRow rows[] = {
        {"missing value", kNoValue, {}, 0, u"D"},
        {"REG_SZ", kRegSz, units(u"abc"), 0, u"abc"},
        {"REG_SZ of 259 characters fits 520 bytes", kRegSz, units(fits), 0, fits.c_str()},
        {"REG_SZ of 260 characters (ERROR_MORE_DATA)", kRegSz, units(tooLong), 0, u"D"},
        // The platform's RegSetValueExW looks at the unit just past the given
        // size: a 0 there is stored as the text's terminator. Each write below
        // is followed by a unit that is not 0, except in this one row.
        {"unterminated REG_SZ", kRegSz, units(u"abc", false), 0, u"D"},
        {"unterminated REG_SZ with a 0 just past it", kRegSz, units(u"abc", false), 0, u"D", u"abc", true},
        {"unterminated 260 units fill the buffer exactly", kRegSz, units(tooLong, false), 0, u"D"},
        {"odd length: terminator then a stray byte", kRegSz, units(u"ab"), 1, u"ab"},
        {"odd length without terminator", kRegSz, units(u"ab", false), 1, u"D"},
        {"zero-length REG_SZ is empty", kRegSz, {}, 0, u""},
        {"terminator inside the data", kRegSz, {u'a', 0, u'b', 0}, 0, u"a"},
        {"REG_EXPAND_SZ is taken unexpanded", kRegExpandSz, units(u"%TEMP%"), 0, u"%TEMP%"},
        {"REG_DWORD is not text", kRegDword, {u'5', 0}, 0, u"D"},
        {"REG_BINARY is not text", kRegBinary, units(u"abc"), 0, u"D"},
    };
    for (const auto& row : rows) {
        DeleteSettings();
        WriteSettingDword(u"Other", 1);
        if (row.type != kNoValue) {
            const size_t size = row.units.size() * 2 + row.extraBytes;
            std::vector<uint8_t> bytes(size + 2, 0x41);
            if (!row.units.empty()) std::memcpy(bytes.data(), row.units.data(), row.units.size() * 2);
            if (row.zeroPast) bytes[size] = bytes[size + 1] = 0;
            PutRaw(u"Value", row.type, bytes.data(), static_cast<uint32_t>(size));
        }
        char16_t buf[kPathChars];
        std::fill(std::begin(buf), std::end(buf), u'#');
        ReadSettingString(u"Value", u"D", buf, sizeof buf);
        EXPECT_LT(TextLenBounded(buf, kPathChars), kPathChars) << row.label << ": not terminated";
#ifdef _WIN32
        const char16_t* expected = row.onWindows ? row.onWindows : row.expected;
#else
        const char16_t* expected = row.expected;
#endif
        EXPECT_EQ(Utf8(buf), Utf8(expected)) << row.label;
    }
}

TEST_F(SettingsText, DefaultIsCutToTheBuffer) {
    char16_t buf[4];
    ReadSettingString(u"Missing", u"Arial", buf, sizeof buf);
    EXPECT_EQ(Utf8(buf), "Ari");
}

TEST_F(SettingsText, RuleTextOf512CharactersLoadsBack) {
    std::u16string rule = Repeat(u'r', 512);
    WriteSettingString(u"0000Rule", rule.c_str());
    char16_t buf[kRuleChars];
    ReadSettingString(u"0000Rule", u"ERR", buf, sizeof buf);
    EXPECT_EQ(std::u16string(buf), rule);
}

class SettingsWrite : public StoreTest {};

TEST_F(SettingsWrite, WritesTypesAndSizesAndDeleteRemovesAll) {
    EXPECT_EQ(WriteSettingString(kDefaultFolder, u"C:\\dl"), 1);
    EXPECT_EQ(WriteSettingDword(kNum, 3), 1);

    uint32_t size = 64, type = 0;
    char16_t text[32];
    ASSERT_EQ(QueryRegValue(RegRoot::CurrentUser, kSettingsKey, kDefaultFolder, text, &size, &type), RegQuery::Ok);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(size, 12u);  // (5 + 1) * 2
    uint32_t num = 0;
    size = 4;
    ASSERT_EQ(QueryRegValue(RegRoot::CurrentUser, kSettingsKey, kNum, &num, &size, &type), RegQuery::Ok);
    EXPECT_EQ(type, kRegDword);
    EXPECT_EQ(num, 3u);

    DeleteSettings();
    EXPECT_EQ(ReadSettingDword(kNum, 0), 0u);
    size = 64;
    EXPECT_EQ(QueryRegValue(RegRoot::CurrentUser, kSettingsKey, kDefaultFolder, text, &size, nullptr), RegQuery::Failed);

    // The first write after a delete recreates the key.
    EXPECT_EQ(WriteSettingString(kGuiFontFace, u"Arial"), 1);
    char16_t face[kPathChars];
    ReadSettingString(kGuiFontFace, u"x", face, sizeof face);
    EXPECT_EQ(Utf8(face), "Arial");
}

TEST(RuleValueNames, FourDigitsThenMore) {
    struct Row {
        int32_t index;
        const char16_t* suffix;
        const char16_t* expected;
    } rows[] = {
        {0, u"Type", u"0000Type"},     {7, u"Rule", u"0007Rule"},        {12, u"Folder", u"0012Folder"},
        {9999, u"Type", u"9999Type"}, {10000, u"Rule", u"10000Rule"},   {123456, u"Folder", u"123456Folder"},
    };
    for (const auto& row : rows) {
        char16_t name[kValueNameChars];
        ASSERT_TRUE(RuleValueName(name, kValueNameChars, row.index, row.suffix));
        EXPECT_EQ(Utf8(name), Utf8(row.expected)) << row.index;
    }
    char16_t small[8];
    EXPECT_FALSE(RuleValueName(small, 8, 7, u"Folder"));  // "0007Folder" needs 11
}

}  // namespace
}  // namespace fw::test
