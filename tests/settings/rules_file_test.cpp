// Rules files: the writer, the reader with its refusals, the command line
// and the window's import, against the in-memory store.
#include "command_line.h"
#include "fake_option_dlg.h"
#include "rules_exchange_ui.h"
#include "rules_file.h"
#include "store_util.h"
#include <map>

namespace fw::test {
namespace {

std::vector<uint8_t> Utf16File(const std::u16string& text) {
    std::vector<uint8_t> out = {0xFF, 0xFE};
    for (char16_t c : text) {
        out.push_back(static_cast<uint8_t>(c & 0xFF));
        out.push_back(static_cast<uint8_t>(c >> 8));
    }
    return out;
}

std::u16string TextOf(const std::vector<uint8_t>& file) {
    std::u16string out;
    for (size_t i = 2; i + 1 < file.size(); i += 2) out += static_cast<char16_t>(file[i] | file[i + 1] << 8);
    return out;
}

std::vector<uint8_t> AnsiFile(const std::string& text) { return {text.begin(), text.end()}; }

std::u16string Ascii(const std::string& s) { return {s.begin(), s.end()}; }

const std::u16string kHead = u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Fwise]\r\n";

// A whole rule set of one rule, in the order a save writes it; `extra` follows.
std::u16string OneRule(const std::u16string& extra = u"") {
    return kHead +
           u"\"GUIFontFace\"=\"Arial\"\r\n\"GUICharSet\"=dword:00000001\r\n\"UseDefault\"=dword:00000000\r\n"
           u"\"DefaultFolder\"=\"\"\r\n\"ParseURL\"=dword:00000000\r\n\"Num\"=dword:00000001\r\n"
           u"\"0000Type\"=dword:00000000\r\n\"0000Rule\"=\"a\"\r\n\"0000Folder\"=\"C:\\\\a\"\r\n" +
           extra;
}

// What a save of these rows and options writes, captured in memory.
ValueList Saved(const std::vector<FakeRow>& rows, bool useDefault = false, const std::u16string& folder = u"") {
    FakeOptionDlg dlg;
    ValueList none;
    dlg.LoadSettings(none);
    dlg.useDefault = useDefault;
    dlg.defaultFolder = folder;
    dlg.Load(rows);
    ValueList out;
    EXPECT_EQ(dlg.WriteSettings(out), 1);
    return out;
}

void ExpectSameValues(const ValueList& got, const ValueList& want, const std::string& label) {
    ASSERT_EQ(got.Values().size(), want.Values().size()) << label;
    for (size_t i = 0; i < want.Values().size(); ++i) {
        const StoredValue& g = got.Values()[i];
        const StoredValue& w = want.Values()[i];
        ASSERT_EQ(Utf8(g.name), Utf8(w.name)) << label << " value " << i;
        EXPECT_EQ(g.type, w.type) << label << " " << Utf8(w.name);
        EXPECT_EQ(g.number, w.number) << label << " " << Utf8(w.name);
        EXPECT_TRUE(g.text == w.text) << label << " " << Utf8(w.name) << ": got " << Utf8(g.text) << ", expected "
                                      << Utf8(w.text);
    }
}

TEST(RulesFile, ExportIsTheRegistryFileOfASave) {
    std::vector<uint8_t> file;
    WriteRulesFile(Saved({{2, u"say \"hi\"", u"C:\\dl\\"}}, true, u"D:\\x"), &file);
    ASSERT_GE(file.size(), 2u);
    EXPECT_EQ(file[0], 0xFF);
    EXPECT_EQ(file[1], 0xFE);
    EXPECT_EQ(Utf8(TextOf(file)),
              "Windows Registry Editor Version 5.00\r\n\r\n"
              "[-HKEY_CURRENT_USER\\Software\\Fwise]\r\n\r\n"
              "[HKEY_CURRENT_USER\\Software\\Fwise]\r\n"
              "\"GUIFontFace\"=\"Arial\"\r\n"
              "\"GUICharSet\"=dword:00000001\r\n"
              "\"UseDefault\"=dword:00000001\r\n"
              "\"DefaultFolder\"=\"D:\\\\x\"\r\n"
              "\"ParseURL\"=dword:00000000\r\n"
              "\"Num\"=dword:00000001\r\n"
              "\"0000Type\"=dword:00000002\r\n"
              "\"0000Rule\"=\"say \\\"hi\\\"\"\r\n"
              "\"0000Folder\"=\"C:\\\\dl\\\\\"\r\n"
              "\r\n");
}

TEST(RulesFile, RoundTripKeepsEveryValue) {
    std::vector<FakeRow> many;
    for (int i = 0; i < 10000; ++i)
        many.push_back({static_cast<uint32_t>(i % 3), u"rule " + Ascii(std::to_string(i)), u"C:\\F\\" + Ascii(std::to_string(i))});
    struct Row {
        const char* label;
        std::vector<FakeRow> rows;
    } rows[] = {
        {"no rules", {}},
        {"10,000 rules", many},
        {"quotes, backslashes, = and [", {{0, u"a\"b\\c=d[e]", u"C:\\[x]=\"y\"\\"}, {1, u"\\", u"\""}}},
        {"non-Latin and a surrogate pair", {{0, u"\u30D5\u30A1\u30A4\u30EB", u"C:\\\u65E5\u672C\\\U0001F600"}}},
        {"512-character rule, 259-character folder", {{0, Repeat(u'r', 512), Repeat(u'f', 259)}}},
        {"unknown type values kept", {{7, u"seven", u"C:\\7"}, {0xFFFFFFFFu, u"max", u"C:\\m"}}},
        {"control characters go out in hex form", {{0, u"tab\there\r\nnext", u"C:\\\x01"}}},
        {"a text that is only a line feed", {{0, u"\n", u"x"}}},
    };
    for (const auto& row : rows) {
        ValueList before = Saved(row.rows, true, u"D:\\\u00E9t\u00E9");
        std::vector<uint8_t> file;
        WriteRulesFile(before, &file);
        ValueList after;
        RulesFileRefusal why{};
        ASSERT_TRUE(ReadRulesFile(file.data(), file.size(), DecodeLatin1, &after, &why))
            << row.label << ": line " << why.line << ": " << Utf8(why.reason);
        ExpectSameValues(after, before, row.label);
    }
}

struct RefusalRow {
    const char* label;
    std::vector<uint8_t> file;
    uint32_t line;
    const char* reason;  // a piece of the reason
};

std::vector<RefusalRow> RefusalRows() {
    const std::u16string r513 = Repeat(u'r', 513), f260 = Repeat(u'f', 260);
    std::vector<uint8_t> binary = {0x4D, 0x5A, 0x90, 0x00, 0x03, 0x00, 0x00, 0x00, 0xFF, 0xFF};
    std::vector<uint8_t> odd = Utf16File(OneRule());
    odd.pop_back();
    std::u16string nul = OneRule();
    nul[kHead.size() + 3] = 0;
    return {
        {"empty file", {}, 1, "empty"},
        {"binary file", binary, 1, "not a registration file"},
        {"other first line", Utf16File(u"Windows Registry Editor Version 4.00\r\n"), 1, "first line must be"},
        {"Unicode header in an ANSI file", AnsiFile("Windows Registry Editor Version 5.00\r\n"), 1, "saved as Unicode"},
        {"UTF-8", AnsiFile("\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"), 1, "UTF-8"},
        {"UTF-16 cut inside a character", odd, 0, "ends inside a character"},
        {"NUL character in a line", Utf16File(nul), 4, "NUL character"},
        {"other key", Utf16File(OneRule(u"[HKEY_CURRENT_USER\\Software\\Other]\r\n")), 13, "only the key"},
        {"machine key deleted", Utf16File(u"Windows Registry Editor Version 5.00\r\n\r\n[-HKEY_LOCAL_MACHINE\\Software\\Fwise]\r\n"), 3, "only the key"},
        {"sub-key", Utf16File(OneRule(u"[HKEY_CURRENT_USER\\Software\\Fwise\\Sub]\r\n")), 13, "only the key"},
        {"key line without ]", Utf16File(OneRule(u"[HKEY_CURRENT_USER\\Software\\Fwise\r\n")), 13, "end with \"]\""},
        {"value before any key", Utf16File(u"Windows Registry Editor Version 5.00\r\n\"Num\"=dword:00000000\r\n"), 2, "outside"},
        {"key deleted after its values", Utf16File(OneRule(u"[-HKEY_CURRENT_USER\\Software\\Fwise]\r\n")), 13, "deleted after its values"},
        {"value after the key's deletion only",
         Utf16File(u"Windows Registry Editor Version 5.00\r\n[-HKEY_CURRENT_USER\\Software\\Fwise]\r\n\"Num\"=dword:00000000\r\n"), 3, "outside"},
        {"value outside the store", Utf16File(OneRule(u"\"Run\"=\"calc.exe\"\r\n")), 13, "\"Run\" is no value"},
        {"rule value of another suffix", Utf16File(OneRule(u"\"0000Bar\"=\"x\"\r\n")), 13, "no value"},
        {"index not written as %04d", Utf16File(OneRule(u"\"000Type\"=dword:00000000\r\n")), 13, "no value"},
        {"default value", Utf16File(OneRule(u"@=\"x\"\r\n")), 13, "default value"},
        {"a line of something else", Utf16File(OneRule(u"hello\r\n")), 13, "neither a key"},
        {"= missing", Utf16File(OneRule(u"\"UseDefault\" dword:00000001\r\n")), 13, "\"=\" is missing"},
        {"text cut short", Utf16File(OneRule(u"\"DefaultFolder\"=\"C:\\\\Dow")), 13, "closing quote"},
        {"unknown escape", Utf16File(OneRule(u"\"DefaultFolder\"=\"a\\nb\"\r\n")), 13, "unknown escape"},
        {"more after the text", Utf16File(OneRule(u"\"DefaultFolder\"=\"a\" b\r\n")), 13, "after the closing quote"},
        {"dword cut short", Utf16File(OneRule(u"\"UseDefault\"=dword:0000\r\n")), 13, "eight hex digits"},
        {"dword not hex", Utf16File(OneRule(u"\"UseDefault\"=dword:0000000g\r\n")), 13, "eight hex digits"},
        {"value deleted", Utf16File(OneRule(u"\"UseDefault\"=-\r\n")), 13, "deleting a value"},
        {"unknown data form", Utf16File(OneRule(u"\"UseDefault\"=qword:1\r\n")), 13, "unknown kind of data"},
        {"hex( without its type", Utf16File(OneRule(u"\"DefaultFolder\"=hex(x):00,00\r\n")), 13, "hex(N):"},
        {"number as text", Utf16File(kHead + u"\"UseDefault\"=\"1\"\r\n"), 4, "must be a number"},
        {"text as number", Utf16File(kHead + u"\"DefaultFolder\"=dword:00000001\r\n"), 4, "must be a text"},
        {"text as binary", Utf16File(kHead + u"\"DefaultFolder\"=hex:41,00,00,00\r\n"), 4, "must be a text"},
        {"hex text not terminated", Utf16File(kHead + u"\"DefaultFolder\"=hex(2):41,00,42,00\r\n"), 4, "not terminated"},
        {"hex text of odd length", Utf16File(kHead + u"\"DefaultFolder\"=hex(2):41,00,00\r\n"), 4, "not terminated"},
        {"NUL inside a hex text", Utf16File(kHead + u"\"DefaultFolder\"=hex(1):41,00,00,00,42,00,00,00\r\n"), 4, "NUL character inside"},
        {"hex data ends with a comma", Utf16File(OneRule(u"\"DefaultFolder\"=hex(2):41,00,00,00,\r\n")), 13, "ends with a comma"},
        {"hex data not in pairs", Utf16File(OneRule(u"\"DefaultFolder\"=hex(2):4,1\r\n")), 13, "pairs of hex digits"},
        {"continued line at the end of the file", Utf16File(OneRule(u"\"DefaultFolder\"=hex(2):41,00,\\\r\n")), 13, "ends inside a continued line"},
        {"value set twice", Utf16File(OneRule(u"\"GUICharSet\"=dword:00000080\r\n")), 13, "set twice (first on line 5)"},
        {"no Num", Utf16File(kHead + u"\"UseDefault\"=dword:00000001\r\n"), 4, "without \"Num\""},
        {"negative Num", Utf16File(kHead + u"\"Num\"=dword:80000000\r\n"), 4, "negative"},
        {"rule beyond Num", Utf16File(OneRule(u"\"0001Type\"=dword:00000000\r\n")), 13, "rule 1 is beyond \"Num\" (1 rules)"},
        {"rule missing", Utf16File(OneRule().replace(OneRule().find(u"dword:00000001\r\n\"0000Type"), 14, u"dword:00000002")), 12,
         "without \"0001Type\": rule 1 of 2"},
        {"rule not whole (file cut after a rule's type)",
         Utf16File(OneRule().substr(0, OneRule().find(u"\"0000Rule"))), 10, "without \"0000Rule\""},
        {"rule text longer than 512", Utf16File(kHead + u"\"Num\"=dword:00000001\r\n\"0000Rule\"=\"" + r513 + u"\"\r\n"), 5,
         "longer than 512 characters"},
        {"folder longer than 259", Utf16File(kHead + u"\"DefaultFolder\"=\"" + f260 + u"\"\r\n"), 4,
         "longer than 259 characters"},
        {"too large to read", {}, 0, "larger than 64 MB"},
    };
}

TEST(RulesFile, RefusalsNameTheLineAndTheFault) {
    for (const auto& row : RefusalRows()) {
        ValueList out;
        RulesFileRefusal why{};
        bool huge = std::string(row.label) == "too large to read";
        bool ok = huge ? ReadRulesFile(nullptr, kRulesFileMaxBytes + 1, DecodeLatin1, &out, &why)
                       : ReadRulesFile(row.file.data(), row.file.size(), DecodeLatin1, &out, &why);
        EXPECT_FALSE(ok) << row.label;
        EXPECT_TRUE(out.Values().empty()) << row.label;
        EXPECT_EQ(why.line, row.line) << row.label << ": " << Utf8(why.reason);
        EXPECT_NE(Utf8(why.reason).find(row.reason), std::string::npos)
            << row.label << ": got \"" << Utf8(why.reason) << "\", expected a reason with \"" << row.reason << "\"";
    }
}

// Files as regedit, `reg export` and people write them.
TEST(RulesFile, ReadsTheFormsRegeditWrites) {
    struct Row {
        const char* label;
        std::vector<uint8_t> file;
        std::u16string folder;  // DefaultFolder as read
        uint32_t useDefault;
    };
    std::vector<uint8_t> ours;
    WriteRulesFile(Saved({{0, u"a", u"C:\\a"}}, false, u"C:\\x"), &ours);
    const Row rows[] = {
        {"ours", ours, u"C:\\x", 0},
        {"expandable text in hex, continued over lines, comments between",
         Utf16File(u"Windows Registry Editor Version 5.00\r\n\r\n; rules for the team\r\n"
                   u"[HKEY_CURRENT_USER\\Software\\Fwise]\r\n\"Num\"=dword:00000000\r\n"
                   u"\"DefaultFolder\"=hex(2):25,00,55,00,53,00,45,00,52,00,\\\r\n"
                   u"  50,00,52,00,4f,00,46,00,49,00,4c,00,45,00,25,00,00,00\r\n"
                   u"\"UseDefault\"=hex(4):01,00,00,00\r\n"),
         u"%USERPROFILE%", 1},
        {"LF line ends, spaces, names in another case, key in another case",
         Utf16File(u"Windows Registry Editor Version 5.00\n  [hkey_current_user\\SOFTWARE\\fwise]  \n"
                   u"  \"num\" = dword:00000000 \n\"defaultfolder\"=\"a b\"\n\"USEDEFAULT\"=DWORD:0000000A\n"),
         u"a b", 10},
        {"the key deleted first, values after",
         Utf16File(u"Windows Registry Editor Version 5.00\r\n[-HKEY_CURRENT_USER\\Software\\Fwise]\r\n"
                   u"[HKEY_CURRENT_USER\\Software\\Fwise]\r\n\"Num\"=dword:00000000\r\n\"DefaultFolder\"=\"d\"\r\n"),
         u"d", 0},
        {"REGEDIT4, ANSI texts and an ANSI hex text",
         AnsiFile("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Fwise]\r\n\"Num\"=dword:00000000\r\n"
                  "\"DefaultFolder\"=\"C:\\\\Caf\xE9\"\r\n\"GUIFontFace\"=hex(2):41,72,69,61,6c,00\r\n"),
         u"C:\\Caf\u00E9", 0},
    };
    for (const auto& row : rows) {
        ValueList out;
        RulesFileRefusal why{};
        ASSERT_TRUE(ReadRulesFile(row.file.data(), row.file.size(), DecodeLatin1, &out, &why))
            << row.label << ": line " << why.line << ": " << Utf8(why.reason);
        char16_t folder[kPathChars];
        out.ReadString(kDefaultFolder, u"<missing>", folder, sizeof folder);
        EXPECT_EQ(Utf8(folder), Utf8(row.folder)) << row.label;
        EXPECT_EQ(out.ReadDword(kUseDefault, 0), row.useDefault) << row.label;
        // The store's own spelling, whatever the file's.
        EXPECT_NE(out.Find(kNum), nullptr) << row.label;
        EXPECT_EQ(Utf8(out.Find(kNum)->name), "Num") << row.label;
    }
}

// Files in memory and the lines said, in place of the disk and the console.
class FakeSide : public CommandLineSide {
public:
    std::map<std::u16string, std::vector<uint8_t>> files;
    bool writeFails = false;
    std::vector<std::string> said;

    bool ReadWholeFile(const char16_t* path, uint64_t maxBytes, std::vector<uint8_t>* bytes, uint64_t* size) override {
        auto it = files.find(path);
        if (it == files.end()) return false;
        *size = it->second.size();
        if (*size <= maxBytes) *bytes = it->second;
        return true;
    }
    bool WriteWholeFile(const char16_t* path, const std::vector<uint8_t>& bytes) override {
        if (writeFails) return false;
        files[path] = bytes;
        return true;
    }
    void Say(const char16_t* line) override { said.push_back(Utf8(line)); }
    AnsiDecoder Ansi() override { return DecodeLatin1; }
};

struct RawValue {
    std::u16string name;
    uint32_t type;
    std::vector<uint8_t> data;
};

std::vector<RawValue> RawStore() {
    std::vector<RawValue> out;
    for (const auto& name : mem::ValueNames(RegRoot::CurrentUser, kSettingsKey)) {
        RawValue v{name, 0, std::vector<uint8_t>(4096)};
        uint32_t size = 4096;
        QueryRegValue(RegRoot::CurrentUser, kSettingsKey, name.c_str(), v.data.data(), &size, &v.type);
        v.data.resize(size);
        out.push_back(v);
    }
    return out;
}

void ExpectSameStore(const std::vector<RawValue>& got, const std::vector<RawValue>& want, const std::string& label) {
    ASSERT_EQ(got.size(), want.size()) << label;
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(Utf8(got[i].name), Utf8(want[i].name)) << label << " value " << i;
        EXPECT_EQ(got[i].type, want[i].type) << label << " " << Utf8(want[i].name);
        EXPECT_EQ(got[i].data, want[i].data) << label << " " << Utf8(want[i].name);
    }
}

int RunArgs(FakeSide& side, std::vector<std::u16string> args) {
    std::vector<const char16_t*> argv;
    for (const auto& a : args) argv.push_back(a.c_str());
    return RunCommandLine(static_cast<int>(argv.size()), argv.data(), side);
}

class CommandLine : public StoreTest {};

TEST_F(CommandLine, ExportThenImportGivesTheStoreASaveWrites) {
    WriteSettingString(kGuiFontFace, u"Tahoma");
    WriteSettingDword(kGuiCharSet, 0x180);  // read as 128, saved as 128
    WriteSettingDword(kParseUrl, 2);        // shown checked, saved as 1
    WriteSettingDword(kUseContentDisposition, 1);
    WriteRules({{0, u"a\"b", u"C:\\a"}, {7, u"\u65E5", u"C:\\b"}});
    FakeOptionDlg dlg;
    dlg.LoadSettings();
    ASSERT_TRUE(dlg.SaveSettings());
    std::vector<RawValue> saved = RawStore();
    mem::ClearLog();
    dlg.SaveSettings();
    std::vector<mem::Call> saveWrites = mem::Log();

    WriteSettingDword(kParseUrl, 2);
    FakeSide side;
    ASSERT_EQ(RunArgs(side, {u"/export", u"C:\\r.reg"}), kExitOk);
    ASSERT_EQ(side.said.size(), 1u);
    EXPECT_EQ(side.said[0], "Fwise: 2 rules exported to C:\\r.reg.");
    DeleteSettings();
    WriteSettingString(u"Stray", u"gone after the import");
    mem::ClearLog();
    ASSERT_EQ(RunArgs(side, {u"/IMPORT", u"C:\\r.reg"}), kExitOk);
    std::vector<mem::Call> importWrites = mem::Log();
    ExpectSameStore(RawStore(), saved, "after the import");
    // The same writes in the same order as the window's save.
    ASSERT_EQ(importWrites.size(), saveWrites.size());
    for (size_t i = 0; i < saveWrites.size(); ++i) {
        EXPECT_EQ(importWrites[i].kind, saveWrites[i].kind) << "write " << i;
        EXPECT_EQ(Utf8(importWrites[i].name), Utf8(saveWrites[i].name)) << "write " << i;
    }
}

TEST_F(CommandLine, RefusedFilesLeaveTheStoreAsItWas) {
    WriteSettingString(kGuiFontFace, u"Tahoma");
    WriteRules({{0, u"keep", u"C:\\keep"}});
    WriteSettingString(u"Stray", u"not ours, kept too");
    std::vector<RawValue> before = RawStore();
    for (const auto& row : RefusalRows()) {
        if (std::string(row.label) == "too large to read") continue;
        FakeSide side;
        side.files[u"f.reg"] = row.file;
        EXPECT_EQ(RunArgs(side, {u"/import", u"f.reg"}), kExitRefused) << row.label;
        ASSERT_EQ(side.said.size(), 1u) << row.label;
        EXPECT_NE(side.said[0].find("refused"), std::string::npos) << row.label << ": " << side.said[0];
        ExpectSameStore(RawStore(), before, row.label);
    }
    // A 100 MB file is refused by its size, unread.
    FakeSide side;
    side.files[u"huge.reg"] = std::vector<uint8_t>(100u << 20, 'A');
    EXPECT_EQ(RunArgs(side, {u"/import", u"huge.reg"}), kExitRefused);
    ASSERT_EQ(side.said.size(), 1u);
    EXPECT_EQ(side.said[0], "Fwise: huge.reg refused, the file is larger than 64 MB: no rules file is that large. "
                            "The settings are unchanged.");
    ExpectSameStore(RawStore(), before, "100 MB");
}

TEST_F(CommandLine, ExitCodes) {
    WriteRules({{0, u"a", u"C:\\a"}});
    FakeSide good;
    ASSERT_EQ(RunArgs(good, {u"/export", u"ok.reg"}), kExitOk);
    struct Row {
        const char* label;
        std::vector<std::u16string> args;
        bool writeFails;
        const char16_t* failWrite;  // a store value whose write fails
        int code;
        bool fileWritten;
    } rows[] = {
        {"nothing", {}, false, nullptr, kExitBadCommandLine, false},
        {"unknown switch", {u"/list", u"x.reg"}, false, nullptr, kExitBadCommandLine, false},
        {"export without FILE", {u"/export"}, false, nullptr, kExitBadCommandLine, false},
        {"empty FILE", {u"/export", u""}, false, nullptr, kExitBadCommandLine, false},
        {"one argument too many", {u"/export", u"x.reg", u"y"}, false, nullptr, kExitBadCommandLine, false},
        {"export that cannot be written", {u"/export", u"x.reg"}, true, nullptr, kExitRefused, false},
        {"export", {u"/Export", u"x.reg"}, false, nullptr, kExitOk, true},
        {"import of a missing file", {u"/import", u"missing.reg"}, false, nullptr, kExitRefused, false},
        {"import whose store write fails", {u"/import", u"ok.reg"}, false, u"0000Rule", kExitStoreFailed, false},
        {"import", {u"/import", u"ok.reg"}, false, nullptr, kExitOk, false},
    };
    for (const auto& row : rows) {
        FakeSide side;
        side.files[u"ok.reg"] = good.files[u"ok.reg"];
        side.writeFails = row.writeFails;
        if (row.failWrite) mem::FailWrites(row.failWrite);
        EXPECT_EQ(RunArgs(side, row.args), row.code) << row.label;
        EXPECT_EQ(side.files.count(u"x.reg") != 0, row.fileWritten) << row.label;
        EXPECT_EQ(side.said.size(), 1u) << row.label;
        mem::Reset();
        WriteRules({{0, u"a", u"C:\\a"}});
    }
}

// The Rules page's export and import, driven by their keys.
class ExchangeDlg : public FakeOptionDlg, public ExchangeWindow {
public:
    FakeSide files;
    bool pickOk = true;
    std::u16string pickedPath = u"C:\\rules.reg";
    std::vector<bool> picks;  // save (true) or open, per dialog shown
    ImportChoice choice = ImportChoice::Replace;
    std::vector<std::string> questions, problems;

    bool PickRulesFile(bool save, char16_t* path) override {
        picks.push_back(save);
        if (!pickOk) return false;
        TextCopy(path, kRulesPathChars, pickedPath.c_str());
        return true;
    }
    ImportChoice AskImportChoice(const char16_t* question) override {
        questions.push_back(Utf8(question));
        return choice;
    }
    void ShowExchangeProblem(const char16_t* text) override { problems.push_back(Utf8(text)); }
    RulesFileSide& RulesFiles() override { return files; }
    void OnExportRules() override { ExportRulesFromWindow(*this, *this); }
    void OnImportRules() override { ImportRulesIntoWindow(*this, *this); }
};

// A row shown as "ERR" is saved as stored; an export writes it the same way,
// and such a file is not taken back in until the rule is put right.
TEST_F(CommandLine, RowsShownAsErrGoOutAsStored) {
    WriteRules({{0, u"ok", u"C:\\ok"}, {2, Repeat(u'r', 600), u"C:\\long"}});
    FakeSide side;
    ASSERT_EQ(RunArgs(side, {u"/export", u"e.reg"}), kExitOk);
    const std::vector<uint8_t>& file = side.files[u"e.reg"];
    std::string text = Utf8(TextOf(file));
    EXPECT_NE(text.find("\"0001Rule\"=hex(1):72,00,72,00"), std::string::npos) << text.substr(0, 800);
    EXPECT_NE(text.find("\"0001Type\"=dword:00000002"), std::string::npos);
    ValueList back;
    RulesFileRefusal why{};
    EXPECT_FALSE(ReadRulesFile(file.data(), file.size(), DecodeLatin1, &back, &why));
    EXPECT_NE(Utf8(why.reason).find("\"0001Rule\" is longer than 512 characters"), std::string::npos)
        << Utf8(why.reason);
}

class WindowExchange : public StoreTest {};

// The rows an import replaces take their kept values with them: a save then
// writes the file's rules, not what an "ERR" row held before.
TEST_F(WindowExchange, ReplacingDropsWhatTheOldRowsKept) {
    WriteRules({{2, Repeat(u'r', 600), u"C:\\long"}});
    FakeOptionDlg dlg;
    dlg.LoadSettings();
    ASSERT_EQ(dlg.rows.size(), 1u);
    ASSERT_EQ(Utf8(dlg.rows[0].rule), "ERR");
    ValueList file = Saved({{1, u".zip", u"C:\\Zips"}});
    dlg.ImportSettings(file, false);
    ASSERT_TRUE(dlg.SaveSettings());
    char16_t rule[kRuleChars];
    ReadSettingString(u"0000Rule", u"", rule, sizeof rule);
    EXPECT_EQ(Utf8(rule), ".zip");
    EXPECT_EQ(ReadSettingDword(u"0000Type", 9), 1u);
}

TEST_F(WindowExchange, CtrlEExportsTheScreenAndLeavesItUnsaved) {
    WriteRules({{0, u"stored", u"C:\\s"}});
    struct Row {
        const char* label;
        uint16_t key;
        bool ctrl, pickOk, writeFails;
        size_t picks, problems;
        bool written;
    } rows[] = {
        {"Ctrl+E", kKeyExport, true, true, false, 1, 0, true},
        {"E alone does nothing", kKeyExport, false, true, false, 0, 0, false},
        {"file dialog cancelled", kKeyExport, true, false, false, 1, 0, false},
        {"file cannot be written", kKeyExport, true, true, true, 1, 1, false},
    };
    for (const auto& row : rows) {
        ExchangeDlg dlg;
        dlg.LoadSettings();
        dlg.answers.push_back({true, u".pdf", u"C:\\Docs"});
        dlg.OnAdd(RuleDialogKind::File);
        dlg.pickOk = row.pickOk;
        dlg.files.writeFails = row.writeFails;
        dlg.PressKey(row.key, row.ctrl);
        EXPECT_EQ(dlg.picks.size(), row.picks) << row.label;
        if (!dlg.picks.empty()) {
            EXPECT_TRUE(dlg.picks[0]) << row.label << ": a save dialog";
        }
        ASSERT_EQ(dlg.problems.size(), row.problems) << row.label;
        if (row.problems) {
            EXPECT_NE(dlg.problems[0].find("C:\\rules.reg"), std::string::npos) << dlg.problems[0];
        }
        EXPECT_TRUE(dlg.Changed()) << row.label;
        EXPECT_EQ(ReadSettingDword(kNum, 0), 1u) << row.label << ": the store is not saved by an export";
        ASSERT_EQ(dlg.files.files.count(u"C:\\rules.reg") != 0, row.written) << row.label;
        if (!row.written) continue;
        ValueList back;
        RulesFileRefusal why{};
        const auto& file = dlg.files.files[u"C:\\rules.reg"];
        ASSERT_TRUE(ReadRulesFile(file.data(), file.size(), DecodeLatin1, &back, &why)) << Utf8(why.reason);
        EXPECT_EQ(back.ReadDword(kNum, 0), 2u) << "the stored rule and the unsaved one";
        char16_t rule[kRuleChars];
        back.ReadString(u"0001Rule", u"", rule, sizeof rule);
        EXPECT_EQ(Utf8(rule), ".pdf");
    }
}

TEST_F(WindowExchange, CtrlOImportsAsUnsavedChanges) {
    std::vector<uint8_t> good;
    WriteRulesFile(Saved({{1, u".zip", u"C:\\Zips"}, {2, u"example.org", u"C:\\Ex"}}, true, u"D:\\Def"), &good);
    struct Row {
        const char* label;
        std::vector<uint8_t> file;
        ImportChoice choice;
        std::string order;  // the rules after the import
        bool useDefault;
        const char* folder;
        bool changed;
        const char* problem;  // a piece of the message shown, if any
    } rows[] = {
        {"replace", good, ImportChoice::Replace, ".zip example.org ", true, "D:\\Def", true, nullptr},
        {"append", good, ImportChoice::Append, "mine .zip example.org ", false, "E:\\Mine", true, nullptr},
        {"cancelled at the question", good, ImportChoice::Cancel, "mine ", false, "E:\\Mine", false, nullptr},
        {"refused", Utf16File(kHead + u"\"Run\"=\"calc\"\r\n"), ImportChoice::Replace, "mine ", false, "E:\\Mine",
         false, "line 4: \"Run\" is no value of the settings store"},
    };
    for (const auto& row : rows) {
        ExchangeDlg dlg;
        dlg.LoadSettings();
        dlg.Load({{0, u"mine", u"C:\\Mine"}});
        dlg.defaultFolder = u"E:\\Mine";
        dlg.files.files[u"C:\\rules.reg"] = row.file;
        dlg.choice = row.choice;
        dlg.PressKey(kKeyImport, true);
        ASSERT_EQ(dlg.picks.size(), 1u) << row.label;
        EXPECT_FALSE(dlg.picks[0]) << row.label << ": an open dialog";
        std::string order;
        for (const auto& r : dlg.rows) order += Utf8(r.rule) + " ";
        EXPECT_EQ(order, row.order) << row.label;
        EXPECT_EQ(dlg.useDefault, row.useDefault) << row.label;
        EXPECT_EQ(Utf8(dlg.defaultFolder), row.folder) << row.label;
        EXPECT_EQ(dlg.Changed(), row.changed) << row.label;
        EXPECT_FALSE(mem::KeyExists(RegRoot::CurrentUser, kSettingsKey)) << row.label << ": nothing stored yet";
        if (row.problem) {
            ASSERT_EQ(dlg.problems.size(), 1u) << row.label;
            EXPECT_NE(dlg.problems[0].find(row.problem), std::string::npos) << dlg.problems[0];
            EXPECT_TRUE(dlg.questions.empty()) << row.label;
        } else {
            EXPECT_TRUE(dlg.problems.empty()) << row.label;
            ASSERT_EQ(dlg.questions.size(), 1u) << row.label;
            EXPECT_EQ(dlg.questions[0].find("Replace the rule list with the 2 rules of this file?"), 0u)
                << dlg.questions[0];
        }
    }
}

}  // namespace
}  // namespace fw::test
