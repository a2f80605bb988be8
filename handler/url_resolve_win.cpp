#include "url_resolve.h"
#include <new>
#include <stdint.h>

namespace fw {

TaskMemAllocFn g_taskMemAlloc = CoTaskMemAlloc;

namespace {

// The browser hands over a structure of the platform's own size; a header
// that disagrees would make GetBindInfo lie about it.
static_assert(sizeof(BINDINFO) == (sizeof(void*) == 8 ? 128 : 84), "BINDINFO size");

LONG g_liveCallbacks = 0;

}  // namespace

CBindStatusCallback::CBindStatusCallback(wchar_t** captureSlot, const wchar_t* requestUrl, wchar_t* nameSlot)
    : captureSlot_(captureSlot), requestUrl_(requestUrl), nameSlot_(nameSlot) {
    if (nameSlot_) nameSlot_[0] = 0;
    InterlockedIncrement(&g_liveCallbacks);
}

CBindStatusCallback::~CBindStatusCallback() {
    stream_.Reset();
    // Normally gone with OnStopBinding; a binding that never stopped must not leak.
    binding_.Reset();
    InterlockedDecrement(&g_liveCallbacks);
}

LONG CBindStatusCallback::LiveCount() { return InterlockedCompareExchange(&g_liveCallbacks, 0, 0); }

STDMETHODIMP CBindStatusCallback::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IBindStatusCallback)) {
        *ppv = static_cast<IBindStatusCallback*>(this);
        AddRef();
        return S_OK;
    }
    // Only asked for the server's file name does it read the response.
    if (nameSlot_ && IsEqualIID(riid, IID_IHttpNegotiate)) {
        *ppv = static_cast<IHttpNegotiate*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CBindStatusCallback::AddRef() { return static_cast<ULONG>(++refCount_); }

STDMETHODIMP_(ULONG) CBindStatusCallback::Release() {
    LONG count = --refCount_;
    if (count == 0) delete this;
    return static_cast<ULONG>(count);
}

STDMETHODIMP CBindStatusCallback::OnStartBinding(DWORD, IBinding* binding) {
    // Take the new reference before dropping the old: they may be the same object.
    if (binding) binding->AddRef();
    binding_.Reset(binding);
    return S_OK;
}

STDMETHODIMP CBindStatusCallback::GetPriority(LONG*) { return E_NOTIMPL; }

STDMETHODIMP CBindStatusCallback::OnLowResource(DWORD) { return E_NOTIMPL; }

namespace {

// A CoTaskMem copy of `text` (null counts as empty), or null without memory.
wchar_t* CopyText(LPCWSTR text) {
    size_t chars = text ? static_cast<size_t>(lstrlenW(text)) : 0;
    SIZE_T bytes = (chars + 1) * sizeof(wchar_t);
    auto* copy = static_cast<wchar_t*>(g_taskMemAlloc(bytes));
    if (copy) {
        ZeroMemory(copy, bytes);
        if (text) lstrcpyW(copy, text);
    }
    return copy;
}

}  // namespace

STDMETHODIMP CBindStatusCallback::OnProgress(ULONG, ULONG, ULONG statusCode, LPCWSTR statusText) {
    if (statusCode == BINDSTATUS_REDIRECTING && requestUrl_ && captureSlot_ && !*captureSlot_) {
        // Kept only for a begin-data report that names the request (below).
        // Without memory the older target must not stand in for this one.
        lastRedirect_.Reset(statusText ? CopyText(statusText) : nullptr);
        return S_OK;
    }
    // Where the platform reports the name it took from the header itself;
    // the headers, when OnResponse had them, decide instead.
    if (statusCode == BINDSTATUS_CONTENTDISPOSITIONFILENAME && nameSlot_ && !headersSeen_) {
        if (!statusText || !SafeServerName(U(statusText), static_cast<size_t>(lstrlenW(statusText)), U(nameSlot_),
                                           kServerNameChars))
            nameSlot_[0] = 0;
        return S_OK;
    }
    if (statusCode != kBeginDownloadData) return S_OK;
    if (!captureSlot_ || *captureSlot_) return S_OK;

    // After redirects the begin-data report should name the final address.
    // Where it names the request instead (Wine's urlmon does), the last
    // redirect target is that address.
    if (lastRedirect_ && statusText && lstrcmpW(statusText, requestUrl_) == 0) {
        *captureSlot_ = lastRedirect_.Detach();
    } else {
        // Without memory nothing is captured; the download URL then stays the name source.
        *captureSlot_ = CopyText(statusText);
    }
    // The address is all we wanted; the browser makes the real download.
    if (binding_) binding_->Abort();
    return S_OK;
}

STDMETHODIMP CBindStatusCallback::OnStopBinding(HRESULT, LPCWSTR) {
    binding_.Reset();
    return S_OK;
}

STDMETHODIMP CBindStatusCallback::GetBindInfo(DWORD* bindFlags, BINDINFO* bindInfo) {
    if (!bindFlags || !bindInfo) return E_INVALIDARG;
    // Set, not combined: synchronous (BindToStorage returns when the binding
    // has ended), always from the server, nothing left in the cache.
    *bindFlags = BINDF_GETNEWESTVERSION | BINDF_NOWRITECACHE | BINDF_PULLDATA;
    bindInfo->cbSize = sizeof(BINDINFO);
    bindInfo->szExtraInfo = nullptr;
    ZeroMemory(&bindInfo->stgmedData, sizeof bindInfo->stgmedData);
    bindInfo->grfBindInfoF = 0;
    bindInfo->dwBindVerb = BINDVERB_GET;
    bindInfo->szCustomVerb = nullptr;
    return S_OK;
}

STDMETHODIMP CBindStatusCallback::OnDataAvailable(DWORD bscf, DWORD size, FORMATETC*, STGMEDIUM* medium) {
    if ((bscf & BSCF_FIRSTDATANOTIFICATION) && !stream_ && medium && medium->tymed == TYMED_ISTREAM) {
        if (medium->pstm) medium->pstm->AddRef();
        stream_.Reset(medium->pstm);
    }

    // A pull binding moves on only when what is available has been read.
    HRESULT last = S_OK;
    if (stream_ && size > bytesRead_) {
        const ULONG want = size - bytesRead_;
        for (;;) {
            // want + 1 must not wrap where SIZE_T has 32 bits.
            ScopedCoMem<void> block(static_cast<uint64_t>(want) + 1 <= SIZE_MAX ? g_taskMemAlloc(want + 1)
                                                                                 : nullptr);
            if (!block) return S_FALSE;
            ULONG got = 0;
            last = stream_->Read(block.Get(), want, &got);
            bytesRead_ += got;
            // S_OK with nothing read is a stream at its end (a memory stream
            // answers so); going on would never stop.
            if (last != S_OK || got == 0) break;
        }
    }

    if (bscf & BSCF_LASTDATANOTIFICATION) {
        stream_.Reset();
        return S_OK;
    }
    return last;
}

STDMETHODIMP CBindStatusCallback::OnObjectAvailable(REFIID, IUnknown*) { return E_NOTIMPL; }

STDMETHODIMP CBindStatusCallback::BeginningTransaction(LPCWSTR, LPCWSTR, DWORD, LPWSTR* additionalHeaders) {
    if (additionalHeaders) *additionalHeaders = nullptr;
    return S_OK;
}

STDMETHODIMP CBindStatusCallback::OnResponse(DWORD code, LPCWSTR responseHeaders, LPCWSTR,
                                             LPWSTR* additionalHeaders) {
    if (additionalHeaders) *additionalHeaders = nullptr;
    // Only a successful answer is the file; an error page's name is not.
    if (!nameSlot_ || code < 200 || code > 299) return S_OK;
    headersSeen_ = true;
    if (!responseHeaders || !ServerNameFromHeaders(U(responseHeaders), static_cast<size_t>(lstrlenW(responseHeaders)),
                                                   U(nameSlot_), kServerNameChars))
        nameSlot_[0] = 0;
    return S_OK;
}

HRESULT CUrlBinding::Start(const wchar_t* url, wchar_t** captureSlot, wchar_t* nameSlot) {
    Close();
    callback_.Reset(new (std::nothrow) CBindStatusCallback(captureSlot, url, nameSlot));
    if (!callback_) return E_OUTOFMEMORY;

    HRESULT hr = CreateURLMoniker(nullptr, url, moniker_.Receive());
    if (SUCCEEDED(hr)) hr = CreateBindCtx(0, bindCtx_.Receive());
    if (SUCCEEDED(hr)) hr = RegisterBindStatusCallback(bindCtx_.Get(), callback_.Get(), nullptr, 0);
    if (FAILED(hr)) {
        bindCtx_.Reset();
        callback_.Reset();
        moniker_.Reset();
        return hr;
    }

    // Synchronous: every callback runs, and the binding ends, inside this call.
    ScopedCom<IUnknown> object;
    return moniker_->BindToStorage(bindCtx_.Get(), nullptr, IID_IStream, object.ReceiveVoid());
}

void CUrlBinding::Close() {
    // The slot lives in the caller's frame, which may end right after this;
    // a late report must not write there.
    if (callback_) callback_->ForgetCaptureSlot();
    // The bind context holds a reference to the callback; ours goes last.
    moniker_.Reset();
    bindCtx_.Reset();
    callback_.Reset();
}

int ResolveFinalUrl(const wchar_t* url, wchar_t** finalUrl) { return ResolveFinalUrl(url, finalUrl, nullptr); }

int ResolveFinalUrl(const wchar_t* url, wchar_t** finalUrl, wchar_t* serverName) {
    if (serverName) serverName[0] = 0;
    if (!url || !finalUrl || *finalUrl) return kNotResolved;
    CUrlBinding binding;
    binding.Start(url, finalUrl, serverName);  // only the capture decides, not how the binding ended
    int result = *finalUrl ? kResolved : kNotResolved;
    binding.Close();
    return result;
}

}  // namespace fw
