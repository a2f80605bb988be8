// The slot search and the MRUListEx update over the registry seam: natively
// against the in-memory registry, under Wine against the real one. Every row
// checks the key's values byte for byte.
#include "mru_slot_cases.h"
#include "save_folder_logic.h"

namespace fw::test {
namespace {

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
    RunSlotCases(Record(u"iexplore.exe", list), [&] { return WriteMruRecord(list.data(), list.size()); });
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
