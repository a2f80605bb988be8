// SeedSaveFolder as Wine's own ieframe.dll leaves it: no
// IEIsProtectedModeProcess there, so the handler seeds directly.
#include "ie_places.h"
#include "reg_helpers.h"
#include "save_folder.h"
#include "save_folder_logic.h"
#include "seed_save_folder.h"
#include "seed_win_util.h"
#include "store_util.h"

namespace fw::test {
namespace {

class SeedNormal : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        ASSERT_TRUE(HandOffKeyPath(handOff_, kHandOffPathChars));
        had_ = ReadText(RegRoot::LocalMachine, ie::kIeKey, ie::kVersionValue, &version_);
        WriteRegString(RegRoot::LocalMachine, ie::kIeKey, ie::kVersionValue, u"9.11.9600.16428");
        Clean();
    }
    void TearDown() override {
        if (had_) WriteRegString(RegRoot::LocalMachine, ie::kIeKey, ie::kVersionValue, version_.c_str());
        Clean();
        CoUninitialize();
    }
    void Clean() {
        DeleteRegTree(RegRoot::CurrentUser, ie::kLastVisitedPidlMruKey);
        DeleteRegTree(RegRoot::CurrentUser, handOff_);
    }
    char16_t handOff_[kHandOffPathChars];

private:
    std::u16string version_;
    bool had_ = false;
};

TEST_F(SeedNormal, WinesIeframeHasNoProtectedModeSoTheFolderIsAppliedHere) {
    HMODULE ieframe = LoadLibraryW(L"ieframe.dll");
    ASSERT_NE(ieframe, nullptr) << "Wine's ieframe.dll did not load";
    EXPECT_EQ(GetProcAddress(ieframe, "IEIsProtectedModeProcess"), nullptr) << "Wine grew the export";
    FreeLibrary(ieframe);
    EXPECT_EQ(InProtectedMode(), 0);

    std::u16string folder = TestFolder(u"Seeded");
    EXPECT_EQ(SeedSaveFolder(folder.c_str()), 0);
    std::vector<uint8_t> slot(2048);
    uint32_t size = static_cast<uint32_t>(slot.size());
    ASSERT_EQ(QueryRegValue(RegRoot::CurrentUser, ie::kLastVisitedPidlMruKey, u"0", slot.data(), &size, nullptr),
              RegQuery::Ok);
    slot.resize(size);
    std::vector<uint8_t> list = ShellList(folder);
    std::vector<uint8_t> expected = {'i', 0, 'e', 0, 'x', 0, 'p', 0, 'l', 0, 'o', 0, 'r', 0,
                                     'e', 0, '.', 0, 'e', 0, 'x', 0, 'e', 0, 0,   0};
    expected.insert(expected.end(), list.begin(), list.end());
    EXPECT_TRUE(slot == expected) << FirstDifference(slot, expected);
    EXPECT_FALSE(KeyExistsCU(handOff_)) << "handed off outside protected mode";
}

TEST_F(SeedNormal, EmptyFolderTouchesNothing) {
    EXPECT_EQ(SeedSaveFolder(u""), 0);
    EXPECT_EQ(SeedSaveFolder(nullptr), 0);
    EXPECT_FALSE(KeyExistsCU(ie::kLastVisitedPidlMruKey));
    EXPECT_FALSE(KeyExistsCU(handOff_));
}

}  // namespace
}  // namespace fw::test
