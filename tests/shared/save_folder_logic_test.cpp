// The seeding's decisions over bytes and texts. Runs natively and under Wine
// (where the name comparison is lstrcmpiW).
#include "save_folder_logic.h"
#include "seed_bytes.h"
#include "store_util.h"
#include <climits>

namespace fw::test {
namespace {

TEST(IeMajorVersion, ReadsTheNumberBeforeTheFirstDot) {
    struct Row {
        const char* label;
        std::u16string text;
        size_t len;  // units the parser is given; npos: the whole text and its zero
        bool has;
        int32_t major;
    };
    const size_t all = std::u16string::npos;
    const Row rows[] = {
        {"IE9 build", u"9.11.9600.16428", all, true, 9},
        {"IE8 build", u"8.0.7601.17514", all, true, 8},
        {"10.0", u"10.0", all, true, 10},
        {"no dot", u"11", all, false, 0},
        {"empty", u"", all, false, 0},
        {"letters before the dot", u"x.1", all, true, 0},
        {"leading dot", u".5", all, true, 0},
        {"leading blank", u" 9.0", all, true, 9},
        {"tab and plus", u"\t+9.0", all, true, 9},
        {"minus", u"-9.1", all, true, -9},
        {"two signs", u"+-9.0", all, true, 0},
        {"digits then junk", u"9a7.0", all, true, 9},
        {"blank before the dot", u"9 .0", all, true, 9},
        {"INT32_MAX", u"2147483647.0", all, true, INT32_MAX},
        {"one past INT32_MAX clamps", u"2147483648.0", all, true, INT32_MAX},
        {"far beyond 32 bits clamps", u"99999999999999999999999.0", all, true, INT32_MAX},
        {"INT32_MIN", u"-2147483648.0", all, true, INT32_MIN},
        {"below INT32_MIN clamps", u"-99999999999.0", all, true, INT32_MIN},
        {"dot beyond the length given", u"9.0", 1, false, 0},
        {"dot beyond the text's zero", std::u16string(u"12\0.5", 5), all, false, 0},
    };
    for (const auto& row : rows) {
        size_t len = row.len == all ? row.text.size() + 1 : row.len;
        int32_t major = 12345;
        bool has = IeMajorVersion(row.text.c_str(), len, &major);
        EXPECT_EQ(has, row.has) << row.label;
        if (row.has) {
            EXPECT_EQ(major, row.major) << row.label;
        }
    }
}

TEST(ItemIdListSize, CountsItemsUpToTheZeroSize) {
    struct Row {
        const char* label;
        Bytes list;
        size_t cap;  // 0: the list's own size
        uint32_t expected;
    };
    Bytes twoItems = ItemList({20, 14});
    Bytes big = ItemList({20, 256});  // low byte of 256 is 0: not a terminator
    Bytes junkAfter = Cat(twoItems, {7, 7, 7});
    const Row rows[] = {
        {"two items of 20 and 14", twoItems, 0, 36},
        {"second item of 256 bytes", big, 0, 278},
        {"terminator only", ItemList({}), 0, 2},
        {"bytes after the terminator are not counted", junkAfter, 0, 36},
        {"no terminator", Bytes(twoItems.begin(), twoItems.end() - 2), 0, 0},
        {"size field cut by the cap", twoItems, 35, 0},
        {"item running past the cap", ItemList({40}), 30, 0},
        {"cap of one byte", ItemList({}), 1, 0},
    };
    for (const auto& row : rows) {
        size_t cap = row.cap ? row.cap : row.list.size();
        EXPECT_EQ(ItemIdListSize(row.list.data(), cap), row.expected) << row.label;
    }
    EXPECT_EQ(ItemIdListSize(nullptr, 100), 0u);
}

TEST(BuildMruRecord, NameZeroThenTheListWithItsTerminator) {
    Bytes list = ItemList({20, 14});
    Bytes withJunk = Cat(list, {9, 9, 9, 9});
    Bytes expected = Cat(Utf16(u"iexplore.exe"), list);
    ASSERT_EQ(expected.size(), 62u);
    ASSERT_EQ(MruRecordSize(u"iexplore.exe", 36), 62u);

    Bytes out(80, 0xEE);
    ASSERT_EQ(BuildMruRecord(u"iexplore.exe", withJunk.data(), withJunk.size(), out.data(), out.size()), 62u);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 62), expected)
        << "got " << Hex(Bytes(out.begin(), out.begin() + 62)) << "\nexpected " << Hex(expected);
    EXPECT_EQ(out[62], 0xEE) << "wrote past the record";

    Bytes big = ItemList({20, 256});
    Bytes bigOut(26 + big.size());
    ASSERT_EQ(BuildMruRecord(u"iexplore.exe", big.data(), big.size(), bigOut.data(), bigOut.size()), bigOut.size());
    EXPECT_EQ(bigOut, Cat(Utf16(u"iexplore.exe"), big)) << "256-byte item copied whole";

    Bytes small(61, 0xEE);
    EXPECT_EQ(BuildMruRecord(u"iexplore.exe", list.data(), list.size(), small.data(), small.size()), 0u);
    EXPECT_EQ(small, Bytes(61, 0xEE)) << "a record that does not fit writes nothing";
    EXPECT_EQ(BuildMruRecord(u"iexplore.exe", list.data(), 30, out.data(), out.size()), 0u)
        << "a list that does not end inside its length";
}

TEST(IsIexploreSlot, JudgesOnlyTheBytesRead) {
    Bytes list = ItemList({20, 14});
    Bytes ie = Record(u"iexplore.exe", list);
    struct Row {
        const char* label;
        Bytes value;
        size_t len;  // npos: the whole value
        bool expected;
    };
    const size_t all = SIZE_MAX;
    const Row rows[] = {
        {"iexplore.exe record", ie, all, true},
        {"capitals", Record(u"IEXPLORE.EXE", list), all, true},
        {"mixed case, exactly 26 bytes", Utf16(u"IExplore.Exe"), all, true},
        {"25 bytes", ie, 25, false},
        {"24 bytes: no room for the zero", Utf16(u"iexplore.exe", false), all, false},
        {"a 13th character", Record(u"iexplore.exe2", list), all, false},
        {"another program", Record(u"notepad.exe", list), all, false},
        {"another program with a 12-unit name", Record(u"explorer.exe", list), all, false},
        {"name cut short by a zero", Record(u"iexplore.ex", Bytes{0, 0, 0x41, 0}), all, false},
        {"empty", Bytes{}, all, false},
    };
    for (const auto& row : rows) {
        size_t len = row.len == all ? row.value.size() : row.len;
        EXPECT_EQ(IsIexploreSlot(row.value.data(), len), row.expected) << row.label;
    }
    EXPECT_FALSE(IsIexploreSlot(nullptr, 26));
}

TEST(PrependMruSlot, PutsTheNewSlotFirstOrStartsAFreshList) {
    struct Row {
        const char* label;
        bool none;
        Bytes old;
        uint32_t n;
        Bytes expected;
        uint32_t slot;
    };
    const uint32_t T = 0xFFFFFFFFu;
    const Row rows[] = {
        {"missing", true, {}, 5, U32List({0, T}), 0},
        {"empty", false, {}, 5, U32List({0, T}), 0},
        {"4 bytes", false, U32List({3}), 5, U32List({0, T}), 0},
        {"7 bytes", false, Bytes(7, 0), 5, U32List({0, T}), 0},
        {"fresh list", false, U32List({0, T}), 1, U32List({1, 0, T}), 1},
        {"10 bytes: a partial entry is dropped", false, Cat(U32List({0, T}), {1, 2}), 1, U32List({1, 0, T}), 1},
        {"three slots", false, U32List({2, 0, 1, T}), 3, U32List({3, 2, 0, 1, T}), 3},
        {"duplicates kept", false, U32List({1, 1, T}), 1, U32List({1, 1, 1, T}), 1},
        {"no terminator", false, U32List({5, 6}), 7, U32List({7, 5, 6}), 7},
    };
    for (const auto& row : rows) {
        const uint8_t* old = row.none ? nullptr : row.old.data();
        size_t size = PrependedMruListSize(row.none ? 0 : row.old.size());
        EXPECT_EQ(size, row.expected.size()) << row.label;
        Bytes out(size + 4, 0xEE);
        uint32_t slot = 99;
        size_t wrote = PrependMruSlot(old, row.old.size(), row.n, out.data(), size, &slot);
        Bytes got(out.begin(), out.begin() + wrote);
        EXPECT_EQ(got, row.expected) << row.label << "\ngot " << Hex(got) << "\nexpected " << Hex(row.expected);
        EXPECT_EQ(slot, row.slot) << row.label;
        EXPECT_EQ(out[size], 0xEE) << row.label << ": wrote past the list";
    }
    Bytes old = U32List({2, 0, 1, T});
    Bytes out(19);
    EXPECT_EQ(PrependMruSlot(old.data(), old.size(), 3, out.data(), out.size(), nullptr), 0u) << "short buffer";
}

TEST(HandOffKeyPath, FitsOr259CharactersOrNothing) {
    const std::u16string prefix = u"Software\\Microsoft\\Internet Explorer\\InternetRegistry\\REGISTRY\\USER\\";
    const std::u16string suffix = u"\\Software\\Fwise";
    ASSERT_EQ(prefix.size(), 68u);
    const std::u16string longest(259 - 68 - suffix.size(), u'7');  // 176 characters
    struct Row {
        const char* label;
        std::u16string sid;
        size_t cap;
        bool fits;
    };
    const Row rows[] = {
        {"ordinary SID", u"S-1-5-21-0-0-0-1000", 260, true},
        {"SID that makes 259 characters", longest, 260, true},
        {"one character more", longest + u"7", 260, false},
        {"bigger buffer does not raise the limit", longest + u"7", 400, false},
        {"buffer smaller than the path", u"S-1-5-21-0-0-0-1000", 100, false},
        {"empty SID", u"", 260, false},
    };
    for (const auto& row : rows) {
        std::vector<char16_t> out(row.cap + 1, u'#');
        bool fits = BuildHandOffKeyPath(out.data(), row.cap, row.sid.c_str());
        EXPECT_EQ(fits, row.fits) << row.label;
        std::u16string got(out.data());
        EXPECT_EQ(got, row.fits ? prefix + row.sid + suffix : u"") << row.label << ": got " << Utf8(got);
        EXPECT_EQ(out[row.cap], u'#') << row.label << ": wrote past the buffer";
    }
}

}  // namespace
}  // namespace fw::test
