#include "fwise_obj.h"
#include "fwise_module.h"
#include "name_source.h"
#include "results.h"
#include "rule_matching.h"
#include "scoped_win.h"
#include "seed_save_folder.h"
#include "url_resolve.h"
#include <cstring>
#include <iterator>
#include <new>

namespace fw {

CFwiseObj::CFwiseObj() {
    // folder_ is left as it is: every Download clears it before use.
    ModuleLock();
}

CFwiseObj::~CFwiseObj() { ModuleUnlock(); }

HRESULT CreateFwiseObj(REFIID riid, void** ppv) {
    CFwiseObj* obj = new (std::nothrow) CFwiseObj();
    if (!obj) return E_OUTOFMEMORY;
    HRESULT hr = obj->QueryInterface(riid, ppv);
    if (FAILED(hr)) {
        // Nobody holds a reference yet: undo the creation (and its module lock).
        obj->AddRef();
        obj->Release();
    }
    return hr;
}

STDMETHODIMP CFwiseObj::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    // IFwiseObj is the identity: IUnknown and IDispatch answer with it too.
    if (IsEqualIID(riid, IID_IFwiseObj) || IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
        *ppv = static_cast<IFwiseObj*>(this);
    } else if (IsEqualIID(riid, __uuidof(IDownloadManager))) {
        *ppv = static_cast<IDownloadManager*>(this);
    } else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CFwiseObj::AddRef() { return ++refs_; }

STDMETHODIMP_(ULONG) CFwiseObj::Release() {
    ULONG refs = --refs_;
    if (refs == 0) delete this;
    return refs;
}

STDMETHODIMP CFwiseObj::Download(IMoniker* pmk, IBindCtx* pbc, DWORD, LONG, BINDINFO*, LPCOLESTR,
                                 LPCOLESTR, UINT) {
    // Nothing to go by; a host that passes no moniker gets an error, not a crash.
    if (!pmk) return E_INVALIDARG;
    std::memset(folder_, 0, sizeof folder_);
    // Declared in this order so that the URL is freed before the final URL.
    ScopedCoMem<wchar_t> finalUrl;
    ScopedCoMem<OLECHAR> url;
    char16_t serverName[kServerNameChars];        // the server's file name, "" for none
    char16_t serverSource[1 + kServerNameChars];  // '/' + that name
    serverName[0] = 0;
    // Anything but S_OK (S_FALSE included) means there is no URL to go by.
    // A moniker that claims S_OK without a name is treated the same way.
    if (pmk->GetDisplayName(pbc, nullptr, url.Receive()) == S_OK && url) {
        const char16_t* nameSource = U(url.Get());
        NameSourceSteps steps = NameSourceStepsFor(U(url.Get()));
        if (steps.resolve) {
            // finalUrl stays null unless something was captured.
            ResolveFinalUrl(url.Get(), finalUrl.Receive(), steps.serverName ? W(serverName) : nullptr);
            nameSource = ChooseNameSource(U(url.Get()), U(finalUrl.Get()), serverName, serverSource,
                                          std::size(serverSource));
        }
        // URL rules look at the URL as the browser gave it; name and
        // extension rules at the name source.
        if (FindRuleFolder(U(url.Get()), nameSource) == kFolderFound) SeedSaveFolder();
    }
    return E_NOTIMPL;
}

int32_t CFwiseObj::FindRuleFolder(const char16_t* url, const char16_t* nameSource) {
    return fw::FindRuleFolder(url, nameSource, folder_);
}

int32_t CFwiseObj::SeedSaveFolder() { return fw::SeedSaveFolder(folder_); }

STDMETHODIMP CFwiseObj::GetTypeInfoCount(UINT* pctinfo) {
    if (!pctinfo) return E_POINTER;
    *pctinfo = 1;
    return S_OK;
}

STDMETHODIMP CFwiseObj::GetTypeInfo(UINT itinfo, LCID lcid, ITypeInfo** pptinfo) {
    if (itinfo != 0) return DISP_E_BADINDEX;
    if (!pptinfo) return E_POINTER;
    return ModuleTypeInfo(lcid, pptinfo);
}

STDMETHODIMP CFwiseObj::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                      DISPID* ids) {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    ScopedCom<ITypeInfo> info;
    HRESULT hr = ModuleTypeInfo(lcid, info.Receive());
    if (FAILED(hr)) return hr;
    return info->GetIDsOfNames(names, count, ids);
}

STDMETHODIMP CFwiseObj::Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                               VARIANT* result, EXCEPINFO* excep, UINT* argErr) {
    if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    ScopedCom<ITypeInfo> info;
    HRESULT hr = ModuleTypeInfo(lcid, info.Receive());
    if (FAILED(hr)) return hr;
    return info->Invoke(static_cast<IFwiseObj*>(this), id, flags, params, result, excep, argErr);
}

}  // namespace fw
