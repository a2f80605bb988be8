// ApplySaveFolder and the user's SID under Wine, with the real registry and
// shell. The expected item ID lists come from the shell itself, and the round
// trip back to a path goes through SHGetPathFromIDListW.
#include "mru_slot_cases.h"
#include "seed_win_util.h"
#include "reg_helpers.h"
#include "save_folder.h"
#include "save_folder_logic.h"
#include "win.h"

namespace fw::test {
namespace {

class ApplySaveFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        had_ = ReadText(RegRoot::LocalMachine, ie::kIeKey, ie::kVersionValue, &version_);
        ClearMru();
        DeleteRegValue(RegRoot::CurrentUser, ie::kDownloadDirectoryKey, ie::kDownloadDirectoryValue);
    }
    void TearDown() override {
        SetVersion(had_ ? version_.c_str() : nullptr);
        ClearMru();
        DeleteRegValue(RegRoot::CurrentUser, ie::kDownloadDirectoryKey, ie::kDownloadDirectoryValue);
        CoUninitialize();
    }
    void SetVersion(const char16_t* v) {
        if (v)
            ASSERT_EQ(WriteRegString(RegRoot::LocalMachine, ie::kIeKey, ie::kVersionValue, v), 1);
        else
            DeleteRegValue(RegRoot::LocalMachine, ie::kIeKey, ie::kVersionValue);
    }
    bool DownloadDirectory(std::u16string* out) {
        return ReadText(RegRoot::CurrentUser, ie::kDownloadDirectoryKey, ie::kDownloadDirectoryValue, out);
    }

private:
    std::u16string version_;
    bool had_ = false;
};

TEST_F(ApplySaveFolderTest, RecordHoldsTheShellsListAndLeadsBackToTheFolder) {
    SetVersion(u"9.11.9600.16428");
    std::u16string folder = TestFolder(u"Downloads\\Pictures");
    Bytes list = ShellList(folder);
    ASSERT_GT(list.size(), 2u);
    ASSERT_EQ(ApplySaveFolder(folder.c_str()), 1);
    Values got = ReadValues();
    Values expected = {{u"0", Record(u"iexplore.exe", list)}, {kList, U32List({0, T})}};
    EXPECT_TRUE(got == expected) << "got\n" << Describe(got) << "expected\n" << Describe(expected);
    const Bytes& slot = got[u"0"];
    ASSERT_GT(slot.size(), 26u);
    std::u16string back = PathOfList(Bytes(slot.begin() + 26, slot.end()));
    EXPECT_TRUE(EqualTextI(back.c_str(), folder.c_str())) << "got " << Utf8(back) << ", expected " << Utf8(folder);
    std::u16string dd;
    EXPECT_FALSE(DownloadDirectory(&dd)) << "Download Directory written: " << Utf8(dd);
}

TEST_F(ApplySaveFolderTest, SlotCasesThroughTheShell) {
    SetVersion(u"10.0");
    std::u16string folder = TestFolder(u"Slots");
    Bytes rec = Record(u"iexplore.exe", ShellList(folder));
    RunSlotCases(rec, [&] { return ApplySaveFolder(folder.c_str()); });
}

TEST_F(ApplySaveFolderTest, DeepFoldersRecordIsFoundAgain) {
    SetVersion(u"11.0.9600.19036");
    std::u16string deep = TestFolder(u"a1\\b2\\c3\\d4\\e5\\f6\\g7\\h8\\i9\\j10\\k11\\l12");
    std::u16string flat = TestFolder(u"flat");
    Bytes deepList = ShellList(deep);
    ASSERT_GT(deepList.size() + 26, 520u) << "the folder is not deep enough to pass the work buffer";
    ASSERT_EQ(ApplySaveFolder(deep.c_str()), 1);
    ASSERT_EQ(ApplySaveFolder(flat.c_str()), 1);
    ASSERT_EQ(ApplySaveFolder(deep.c_str()), 1);
    Values got = ReadValues();
    Values expected = {{u"0", Record(u"iexplore.exe", deepList)}, {kList, U32List({0, T})}};
    EXPECT_TRUE(got == expected) << "got\n" << Describe(got) << "expected\n" << Describe(expected);
}

TEST_F(ApplySaveFolderTest, MissingFolderWritesNothing) {
    SetVersion(u"9.11.9600.16428");
    std::u16string missing = TestFolder(u"") + u"\\no such folder";
    const char16_t* texts[] = {missing.c_str(), u"not a path at all :*?"};
    for (const char16_t* text : texts) {
        EXPECT_EQ(ApplySaveFolder(text), 1) << Utf8(text);
        EXPECT_FALSE(KeyExistsCU(ie::kLastVisitedPidlMruKey)) << Utf8(text);
        std::u16string dd;
        EXPECT_FALSE(DownloadDirectory(&dd)) << Utf8(text) << ": Download Directory = " << Utf8(dd);
    }
}

TEST_F(ApplySaveFolderTest, OldOrUnknownVersionWritesDownloadDirectory) {
    std::u16string folder = TestFolder(u"Old");
    const struct {
        const char* label;
        const char16_t* version;  // null: no value
    } rows[] = {{"8.0.7601.17514", u"8.0.7601.17514"}, {"11 without a dot", u"11"}, {"no Version", nullptr}};
    for (const auto& row : rows) {
        DeleteRegValue(RegRoot::CurrentUser, ie::kDownloadDirectoryKey, ie::kDownloadDirectoryValue);
        SetVersion(row.version);
        EXPECT_EQ(ApplySaveFolder(folder.c_str()), 1) << row.label;
        std::u16string dd;
        EXPECT_TRUE(DownloadDirectory(&dd) && dd == folder)
            << row.label << ": got " << Utf8(dd) << ", expected " << Utf8(folder);
        EXPECT_FALSE(KeyExistsCU(ie::kLastVisitedPidlMruKey)) << row.label;
    }
    // An old version takes any text, existing or not, as the dialog will.
    SetVersion(u"8.0");
    EXPECT_EQ(ApplySaveFolder(u"Z:\\not there"), 1);
    std::u16string dd;
    EXPECT_TRUE(DownloadDirectory(&dd) && dd == u"Z:\\not there") << Utf8(dd);
}

// The SID of the user's name, as an earlier build looked it up.
std::u16string NameLookupSid() {
    wchar_t user[256], domain[256];
    DWORD userLen = 256, domainLen = 256, sidSize = SECURITY_MAX_SID_SIZE;
    BYTE sid[SECURITY_MAX_SID_SIZE];
    SID_NAME_USE use;
    if (!GetUserNameW(user, &userLen) || !LookupAccountNameW(nullptr, user, sid, &sidSize, domain, &domainLen, &use))
        return u"(lookup failed)";
    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(sid, &text)) return u"(no text)";
    std::u16string out = U(text);
    LocalFree(text);
    return out;
}

TEST(UserSid, IsTheTokensSidAndNeverCut) {
    std::u16string sid = TokenSid();
    ASSERT_FALSE(sid.empty());
    // Where the name names the token's own account (so under Wine) the
    // hand-off key has not moved from where the name lookup put it.
    EXPECT_EQ(Utf8(NameLookupSid()), Utf8(sid));
    char16_t out[260];
    ASSERT_EQ(GetUserSidString(out, sizeof out), 1);
    EXPECT_EQ(std::u16string(out), sid) << "got " << Utf8(out) << ", expected " << Utf8(sid);

    uint32_t exact = static_cast<uint32_t>((sid.size() + 1) * 2);
    EXPECT_EQ(GetUserSidString(out, exact), 1) << "room for the text and its zero";
    EXPECT_EQ(GetUserSidString(out, exact - 2), 0) << "one character short";
    EXPECT_EQ(out[0], 0) << "a failed call leaves an empty text";

    char16_t path[260];
    ASSERT_TRUE(HandOffKeyPath(path, 260));
    std::u16string expected = std::u16string(ie::kHandOffPrefix) + sid + u"\\Software\\Fwise";
    EXPECT_EQ(std::u16string(path), expected) << "got " << Utf8(path);
    EXPECT_FALSE(HandOffKeyPath(path, 60)) << "path longer than the buffer";
}

}  // namespace
}  // namespace fw::test
