// Redirect resolution: opens a script URL through a URL moniker, takes the
// address the server begins to send data from, and aborts the transfer.
// Windows only; portable code sees only the result of ResolveFinalUrl.
#pragma once
#include "content_disposition.h"
#include "host_contract.h"
#include "results.h"
#include "scoped_win.h"

namespace fw {

// kResolved when *finalUrl received the captured final URL (CoTaskMem string,
// caller frees with CoTaskMemFree), kNotResolved when it is still null.
// *finalUrl must be null on entry; a null url or finalUrl, or a non-null
// *finalUrl, gives kNotResolved at once
// with nothing touched. Blocks for as long as the platform's binding runs.
int ResolveFinalUrl(const wchar_t* url, wchar_t** finalUrl);

// The same, and with `serverName` (kServerNameChars units) not null also the
// file name the final response's Content-Disposition gives, made safe: ""
// when there is none or it is not usable. Only then does the callback answer
// IHttpNegotiate; with null it behaves exactly as above.
int ResolveFinalUrl(const wchar_t* url, wchar_t** finalUrl, wchar_t* serverName);

// Where the callback takes COM task memory from (the captured text and the
// drain buffer); blocks are freed with CoTaskMemFree. A seam for tests that
// need an allocation to fail; a replacement must hand out CoTaskMem blocks.
using TaskMemAllocFn = decltype(&CoTaskMemAlloc);
extern TaskMemAllocFn g_taskMemAlloc;

// The binding's callback: captures the status text of the first
// BINDSTATUS_BEGINDOWNLOADDATA report into the capture slot, aborts the
// binding there, and keeps a synchronous, pull-mode binding drained.
// Given a name slot it also reads the final response's headers
// (IHttpNegotiate::OnResponse) for the server's file name.
// The reference count is a plain integer: one apartment thread only.
class CBindStatusCallback final : public IBindStatusCallback, public IHttpNegotiate {
public:
    // Reference count 1, owned by whoever made it. `requestUrl`, when given,
    // is the address bound: a begin-data report that names it after a
    // redirect report named another address takes the last redirect target
    // (the platform may name the request there). `nameSlot` (kServerNameChars
    // units, or null) receives the server's file name, "" for none.
    explicit CBindStatusCallback(wchar_t** captureSlot, const wchar_t* requestUrl = nullptr,
                                 wchar_t* nameSlot = nullptr);
    CBindStatusCallback(const CBindStatusCallback&) = delete;
    CBindStatusCallback& operator=(const CBindStatusCallback&) = delete;

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP OnStartBinding(DWORD reserved, IBinding* binding) override;
    STDMETHODIMP GetPriority(LONG* priority) override;
    STDMETHODIMP OnLowResource(DWORD reserved) override;
    STDMETHODIMP OnProgress(ULONG progress, ULONG progressMax, ULONG statusCode,
                            LPCWSTR statusText) override;
    STDMETHODIMP OnStopBinding(HRESULT result, LPCWSTR error) override;
    STDMETHODIMP GetBindInfo(DWORD* bindFlags, BINDINFO* bindInfo) override;
    STDMETHODIMP OnDataAvailable(DWORD bscf, DWORD size, FORMATETC* format,
                                 STGMEDIUM* medium) override;
    STDMETHODIMP OnObjectAvailable(REFIID riid, IUnknown* object) override;

    // IHttpNegotiate: adds no request headers; OnResponse takes the name.
    STDMETHODIMP BeginningTransaction(LPCWSTR url, LPCWSTR headers, DWORD reserved,
                                      LPWSTR* additionalHeaders) override;
    STDMETHODIMP OnResponse(DWORD code, LPCWSTR responseHeaders, LPCWSTR requestHeaders,
                            LPWSTR* additionalHeaders) override;

    // Callbacks alive in this process (any thread): the DLL must not unload
    // while the platform still holds one.
    static LONG LiveCount();

    // From now on nothing is captured: the slot's owner is gone, while the
    // platform may still hold this callback and report to it. The request
    // URL and the name slot live in the same caller's memory.
    void ForgetCaptureSlot() {
        captureSlot_ = nullptr;
        requestUrl_ = nullptr;
        nameSlot_ = nullptr;
    }

private:
    ~CBindStatusCallback();

    wchar_t** captureSlot_;
    LONG refCount_ = 1;
    ScopedCom<IBinding> binding_;
    ScopedCom<IStream> stream_;
    ULONG bytesRead_ = 0;
    const wchar_t* requestUrl_;
    ScopedCoMem<wchar_t> lastRedirect_;  // the newest redirect target
    wchar_t* nameSlot_;
    bool headersSeen_ = false;  // OnResponse decided the name
};

// The record of one resolution: moniker, bind context and callback, all null
// until Start. Close (also run by the destructor) releases what Start made.
class CUrlBinding {
public:
    CUrlBinding() = default;
    ~CUrlBinding() { Close(); }
    CUrlBinding(const CUrlBinding&) = delete;
    CUrlBinding& operator=(const CUrlBinding&) = delete;

    // Runs the whole synchronous binding; returns BindToStorage's result, or
    // the failure of the step before it (then nothing is kept).
    HRESULT Start(const wchar_t* url, wchar_t** captureSlot, wchar_t* nameSlot = nullptr);
    void Close();

    // The callback of the binding Start made (null before Start and after
    // Close), for a test that holds it past the binding as the platform may.
    CBindStatusCallback* Callback() const { return callback_.Get(); }

private:
    ScopedCom<IMoniker> moniker_;
    ScopedCom<IBindCtx> bindCtx_;
    ScopedCom<CBindStatusCallback> callback_;
};

}  // namespace fw
