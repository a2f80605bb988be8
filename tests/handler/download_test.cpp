// CFwiseObj::Download with the object's own steps watched: a test class
// overrides FindRuleFolder (to see what it is given) and SeedSaveFolder (to
// count seeds without touching the Save dialog's places). Monikers are a fake
// one for the display-name failures and real URL monikers otherwise; a small
// loopback HTTP server counts the requests a redirect resolution makes.
#include "fwise_module.h"
#include "fwise_obj.h"
#include "scoped_win.h"
#include "store_util.h"
#include <gtest/gtest.h>
#include <winsock2.h>
#include <ws2tcpip.h>
#include <atomic>
#include <cstring>
#include <string>
#include <thread>

// The object's module, for a test program that holds the object alone.
namespace fw {
static LONG g_testLocks = 0;
void ModuleLock() { ++g_testLocks; }
void ModuleUnlock() { --g_testLocks; }
LONG ModuleLockCount() { return g_testLocks; }
HRESULT ModuleTypeInfo(LCID, ITypeInfo** info) {
    *info = nullptr;
    return E_NOTIMPL;
}
}  // namespace fw

namespace fw::test {
namespace {

class WatchedObj : public CFwiseObj {
public:
    int finds = 0;
    int seeds = 0;
    bool clearedAtFind = false;  // the whole folder buffer was zero when matching began
    std::u16string url, nameSource, seededFolder;

    int32_t FindRuleFolder(const char16_t* u, const char16_t* source) override {
        ++finds;
        clearedAtFind = true;
        for (char16_t c : folder_) clearedAtFind = clearedAtFind && c == 0;
        url = u ? u : u"<null>";
        nameSource = source ? source : u"<null>";
        return CFwiseObj::FindRuleFolder(u, source);
    }
    int32_t SeedSaveFolder() override {
        ++seeds;
        seededFolder = folder_;
        return 0;
    }
    // Leaves stale text in the buffer, as an earlier download would.
    void Dirty() {
        for (char16_t& c : folder_) c = u'x';
    }
};

// A moniker whose display name is whatever the test says; nothing else works.
class FakeMoniker : public IMoniker {
public:
    HRESULT result = S_OK;
    const wchar_t* name = nullptr;  // copied into task memory when set
    IBindCtx* seenBindCtx = reinterpret_cast<IBindCtx*>(1);
    int calls = 0;

    STDMETHODIMP QueryInterface(REFIID, void** ppv) override {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }
    STDMETHODIMP IsDirty() override { return E_NOTIMPL; }
    STDMETHODIMP Load(IStream*) override { return E_NOTIMPL; }
    STDMETHODIMP Save(IStream*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }
    STDMETHODIMP BindToObject(IBindCtx*, IMoniker*, REFIID, void**) override { return E_NOTIMPL; }
    STDMETHODIMP BindToStorage(IBindCtx*, IMoniker*, REFIID, void**) override { return E_NOTIMPL; }
    STDMETHODIMP Reduce(IBindCtx*, DWORD, IMoniker**, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP ComposeWith(IMoniker*, BOOL, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP Enum(BOOL, IEnumMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP IsEqual(IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP Hash(DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP IsRunning(IBindCtx*, IMoniker*, IMoniker*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTimeOfLastChange(IBindCtx*, IMoniker*, FILETIME*) override { return E_NOTIMPL; }
    STDMETHODIMP Inverse(IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP CommonPrefixWith(IMoniker*, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP RelativePathTo(IMoniker*, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP GetDisplayName(IBindCtx* pbc, IMoniker* left, LPOLESTR* out) override {
        ++calls;
        seenBindCtx = pbc;
        if (left) return E_INVALIDARG;
        *out = nullptr;
        if (name) {
            size_t cb = (wcslen(name) + 1) * sizeof(wchar_t);
            *out = static_cast<LPOLESTR>(CoTaskMemAlloc(cb));
            std::memcpy(*out, name, cb);
        }
        return result;
    }
    STDMETHODIMP ParseDisplayName(IBindCtx*, IMoniker*, LPOLESTR, ULONG*, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP IsSystemMoniker(DWORD*) override { return E_NOTIMPL; }
};

// Answers every GET with a few bytes and counts the requests.
class LoopbackServer {
public:
    LoopbackServer() {
        WSADATA wsa;
        WSAStartup(MAKEWORD(2, 2), &wsa);
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in addr = {};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        listen(listener_, 8);
        int len = sizeof addr;
        getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len);
        port_ = ntohs(addr.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~LoopbackServer() {
        closesocket(listener_);
        thread_.join();
        WSACleanup();
    }
    std::wstring Url(const wchar_t* path) const { return L"http://127.0.0.1:" + std::to_wstring(port_) + path; }
    int Requests() const { return requests_; }

private:
    void Serve() {
        for (;;) {
            SOCKET s = accept(listener_, nullptr, nullptr);
            if (s == INVALID_SOCKET) return;
            std::string request;
            char buf[1024];
            int got;
            while (request.find("\r\n\r\n") == std::string::npos && (got = recv(s, buf, sizeof buf, 0)) > 0)
                request.append(buf, got);
            ++requests_;
            const char reply[] =
                "HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: 5\r\n"
                "Cache-Control: no-store\r\nConnection: close\r\n\r\nbytes";
            send(s, reply, sizeof reply - 1, 0);
            shutdown(s, SD_SEND);
            while (recv(s, buf, sizeof buf, 0) > 0) {
            }
            closesocket(s);
        }
    }
    SOCKET listener_;
    int port_ = 0;
    std::atomic<int> requests_{0};
    std::thread thread_;
};

class Download : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        DeleteSettings();
        obj_ = new WatchedObj();
        obj_->AddRef();
    }
    void TearDown() override {
        EXPECT_EQ(obj_->Release(), 0u);
        EXPECT_EQ(ModuleLockCount(), 0) << "the object gave its module lock back";
        DeleteSettings();
        CoUninitialize();
    }
    // Download of a real URL moniker; the result.
    HRESULT Get(const std::wstring& url) {
        ScopedCom<IMoniker> moniker;
        ScopedCom<IBindCtx> ctx;
        if (FAILED(CreateURLMoniker(nullptr, url.c_str(), moniker.Receive())) || FAILED(CreateBindCtx(0, ctx.Receive())))
            return E_UNEXPECTED;
        return obj_->Download(moniker.Get(), ctx.Get(), BINDVERB_GET, 0, nullptr, nullptr, nullptr, CP_ACP);
    }
    WatchedObj* obj_ = nullptr;
};

TEST_F(Download, NoUsableDisplayNameMeansNothingIsMatched) {
    WriteRules({{kExtensionRule, u".zip", u"C:\\Zips"}});
    WriteSettingDword(kUseDefault, 1);
    WriteSettingString(kDefaultFolder, u"C:\\Default");
    struct Row {
        const char* name;
        HRESULT result;
        const wchar_t* text;
    };
    const Row rows[] = {
        {"failure", E_FAIL, nullptr},
        {"failure with a name left behind", MK_E_UNAVAILABLE, L"http://h/a.zip"},
        {"S_FALSE with a name", S_FALSE, L"http://h/a.zip"},
        {"S_OK without a name", S_OK, nullptr},
    };
    for (const Row& r : rows) {
        FakeMoniker moniker;
        moniker.result = r.result;
        moniker.name = r.text;
        obj_->finds = obj_->seeds = 0;
        EXPECT_EQ(obj_->Download(&moniker, nullptr, 0, 0, nullptr, nullptr, nullptr, 0), E_NOTIMPL) << r.name;
        EXPECT_EQ(moniker.calls, 1) << r.name;
        EXPECT_EQ(obj_->finds, 0) << r.name;
        EXPECT_EQ(obj_->seeds, 0) << r.name;
    }
}

TEST_F(Download, NoMonikerIsAnErrorAndTouchesNothing) {
    WriteRules({{kExtensionRule, u".zip", u"C:\\Zips"}});
    WriteSettingDword(kUseDefault, 1);
    WriteSettingString(kDefaultFolder, u"C:\\Default");
    ScopedCom<IBindCtx> ctx;
    ASSERT_EQ(CreateBindCtx(0, ctx.Receive()), S_OK);
    EXPECT_EQ(obj_->Download(nullptr, ctx.Get(), 0, 0, nullptr, nullptr, nullptr, 0), E_INVALIDARG);
    EXPECT_EQ(obj_->finds, 0);
    EXPECT_EQ(obj_->seeds, 0);
}

TEST_F(Download, BindContextGoesToGetDisplayNameAsItCame) {
    FakeMoniker moniker;
    moniker.name = L"http://h/a.zip";
    ScopedCom<IBindCtx> ctx;
    ASSERT_EQ(CreateBindCtx(0, ctx.Receive()), S_OK);
    obj_->Download(&moniker, ctx.Get(), 0, 0, nullptr, nullptr, nullptr, 0);
    EXPECT_EQ(moniker.seenBindCtx, ctx.Get());
    obj_->Download(&moniker, nullptr, 0, 0, nullptr, nullptr, nullptr, 0);
    EXPECT_EQ(moniker.seenBindCtx, nullptr);
    EXPECT_EQ(obj_->url, u"http://h/a.zip");
}

TEST_F(Download, SeedsOnceOnAMatchAndNotAtAllWithoutOne) {
    WriteRules({{kExtensionRule, u".pdf", u"C:\\Docs"}, {kUrlRule, u"example.org/music/", u"C:\\Music"}});
    WriteSettingDword(kUseDefault, 0);
    struct Row {
        const char* name;
        const wchar_t* url;
        int seeds;
        const char16_t* folder;
    };
    const Row rows[] = {
        {"extension rule", L"http://example.com/a/Report.PDF", 1, u"C:\\Docs"},
        {"URL rule", L"http://example.org/music/track.ogg", 1, u"C:\\Music"},
        {"no rule, no default", L"http://example.com/a/archive.zip", 0, u""},
    };
    for (const Row& r : rows) {
        obj_->seeds = 0;
        obj_->seededFolder.clear();
        EXPECT_EQ(Get(r.url), E_NOTIMPL) << r.name;
        EXPECT_EQ(obj_->seeds, r.seeds) << r.name;
        EXPECT_EQ(obj_->seededFolder, std::u16string(r.folder)) << r.name;
    }
}

TEST_F(Download, EachCallStartsFromAClearedFolderBuffer) {
    WriteRules({{kExtensionRule, u".pdf", u"C:\\Docs"}});
    obj_->Dirty();
    EXPECT_EQ(Get(L"http://example.com/a.pdf"), E_NOTIMPL);
    EXPECT_TRUE(obj_->clearedAtFind) << "first call";
    EXPECT_EQ(obj_->seeds, 1);
    // The second download matches nothing: the first one's folder is gone
    // before matching, and nothing is seeded.
    EXPECT_EQ(Get(L"http://example.com/b.zip"), E_NOTIMPL);
    EXPECT_TRUE(obj_->clearedAtFind) << "second call";
    EXPECT_EQ(obj_->seeds, 1);
}

TEST_F(Download, ParseUrlExactlyOneResolvesScriptUrlsOnly) {
    LoopbackServer server;
    WriteRules({{kExtensionRule, u".php", u"C:\\Scripts"}});
    struct Row {
        const char* name;
        bool setParseUrl;
        uint32_t parseUrl;
        const wchar_t* path;
        int requests;  // bindings the handler made
    };
    const Row rows[] = {
        {"missing", false, 0, L"/get.php?id=1", 0},
        {"0", true, 0, L"/get.php?id=2", 0},
        {"2", true, 2, L"/get.php?id=3", 0},
        {"1, script URL", true, 1, L"/get.php?id=4", 1},
        {"1, no script URL", true, 1, L"/files/report.pdf", 0},
    };
    for (const Row& r : rows) {
        DeleteRegValue(RegRoot::CurrentUser, kSettingsKey, kParseUrl);
        if (r.setParseUrl) WriteSettingDword(kParseUrl, r.parseUrl);
        int before = server.Requests();
        std::wstring url = server.Url(r.path);
        EXPECT_EQ(Get(url), E_NOTIMPL) << r.name;
        EXPECT_EQ(server.Requests() - before, r.requests) << r.name;
        // URL rules always see the URL as the browser gave it.
        EXPECT_EQ(obj_->url, std::u16string(U(url.c_str()))) << r.name;
        if (r.requests == 0) {
            EXPECT_EQ(obj_->nameSource, obj_->url) << r.name;
        }
    }
}

TEST_F(Download, TheSixOtherArgumentsChangeNothing) {
    WriteRules({{kNameRule, u"setup", u"C:\\Installers"}});
    BINDINFO info = {};
    info.cbSize = sizeof info;
    struct Row {
        const char* name;
        DWORD verb;
        LONG bindf;
        BINDINFO* info;
        LPCOLESTR headers, redirect;
        UINT cp;
    };
    const Row rows[] = {
        {"all null", 0, 0, nullptr, nullptr, nullptr, 0},
        {"plausible", BINDVERB_GET, BINDF_ASYNCHRONOUS, &info, L"Accept: */*\r\n", L"http://other/", CP_UTF8},
        {"garbage", 0xFFFFFFFF, -1, reinterpret_cast<BINDINFO*>(8), reinterpret_cast<LPCOLESTR>(8),
         reinterpret_cast<LPCOLESTR>(8), 0xFFFFFFFF},
    };
    for (const Row& r : rows) {
        ScopedCom<IMoniker> moniker;
        ASSERT_EQ(CreateURLMoniker(nullptr, L"http://example.com/Setup_v2.exe", moniker.Receive()), S_OK);
        obj_->seeds = 0;
        EXPECT_EQ(obj_->Download(moniker.Get(), nullptr, r.verb, r.bindf, r.info, r.headers, r.redirect, r.cp),
                  E_NOTIMPL)
            << r.name;
        EXPECT_EQ(obj_->seeds, 1) << r.name;
        EXPECT_EQ(obj_->seededFolder, u"C:\\Installers") << r.name;
    }
}

}  // namespace
}  // namespace fw::test
