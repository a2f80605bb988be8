// Rules files under Wine, with the real registry and Wine's own reg.exe:
// our export read by `reg import`, `reg export` read by our import, and bad
// files that must leave the store exactly as it was. Fwise.exe runs as a
// script would run it; a wait limit stands for "no message box".
#include "fake_option_dlg.h"
#include "fwise_ui.h"
#include "scoped_win.h"
#include "store_util.h"
#include "win.h"
#include <string>
#include <vector>

namespace fw::test {
namespace {

struct RawValue {
    std::wstring name;
    DWORD type;
    std::vector<uint8_t> data;
};

// The settings key's values in the registry's order, data byte for byte.
std::vector<RawValue> RawStore() {
    std::vector<RawValue> out;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, W(kSettingsKey), 0, KEY_READ, &key) != ERROR_SUCCESS) return out;
    for (DWORD i = 0;; ++i) {
        wchar_t name[kValueNameChars];
        DWORD nameLen = kValueNameChars, type = 0, size = 4096;
        std::vector<uint8_t> data(size);
        if (RegEnumValueW(key, i, name, &nameLen, nullptr, &type, data.data(), &size) != ERROR_SUCCESS) break;
        data.resize(size);
        out.push_back({name, type, data});
    }
    RegCloseKey(key);
    return out;
}

void ExpectSameStore(const std::vector<RawValue>& got, const std::vector<RawValue>& want, const std::string& label) {
    ASSERT_EQ(got.size(), want.size()) << label;
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(Narrow(got[i].name), Narrow(want[i].name)) << label << " value " << i;
        EXPECT_EQ(got[i].type, want[i].type) << label << " " << Narrow(want[i].name);
        EXPECT_EQ(got[i].data, want[i].data) << label << " " << Narrow(want[i].name);
    }
}

struct Ran {
    bool finished;
    DWORD code;
    std::string out;
};

// Runs a command line with standard output into a pipe; 60 s at most.
Ran RunProgram(std::wstring cmd) {
    Ran ran{false, 0xFFFFFFFF, {}};
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 1 << 16)) return ran;
    ScopedHandle reader(readEnd), writer(writeEnd);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = writeEnd;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) return ran;
    ScopedHandle process(pi.hProcess), thread(pi.hThread);
    writer.Reset();
    ran.finished = WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0;
    if (!ran.finished) TerminateProcess(pi.hProcess, 1);
    GetExitCodeProcess(pi.hProcess, &ran.code);
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(readEnd, buf, sizeof buf, &got, nullptr) && got > 0) ran.out.append(buf, got);
    return ran;
}

Ran Fwise(const std::wstring& args) { return RunProgram(L"\"" + BinDir() + L"Fwise.exe\" " + args); }

std::wstring TempFile(const wchar_t* name) {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + name;
}

std::vector<uint8_t> ReadBytes(const std::wstring& path) {
    std::vector<uint8_t> out;
    ScopedHandle f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!f) return out;
    out.resize(GetFileSize(f.Get(), nullptr));
    DWORD got = 0;
    if (!out.empty()) ReadFile(f.Get(), out.data(), static_cast<DWORD>(out.size()), &got, nullptr);
    out.resize(got);
    return out;
}

void WriteBytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    ScopedHandle f(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(f) << Narrow(path);
    DWORD put = 0;
    if (!bytes.empty()) WriteFile(f.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
}

// Saves the rows as the settings program does and returns the store.
std::vector<RawValue> SaveRows(const std::vector<FakeRow>& rows) {
    FakeOptionDlg dlg;
    dlg.LoadSettings();
    dlg.useDefault = true;
    dlg.defaultFolder = u"C:\\Users\\\u00E9t\u00E9\\Downloads";
    dlg.Load(rows);
    EXPECT_TRUE(dlg.SaveSettings());
    return RawStore();
}

std::vector<FakeRow> SpecialRows() {
    return {{0, u"a\"b", u"C:\\quote\"d"},
            {1, u".tar.gz", u"C:\\back\\slash\\"},
            {2, u"example.org/?a=b&c=[d]", u"C:\\equals=[x]"},
            {0, u"\u30D5\u30A1\u30A4\u30EB \U0001F600", u"C:\\\u65E5\u672C\u8A9E"},
            {0, Repeat(u'r', 512), Repeat(u'f', 259)},
            {7, u"kept as type 7", u"C:\\seven"}};
}

class RulesExchange : public StoreTest {};

TEST_F(RulesExchange, OurExportThroughWineRegImportGivesTheSameStore) {
    std::vector<FakeRow> rows = SpecialRows();
    rows.push_back({0, u"line\r\nbreak", u"C:\\tab\there"});  // written in hex form
    std::vector<RawValue> saved = SaveRows(rows);
    std::wstring file = TempFile(L"ours.reg");
    Ran ex = Fwise(L"/export \"" + file + L"\"");
    ASSERT_TRUE(ex.finished) << "Fwise.exe /export did not end";
    ASSERT_EQ(ex.code, 0u) << ex.out;
    EXPECT_EQ(ex.out, "Fwise: 7 rules exported to " + Narrow(file) + ".\r\n");
    std::vector<uint8_t> bytes = ReadBytes(file);
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xFE);

    // Something else in the store first: the file's [-key] line removes it.
    DeleteSettings();
    WriteSettingString(u"Stray", u"gone after the import");
    Ran imp = RunProgram(L"reg.exe import \"" + file + L"\"");
    ASSERT_TRUE(imp.finished);
    ASSERT_EQ(imp.code, 0u) << imp.out;
    ExpectSameStore(RawStore(), saved, "after reg import");
}

TEST_F(RulesExchange, WineRegExportReadByOurImportGivesTheSameScreen) {
    std::vector<RawValue> saved = SaveRows(SpecialRows());
    FakeOptionDlg before;
    before.LoadSettings();
    std::wstring file = TempFile(L"wine.reg");
    Ran ex = RunProgram(L"reg.exe export HKCU\\Software\\Fwise \"" + file + L"\" /y");
    ASSERT_TRUE(ex.finished);
    ASSERT_EQ(ex.code, 0u) << ex.out;

    DeleteSettings();
    WriteSettingString(u"Stray", u"gone after the import");
    Ran imp = Fwise(L"/import \"" + file + L"\"");
    ASSERT_TRUE(imp.finished) << "Fwise.exe /import did not end";
    ASSERT_EQ(imp.code, 0u) << imp.out;
    ExpectSameStore(RawStore(), saved, "after our import");
    FakeOptionDlg after;
    after.LoadSettings();
    ASSERT_EQ(after.rows.size(), before.rows.size());
    for (size_t i = 0; i < before.rows.size(); ++i) {
        EXPECT_EQ(after.rows[i].type, before.rows[i].type) << "row " << i;
        EXPECT_TRUE(after.rows[i].rule == before.rows[i].rule) << "row " << i;
        EXPECT_TRUE(after.rows[i].folder == before.rows[i].folder) << "row " << i;
    }
    EXPECT_TRUE(after.defaultFolder == before.defaultFolder);
}

TEST_F(RulesExchange, RefusedFilesLeaveTheStoreByteForByte) {
    std::vector<RawValue> saved = SaveRows(SpecialRows());
    WriteSettingString(u"Stray", u"not ours, kept as it is");
    saved = RawStore();
    std::wstring good = TempFile(L"good.reg");
    ASSERT_EQ(Fwise(L"/export \"" + good + L"\"").code, 0u);
    std::vector<uint8_t> whole = ReadBytes(good);
    std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<long>(whole.size() / 2 & ~size_t(1)));
    std::vector<uint8_t> program = ReadBytes(BinDir() + L"Fwise.exe");
    program.resize(4096);
    auto utf16 = [](const std::u16string& s) {
        std::vector<uint8_t> out = {0xFF, 0xFE};
        for (char16_t c : s) {
            out.push_back(static_cast<uint8_t>(c));
            out.push_back(static_cast<uint8_t>(c >> 8));
        }
        return out;
    };
    struct Row {
        const char* label;
        std::vector<uint8_t> file;
        const char* reason;
    } rows[] = {
        {"cut in half", cut, "refused"},
        {"a program", program, "line 1: not a registration file"},
        {"machine key", utf16(u"Windows Registry Editor Version 5.00\r\n\r\n[-HKEY_LOCAL_MACHINE\\Software\\Microsoft]\r\n"),
         "line 3: only the key"},
        {"value outside the store",
         utf16(u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Fwise]\r\n\"Run\"=\"calc\"\r\n"),
         "line 4: \"Run\" is no value of the settings store"},
    };
    std::wstring file = TempFile(L"bad.reg");
    for (const auto& row : rows) {
        WriteBytes(file, row.file);
        Ran imp = Fwise(L"/import \"" + file + L"\"");
        ASSERT_TRUE(imp.finished) << row.label << ": Fwise.exe did not end";
        EXPECT_EQ(imp.code, 1u) << row.label << ": " << imp.out;
        EXPECT_NE(imp.out.find(row.reason), std::string::npos) << row.label << ": " << imp.out;
        ExpectSameStore(RawStore(), saved, row.label);
    }
    // 100 MB, refused by its size without being read.
    {
        ScopedHandle f(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(f);
        LARGE_INTEGER size;
        size.QuadPart = 100ll << 20;
        ASSERT_TRUE(SetFilePointerEx(f.Get(), size, nullptr, FILE_BEGIN) && SetEndOfFile(f.Get()));
    }
    Ran huge = Fwise(L"/import \"" + file + L"\"");
    EXPECT_EQ(huge.code, 1u) << huge.out;
    EXPECT_NE(huge.out.find("larger than 64 MB"), std::string::npos) << huge.out;
    ExpectSameStore(RawStore(), saved, "100 MB");
    DeleteFileW(file.c_str());
}

TEST_F(RulesExchange, CommandLineMistakesDoNothing) {
    WriteRules({{0, u"a", u"C:\\a"}});
    std::vector<RawValue> saved = RawStore();
    std::wstring nowhere = TempFile(L"no such folder\\x.reg");
    struct Row {
        const char* label;
        std::wstring args;
        DWORD code;
    } rows[] = {
        {"unknown switch", L"/bogus x.reg", 87},
        {"export without FILE", L"/export", 87},
        {"import without FILE", L"/import", 87},
        {"export into a missing folder", L"/export \"" + nowhere + L"\"", 1},
        {"import of a missing file", L"/import \"" + nowhere + L"\"", 1},
    };
    for (const auto& row : rows) {
        Ran ran = Fwise(row.args);
        ASSERT_TRUE(ran.finished) << row.label;
        EXPECT_EQ(ran.code, row.code) << row.label << ": " << ran.out;
        EXPECT_FALSE(ran.out.empty()) << row.label;
        ExpectSameStore(RawStore(), saved, row.label);
    }
    EXPECT_EQ(GetFileAttributesW(nowhere.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace fw::test
