// One table of wrong registry data for every value the system reads: the
// settings store (the handler's rule matching and the settings program's
// load), "Version", the LastVisitedPidlMRU slots and "MRUListEx" (the seeding
// outside protected mode and through a real FwReg.exe), "DownloadFolder" and
// ConsentPromptBehaviorAdmin (the RegTool). Wrong types, zero and odd lengths,
// over-long and unterminated data: nothing crashes, every wait is bounded, and
// each row gets the result the readers' noted choices give.
#include "fake_option_dlg.h"
#include "regtool_test_win.h"
#include "rule_matching.h"
#include "settings_store.h"
#include "store_util.h"

namespace fw::test {
namespace {

constexpr DWORD kStartMs = 15000;
const wchar_t* const kIe11 = L"9.11.9600.18376";

std::vector<BYTE> Text(const std::wstring& text, bool terminated = true) {
    std::vector<BYTE> out(reinterpret_cast<const BYTE*>(text.c_str()),
                          reinterpret_cast<const BYTE*>(text.c_str() + text.size()));
    if (terminated) out.insert(out.end(), {0, 0});
    return out;
}

std::vector<BYTE> Dwords(std::initializer_list<DWORD> list) {
    std::vector<BYTE> out(list.size() * 4);
    std::memcpy(out.data(), list.begin(), out.size());
    return out;
}

std::vector<BYTE> Odd(std::vector<BYTE> bytes) {  // one stray byte at the end
    bytes.push_back(0x41);
    return bytes;
}

// ---- the settings store: the handler and the settings program read it ----

struct StoreRow {
    const char* label;
    const wchar_t* name;  // the value written wrong over a good store of two rules
    DWORD type;
    std::vector<BYTE> data;
    const char* handlerFolder;     // what FindRuleFolder gives for ".../a.exe" ("": the rule's folder unreadable)
    std::vector<std::string> load;  // the settings program's rows: rule texts
};

TEST(BadRegistryData, SettingsStore) {
    std::wstring r600(600, L'r');
    std::vector<BYTE> huge(70000, 0x41);
    const StoreRow rows[] = {
        {"no value changed", L"Num", REG_DWORD, Dwords({2}), "C:\\exe", {"zzz", ".exe"}},
        {"Num as REG_SZ", L"Num", REG_SZ, Text(L"2"), "C:\\def", {}},
        {"Num of 0 bytes", L"Num", REG_DWORD, {}, "C:\\def", {}},
        {"Num of 3 bytes", L"Num", REG_DWORD, {2, 0, 0}, "C:\\def", {}},
        {"Num of 8 bytes", L"Num", REG_QWORD, {2, 0, 0, 0, 0, 0, 0, 0}, "C:\\def", {}},
        {"Num huge", L"Num", REG_DWORD, Dwords({0x7FFFFFFF}), "C:\\exe", {"zzz", ".exe"}},
        {"Num negative", L"Num", REG_DWORD, Dwords({0x80000000}), "C:\\def", {}},
        {"rule as REG_BINARY", L"0001Rule", REG_BINARY, Text(L".exe"), "C:\\def", {"zzz", "ERR"}},
        {"rule unterminated", L"0001Rule", REG_SZ, Text(L".exe", false), "C:\\def", {"zzz", "ERR"}},
        {"rule of odd length, terminated inside", L"0001Rule", REG_SZ, Odd(Text(L".exe")), "C:\\exe", {"zzz", ".exe"}},
        {"rule of 0 bytes: an empty text", L"0001Rule", REG_SZ, {}, "C:\\def", {"zzz", ""}},
        {"rule over-long", L"0001Rule", REG_SZ, Text(r600), "C:\\def", {"zzz", "ERR"}},
        {"rule 70000 bytes unterminated", L"0001Rule", REG_SZ, huge, "C:\\def", {"zzz", "ERR"}},
        {"rule as REG_EXPAND_SZ", L"0001Rule", REG_EXPAND_SZ, Text(L".exe"), "C:\\exe", {"zzz", ".exe"}},
        {"type as REG_SZ: a name rule, which matches too", L"0001Type", REG_SZ, Text(L"1"), "C:\\exe", {"zzz", ".exe"}},
        {"type 7: matches nothing", L"0001Type", REG_DWORD, Dwords({7}), "C:\\def", {"zzz", ".exe"}},
        {"folder unterminated", L"0001Folder", REG_SZ, Text(L"C:\\f", false), "", {"zzz", ".exe"}},
        {"folder over-long", L"0001Folder", REG_SZ, Text(std::wstring(400, L'f')), "", {"zzz", ".exe"}},
        {"UseDefault as REG_SZ", L"UseDefault", REG_SZ, Text(L"1"), "C:\\exe", {"zzz", ".exe"}},
        {"DefaultFolder as REG_BINARY", L"DefaultFolder", REG_BINARY, Text(L"C:\\def"), "C:\\exe", {"zzz", ".exe"}},
        {"GUIFontFace over-long", L"GUIFontFace", REG_SZ, Text(r600), "C:\\exe", {"zzz", ".exe"}},
        {"GUICharSet of 2 bytes", L"GUICharSet", REG_DWORD, {1, 0}, "C:\\exe", {"zzz", ".exe"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        DeleteSettings();
        WriteRules({{kNameRule, u"zzz", u"C:\\z"}, {kExtensionRule, u".exe", u"C:\\exe"}});
        WriteSettingDword(kUseDefault, 1);
        WriteSettingString(kDefaultFolder, u"C:\\def");
        // Followed by a unit that is not 0: RegSetValueExW would store a 0
        // found there as the terminator of an unterminated text.
        std::vector<BYTE> padded = row.data;
        padded.insert(padded.end(), {0x41, 0x41});
        PutRaw(U(row.name), row.type, padded.data(), static_cast<uint32_t>(row.data.size()));

        char16_t folder[kFolderChars] = {};
        DWORD start = GetTickCount();
        int32_t rc = FindRuleFolder(u"http://h/a.exe", u"http://h/a.exe", folder);
        EXPECT_LT(GetTickCount() - start, 10000u) << row.label << ": FindRuleFolder took too long";
        EXPECT_EQ(rc, 0) << row.label;
        EXPECT_EQ(Utf8(folder), row.handlerFolder) << row.label;

        FakeOptionDlg dlg;
        start = GetTickCount();
        dlg.LoadSettings();
        EXPECT_LT(GetTickCount() - start, 10000u) << row.label << ": the load took too long";
        std::vector<std::string> got;
        for (const auto& r : dlg.rows) got.push_back(Utf8(r.rule));
        EXPECT_EQ(got, row.load) << row.label;
        EXPECT_FALSE(dlg.Changed()) << row.label;
    }
    DeleteSettings();
}

// ---- the Save dialog's places: the seeding and the RegTool read them ----

const wchar_t* const kVersionKey = kIeMachineKey;

struct PlaceRow {
    const char* label;
    const wchar_t* key;  // HKLM for "Version", else HKCU
    const wchar_t* name;
    DWORD type;
    std::vector<BYTE> data;
    bool mru;            // the folder lands in an iexplore.exe slot (else "Download Directory")
    const wchar_t* slot;  // that slot
    std::vector<DWORD> list;  // "MRUListEx" afterwards (with a slot); empty: none written
};

// A whole "MRUListEx": a whole number of entries ending in 0xFFFFFFFF.
std::string ListProblem() {
    std::vector<BYTE> data;
    if (!ReadValue(HKEY_CURRENT_USER, kMruKey, L"MRUListEx", &data)) return "missing";
    if (data.size() < 4 || data.size() % 4) return std::to_string(data.size()) + " bytes";
    DWORD last = 0;
    std::memcpy(&last, data.data() + data.size() - 4, 4);
    return last == 0xFFFFFFFFu ? "" : "does not end in 0xFFFFFFFF";
}

std::vector<DWORD> List() {
    std::vector<BYTE> data;
    ReadValue(HKEY_CURRENT_USER, kMruKey, L"MRUListEx", &data);
    std::vector<DWORD> out(data.size() / 4);
    std::memcpy(out.data(), data.data(), out.size() * 4);
    return out;
}

std::vector<BYTE> IeRecordWithTail(size_t total) {
    std::vector<BYTE> out = Text(L"iexplore.exe");
    out.resize(total, 0x11);
    return out;
}

class Places : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::wstring(temp) + L"fw bad data";
        CreateDirectoryW(folder_.c_str(), nullptr);
        char16_t path[kPathChars];
        ASSERT_TRUE(HandOffKeyPath(path, kPathChars));
        handOff_ = W(path);
        AllowRegTool();
        TrustFolder(folder_);
    }
    void TearDown() override {
        Clean();
        SHDeleteValueW(HKEY_CURRENT_USER, L"Software\\Fwise", L"DefaultFolder");
        RemoveDirectoryW(folder_.c_str());
    }
    void Clean() {
        SHDeleteKeyW(HKEY_CURRENT_USER, kMruKey);
        SHDeleteKeyW(HKEY_CURRENT_USER, handOff_.c_str());
        SHDeleteValueW(HKEY_CURRENT_USER, kIeUserKey, kDownloadDirectory);
    }
    void Prepare(const PlaceRow& row) {
        Clean();
        PutString(HKEY_LOCAL_MACHINE, kVersionKey, L"Version", kIe11);
        HKEY root = row.key == kVersionKey ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
        PutValue(root, row.key, row.name, row.type, row.data.data(), static_cast<DWORD>(row.data.size()));
    }
    void Check(const PlaceRow& row, const char* how) {
        std::string folder = Narrow(folder_);
        if (!row.mru) {
            EXPECT_STRCASEEQ(DownloadDirectory().c_str(), folder.c_str()) << row.label << how;
            return;
        }
        std::vector<BYTE> record;
        ASSERT_TRUE(ReadValue(HKEY_CURRENT_USER, kMruKey, row.slot, &record)) << row.label << how << ": no slot";
        EXPECT_STRCASEEQ(RecordFolder(record).c_str(), folder.c_str()) << row.label << how;
        if (!row.list.empty()) {
            EXPECT_EQ(ListProblem(), "") << row.label << how;
        }
        EXPECT_EQ(List(), row.list) << row.label << how;
        EXPECT_EQ(DownloadDirectory(), "<none>") << row.label << how;
    }
    std::wstring folder_, handOff_;
};

TEST_F(Places, VersionSlotsAndMruListEx) {
    const wchar_t* mru = kMruKey;
    std::vector<BYTE> longList(4000, 0x22);  // 1000 entries of 0x22222222, no end mark
    const PlaceRow rows[] = {
        {"Version as REG_DWORD: 2 units, no '.'", kVersionKey, L"Version", REG_DWORD, Dwords({11}), false, nullptr, {}},
        {"Version of 0 bytes", kVersionKey, L"Version", REG_SZ, {}, false, nullptr, {}},
        {"Version over-long (600 units)", kVersionKey, L"Version", REG_SZ, Text(L"11." + std::wstring(600, L'1')),
         false, nullptr, {}},
        {"Version unterminated: read as far as it goes", kVersionKey, L"Version", REG_SZ, Text(L"11.0", false), true,
         L"0", {0, 0xFFFFFFFF}},
        {"Version of odd length", kVersionKey, L"Version", REG_SZ, Odd(Text(L"11.0")), true, L"0", {0, 0xFFFFFFFF}},
        {"Version as REG_BINARY text: the type is not looked at", kVersionKey, L"Version", REG_BINARY,
         Text(L"8.0"), false, nullptr, {}},
        {"slot 0 a REG_DWORD, no list: a fresh list, slot 0", mru, L"0", REG_DWORD, Dwords({5}), true, L"0", {0, 0xFFFFFFFF}},
        {"slot 0 of 0 bytes, no list: a fresh list, slot 0", mru, L"0", REG_BINARY, {}, true, L"0", {0, 0xFFFFFFFF}},
        {"slot 0 iexplore.exe of odd length: rewritten", mru, L"0", REG_BINARY, IeRecordWithTail(31), true, L"0",
         {}},
        {"slot 0 cut in its name, no list: a fresh list, slot 0", mru, L"0", REG_BINARY, Text(L"iexplore", false), true,
         L"0", {0, 0xFFFFFFFF}},
        {"slot 0 iexplore.exe of 70000 bytes: rewritten", mru, L"0", REG_BINARY, IeRecordWithTail(70000), true, L"0",
         {}},
        {"MRUListEx of 0 bytes", mru, L"MRUListEx", REG_BINARY, {}, true, L"0", {0, 0xFFFFFFFF}},
        {"MRUListEx of 7 bytes", mru, L"MRUListEx", REG_BINARY, {1, 0, 0, 0, 0xFF, 0xFF, 0xFF}, true, L"0",
         {0, 0xFFFFFFFF}},
        {"MRUListEx of 9 bytes: the partial entry dropped", mru, L"MRUListEx", REG_BINARY,
         Odd(Dwords({3, 0xFFFFFFFF})), true, L"0", {0, 3, 0xFFFFFFFF}},
        {"MRUListEx as REG_SZ: bytes as they are", mru, L"MRUListEx", REG_SZ, Dwords({3, 0xFFFFFFFF}), true, L"0",
         {0, 3, 0xFFFFFFFF}},
    };
    RegToolProcess tool;
    ASSERT_TRUE(tool.Start());
    HWND window = tool.WaitWindow(kStartMs);
    ASSERT_NE(window, nullptr) << "FwReg.exe did not come up";
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        // The handler outside protected mode.
        Prepare(row);
        ApplySaveFolder(U(folder_.c_str()));
        Check(row, " (handler)");

        // The same through the RegTool.
        Prepare(row);
        PutString(HKEY_CURRENT_USER, handOff_.c_str(), W(kHandOffValue), folder_);
        DWORD_PTR answer = 0;
        ASSERT_NE(SendMessageTimeoutW(window, WM_APPLY_FOLDER, 0, 0, SMTO_NORMAL, 10000, &answer), 0)
            << row.label << ": the RegTool did not answer";
        Check(row, " (RegTool)");
        EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, handOff_.c_str())) << row.label << ": hand-off key left";
    }
    // The long list without an end mark: taken as it is, the new slot in front.
    Prepare({"", mru, L"MRUListEx", REG_BINARY, longList, false, nullptr, {}});
    ApplySaveFolder(U(folder_.c_str()));
    std::vector<DWORD> list = List();
    ASSERT_EQ(list.size(), 1001u);
    EXPECT_EQ(list[0], 0u);
    CloseRegTool(tool, window, "after the table");
}

// ---- the RegTool's own reads: the hand-off text and the consent policy ----

TEST_F(Places, HandOffFolderText) {
    struct {
        const char* label;
        DWORD type;
        std::vector<BYTE> data;
        bool applied;
    } rows[] = {
        {"REG_SZ", REG_SZ, {}, true},  // the folder itself, filled in below
        {"0 bytes", REG_SZ, {}, false},
        {"odd length, terminated inside", REG_SZ, {}, true},
        {"REG_EXPAND_SZ", REG_EXPAND_SZ, {}, true},
        {"REG_MULTI_SZ", REG_MULTI_SZ, {}, false},
        {"70000 bytes, no terminator", REG_SZ, std::vector<BYTE>(70000, 0x41), false},
    };
    rows[0].data = Text(folder_);
    rows[2].data = Odd(Text(folder_));
    rows[3].data = Text(folder_);
    rows[4].data = Text(folder_);
    rows[4].data.insert(rows[4].data.end(), {0, 0});
    RegToolProcess tool;
    ASSERT_TRUE(tool.Start());
    HWND window = tool.WaitWindow(kStartMs);
    ASSERT_NE(window, nullptr);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        Clean();
        PutString(HKEY_LOCAL_MACHINE, kVersionKey, L"Version", L"8.0.7601.17514");
        PutValue(HKEY_CURRENT_USER, handOff_.c_str(), W(kHandOffValue), row.type, row.data.data(),
                 static_cast<DWORD>(row.data.size()));
        DWORD_PTR answer = 0;
        ASSERT_NE(SendMessageTimeoutW(window, WM_APPLY_FOLDER, 0, 0, SMTO_NORMAL, 10000, &answer), 0) << row.label;
        std::string expected = row.applied ? Narrow(folder_) : "<none>";
        EXPECT_STRCASEEQ(DownloadDirectory().c_str(), expected.c_str()) << row.label;
        EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, handOff_.c_str())) << row.label << ": hand-off key left";
    }
    CloseRegTool(tool, window, "after the table");
}

TEST(BadRegistryData, ConsentPromptPolicy) {
    ValueSnapshot consent{HKEY_LOCAL_MACHINE, W(kPolicySystemKey), W(kConsentPromptValue)};
    struct {
        const char* label;
        DWORD type;
        std::vector<BYTE> data;
        bool runs;
    } rows[] = {
        {"0 bytes", REG_DWORD, {}, false},
        {"3 bytes, one set", REG_BINARY, {0, 0, 1}, true},
        {"3 bytes, all 0", REG_BINARY, {0, 0, 0}, false},
        {"REG_SZ \"1\" (4 bytes): its bytes are not 0", REG_SZ, Text(L"1"), true},
        {"REG_SZ of 600 units: too wide", REG_SZ, Text(std::wstring(600, L'1')), false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        PutValue(HKEY_LOCAL_MACHINE, W(kPolicySystemKey), W(kConsentPromptValue), row.type, row.data.data(),
                 static_cast<DWORD>(row.data.size()));
        RegToolProcess tool;
        ASSERT_TRUE(tool.Start());
        if (row.runs) {
            HWND window = tool.WaitWindow(kStartMs);
            ASSERT_NE(window, nullptr) << row.label << ": the RegTool did not run";
            CloseRegTool(tool, window, row.label);
        } else {
            EXPECT_NE(tool.WaitExit(kStartMs), static_cast<DWORD>(STILL_ACTIVE)) << row.label << ": still running";
        }
    }
}

}  // namespace
}  // namespace fw::test
