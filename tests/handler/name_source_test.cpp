// The script-URL test: one table, natively and under Wine.
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

}  // namespace
}  // namespace fw::test
