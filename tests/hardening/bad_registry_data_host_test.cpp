// The bad-data rows that reach the whole download: the stand-in browser
// (iexplore.exe) with the registered Fwise64.dll, over a settings store with
// one value written wrong, and over a wrong "DownloadUI". Every run ends in
// bounded time; the Save dialog opens where the readers' choices put it.
#include "server_util.h"
#include "store_util.h"
#include <gtest/gtest.h>

namespace fw::test {
namespace {

const std::wstring kDir = L"C:\\Program Files\\BadDataTest";
const wchar_t* const kIeKey = L"SOFTWARE\\Microsoft\\Internet Explorer";
const char* const kExeFolder = "C:\\BadData\\Exe";
const char* const kDefFolder = "C:\\BadData\\Def";

std::vector<BYTE> Bytes(const std::wstring& text, bool terminated = true) {
    std::vector<BYTE> out(reinterpret_cast<const BYTE*>(text.c_str()),
                          reinterpret_cast<const BYTE*>(text.c_str() + text.size()));
    if (terminated) out.insert(out.end(), {0, 0});
    return out;
}

struct HostRun {
    int rc;
    std::string folder;  // save-folder
    double seconds;      // the whole process
    std::string out;
};

HostRun Download() {
    HostRun r{};
    DWORD t0 = GetTickCount();
    r.rc = RunProgram(L"\"" + ExeDir() + L"\\iexplore.exe\" /fresh http://example.com/files/a.exe", &r.out);
    r.seconds = (GetTickCount() - t0) / 1000.0;
    size_t at = r.out.find("save-folder\t");
    if (at != std::string::npos) {
        size_t end = r.out.find_first_of("\r\n", at);
        r.folder = r.out.substr(at + 12, end == std::string::npos ? std::string::npos : end - at - 12);
    }
    return r;
}

class HostBadData : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(InstallInto(kDir, {L"Fwise64.dll"}));
        ASSERT_EQ(Regsvr32(L"/s \"" + kDir + L"\\Fwise64.dll\""), 0);
        for (const wchar_t* f : {L"C:\\BadData", L"C:\\BadData\\Exe", L"C:\\BadData\\Def"})
            CreateDirectoryW(f, nullptr);
    }
    static void TearDownTestSuite() { Regsvr32(L"/s /u \"" + kDir + L"\\Fwise64.dll\""); }
    void SetUp() override { PutText(HKEY_LOCAL_MACHINE, kIeKey, L"Version", L"9.11.9600.18376"); }
    void TearDown() override { DeleteSettings(); }
    static void GoodStore() {
        DeleteSettings();
        WriteRules({{kNameRule, u"zzz", u"C:\\BadData\\Z"}, {kExtensionRule, u".exe", u"C:\\BadData\\Exe"}});
        WriteSettingDword(kUseDefault, 1);
        WriteSettingString(kDefaultFolder, u"C:\\BadData\\Def");
    }
};

TEST_F(HostBadData, SettingsStore) {
    std::vector<BYTE> huge(70000, 0x41);
    std::vector<BYTE> num = {0xFF, 0xFF, 0xFF, 0x7F};
    struct {
        const char* label;
        const wchar_t* name;
        DWORD type;
        std::vector<BYTE> data;
        const char* folder;
    } rows[] = {
        {"no value changed", L"Num", REG_DWORD, {2, 0, 0, 0}, kExeFolder},
        {"Num 0x7FFFFFFF: the walk stops after the gap", L"Num", REG_DWORD, num, kExeFolder},
        {"Num as REG_SZ: no rules", L"Num", REG_SZ, Bytes(L"2"), kDefFolder},
        {"Num of 3 bytes: no rules", L"Num", REG_DWORD, {2, 0, 0}, kDefFolder},
        {"rule of 70000 bytes, unterminated: skipped", L"0001Rule", REG_SZ, huge, kDefFolder},
        {"rule as REG_BINARY: skipped", L"0001Rule", REG_BINARY, Bytes(L".exe"), kDefFolder},
        {"rule .pdf: nothing matches, the default folder", L"0001Rule", REG_SZ, Bytes(L".pdf"), kDefFolder},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        GoodStore();
        PutRaw(U(row.name), row.type, row.data.data(), static_cast<uint32_t>(row.data.size()));
        HostRun r = Download();
        EXPECT_EQ(r.rc, 0) << row.label << "\n" << r.out;
        EXPECT_STRCASEEQ(r.folder.c_str(), row.folder) << row.label << "\n" << r.out;
        EXPECT_LT(r.seconds, 20.0) << row.label;
    }
}

TEST_F(HostBadData, DownloadUi) {
    std::vector<BYTE> saved;
    DWORD savedType = 0, size = 0;
    ASSERT_EQ(SHGetValueW(HKEY_LOCAL_MACHINE, kIeKey, L"DownloadUI", &savedType, nullptr, &size), ERROR_SUCCESS);
    saved.resize(size);
    ASSERT_EQ(SHGetValueW(HKEY_LOCAL_MACHINE, kIeKey, L"DownloadUI", &savedType, saved.data(), &size), ERROR_SUCCESS);
    std::wstring clsid(reinterpret_cast<const wchar_t*>(saved.data()));
    struct {
        const char* label;
        DWORD type;
        std::vector<BYTE> data;
        bool handled;  // the class is created and the download handed to it
    } rows[] = {
        {"as registered", REG_SZ, Bytes(clsid), true},
        {"unterminated: the reader terminates it", REG_SZ, Bytes(clsid, false), true},
        {"REG_DWORD", REG_DWORD, {1, 0, 0, 0}, false},
        {"0 bytes", REG_SZ, {}, false},
        {"not a CLSID", REG_SZ, Bytes(L"{not-a-clsid}"), false},
        {"an unknown CLSID", REG_SZ, Bytes(L"{01234567-89AB-CDEF-0123-456789ABCDEF}"), false},
        {"200 units", REG_SZ, Bytes(std::wstring(200, L'{')), false},
    };
    GoodStore();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        ASSERT_EQ(SHSetValueW(HKEY_LOCAL_MACHINE, kIeKey, L"DownloadUI", row.type, row.data.data(),
                              static_cast<DWORD>(row.data.size())),
                  ERROR_SUCCESS);
        HostRun r = Download();
        EXPECT_EQ(r.rc, row.handled ? 0 : 1) << row.label << "\n" << r.out;
        if (row.handled) {
            EXPECT_STRCASEEQ(r.folder.c_str(), kExeFolder) << row.label << "\n" << r.out;
        }
        EXPECT_LT(r.seconds, 20.0) << row.label;
    }
    SHSetValueW(HKEY_LOCAL_MACHINE, kIeKey, L"DownloadUI", savedType, saved.data(), static_cast<DWORD>(saved.size()));
}

}  // namespace
}  // namespace fw::test
