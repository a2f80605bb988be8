// Hand-offs to a running FwReg.exe under Wine: the test writes the hand-off
// key as a protected-mode handler would, sends WM_APPLY_FOLDER and looks at
// the places the Save dialog reads. The "failed" box comes from a test build
// of the RegTool whose write fails for one value name.
#include "regtool_test_win.h"
#include <sddl.h>
#include <atomic>
#include <thread>

namespace fw::test {
namespace {

const wchar_t* const kIe11 = L"9.11.9600.18376";
const wchar_t* const kIe8 = L"8.0.7601.17514";
constexpr DWORD kStartMs = 15000;

// The hand-off key, worked out here from the process token rather than with
// the product's own code.
std::wstring HandOffPath() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return L"";
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    std::wstring path;
    wchar_t* sid = nullptr;
    if (GetTokenInformation(token, TokenUser, user.data(), size, &size) &&
        ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &sid)) {
        path = std::wstring(L"Software\\Microsoft\\Internet Explorer\\InternetRegistry\\REGISTRY\\USER\\") + sid +
               L"\\Software\\Fwise";
        LocalFree(sid);
    }
    CloseHandle(token);
    return path;
}

std::vector<BYTE> TextBytes(const std::wstring& text, bool terminated) {
    std::vector<BYTE> out(reinterpret_cast<const BYTE*>(text.c_str()),
                          reinterpret_cast<const BYTE*>(text.c_str() + text.size()));
    if (terminated) out.insert(out.end(), {0, 0});
    return out;
}

std::vector<DWORD> MruListEx() {
    std::vector<BYTE> data;
    if (!ReadValue(HKEY_CURRENT_USER, kMruKey, L"MRUListEx", &data)) return {};
    std::vector<DWORD> list(data.size() / 4);
    std::memcpy(list.data(), data.data(), list.size() * 4);
    return list;
}

struct BoxSearch {
    DWORD pid;
    HWND box;
};

BOOL CALLBACK MatchBox(HWND hwnd, LPARAM param) {
    auto* s = reinterpret_cast<BoxSearch*>(param);
    wchar_t cls[16] = {};
    DWORD owner = 0;
    GetClassNameW(hwnd, cls, 16);
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner == s->pid && lstrcmpW(cls, L"#32770") == 0 && IsWindowVisible(hwnd)) {
        s->box = hwnd;
        return FALSE;
    }
    return TRUE;
}

// A message box of the given process, if one is up.
HWND FindBoxOf(DWORD pid) {
    BoxSearch search{pid, nullptr};
    EnumWindows(MatchBox, reinterpret_cast<LPARAM>(&search));
    return search.box;
}

// WM_APPLY_FOLDER sent from a thread of its own, so that the test can look
// at a message box while the sender is held. If the send is still blocked
// when this goes, the RegTool is ended: a test never hangs on a modal box.
class AsyncSend {
public:
    AsyncSend(RegToolProcess& tool, HWND window) : tool_(tool) {
        thread_ = std::thread([this, window] {
            result_ = SendMessageW(window, WM_APPLY_FOLDER, 0, 0);
            done_ = true;
        });
    }
    ~AsyncSend() {
        if (!Wait(5000)) tool_.End();
        thread_.join();
    }
    AsyncSend(const AsyncSend&) = delete;
    AsyncSend& operator=(const AsyncSend&) = delete;
    bool Wait(DWORD ms) {
        for (DWORD waited = 0; !done_ && waited < ms; waited += 10) Sleep(10);
        return done_;
    }
    bool Done() const { return done_; }
    LRESULT Result() const { return result_; }

private:
    RegToolProcess& tool_;
    std::thread thread_;
    std::atomic<bool> done_{false};
    std::atomic<LRESULT> result_{-1};
};

class HandOffTest : public ::testing::Test {
protected:
    void SetUp() override {
        handOff_ = HandOffPath();
        ASSERT_FALSE(handOff_.empty());
        AllowRegTool();
        SHDeleteKeyW(HKEY_CURRENT_USER, handOff_.c_str());
        SHDeleteKeyW(HKEY_CURRENT_USER, kMruKey);
        SHDeleteValueW(HKEY_CURRENT_USER, kIeUserKey, kDownloadDirectory);
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"fwreg handoff " + std::to_wstring(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    }
    void TearDown() override {
        if (window_) CloseRegTool(tool_, window_, "after the test");
        tool_.End();
        SHDeleteKeyW(HKEY_CURRENT_USER, handOff_.c_str());
        SHDeleteKeyW(HKEY_CURRENT_USER, kMruKey);
        RemoveDirectoryW(folder_.c_str());
    }

    void StartRegTool(const wchar_t* exe = L"FwReg.exe", const wchar_t* failWrite = nullptr) {
        SetEnvironmentVariableW(L"FWREG_FAIL_WRITE", failWrite);
        bool started = tool_.Start(L"", exe);
        SetEnvironmentVariableW(L"FWREG_FAIL_WRITE", nullptr);
        ASSERT_TRUE(started);
        window_ = tool_.WaitWindow(kStartMs);
        ASSERT_NE(window_, nullptr) << "no RegTool window";
    }

    void SetVersion(const wchar_t* version) {
        if (version) PutString(HKEY_LOCAL_MACHINE, kIeMachineKey, L"Version", version);
        else SHDeleteValueW(HKEY_LOCAL_MACHINE, kIeMachineKey, L"Version");
    }

    void HandOff(DWORD type, const std::vector<BYTE>& data) {
        // Whatever text the bytes hold is the user's own folder.
        std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
        TrustFolder(text.substr(0, text.find(L'\0')));
        PutValue(HKEY_CURRENT_USER, handOff_.c_str(), L"DownloadFolder", type, data.data(),
                 static_cast<DWORD>(data.size()));
    }
    void HandOff(const std::wstring& folder) { HandOff(REG_SZ, TextBytes(folder, true)); }

    // Sends the message the way the handler does; false when it did not come
    // back (a modal box would hold it).
    bool Apply() {
        DWORD_PTR result = 7;
        if (!SendMessageTimeoutW(window_, WM_APPLY_FOLDER, 0, 0, SMTO_NORMAL, 10000, &result)) return false;
        EXPECT_EQ(result, 0u) << "WM_APPLY_FOLDER result";
        return true;
    }

    bool HandOffKeyThere() const { return RegKeyExists(HKEY_CURRENT_USER, handOff_.c_str()); }

    std::wstring handOff_, folder_;
    RegToolProcess tool_;
    HWND window_ = nullptr;
    ValueSnapshot version_{HKEY_LOCAL_MACHINE, kIeMachineKey, L"Version"};
    ValueSnapshot consent_{HKEY_LOCAL_MACHINE, W(kPolicySystemKey), W(kConsentPromptValue)};
    ValueSnapshot downloadDirectory_{HKEY_CURRENT_USER, kIeUserKey, kDownloadDirectory};
    ValueSnapshot defaultFolder_{HKEY_CURRENT_USER, L"Software\\Fwise", L"DefaultFolder"};
};

TEST_F(HandOffTest, Version9AndLaterGetTheIexploreSlotAndEverythingUnderTheKeyGoes) {
    SetVersion(kIe11);
    // Another program's slot 0 comes first; the RegTool takes slot 1 and puts it in front.
    std::vector<BYTE> notepad = TextBytes(L"notepad.exe", true);
    notepad.insert(notepad.end(), {0, 0});
    PutValue(HKEY_CURRENT_USER, kMruKey, L"0", REG_BINARY, notepad.data(), static_cast<DWORD>(notepad.size()));
    const DWORD list[] = {0, 0xFFFFFFFF};
    PutValue(HKEY_CURRENT_USER, kMruKey, L"MRUListEx", REG_BINARY, list, sizeof list);
    HandOff(folder_);
    PutString(HKEY_CURRENT_USER, handOff_.c_str(), L"Extra", L"x");
    PutDword(HKEY_CURRENT_USER, (handOff_ + L"\\Sub\\Deeper").c_str(), L"Inner", 1);
    StartRegTool();

    ASSERT_TRUE(Apply()) << "the send did not return";
    std::vector<BYTE> slot;
    DWORD type = 0;
    ASSERT_TRUE(ReadValue(HKEY_CURRENT_USER, kMruKey, L"1", &slot, &type)) << "slot 1 not written";
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_STRCASEEQ(RecordFolder(slot).c_str(), Narrow(folder_).c_str());
    EXPECT_EQ(MruListEx(), (std::vector<DWORD>{1, 0, 0xFFFFFFFF}));
    std::vector<BYTE> slot0;
    ASSERT_TRUE(ReadValue(HKEY_CURRENT_USER, kMruKey, L"0", &slot0));
    EXPECT_EQ(slot0, notepad) << "the other program's slot changed";
    EXPECT_EQ(DownloadDirectory(), "<none>");
    EXPECT_FALSE(HandOffKeyThere());
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, (handOff_ + L"\\Sub").c_str()));
    // Only the hand-off key goes, not its parents.
    std::wstring parent = handOff_.substr(0, handOff_.rfind(L'\\'));
    EXPECT_TRUE(RegKeyExists(HKEY_CURRENT_USER, parent.c_str())) << Narrow(parent);
    EXPECT_FALSE(IsWindowVisible(window_));
}

struct PlaceRow {
    const char* label;
    const wchar_t* version;  // null: no "Version" value
    DWORD type;              // REG_NONE: no hand-off key at all
    std::vector<BYTE> data;
    const char* downloadDirectory;  // what "Download Directory" holds afterwards
};

TEST_F(HandOffTest, DownloadDirectoryOnlyForAWholeFolderText) {
    const std::wstring longest = L"C:\\" + std::wstring(256, L'a');  // 259 characters
    const std::wstring tooLong = longest + L"b";
    const std::string longestNarrow = Narrow(longest);
    const PlaceRow rows[] = {
        {"Version 8", kIe8, REG_SZ, TextBytes(L"C:\\Downloads\\Music", true), "C:\\Downloads\\Music"},
        {"no Version value", nullptr, REG_SZ, TextBytes(L"C:\\Downloads\\Music", true), "C:\\Downloads\\Music"},
        {"no hand-off key", kIe8, REG_NONE, {}, "<none>"},
        {"empty DownloadFolder", kIe8, REG_SZ, TextBytes(L"", true), "<none>"},
        {"259 characters: the longest folder", kIe8, REG_SZ, TextBytes(longest, true), longestNarrow.c_str()},
        {"260 characters: taken as missing", kIe8, REG_SZ, TextBytes(tooLong, true), "<none>"},
        {"520 bytes without terminator: taken as missing", kIe8, REG_SZ, TextBytes(tooLong, false), "<none>"},
        {"REG_BINARY: taken as missing", kIe8, REG_BINARY, TextBytes(L"C:\\Music", true), "<none>"},
        {"REG_DWORD: taken as missing", kIe8, REG_DWORD, {1, 0, 0, 0}, "<none>"},
    };
    StartRegTool();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        SetVersion(row.version);
        SHDeleteValueW(HKEY_CURRENT_USER, kIeUserKey, kDownloadDirectory);
        if (row.type != REG_NONE) HandOff(row.type, row.data);
        ASSERT_TRUE(Apply()) << row.label << ": the send did not return";
        EXPECT_EQ(DownloadDirectory(), row.downloadDirectory) << row.label;
        EXPECT_FALSE(HandOffKeyThere()) << row.label << ": the hand-off key is still there";
        EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kMruKey)) << row.label << ": LastVisitedPidlMRU written";
    }
}

// The hand-off key can be written at low integrity: a folder the user's
// settings do not name is taken out of the key and not applied.
TEST_F(HandOffTest, AFolderTheSettingsDoNotNameIsDroppedUnapplied) {
    SetVersion(kIe8);
    StartRegTool();
    const wchar_t* const others[] = {L"\\\\attacker\\share", L"C:\\Users\\Startup"};
    for (const wchar_t* other : others) {
        SCOPED_TRACE(Narrow(other));
        TrustFolder(folder_);
        PutString(HKEY_CURRENT_USER, handOff_.c_str(), L"DownloadFolder", other);
        ASSERT_TRUE(Apply());
        EXPECT_EQ(DownloadDirectory(), "<none>");
        EXPECT_FALSE(HandOffKeyThere());
    }
    // The settings' own rule folders count as the default folder does.
    SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Fwise");
    PutDword(HKEY_CURRENT_USER, L"Software\\Fwise", L"Num", 1);
    PutString(HKEY_CURRENT_USER, L"Software\\Fwise", L"0000Folder", folder_);
    PutString(HKEY_CURRENT_USER, handOff_.c_str(), L"DownloadFolder", folder_);
    ASSERT_TRUE(Apply());
    EXPECT_STRCASEEQ(DownloadDirectory().c_str(), Narrow(folder_).c_str());
}

TEST_F(HandOffTest, SecondMessageForOneHandOffDoesNothing) {
    SetVersion(kIe8);
    HandOff(folder_);
    StartRegTool();
    ASSERT_TRUE(Apply());
    EXPECT_EQ(DownloadDirectory(), Narrow(folder_));
    PutString(HKEY_CURRENT_USER, kIeUserKey, kDownloadDirectory, L"C:\\Marker");
    ASSERT_TRUE(Apply());
    EXPECT_EQ(DownloadDirectory(), "C:\\Marker") << "the second message applied something";
    EXPECT_FALSE(HandOffKeyThere());
}

TEST_F(HandOffTest, FolderThatDoesNotExistWritesNothingAndShowsNoBox) {
    SetVersion(kIe11);
    HandOff(folder_ + L"\\not there");
    StartRegTool();
    bool returned = Apply();
    HWND box = FindBoxOf(tool_.Pid());
    if (box) PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(returned) << "the send was held";
    EXPECT_EQ(box, nullptr) << "a message box came up";
    EXPECT_FALSE(HandOffKeyThere());
    EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kMruKey)) << "LastVisitedPidlMRU written";
    EXPECT_EQ(DownloadDirectory(), "<none>");
}

TEST_F(HandOffTest, FailedSlotWriteRaisesTheBoxAndHoldsTheSender) {
    SetVersion(kIe11);
    HandOff(folder_);
    StartRegTool(L"fwreg_faults.exe", L"0");  // a fresh list takes slot "0"

    AsyncSend send(tool_, window_);
    HWND box = nullptr;
    for (int i = 0; i < 500 && !box && !send.Done(); ++i, Sleep(20)) box = FindBoxOf(tool_.Pid());
    ASSERT_NE(box, nullptr) << "no message box; the send returned: " << send.Done();

    wchar_t text[64] = {}, caption[64] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 64);  // the box's message text
    GetWindowTextW(box, caption, 64);
    EXPECT_EQ(Narrow(text), "failed");
    EXPECT_EQ(Narrow(caption), "Error") << "the default caption of a box without one";
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr) << "the box has an owner";
    EXPECT_NE(GetDlgItem(box, IDOK), nullptr) << "no OK button";
    for (int id : {IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
        HWND button = GetDlgItem(box, id);
        EXPECT_TRUE(!button || !IsWindowVisible(button)) << "button " << id;
    }
    HWND icon = GetDlgItem(box, 1088);  // the box's icon control
    EXPECT_TRUE(!icon || !IsWindowVisible(icon) || !SendMessageW(icon, STM_GETICON, 0, 0)) << "the box has an icon";
    EXPECT_FALSE(send.Done()) << "the sender was not held while the box is up";

    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(send.Wait(10000)) << "the send did not return after OK";
    EXPECT_EQ(send.Result(), 0);
    EXPECT_FALSE(HandOffKeyThere());
    // The list was written before the slot; only the slot's failure is told.
    EXPECT_EQ(MruListEx(), (std::vector<DWORD>{0, 0xFFFFFFFF}));
    std::vector<BYTE> slot;
    EXPECT_FALSE(ReadValue(HKEY_CURRENT_USER, kMruKey, L"0", &slot));
}

struct SilentFailureRow {
    const char* label;
    const wchar_t* version;
    const wchar_t* failWrite;
};

TEST_F(HandOffTest, OtherFailedWritesAreNotReported) {
    const SilentFailureRow rows[] = {
        {"MRUListEx write fails", kIe11, L"MRUListEx"},
        {"Download Directory write fails", kIe8, L"Download Directory"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        SetVersion(row.version);
        SHDeleteKeyW(HKEY_CURRENT_USER, kMruKey);
        HandOff(folder_);
        StartRegTool(L"fwreg_faults.exe", row.failWrite);
        bool returned = Apply();
        HWND box = FindBoxOf(tool_.Pid());
        if (box) PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(returned) << row.label << ": the send was held";
        EXPECT_EQ(box, nullptr) << row.label << ": a message box came up";
        EXPECT_FALSE(HandOffKeyThere()) << row.label;
        EXPECT_EQ(DownloadDirectory(), "<none>") << row.label;
        if (row.version == kIe11) {
            std::vector<BYTE> slot;
            ASSERT_TRUE(ReadValue(HKEY_CURRENT_USER, kMruKey, L"0", &slot)) << row.label << ": slot 0 not written";
            EXPECT_STRCASEEQ(RecordFolder(slot).c_str(), Narrow(folder_).c_str()) << row.label;
        }
        CloseRegTool(tool_, window_, row.label);
        window_ = nullptr;
    }
}

}  // namespace
}  // namespace fw::test
