// Both halves of the hand-off together: the handler's seeding in protected
// mode (made to see it by the stand-in ieframe.dll beside this program) and a
// real FwReg.exe, which applies what the handler left in the hand-off key.
#include "regtool_test_win.h"
#include "seed_save_folder.h"
#include "settings_store.h"

namespace fw::test {
namespace {

const wchar_t* const kRegToolExe = L"..\\FwReg.exe";  // this program lives in bin/protected

std::string SlotFolder(const wchar_t* slot) {
    std::vector<BYTE> record;
    ReadValue(HKEY_CURRENT_USER, kMruKey, slot, &record);
    return RecordFolder(record);
}

std::vector<BYTE> MruListExBytes() {
    std::vector<BYTE> data;
    ReadValue(HKEY_CURRENT_USER, kMruKey, L"MRUListEx", &data);
    return data;
}

class RoundTrip : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(InProtectedMode()) << "the stand-in ieframe.dll does not answer";
        char16_t path[kPathChars];
        ASSERT_TRUE(HandOffKeyPath(path, kPathChars));
        handOff_ = W(path);
        AllowRegTool();
        Clean();
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        for (const wchar_t* name : {L"fwreg trip first", L"fwreg trip second"}) {
            folders_.push_back(std::wstring(temp) + name);
            CreateDirectoryW(folders_.back().c_str(), nullptr);
        }
    }
    void TearDown() override {
        if (window_) CloseRegTool(tool_, window_, "after the test");
        tool_.End();
        Clean();
        for (const auto& folder : folders_) RemoveDirectoryW(folder.c_str());
    }
    void Clean() {
        SHDeleteKeyW(HKEY_CURRENT_USER, handOff_.c_str());
        SHDeleteKeyW(HKEY_CURRENT_USER, kMruKey);
        SHDeleteValueW(HKEY_CURRENT_USER, kIeUserKey, kDownloadDirectory);
    }
    void StartRegTool() {
        ASSERT_TRUE(tool_.Start(L"", kRegToolExe));
        window_ = tool_.WaitWindow(15000);
        ASSERT_NE(window_, nullptr) << "FwReg.exe did not come up";
    }
    std::string Seed(const std::wstring& folder) {
        TrustFolder(folder);
        EXPECT_EQ(SeedSaveFolder(U(folder.c_str())), 0);
        return Narrow(folder);
    }

    std::wstring handOff_;
    std::vector<std::wstring> folders_;
    RegToolProcess tool_;
    HWND window_ = nullptr;
    ValueSnapshot version_{HKEY_LOCAL_MACHINE, kIeMachineKey, L"Version"};
    ValueSnapshot consent_{HKEY_LOCAL_MACHINE, W(kPolicySystemKey), W(kConsentPromptValue)};
    ValueSnapshot downloadDirectory_{HKEY_CURRENT_USER, kIeUserKey, kDownloadDirectory};
    ValueSnapshot defaultFolder_{HKEY_CURRENT_USER, L"Software\\Fwise", L"DefaultFolder"};
};

TEST_F(RoundTrip, TheFolderIsAppliedBeforeTheHandlerGoesOn) {
    StartRegTool();
    // Version 11: the iexplore.exe slot, there as soon as the seeding returns.
    PutString(HKEY_LOCAL_MACHINE, kIeMachineKey, L"Version", L"9.11.9600.18376");
    std::string first = Seed(folders_[0]);
    EXPECT_STRCASEEQ(SlotFolder(L"0").c_str(), first.c_str());
    EXPECT_EQ(MruListExBytes(), (std::vector<BYTE>{0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, handOff_.c_str())) << "hand-off key left after version 11";
    EXPECT_EQ(DownloadDirectory(), "<none>");

    // Version 8: "Download Directory".
    PutString(HKEY_LOCAL_MACHINE, kIeMachineKey, L"Version", L"8.0.7601.17514");
    std::string second = Seed(folders_[1]);
    EXPECT_EQ(DownloadDirectory(), second);
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, handOff_.c_str())) << "hand-off key left after version 8";
    EXPECT_STRCASEEQ(SlotFolder(L"0").c_str(), first.c_str()) << "the slot changed for version 8";
}

TEST_F(RoundTrip, AFolderLeftWhileNoRegToolRanWaitsForTheNextHandOff) {
    PutString(HKEY_LOCAL_MACHINE, kIeMachineKey, L"Version", L"8.0.7601.17514");
    Seed(folders_[0]);
    ASSERT_TRUE(RegKeyExists(HKEY_CURRENT_USER, handOff_.c_str())) << "nothing left in the hand-off key";
    // Starting does not look into the key.
    StartRegTool();
    SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 5000, nullptr);
    EXPECT_EQ(DownloadDirectory(), "<none>") << "applied at start";
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, handOff_.c_str()));
    // The next hand-off overwrites the waiting folder; the later one wins.
    std::string second = Seed(folders_[1]);
    EXPECT_EQ(DownloadDirectory(), second);
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, handOff_.c_str()));
}

}  // namespace
}  // namespace fw::test
