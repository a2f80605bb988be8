// The slot search and the MRUListEx update over the registry seam: natively
// against the in-memory registry, under Wine against the real one. Every row
// checks the key's values byte for byte.
#include "ie_places.h"
#include "save_folder_logic.h"
#include "seed_bytes.h"
#include "store_util.h"
#include <map>

namespace fw::test {
namespace {

using Values = std::map<std::u16string, Bytes>;
const std::u16string kList = u"MRUListEx";
const uint32_t T = 0xFFFFFFFFu;

void ClearMru() { DeleteRegTree(RegRoot::CurrentUser, ie::kLastVisitedPidlMruKey); }

void PutValues(const Values& values) {
    for (const auto& [name, data] : values)
        ASSERT_TRUE(SetRegValue(RegRoot::CurrentUser, ie::kLastVisitedPidlMruKey, name.c_str(), kRegBinary,
                                data.data(), static_cast<uint32_t>(data.size())));
}

// The slots "0" to "9" and "MRUListEx", as far as they exist.
Values ReadValues() {
    Values out;
    std::vector<std::u16string> names = {kList};
    for (char16_t c = u'0'; c <= u'9'; ++c) names.push_back(std::u16string(1, c));
    for (const auto& name : names) {
        uint32_t size = 0;
        if (QueryRegValue(RegRoot::CurrentUser, ie::kLastVisitedPidlMruKey, name.c_str(), nullptr, &size, nullptr) !=
            RegQuery::Ok)
            continue;
        Bytes data(size);
        uint32_t got = size;
        if (QueryRegValue(RegRoot::CurrentUser, ie::kLastVisitedPidlMruKey, name.c_str(), data.data(), &got,
                          nullptr) == RegQuery::Ok)
            out[name] = Bytes(data.begin(), data.begin() + got);
    }
    return out;
}

std::string Describe(const Values& v) {
    std::string out;
    for (const auto& [name, data] : v) out += "  " + Utf8(name) + ": " + Hex(data) + "\n";
    return out;
}

class MruSlot : public ::testing::Test {
protected:
    void SetUp() override {
#ifndef _WIN32
        mem::Reset();
#endif
        ClearMru();
    }
    void TearDown() override { ClearMru(); }
};

TEST_F(MruSlot, FindsOrTakesTheSlotAndKeepsTheList) {
    const Bytes list = ItemList({20, 14});
    const Bytes rec = Record(u"iexplore.exe", list);
    const Bytes other = Record(u"notepad.exe", ItemList({30}));
    const Bytes other2 = Record(u"mspaint.exe", ItemList({18, 6}));
    const Bytes oldIe = Record(u"IEXPLORE.EXE", ItemList({40}));
    // Deep folders give item ID lists past the 520-byte work buffer.
    const Bytes longIe = Record(u"iexplore.exe", ItemList({200, 200, 200}));
    const Bytes longOther = Record(u"winword.exe", ItemList({300, 300}));
    struct Row {
        const char* label;
        Values before;
        Values after;  // what changes; everything else stays as it was
    };
    const Row rows[] = {
        {"no key at all", {}, {{kList, U32List({0, T})}, {u"0", rec}}},
        {"slots of other programs",
         {{u"0", other}, {u"1", other2}, {u"2", other}, {kList, U32List({2, 0, 1, T})}},
         {{u"3", rec}, {kList, U32List({3, 2, 0, 1, T})}}},
        {"iexplore.exe slot in capitals keeps its place",
         {{u"0", other}, {u"1", oldIe}, {kList, U32List({0, 1, T})}},
         {{u"1", rec}}},
        {"gap before an iexplore.exe slot",
         {{u"0", other}, {u"2", oldIe}, {kList, U32List({2, 0, T})}},
         {{u"1", rec}, {kList, U32List({1, 2, 0, T})}}},
        {"MRUListEx missing", {{u"0", other}, {u"1", other2}}, {{u"0", rec}, {kList, U32List({0, T})}}},
        {"MRUListEx of 4 bytes",
         {{u"0", other}, {u"1", other2}, {kList, U32List({1})}},
         {{u"0", rec}, {kList, U32List({0, T})}}},
        {"MRUListEx empty", {{u"0", other}, {kList, {}}}, {{u"0", rec}, {kList, U32List({0, T})}}},
        {"MRUListEx of 10 bytes",
         {{u"0", other}, {kList, Cat(U32List({0, T}), {1, 2})}},
         {{u"1", rec}, {kList, U32List({1, 0, T})}}},
        {"a slot of 24 bytes named iexplore.exe is too short",
         {{u"0", Utf16(u"iexplore.exe", false)}, {kList, U32List({0, T})}},
         {{u"1", rec}, {kList, U32List({1, 0, T})}}},
        {"a short slot after a near-iexplore one is judged by its own bytes",
         {{u"0", Record(u"Xexplore.exe", list)}, {u"1", Utf16(u"i", false)}, {kList, U32List({1, 0, T})}},
         {{u"2", rec}, {kList, U32List({2, 1, 0, T})}}},
        {"iexplore.exe slot longer than 520 bytes is found",
         {{u"0", other}, {u"1", longIe}, {kList, U32List({1, 0, T})}},
         {{u"1", rec}}},
        {"another program's slot longer than 520 bytes is passed",
         {{u"0", longOther}, {kList, U32List({0, T})}},
         {{u"1", rec}, {kList, U32List({1, 0, T})}}},
    };
    for (const auto& row : rows) {
        ClearMru();
        PutValues(row.before);
        EXPECT_EQ(WriteMruRecord(list.data(), list.size()), 1) << row.label;
        Values expected = row.before;
        for (const auto& [name, data] : row.after) expected[name] = data;
        Values got = ReadValues();
        EXPECT_TRUE(got == expected) << row.label << "\ngot\n" << Describe(got) << "expected\n" << Describe(expected);
    }
}

TEST_F(MruSlot, LongRecordIsRewrittenInPlaceDownloadAfterDownload) {
    const Bytes deep = ItemList({120, 120, 120, 120, 120});
    const Bytes shallow = ItemList({20});
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(WriteMruRecord(deep.data(), deep.size()), 1);
        ASSERT_EQ(WriteMruRecord(shallow.data(), shallow.size()), 1);
    }
    Values expected = {{u"0", Record(u"iexplore.exe", shallow)}, {kList, U32List({0, T})}};
    Values got = ReadValues();
    EXPECT_TRUE(got == expected) << "got\n" << Describe(got) << "expected\n" << Describe(expected);
}

TEST_F(MruSlot, AListThatDoesNotEndWritesNothing) {
    Bytes cut = ItemList({20, 14});
    cut.resize(cut.size() - 2);
    EXPECT_EQ(WriteMruRecord(cut.data(), cut.size()), 1);
    EXPECT_TRUE(ReadValues().empty()) << Describe(ReadValues());
}

#ifndef _WIN32
// The order of the writes and a failing slot write need the in-memory registry.
TEST_F(MruSlot, NewSlotNamesTheListBeforeTheSlotIsWritten) {
    const Bytes list = ItemList({20});
    PutValues({{u"0", Record(u"notepad.exe", list)}, {kList, U32List({0, T})}});
    mem::ClearLog();
    ASSERT_EQ(WriteMruRecord(list.data(), list.size()), 1);
    std::vector<std::u16string> sets;
    for (const auto& call : mem::Log())
        if (call.kind == mem::Call::Set) sets.push_back(call.name);
    EXPECT_EQ(sets, (std::vector<std::u16string>{kList, u"1"}));
}

TEST_F(MruSlot, ExistingSlotLeavesTheListAlone) {
    const Bytes list = ItemList({20});
    PutValues({{u"0", Record(u"iexplore.exe", list)}, {kList, U32List({0, T})}});
    mem::ClearLog();
    ASSERT_EQ(WriteMruRecord(list.data(), list.size()), 1);
    for (const auto& call : mem::Log()) EXPECT_NE(call.name, kList) << "MRUListEx was touched";
}

TEST_F(MruSlot, OnlyAFailedSlotWriteReportsZero) {
    const Bytes list = ItemList({20});
    mem::FailWrites(u"0");
    EXPECT_EQ(WriteMruRecord(list.data(), list.size()), 0) << "slot write failed";
    mem::Reset();
    mem::FailWrites(kList.c_str());
    EXPECT_EQ(WriteMruRecord(list.data(), list.size()), 1) << "list write failed";
    Values got = ReadValues();
    EXPECT_TRUE(got == (Values{{u"0", Record(u"iexplore.exe", list)}})) << Describe(got);
}
#endif

// The version rule, from the "Version" value as it is stored.
class SeedPlaceTest : public ::testing::Test {
protected:
    void SetUp() override {
#ifndef _WIN32
        mem::Reset();
#endif
        uint32_t size = sizeof saved_;
        had_ = QueryRegValue(RegRoot::LocalMachine, ie::kIeKey, ie::kVersionValue, saved_, &size, &savedType_) ==
               RegQuery::Ok;
        savedSize_ = size;
    }
    void TearDown() override {
        if (had_)
            SetRegValue(RegRoot::LocalMachine, ie::kIeKey, ie::kVersionValue, savedType_, saved_, savedSize_);
        else
            DeleteRegValue(RegRoot::LocalMachine, ie::kIeKey, ie::kVersionValue);
    }

private:
    uint8_t saved_[1024];
    uint32_t savedSize_ = 0;
    uint32_t savedType_ = 0;
    bool had_ = false;
};

TEST_F(SeedPlaceTest, NineOrLaterTakesTheRecordAnythingElseDownloadDirectory) {
    const auto Mru = SeedPlace::MruRecord;
    const auto Dd = SeedPlace::DownloadDirectory;
    struct Row {
        const char* label;
        uint32_t type;  // 0: no value
        Bytes data;
        SeedPlace expected;
    };
    const Row rows[] = {
        {"9.11.9600.16428", kRegSz, Utf16(u"9.11.9600.16428"), Mru},
        {"8.0.7601.17514", kRegSz, Utf16(u"8.0.7601.17514"), Dd},
        {"10.0", kRegSz, Utf16(u"10.0"), Mru},
        {"11 without a dot", kRegSz, Utf16(u"11"), Dd},
        {"x.1", kRegSz, Utf16(u"x.1"), Dd},
        {"leading blank", kRegSz, Utf16(u" 9.0"), Mru},
        {"missing value", 0, {}, Dd},
        {"longer than 520 bytes", kRegSz, Utf16(u"9.0" + std::u16string(300, u'0')), Dd},
        {"the type is not looked at", kRegBinary, Utf16(u"9.0", false), Mru},
        {"dot only after the bytes stored", kRegBinary, Utf16(u"9", false), Dd},
    };
    for (const auto& row : rows) {
        DeleteRegValue(RegRoot::LocalMachine, ie::kIeKey, ie::kVersionValue);
        if (row.type) {
            ASSERT_TRUE(SetRegValue(RegRoot::LocalMachine, ie::kIeKey, ie::kVersionValue, row.type, row.data.data(),
                                    static_cast<uint32_t>(row.data.size())))
                << row.label;
        }
        EXPECT_EQ(ChooseSeedPlace(), row.expected) << row.label;
    }
}

}  // namespace
}  // namespace fw::test
