// Downloads through the stand-in browser (iexplore.exe beside this program)
// with the registered server DLL of this build: real URL monikers, real seeding, and the
// Save dialog's folder as the browser would work it out.
#include "loopback_ports.h"
#include "scoped_win.h"
#include "server_util.h"
#include "store_util.h"
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <urlmon.h>

namespace fw::test {
namespace {

const std::wstring kDir = L"C:\\Program Files\\HostTest";
const wchar_t* kIeKey = L"SOFTWARE\\Microsoft\\Internet Explorer";

using Report = std::map<std::string, std::string>;

class Host : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(InstallInto(kDir, {kServerDll}));
        ASSERT_EQ(Regsvr32(L"/s \"" + kDir + L"\\" + kServerDll + L"\""), 0);
        for (const wchar_t* f : {L"C:\\HostTest", L"C:\\HostTest\\Docs", L"C:\\HostTest\\Installers",
                                 L"C:\\HostTest\\Default"})
            CreateDirectoryW(f, nullptr);
    }
    static void TearDownTestSuite() { Regsvr32(L"/s /u \"" + kDir + L"\\" + kServerDll + L"\""); }
    void SetUp() override {
        DeleteSettings();
        ports_ = ReadLoopbackPorts();
        ASSERT_NE(ports_.live, 0) << "no loopback server: FW_HTTP_PORT_FILE unset or unreadable";
        ServerLog();
    }
    void TearDown() override { DeleteSettings(); }

    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(ports_.live) + path;
    }

    // One report per URL, in order.
    std::vector<Report> Run(const std::vector<std::string>& urls, bool fresh = true) {
        std::wstring cmd = L"\"" + ExeDir() + L"\\iexplore.exe\"" + (fresh ? L" /fresh" : L"");
        for (const auto& u : urls) cmd += L" " + std::wstring(u.begin(), u.end());
        std::string out;
        int rc = RunProgram(cmd, &out);
        EXPECT_EQ(rc, 0) << out;
        std::vector<Report> reports;
        std::istringstream lines(out);
        std::string line;
        while (std::getline(lines, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            size_t tab = line.find('\t');
            if (tab == std::string::npos) continue;
            std::string key = line.substr(0, tab);
            if (key == "url") reports.emplace_back();
            if (!reports.empty()) reports.back()[key] = line.substr(tab + 1);
        }
        EXPECT_EQ(reports.size(), urls.size()) << out;
        return reports;
    }

    // The paths the loopback server was asked for since the last call.
    std::string ServerLog() {
        static int n = 0;
        ScopedCom<IStream> stream;
        std::string url = Url("/log?" + std::to_string(++n));
        if (FAILED(URLOpenBlockingStreamA(nullptr, url.c_str(), stream.Receive(), 0, nullptr))) return "<no log>";
        std::string text;
        char buf[512];
        ULONG got = 0;
        while (SUCCEEDED(stream->Read(buf, sizeof buf, &got)) && got > 0) text.append(buf, got);
        return text;
    }

    LoopbackPorts ports_;
};

TEST_F(Host, TheSaveDialogOpensInTheMatchedFolderOrWhereItWould) {
    WriteRules({{kExtensionRule, u".pdf", u"C:\\HostTest\\Docs"}, {kNameRule, u"setup", u"C:\\HostTest\\Installers"}});
    WriteSettingDword(kUseDefault, 0);
    struct Row {
        const char* path;
        const char* folder;  // where the Save dialog opens; "" for nowhere seeded
    };
    const Row rows[] = {
        {"/papers/Report.PDF", "C:\\HostTest\\Docs"},
        {"/tools/Setup_v2.exe", "C:\\HostTest\\Installers"},
        {"/misc/archive.zip", ""},
    };
    std::vector<std::string> urls;
    for (const Row& r : rows) urls.push_back(Url(r.path));
    std::vector<Report> got = Run(urls);
    ASSERT_EQ(got.size(), std::size(rows));
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i]["result"], "0x80004001") << rows[i].path;
        EXPECT_EQ(got[i]["save-folder"], rows[i].folder) << rows[i].path;
        EXPECT_FALSE(got[i]["took-ms"].empty()) << rows[i].path;
    }
    EXPECT_EQ(ServerLog(), "") << "plain URLs are never fetched";
}

TEST_F(Host, ADownloadThatMatchesNothingLeavesTheLastSeedAlone) {
    WriteRules({{kExtensionRule, u".pdf", u"C:\\HostTest\\Docs"}});
    std::vector<Report> got = Run({Url("/a/one.pdf"), Url("/b/two.zip")}, false);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0]["save-folder"], "C:\\HostTest\\Docs");
    EXPECT_EQ(got[1]["save-folder"], "C:\\HostTest\\Docs");
}

TEST_F(Host, TheDefaultFolderWhenNoRuleMatches) {
    WriteRules({{kExtensionRule, u".pdf", u"C:\\HostTest\\Docs"}});
    WriteSettingDword(kUseDefault, 1);
    WriteSettingString(kDefaultFolder, u"C:\\HostTest\\Default");
    std::vector<Report> got = Run({Url("/b/two.zip")});
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0]["save-folder"], "C:\\HostTest\\Default");
}

TEST_F(Host, OnlyParseUrlOneFollowsAScriptUrl) {
    WriteRules({{kExtensionRule, u".pdf", u"C:\\HostTest\\Docs"}});
    struct Row {
        const char* name;
        int parseUrl;  // -1: missing
        bool fetched;
    };
    const Row rows[] = {{"missing", -1, false}, {"0", 0, false}, {"1", 1, true}, {"2", 2, false}};
    int n = 0;
    for (const Row& r : rows) {
        if (r.parseUrl >= 0) WriteSettingDword(kParseUrl, static_cast<uint32_t>(r.parseUrl));
        std::string path = "/get.php?id=" + std::to_string(++n);
        std::vector<Report> got = Run({Url(path)});
        ASSERT_EQ(got.size(), 1u) << r.name;
        EXPECT_EQ(got[0]["result"], "0x80004001") << r.name;
        std::string log = ServerLog();
        EXPECT_EQ(log.find(path) != std::string::npos, r.fetched) << r.name << ", server log:\n" << log;
        // The redirect ends at /files/report.pdf: followed, the .pdf rule matches.
        EXPECT_EQ(got[0]["save-folder"], r.fetched ? "C:\\HostTest\\Docs" : "") << r.name;
    }
}

// "&end" keeps the address's own extension from matching any rule.
std::string HeaderQuery(std::initializer_list<const char*> headers) { return DispositionQuery(headers) + "&end"; }

TEST_F(Host, TheServersFileNameDecidesOnlyWithTheOptionOn) {
    WriteRules({{kExtensionRule, u".pdf", u"C:\\HostTest\\Docs"}, {kExtensionRule, u".exe", u"C:\\HostTest\\Installers"}});
    WriteSettingDword(kUseDefault, 1);
    WriteSettingString(kDefaultFolder, u"C:\\HostTest\\Default");
    WriteSettingDword(kParseUrl, 1);
    const char* docs = "C:\\HostTest\\Docs";
    const char* installers = "C:\\HostTest\\Installers";
    const char* other = "C:\\HostTest\\Default";
    struct Row {
        const char* label;
        std::string path;
        const char* on;   // the Save dialog's folder with "UseContentDisposition" 1
        const char* off;  // ... and with it 0
    };
    const Row rows[] = {
        {"quoted name", "/download?id=42", docs, other},
        {"filename* over filename", "/cd?" + HeaderQuery({"attachment; filename=\"a.pdf\"; filename*=UTF-8''%E2%82%AC%20setup.exe"}),
         installers, other},
        {"path parts stripped", "/cd?" + HeaderQuery({"attachment; filename=../../tool.exe"}), installers, other},
        {"unusable name", "/cd?" + HeaderQuery({"attachment; filename=\"what?.pdf\""}), other, other},
        {"repeated, names differ", "/cd?" + HeaderQuery({"attachment; filename=a.pdf", "attachment; filename=b.exe"}),
         other, other},
        {"header of the redirect's target", "/cd302?" + HeaderQuery({"inline; filename=report.pdf"}), docs, other},
        {"no header: the address after the 302 chain", "/get.php?id=cd", docs, docs},
    };
    for (uint32_t option : {1u, 0u}) {
        WriteSettingDword(kUseContentDisposition, option);
        std::vector<std::string> urls;
        for (const Row& r : rows) urls.push_back(Url(r.path));
        std::vector<Report> got = Run(urls);
        ASSERT_EQ(got.size(), std::size(rows));
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i]["result"], "0x80004001") << rows[i].label;
            EXPECT_EQ(got[i]["save-folder"], option ? rows[i].on : rows[i].off)
                << rows[i].label << ", option " << option;
        }
    }
}

TEST_F(Host, VersionEightAndOlderOpenInDownloadDirectory) {
    std::wstring version = Text(HKEY_LOCAL_MACHINE, kIeKey, L"Version");
    ASSERT_TRUE(PutText(HKEY_LOCAL_MACHINE, kIeKey, L"Version", L"8.0.7601.17514"));
    WriteRules({{kExtensionRule, u".pdf", u"C:\\HostTest\\Docs"}});
    std::vector<Report> got = Run({Url("/a/one.pdf")});
    PutText(HKEY_LOCAL_MACHINE, kIeKey, L"Version", version);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0]["save-folder"], "C:\\HostTest\\Docs");
    EXPECT_EQ(Text(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer", L"Download Directory"),
              L"C:\\HostTest\\Docs");
}

}  // namespace
}  // namespace fw::test
