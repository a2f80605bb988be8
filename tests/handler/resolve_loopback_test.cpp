// ResolveFinalUrl for real, against tools/loopback_http.py on 127.0.0.1
// (started by the loopback_http fixture, which names its port file in
// FW_HTTP_PORT_FILE). Each row checks the result, what was captured, that
// the call came back in bounded time and that no callback outlived it.
#include "loopback_ports.h"
#include "url_resolve.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace fw::test {
namespace {

// Where Wine's urlmon differs from Windows the rows say both (docs/wine.md).
bool OnWine() {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

std::wstring Widen(const std::string& s) { return std::wstring(s.begin(), s.end()); }

std::string Narrow(const wchar_t* s) {
    if (!s) return "(null)";
    std::string out;
    for (; *s; ++s) out += *s < 0x80 ? static_cast<char>(*s) : '?';
    return out;
}

class LoopbackTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ports = ReadLoopbackPorts();
        ASSERT_NE(ports.live, 0) << "no loopback server: FW_HTTP_PORT_FILE unset or unreadable";
        base = "http://127.0.0.1:" + std::to_string(ports.live);
        ServerLog();  // start each test with an empty log
    }
    void TearDown() override { CoUninitialize(); }

    // The paths the server was asked for since the last call.
    std::string ServerLog() {
        static int n = 0;
        std::wstring url = Widen(base + "/log?" + std::to_string(++n));
        IStream* s = nullptr;
        std::string text;
        if (SUCCEEDED(URLOpenBlockingStreamW(nullptr, url.c_str(), &s, 0, nullptr)) && s) {
            char buf[512];
            ULONG got = 0;
            while (SUCCEEDED(s->Read(buf, sizeof buf, &got)) && got) text.append(buf, got);
            s->Release();
        }
        return text;
    }

    LoopbackPorts ports;
    std::string base;
};

TEST_F(LoopbackTest, ResolvesWhatTheServerSends) {
    const bool wine = OnWine();
    const std::string closed = "http://127.0.0.1:" + std::to_string(ports.closed);
    struct Row {
        const char* label;
        std::string url;
        int result;
        std::string captured;  // "(null)" for nothing
        std::string asked;     // the server's log afterwards
    };
    const std::string chain = base + "/get.php?id=7";
    const Row rows[] = {
        {"plain file", base + "/files/plain.zip", 0, base + "/files/plain.zip", "/files/plain.zip\n"},
        // Windows names the address after the redirects at begin-download-data;
        // Wine names the request there, and the last redirect target stands in
        // (RawReportsAfterARedirect shows what Wine reports).
        {"302 chain to /files/report.pdf", chain, 0, base + "/files/report.pdf",
         "/get.php?id=7\n/step2.asp\n/files/report.pdf\n"},
        // Windows fails the binding before any data; Wine takes the closed
        // connection for an empty answer and reports begin-download-data.
        {"server closes without data", base + "/close", wine ? 0 : 1, wine ? base + "/close" : "(null)", ""},
        {"nothing listens", closed + "/get.php?id=1", 1, "(null)", ""},
        {"host does not resolve", "http://folderwise-test.invalid/get.php?id=1", 1, "(null)", ""},
        {"no moniker for an empty URL", "", 1, "(null)", ""},
        {"no protocol for the scheme", "nosuch://h/get.php", 1, "(null)", ""},
    };
    for (const auto& row : rows) {
        std::wstring url = Widen(row.url);
        wchar_t* finalUrl = nullptr;
        ULONGLONG start = GetTickCount64();
        int result = ResolveFinalUrl(url.c_str(), &finalUrl);
        ULONGLONG ms = GetTickCount64() - start;
        EXPECT_EQ(result, row.result) << row.label;
        EXPECT_EQ(Narrow(finalUrl), row.captured) << row.label;
        EXPECT_LT(ms, 20000u) << row.label << ": the call must come back";
        EXPECT_EQ(CBindStatusCallback::LiveCount(), 0) << row.label << ": callback still alive";
        std::string asked = ServerLog();
        if (!row.asked.empty()) {
            EXPECT_EQ(asked, row.asked) << row.label;
        }
        CoTaskMemFree(finalUrl);
    }
}

// Records what the platform reports through a plain synchronous binding.
class Recorder final : public IBindStatusCallback {
public:
    std::vector<std::string> reports;  // "<code> <text>" for redirect and begin-data reports
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        *ppv = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IBindStatusCallback) ? this : nullptr;
        if (!*ppv) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override { return --refs_; }
    STDMETHODIMP OnStartBinding(DWORD, IBinding*) override { return S_OK; }
    STDMETHODIMP GetPriority(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP OnLowResource(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP OnProgress(ULONG, ULONG, ULONG code, LPCWSTR text) override {
        if (code == BINDSTATUS_REDIRECTING || code == BINDSTATUS_BEGINDOWNLOADDATA)
            reports.push_back(std::to_string(code) + " " + Narrow(text));
        return S_OK;
    }
    STDMETHODIMP OnStopBinding(HRESULT, LPCWSTR) override { return S_OK; }
    STDMETHODIMP GetBindInfo(DWORD* flags, BINDINFO* info) override {
        *flags = BINDF_GETNEWESTVERSION | BINDF_NOWRITECACHE | BINDF_PULLDATA;
        info->cbSize = sizeof(BINDINFO);
        return S_OK;
    }
    STDMETHODIMP OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM* medium) override {
        char buf[4096];
        ULONG got = 0;
        if (medium && medium->tymed == TYMED_ISTREAM && medium->pstm)
            while (medium->pstm->Read(buf, sizeof buf, &got) == S_OK && got) {
            }
        return S_OK;
    }
    STDMETHODIMP OnObjectAvailable(REFIID, IUnknown*) override { return E_NOTIMPL; }
    LONG refs_ = 1;
};

TEST_F(LoopbackTest, RawReportsAfterARedirect) {
    const std::string chain = base + "/get.php?id=raw";
    std::wstring url = Widen(chain);
    Recorder recorder;
    IMoniker* moniker = nullptr;
    IBindCtx* ctx = nullptr;
    ASSERT_EQ(CreateURLMoniker(nullptr, url.c_str(), &moniker), S_OK);
    ASSERT_EQ(CreateBindCtx(0, &ctx), S_OK);
    ASSERT_EQ(RegisterBindStatusCallback(ctx, &recorder, nullptr, 0), S_OK);
    IUnknown* object = nullptr;
    moniker->BindToStorage(ctx, nullptr, IID_IStream, reinterpret_cast<void**>(&object));
    if (object) object->Release();
    RevokeBindStatusCallback(ctx, &recorder);
    ctx->Release();
    moniker->Release();
    // Every hop is reported; Wine then names the request at begin-data,
    // Windows the address after the redirects.
    const std::vector<std::string> expected = {
        "3 " + base + "/step2.asp",
        "3 " + base + "/files/report.pdf",
        "4 " + (OnWine() ? chain : base + "/files/report.pdf"),
    };
    EXPECT_EQ(recorder.reports, expected);
    EXPECT_EQ(recorder.refs_, 1);
}

TEST_F(LoopbackTest, ServerNameFromTheFinalResponse) {
    struct Row {
        const char* label;
        std::string path;
        const char* name;
    };
    const Row rows[] = {
        {"download?id=42", "/download?id=42", "Quarterly report.pdf"},
        {"filename* in UTF-8", "/cd?" + DispositionQuery({"attachment; filename*=UTF-8''%E2%82%AC%20rates.pdf"}), "?" " rates.pdf"},
        {"the redirect target's header", "/cd302?" + DispositionQuery({"attachment; filename=\"a/b.zip\""}), "b.zip"},
        {"repeated alike", "/cd?" + DispositionQuery({"attachment; filename=x.pdf", "inline; filename=x.pdf"}),
         "x.pdf"},
        {"repeated, names differ", "/cd?" + DispositionQuery({"attachment; filename=x.pdf", "attachment; filename=y.exe"}),
         ""},
        {"unusable", "/cd?" + DispositionQuery({"attachment; filename=\"what?.pdf\""}), ""},
        {"no header", "/files/plain.zip", ""},
    };
    for (const Row& row : rows) {
        std::wstring url = Widen(base + row.path);
        wchar_t* finalUrl = nullptr;
        wchar_t name[kServerNameChars];
        wmemset(name, L'#', kServerNameChars);
        EXPECT_EQ(ResolveFinalUrl(url.c_str(), &finalUrl, name), 0) << row.label;
        EXPECT_EQ(Narrow(name), row.name) << row.label;
        EXPECT_EQ(CBindStatusCallback::LiveCount(), 0) << row.label;
        CoTaskMemFree(finalUrl);
    }
    // A server that cannot be reached: no name, the slot still cleared.
    wchar_t* finalUrl = nullptr;
    wchar_t name[kServerNameChars] = L"stale";
    std::wstring closed = Widen("http://127.0.0.1:" + std::to_string(ports.closed) + "/download?id=42");
    EXPECT_EQ(ResolveFinalUrl(closed.c_str(), &finalUrl, name), 1);
    EXPECT_EQ(name[0], 0);
    ServerLog();
}

// The platform may keep the callback after the binding has ended and report
// to it later; by then the slot's frame is gone, so nothing may be written.
TEST_F(LoopbackTest, AReportAfterTheBindingClosedWritesNowhere) {
    std::wstring url = Widen(base + "/files/plain.zip");
    wchar_t* slot = nullptr;
    CBindStatusCallback* held = nullptr;
    {
        CUrlBinding binding;
        binding.Start(url.c_str(), &slot);
        held = binding.Callback();
        ASSERT_NE(held, nullptr);
        held->AddRef();  // the platform's reference, kept past the binding
        binding.Close();
    }
    EXPECT_EQ(Narrow(slot), base + "/files/plain.zip") << "the binding itself captured";
    CoTaskMemFree(slot);
    slot = nullptr;
    EXPECT_EQ(CBindStatusCallback::LiveCount(), 1);
    EXPECT_EQ(held->OnProgress(0, 0, kBeginDownloadData, L"http://late.example/x.zip"), S_OK);
    EXPECT_EQ(slot, nullptr) << "the late report was captured into the closed binding's slot";
    EXPECT_EQ(held->Release(), 0u);
    EXPECT_EQ(CBindStatusCallback::LiveCount(), 0);
}

TEST_F(LoopbackTest, BadArgumentsMakeNoRequest) {
    std::wstring url = Widen(base + "/files/plain.zip");
    wchar_t* held = static_cast<wchar_t*>(CoTaskMemAlloc(sizeof(wchar_t)));
    held[0] = 0;
    wchar_t* slot = held;
    EXPECT_EQ(ResolveFinalUrl(url.c_str(), &slot), 1) << "slot not null on entry";
    EXPECT_EQ(slot, held);
    EXPECT_EQ(ResolveFinalUrl(url.c_str(), nullptr), 1) << "no slot";
    slot = nullptr;
    EXPECT_EQ(ResolveFinalUrl(nullptr, &slot), 1) << "no URL";
    EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(ServerLog(), "");
    CoTaskMemFree(held);
}

}  // namespace
}  // namespace fw::test
