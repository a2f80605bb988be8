// Rules files under Wine, with the real registry and Wine's own reg.exe:
// our export read by `reg import`, `reg export` read by our import, and bad
// files that must leave the store exactly as it was. Fwise.exe runs as a
// script would run it; a wait limit stands for "no message box".
#include "fake_option_dlg.h"
#include "fwise_ui.h"
#include "scoped_win.h"
#include "rules_file.h"
#include "store_util.h"
#include "texts.h"
#include "win.h"
#include <commctrl.h>
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

Ran FwiseCommand(const std::wstring& args) { return RunProgram(L"\"" + BinDir() + L"Fwise.exe\" " + args); }

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
    Ran ex = FwiseCommand(L"/export \"" + file + L"\"");
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
    Ran imp = FwiseCommand(L"/import \"" + file + L"\"");
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
    ASSERT_EQ(FwiseCommand(L"/export \"" + good + L"\"").code, 0u);
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
        Ran imp = FwiseCommand(L"/import \"" + file + L"\"");
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
    Ran huge = FwiseCommand(L"/import \"" + file + L"\"");
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
        Ran ran = FwiseCommand(row.args);
        ASSERT_TRUE(ran.finished) << row.label;
        EXPECT_EQ(ran.code, row.code) << row.label << ": " << ran.out;
        EXPECT_FALSE(ran.out.empty()) << row.label;
        ExpectSameStore(RawStore(), saved, row.label);
    }
    EXPECT_EQ(GetFileAttributesW(nowhere.c_str()), INVALID_FILE_ATTRIBUTES);
}


// Characters typed as a person types them (the file dialog's name box).
void TypeText(const std::wstring& text) {
    std::vector<INPUT> in;
    for (wchar_t c : text)
        for (DWORD up : {0ul, static_cast<unsigned long>(KEYEVENTF_KEYUP)}) {
            INPUT i = {};
            i.type = INPUT_KEYBOARD;
            i.ki.wScan = c;
            i.ki.dwFlags = KEYEVENTF_UNICODE | up;
            in.push_back(i);
        }
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
    Sleep(300);
}

// A visible dialog box (#32770) of the process other than the main window.
HWND WaitDialog(DWORD pid, int ms = 10000) { return WaitWindow(pid, L"#32770", ms); }

bool WaitFile(const std::wstring& path, int ms = 10000) {
    for (int waited = 0; waited <= ms; waited += 100) {
        if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
        Sleep(100);
    }
    return false;
}

TEST_F(RulesExchange, ButtonsAndKeysOfTheRulesPage) {
    WriteRules({{0, u"setup", u"C:\\Setup"}, {2, u"example.org/music/", u"C:\\Music"}});
    std::wstring out = TempFile(L"keys-export.reg");
    std::wstring in = TempFile(L"keys-import.reg");
    DeleteFileW(out.c_str());
    // The file to import: three rules, written as our export writes them.
    {
        FakeOptionDlg other;
        ValueList none;
        other.LoadSettings(none);
        other.Load({{1, u".iso", u"D:\\Images"}, {0, u"report", u"D:\\Reports"}, {2, u"cdn.example", u"D:\\Cdn"}});
        ValueList values;
        other.WriteSettings(values);
        std::vector<uint8_t> bytes;
        WriteRulesFile(values, &bytes);
        WriteBytes(in, bytes);
    }
    Fwise app;
    ASSERT_TRUE(app.Main()) << "no main window";
    const TextSet& t = Texts();
    ASSERT_TRUE(app.Button(t.hintExport)) << "no export button";
    ASSERT_TRUE(app.Button(t.hintImport)) << "no import button";
    ASSERT_EQ(app.Rows(), 2);
    // The list takes the keys: a click on its first row gives it the focus.
    RECT list;
    GetWindowRect(app.List(), &list);
    ClickAt(list.left + 60, list.top + 30);
    ASSERT_EQ(app.Selected(), 0);

    // Ctrl+E: the save dialog, a name typed, Enter.
    Press({VK_CONTROL, 'E'});
    HWND save = WaitDialog(app.Pid());
    ASSERT_TRUE(save) << "no save dialog";
    TypeText(out);
    Press({VK_RETURN});
    ASSERT_TRUE(WaitFile(out)) << "nothing exported";
    Sleep(300);
    std::vector<uint8_t> bytes = ReadBytes(out);
    ValueList exported;
    RulesFileRefusal why{};
    ASSERT_TRUE(ReadRulesFile(bytes.data(), bytes.size(), DecodeLatin1, &exported, &why)) << Utf8(why.reason);
    EXPECT_EQ(exported.ReadDword(kNum, 0), 2u);

    // Ctrl+O: the open dialog, the file, then Yes: the list replaced, unsaved.
    Press({VK_CONTROL, 'O'});
    HWND open = WaitDialog(app.Pid());
    ASSERT_TRUE(open) << "no open dialog";
    TypeText(in);
    Press({VK_RETURN});
    HWND question = nullptr;
    for (int waited = 0; waited < 10000 && !question; waited += 100) {
        HWND box = WaitDialog(app.Pid(), 100);
        if (box && box != open && !Children(box, L"Button").empty() &&
            Narrow(BoxText(box)).find("3 rules") != std::string::npos)
            question = box;
    }
    ASSERT_TRUE(question) << "no question after the open dialog";
    wchar_t shots[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"FW_SCREENSHOTS", shots, MAX_PATH))
        SaveWindowPicture(question, std::wstring(shots) + L"\\import_question.bmp");
    Press({VK_RETURN});  // Yes, the default: replace
    ASSERT_TRUE(WaitGone(question));
    EXPECT_EQ(app.Rows(), 3);
    EXPECT_EQ(ReadSettingDword(kNum, 0), 2u) << "imported rules are not saved before Apply";
    PostMessageW(app.Button(t.btnApply), BM_CLICK, 0, 0);
    for (int waited = 0; waited < 5000 && ReadSettingDword(kNum, 0) != 3; waited += 100) Sleep(100);
    EXPECT_EQ(ReadSettingDword(kNum, 0), 3u);
    char16_t rule[kRuleChars];
    ReadSettingString(u"0000Rule", u"", rule, sizeof rule);
    EXPECT_EQ(Utf8(rule), ".iso");
    PostMessageW(app.Button(t.btnOK), BM_CLICK, 0, 0);
    EXPECT_EQ(app.WaitExit(), 0);
}

}  // namespace
}  // namespace fw::test
