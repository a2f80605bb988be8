// CBindStatusCallback driven by a fake binding and a fake stream, the way a
// synchronous pull binding calls it. Every test ends with every object back
// at the count it started with and no callback alive.
#include "url_resolve.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace fw::test {
namespace {

class FakeBinding : public IBinding {
public:
    LONG refs = 1;  // the test's own
    int aborts = 0;
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IBinding)) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP Abort() override { ++aborts; return S_OK; }
    STDMETHODIMP Suspend() override { return E_NOTIMPL; }
    STDMETHODIMP Resume() override { return E_NOTIMPL; }
    STDMETHODIMP SetPriority(LONG) override { return E_NOTIMPL; }
    STDMETHODIMP GetPriority(LONG*) override { return E_NOTIMPL; }
    STDMETHODIMP GetBindResult(CLSID*, DWORD*, LPOLESTR*, DWORD*) override { return E_NOTIMPL; }
};

struct ReadStep {
    HRESULT hr;
    ULONG got;
};

// Answers reads from a script; a read past its end is a fault of the drain.
class FakeStream : public IStream {
public:
    LONG refs = 1;
    std::vector<ReadStep> script;
    std::vector<ULONG> asked;  // the size of every read
    bool overrun = false;
    STDMETHODIMP QueryInterface(REFIID, void** ppv) override { *ppv = nullptr; return E_NOINTERFACE; }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP Read(void* buffer, ULONG cb, ULONG* read) override {
        if (asked.size() >= script.size()) {
            overrun = true;
            *read = 0;
            return E_UNEXPECTED;
        }
        const ReadStep& step = script[asked.size()];
        asked.push_back(cb);
        ULONG got = step.got < cb ? step.got : cb;
        memset(buffer, 'x', got);
        *read = got;
        return step.hr;
    }
    STDMETHODIMP Write(const void*, ULONG, ULONG*) override { return E_NOTIMPL; }
    STDMETHODIMP Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override { return E_NOTIMPL; }
    STDMETHODIMP SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
    STDMETHODIMP CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override { return E_NOTIMPL; }
    STDMETHODIMP Commit(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP Revert() override { return E_NOTIMPL; }
    STDMETHODIMP LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP Clone(IStream**) override { return E_NOTIMPL; }
};

// An allocator that fails from a given call on, counting the calls.
int g_allocCalls = 0;
int g_failFrom = 0;  // 0: never fail
LPVOID WINAPI FailingAlloc(SIZE_T cb) {
    ++g_allocCalls;
    if (g_failFrom && g_allocCalls >= g_failFrom) return nullptr;
    return CoTaskMemAlloc(cb);
}

class CallbackTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_allocCalls = 0;
        g_failFrom = 0;
        cb = new CBindStatusCallback(&slot);
    }
    void TearDown() override {
        if (cb) {
            EXPECT_EQ(cb->Release(), 0u);
        }
        EXPECT_EQ(CBindStatusCallback::LiveCount(), 0);
        EXPECT_EQ(binding.refs, 1);
        EXPECT_EQ(stream.refs, 1);
        EXPECT_FALSE(stream.overrun);
        g_taskMemAlloc = CoTaskMemAlloc;
        CoTaskMemFree(slot);
    }
    std::string Captured() const {
        if (!slot) return "(null)";
        std::string s;
        for (const wchar_t* p = slot; *p; ++p) s += static_cast<char>(*p);
        return s;
    }
    STGMEDIUM StreamMedium() {
        STGMEDIUM m{};
        m.tymed = TYMED_ISTREAM;
        m.pstm = &stream;
        return m;
    }

    wchar_t* slot = nullptr;
    CBindStatusCallback* cb = nullptr;
    FakeBinding binding;
    FakeStream stream;
};

TEST_F(CallbackTest, QueryInterfaceHandsOutOnlyItsTwoInterfaces) {
    struct Row {
        const char* label;
        const IID* iid;
        HRESULT hr;
    };
    const Row rows[] = {
        {"IUnknown", &IID_IUnknown, S_OK},
        {"IBindStatusCallback", &IID_IBindStatusCallback, S_OK},
        {"IBinding", &IID_IBinding, E_NOINTERFACE},
        {"IStream", &IID_IStream, E_NOINTERFACE},
        {"IDownloadManager", &IID_IDownloadManager, E_NOINTERFACE},
        {"IBindStatusCallbackEx", &IID_IBindStatusCallbackEx, E_NOINTERFACE},
        {"IHttpNegotiate, not asked for a name", &IID_IHttpNegotiate, E_NOINTERFACE},
    };
    for (const auto& row : rows) {
        void* out = &slot;  // anything but null
        HRESULT hr = cb->QueryInterface(*row.iid, &out);
        EXPECT_EQ(hr, row.hr) << row.label;
        if (row.hr == S_OK) {
            EXPECT_EQ(out, static_cast<IBindStatusCallback*>(cb)) << row.label;
            EXPECT_EQ(cb->Release(), 1u) << row.label << ": QueryInterface added one reference";
        } else {
            EXPECT_EQ(out, nullptr) << row.label;
        }
    }
    EXPECT_EQ(cb->AddRef(), 2u);
    EXPECT_EQ(cb->Release(), 1u);

    // Asked for the server's file name, it reads the response too; IUnknown
    // stays the same object.
    wchar_t name[kServerNameChars];
    auto* named = new CBindStatusCallback(&slot, nullptr, name);
    void* negotiate = nullptr;
    void* unknown = nullptr;
    ASSERT_EQ(named->QueryInterface(IID_IHttpNegotiate, &negotiate), S_OK);
    EXPECT_EQ(negotiate, static_cast<IHttpNegotiate*>(named));
    ASSERT_EQ(static_cast<IHttpNegotiate*>(negotiate)->QueryInterface(IID_IUnknown, &unknown), S_OK);
    EXPECT_EQ(unknown, static_cast<IBindStatusCallback*>(named));
    EXPECT_EQ(static_cast<IHttpNegotiate*>(negotiate)->Release(), 2u);
    EXPECT_EQ(static_cast<IUnknown*>(unknown)->Release(), 1u);
    EXPECT_EQ(named->Release(), 0u);
}

struct Report {
    ULONG code;
    const wchar_t* text;
};

TEST_F(CallbackTest, OnlyTheFirstBeginDataReportIsCapturedAndAborts) {
    struct Row {
        const char* label;
        bool startBinding;
        std::vector<Report> reports;
        const char* captured;
        int aborts;
        const wchar_t* request = nullptr;  // the address bound, when the callback knows it
    };
    const Row rows[] = {
        {"redirect, then begin data, then later ones", true,
         {{BINDSTATUS_CONNECTING, L"127.0.0.1"},
          {BINDSTATUS_REDIRECTING, L"http://h/files/report.pdf"},
          {BINDSTATUS_BEGINDOWNLOADDATA, L"http://h/files/report.pdf"},
          {BINDSTATUS_BEGINDOWNLOADDATA, L"http://h/later.zip"},
          {BINDSTATUS_ENDDOWNLOADDATA, L"http://h/end.zip"}},
         "http://h/files/report.pdf", 1},
        {"redirect alone", true, {{BINDSTATUS_REDIRECTING, L"http://h/files/report.pdf"}}, "(null)", 0},
        {"null status text", true, {{BINDSTATUS_BEGINDOWNLOADDATA, nullptr}}, "", 1},
        {"no binding to abort", false, {{BINDSTATUS_BEGINDOWNLOADDATA, L"http://h/a.zip"}}, "http://h/a.zip", 0},
        {"empty text, then a real one", true,
         {{BINDSTATUS_BEGINDOWNLOADDATA, L""}, {BINDSTATUS_BEGINDOWNLOADDATA, L"http://h/a.zip"}}, "", 1},
        // Wine names the request at begin-data; the redirect reports name every hop.
        {"begin data names the request after redirects: the last target", true,
         {{BINDSTATUS_REDIRECTING, L"http://h/step2.asp"},
          {BINDSTATUS_REDIRECTING, L"http://h/files/report.pdf"},
          {BINDSTATUS_BEGINDOWNLOADDATA, L"http://h/get.php?id=7"}},
         "http://h/files/report.pdf", 1, L"http://h/get.php?id=7"},
        {"begin data names the final address", true,
         {{BINDSTATUS_REDIRECTING, L"http://h/files/report.pdf"},
          {BINDSTATUS_BEGINDOWNLOADDATA, L"http://h/files/report.pdf"}},
         "http://h/files/report.pdf", 1, L"http://h/get.php?id=7"},
        {"begin data names a third address: taken as it is", true,
         {{BINDSTATUS_REDIRECTING, L"http://h/step2.asp"}, {BINDSTATUS_BEGINDOWNLOADDATA, L"http://h/other.zip"}},
         "http://h/other.zip", 1, L"http://h/get.php?id=7"},
        {"no redirect, begin data names the request", true,
         {{BINDSTATUS_BEGINDOWNLOADDATA, L"http://h/get.php?id=7"}}, "http://h/get.php?id=7", 1,
         L"http://h/get.php?id=7"},
        {"redirect after the capture changes nothing", true,
         {{BINDSTATUS_BEGINDOWNLOADDATA, L"http://h/get.php?id=7"}, {BINDSTATUS_REDIRECTING, L"http://h/late.pdf"},
          {BINDSTATUS_BEGINDOWNLOADDATA, L"http://h/get.php?id=7"}},
         "http://h/get.php?id=7", 1, L"http://h/get.php?id=7"},
        {"request unknown: the begin-data text", true,
         {{BINDSTATUS_REDIRECTING, L"http://h/files/report.pdf"}, {BINDSTATUS_BEGINDOWNLOADDATA, L"http://h/get.php"}},
         "http://h/get.php", 1},
    };
    for (const auto& row : rows) {
        FakeBinding b;
        wchar_t* captured = nullptr;
        auto* c = new CBindStatusCallback(&captured, row.request);
        if (row.startBinding) {
            EXPECT_EQ(c->OnStartBinding(0, &b), S_OK) << row.label;
        }
        for (const auto& r : row.reports) {
            EXPECT_EQ(c->OnProgress(1, 10, r.code, r.text), S_OK) << row.label << ": code " << r.code;
        }
        std::string got = "(null)";
        if (captured) {
            got.clear();
            for (const wchar_t* p = captured; *p; ++p) got += static_cast<char>(*p);
        }
        EXPECT_EQ(got, row.captured) << row.label;
        EXPECT_EQ(b.aborts, row.aborts) << row.label;
        if (row.startBinding) {
            EXPECT_EQ(c->OnStopBinding(S_OK, nullptr), S_OK) << row.label;
        }
        EXPECT_EQ(c->Release(), 0u) << row.label;
        EXPECT_EQ(b.refs, 1) << row.label << ": binding references";
        CoTaskMemFree(captured);
    }
}

TEST_F(CallbackTest, FailedAllocationCapturesNothing) {
    g_taskMemAlloc = FailingAlloc;
    g_failFrom = 1;
    cb->OnStartBinding(0, &binding);
    EXPECT_EQ(cb->OnProgress(0, 0, BINDSTATUS_BEGINDOWNLOADDATA, L"http://h/files/report.pdf"), S_OK);
    EXPECT_EQ(g_allocCalls, 1);
    EXPECT_EQ(slot, nullptr);
    // The resolution cannot succeed any more, so the transfer is not worth finishing.
    EXPECT_EQ(binding.aborts, 1);
    // Memory back: a later report may still capture.
    g_failFrom = 0;
    EXPECT_EQ(cb->OnProgress(0, 0, BINDSTATUS_BEGINDOWNLOADDATA, L"http://h/x"), S_OK);
    EXPECT_EQ(Captured(), "http://h/x");
    cb->OnStopBinding(S_OK, nullptr);
}

TEST_F(CallbackTest, FailedRedirectCopyFallsBackToTheBeginDataText) {
    g_taskMemAlloc = FailingAlloc;
    g_failFrom = 2;  // the first redirect is kept, the second cannot be
    auto* c = new CBindStatusCallback(&slot, L"http://h/get.php?id=7");
    c->OnProgress(0, 0, BINDSTATUS_REDIRECTING, L"http://h/step2.asp");
    c->OnProgress(0, 0, BINDSTATUS_REDIRECTING, L"http://h/files/report.pdf");
    g_failFrom = 0;
    c->OnProgress(0, 0, BINDSTATUS_BEGINDOWNLOADDATA, L"http://h/get.php?id=7");
    // Not the stale step2.asp: the request, as without the redirect reports.
    EXPECT_EQ(Captured(), "http://h/get.php?id=7");
    EXPECT_EQ(c->Release(), 0u);
}

TEST_F(CallbackTest, ServerNameFromTheSuccessfulResponse) {
    const wchar_t* named = L"HTTP/1.1 200 OK\r\nContent-Disposition: attachment; filename=\"Quarterly report.pdf\"\r\n\r\n";
    const wchar_t* none = L"HTTP/1.1 200 OK\r\nContent-Type: application/pdf\r\n\r\n";
    const ULONG kName = BINDSTATUS_CONTENTDISPOSITIONFILENAME;
    struct Step {
        bool response;  // OnResponse with code and headers, else OnProgress with code and text
        DWORD code;
        const wchar_t* text;
    };
    struct Row {
        const char* label;
        std::vector<Step> steps;
        const char* name;
    };
    const Row rows[] = {
        {"200 with the header", {{true, 200, named}}, "Quarterly report.pdf"},
        {"206 is a success too", {{true, 206, named}}, "Quarterly report.pdf"},
        {"an error answer's name is not taken", {{true, 404, named}}, ""},
        {"no header", {{true, 200, none}}, ""},
        {"unusable header", {{true, 200, L"HTTP/1.1 200 OK\r\nContent-Disposition: attachment; filename=\"a|b.pdf\"\r\n"}},
         ""},
        {"no headers at all", {{true, 200, nullptr}}, ""},
        {"the platform's name alone, made safe", {{false, kName, L"C:\\x\\y.pdf"}}, "y.pdf"},
        {"the platform's name unusable", {{false, kName, L"a?b.pdf"}}, ""},
        {"the platform's name null", {{false, kName, nullptr}}, ""},
        {"headers decide over a later platform name", {{true, 200, named}, {false, kName, L"other.zip"}},
         "Quarterly report.pdf"},
        {"headers decide over an earlier platform name", {{false, kName, L"other.zip"}, {true, 200, none}}, ""},
    };
    for (const Row& row : rows) {
        wchar_t name[kServerNameChars];
        wmemset(name, L'#', kServerNameChars);
        auto* c = new CBindStatusCallback(&slot, nullptr, name);
        for (const Step& step : row.steps) {
            if (step.response) {
                LPWSTR extra = reinterpret_cast<LPWSTR>(1);
                EXPECT_EQ(c->OnResponse(step.code, step.text, L"GET / HTTP/1.1\r\n", &extra), S_OK) << row.label;
                EXPECT_EQ(extra, nullptr) << row.label;
            } else {
                EXPECT_EQ(c->OnProgress(0, 0, step.code, step.text), S_OK) << row.label;
            }
        }
        std::string got;
        for (const wchar_t* p = name; *p && p < name + kServerNameChars; ++p) got += static_cast<char>(*p);
        EXPECT_EQ(got, row.name) << row.label;
        EXPECT_EQ(slot, nullptr) << row.label << ": the name is no final URL";
        EXPECT_EQ(c->Release(), 0u) << row.label;
    }
}

TEST_F(CallbackTest, NoRequestHeadersAddedAndNothingWrittenOnceForgotten) {
    wchar_t name[kServerNameChars] = L"untouched";
    auto* c = new CBindStatusCallback(&slot, L"http://h/get.php", name);
    LPWSTR extra = reinterpret_cast<LPWSTR>(1);
    EXPECT_EQ(c->BeginningTransaction(L"http://h/get.php", L"Accept: */*\r\n", 0, &extra), S_OK);
    EXPECT_EQ(extra, nullptr);
    c->ForgetCaptureSlot();
    c->OnResponse(200, L"HTTP/1.1 200 OK\r\nContent-Disposition: attachment; filename=a.pdf\r\n", nullptr, nullptr);
    c->OnProgress(0, 0, BINDSTATUS_CONTENTDISPOSITIONFILENAME, L"b.pdf");
    c->OnProgress(0, 0, BINDSTATUS_BEGINDOWNLOADDATA, L"http://h/get.php");
    EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(name[0], 0) << "cleared when made, never written after";
    EXPECT_EQ(c->Release(), 0u);
}

TEST_F(CallbackTest, BindingsAreSwappedAndReleased) {
    FakeBinding second;
    cb->OnStartBinding(0, &binding);
    EXPECT_EQ(binding.refs, 2);
    cb->OnStartBinding(0, &binding);  // the same one again
    EXPECT_EQ(binding.refs, 2);
    cb->OnStartBinding(0, &second);
    EXPECT_EQ(binding.refs, 1);
    EXPECT_EQ(second.refs, 2);
    EXPECT_EQ(cb->OnStopBinding(E_ABORT, nullptr), S_OK);
    EXPECT_EQ(second.refs, 1);
    EXPECT_EQ(cb->OnStopBinding(S_OK, nullptr), S_OK);  // nothing held: nothing to do
    // A binding that never stopped is released with the callback.
    cb->OnStartBinding(0, &second);
    EXPECT_EQ(cb->Release(), 0u);
    cb = nullptr;
    EXPECT_EQ(second.refs, 1);
}

TEST_F(CallbackTest, GetBindInfoSetsFlagsAndTheLeadingFields) {
    DWORD flags = 0xFFFFFFFF;  // whatever came in is replaced
    BINDINFO info;
    memset(&info, 0xCC, sizeof info);
    info.cbSize = 20;
    EXPECT_EQ(cb->GetBindInfo(&flags, &info), S_OK);
    EXPECT_EQ(flags, 0xB0u);
    EXPECT_EQ(info.cbSize, sizeof(void*) == 8 ? 128u : 84u);
    EXPECT_EQ(info.szExtraInfo, nullptr);
    STGMEDIUM zero{};
    EXPECT_EQ(memcmp(&info.stgmedData, &zero, sizeof zero), 0);
    EXPECT_EQ(info.grfBindInfoF, 0u);
    EXPECT_EQ(info.dwBindVerb, static_cast<DWORD>(BINDVERB_GET));
    EXPECT_EQ(info.szCustomVerb, nullptr);
    EXPECT_EQ(info.cbstgmedData, 0xCCCCCCCCu) << "members after szCustomVerb stay as they came";
    EXPECT_EQ(info.dwReserved, 0xCCCCCCCCu);
}

TEST_F(CallbackTest, DrainStopsOnPendingEndAndFailure) {
    struct Row {
        const char* label;
        std::vector<ReadStep> script;
        DWORD bscf;
        DWORD size;
        HRESULT result;
        std::vector<ULONG> asked;
        bool streamKept;
    };
    const DWORD first = BSCF_FIRSTDATANOTIFICATION;
    const DWORD last = BSCF_LASTDATANOTIFICATION;
    const Row rows[] = {
        {"pending after a full read", {{S_OK, 100}, {E_PENDING, 0}}, first, 100, E_PENDING, {100, 100}, true},
        {"short reads go on", {{S_OK, 30}, {S_OK, 30}, {E_PENDING, 0}}, first, 100, E_PENDING, {100, 100, 100}, true},
        {"end of data", {{S_FALSE, 40}}, first, 100, S_FALSE, {100}, true},
        {"read failure", {{E_FAIL, 0}}, first, 100, E_FAIL, {100}, true},
        {"S_OK with nothing read", {{S_OK, 0}}, first, 100, S_OK, {100}, true},
        {"last notification releases", {{E_PENDING, 10}}, first | last, 10, S_OK, {10}, false},
        {"nothing available", {}, first, 0, S_OK, {}, true},
    };
    for (const auto& row : rows) {
        FakeStream s;
        s.script = row.script;
        wchar_t* captured = nullptr;
        auto* c = new CBindStatusCallback(&captured);
        STGMEDIUM m{};
        m.tymed = TYMED_ISTREAM;
        m.pstm = &s;
        EXPECT_EQ(c->OnDataAvailable(row.bscf, row.size, nullptr, &m), row.result) << row.label;
        EXPECT_EQ(s.asked, row.asked) << row.label;
        EXPECT_FALSE(s.overrun) << row.label;
        EXPECT_EQ(s.refs, row.streamKept ? 2 : 1) << row.label << ": stream references";
        EXPECT_EQ(c->Release(), 0u) << row.label;
        EXPECT_EQ(s.refs, 1) << row.label << ": stream released with the callback";
        EXPECT_EQ(captured, nullptr) << row.label;
    }
}

TEST_F(CallbackTest, LaterNotificationsReadOnlyWhatIsNew) {
    stream.script = {{S_OK, 60}, {E_PENDING, 0}, {S_OK, 90}, {E_PENDING, 0}, {S_FALSE, 0}};
    STGMEDIUM m = StreamMedium();
    EXPECT_EQ(cb->OnDataAvailable(BSCF_FIRSTDATANOTIFICATION, 100, nullptr, &m), E_PENDING);
    // The medium of a later notification is not taken again.
    FakeStream other;
    STGMEDIUM m2{};
    m2.tymed = TYMED_ISTREAM;
    m2.pstm = &other;
    EXPECT_EQ(cb->OnDataAvailable(BSCF_INTERMEDIATEDATANOTIFICATION, 150, nullptr, &m2), E_PENDING);
    EXPECT_EQ(other.refs, 1);
    // Size not beyond what was read: no read at all.
    EXPECT_EQ(cb->OnDataAvailable(BSCF_INTERMEDIATEDATANOTIFICATION, 150, nullptr, &m), S_OK);
    EXPECT_EQ(cb->OnDataAvailable(BSCF_LASTDATANOTIFICATION, 151, nullptr, &m), S_OK);
    EXPECT_EQ(stream.asked, (std::vector<ULONG>{100, 100, 90, 90, 1}));
    EXPECT_EQ(stream.refs, 1);
}

TEST_F(CallbackTest, MediumThatIsNoStreamIsNotHeld) {
    stream.script = {};
    STGMEDIUM m{};
    m.tymed = TYMED_HGLOBAL;
    m.pstm = &stream;  // a wrong union member must not be taken for a stream
    EXPECT_EQ(cb->OnDataAvailable(BSCF_FIRSTDATANOTIFICATION, 10, nullptr, &m), S_OK);
    EXPECT_EQ(cb->OnDataAvailable(BSCF_FIRSTDATANOTIFICATION, 10, nullptr, nullptr), S_OK);
    EXPECT_EQ(stream.refs, 1);
}

TEST_F(CallbackTest, FailedDrainBufferGivesSFalse) {
    stream.script = {{S_OK, 10}, {E_PENDING, 0}};
    g_taskMemAlloc = FailingAlloc;
    g_failFrom = 2;  // the first buffer, not the second
    STGMEDIUM m = StreamMedium();
    EXPECT_EQ(cb->OnDataAvailable(BSCF_FIRSTDATANOTIFICATION, 10, nullptr, &m), S_FALSE);
    EXPECT_EQ(stream.asked, (std::vector<ULONG>{10}));
    // Still held: released at the last notification or with the callback.
    EXPECT_EQ(stream.refs, 2);
}

TEST(HostContract, DownloadManagerIidMatchesTheHeader) {
    EXPECT_TRUE(IsEqualIID(IID_IDownloadManager, __uuidof(IDownloadManager)));
}

}  // namespace
}  // namespace fw::test
