// The script-URL test and the choice of the name source: tables run
// natively and under Wine.
#include "content_disposition.h"
#include "name_source.h"
#include "store_util.h"

namespace fw::test {
namespace {

struct ScriptRow {
    const char* label;
    const char16_t* url;
    bool script;
};

TEST(IsScriptUrl, Table) {
    const ScriptRow rows[] = {
        {"query string", u"http://h/file.zip?x=1", true},
        {"'?' alone at the end", u"http://h/file.zip?", true},
        {"'?' in the path before the name", u"http://h/a?b/report.pdf", true},
        {"upper-case .ASP", u"http://h/Download.ASP", true},
        {"upper-case .PL", u"http://h/x.PL", true},
        {".aspx holds .asp", u"http://h/page.aspx", true},
        {"folder docs.planning holds .pl", u"http://h/docs.planning/report.pdf", true},
        {"host with .py after a dot", u"http://www.python.example/setup.exe", true},
        {".php", u"http://h/get.php", true},
        {".rb", u"http://h/run.rb", true},
        {".jsp", u"http://h/a.JSP", true},
        {".cgi", u"http://h/cgi-bin/dl.cgi", true},
        {"plain installer", u"http://h/setup.exe", false},
        {"plain document", u"http://h/report.pdf", false},
        {"marker without its dot", u"http://h/php/asp/report.pdf", false},
        {"empty", u"", false},
        {"null", nullptr, false},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(IsScriptUrl(row.url), row.script)
            << row.label << ": " << (row.url ? Utf8(row.url) : "(null)");
    }
}

class NameSource : public StoreTest {};

// The download entry's steps with the resolution faked: it "resolves" to
// kFinal and the server's headers are the row's.
TEST_F(NameSource, ServerNameOnlyWhenAskedForAndUsable) {
    const char16_t* kScript = u"http://h/get.php?id=7";
    const char16_t* kPlain = u"http://h/files/report.zip";
    const char16_t* kFinal = u"http://h/files/k3j9x2";
    const std::u16string usable = u"HTTP/1.1 200 OK\r\nContent-Disposition: attachment; filename=\"Q1 report.pdf\"\r\n";
    const std::u16string unusable = u"HTTP/1.1 200 OK\r\nContent-Disposition: attachment; filename=\"a?.pdf\"\r\n";
    const std::u16string absent = u"HTTP/1.1 200 OK\r\nContent-Type: application/pdf\r\n";
    struct Row {
        const char* label;
        const char16_t* url;
        int useServerName;  // "UseContentDisposition"; -1: not stored
        const std::u16string* headers;
        bool resolve, askName;
        const char16_t* nameSource;
    };
    const Row rows[] = {
        {"off (missing), usable header", kScript, -1, &usable, true, false, kFinal},
        {"off (0), usable header", kScript, 0, &usable, true, false, kFinal},
        {"2 is off, usable header", kScript, 2, &usable, true, false, kFinal},
        {"on, usable header", kScript, 1, &usable, true, true, u"/Q1 report.pdf"},
        {"on, unusable header", kScript, 1, &unusable, true, true, kFinal},
        {"on, no header", kScript, 1, &absent, true, true, kFinal},
        {"on, but no script URL: nothing fetched", kPlain, 1, &usable, false, false, kPlain},
        {"off, no script URL", kPlain, 0, &usable, false, false, kPlain},
    };
    for (const Row& row : rows) {
        DeleteSettings();
        WriteSettingDword(kParseUrl, 1);
        if (row.useServerName >= 0) WriteSettingDword(kUseContentDisposition, static_cast<uint32_t>(row.useServerName));
#ifndef _WIN32
        mem::ClearLog();
#endif
        NameSourceSteps steps = NameSourceStepsFor(row.url);
        EXPECT_EQ(steps.resolve, row.resolve) << row.label;
        EXPECT_EQ(steps.serverName, row.askName) << row.label;
#ifndef _WIN32
        bool readOption = false;
        for (const auto& call : mem::Log()) readOption = readOption || call.name == kUseContentDisposition;
        EXPECT_EQ(readOption, row.resolve) << row.label << ": the option is read only for a resolved download";
#endif
        char16_t name[kServerNameChars] = {};
        if (steps.serverName) ServerNameFromHeaders(row.headers->data(), row.headers->size(), name, kServerNameChars);
        char16_t buf[kServerNameChars + 1];
        const char16_t* got = ChooseNameSource(row.url, steps.resolve ? kFinal : nullptr, name, buf, std::size(buf));
        EXPECT_EQ(Utf8(got), Utf8(row.nameSource)) << row.label;
    }
}

TEST(ChooseNameSource, FallsBackWhenTheNameDoesNotFit) {
    char16_t buf[4];
    EXPECT_EQ(Utf8(ChooseNameSource(u"u", nullptr, u"abc", buf, 4)), "u");
    EXPECT_EQ(Utf8(ChooseNameSource(u"u", u"f", u"ab", buf, 4)), "/ab");
    EXPECT_EQ(Utf8(ChooseNameSource(u"u", u"f", u"", buf, 4)), "f");
    EXPECT_EQ(Utf8(ChooseNameSource(u"u", u"f", u"ab", nullptr, 0)), "f");
}

}  // namespace
}  // namespace fw::test
