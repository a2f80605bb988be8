// CFwiseObj, the class the browser creates as its download user interface and
// calls once per download.
#pragma once
#include "settings_store.h"
#include "win.h"
#include <downloadmgr.h>
#include <oaidl.h>
#include "Fwise_h.h"

namespace fw {

// The declaration order is the primary table's: QueryInterface, AddRef,
// Release, Download, FindRuleFolder, SeedSaveFolder, the destructor; the
// IDispatch methods, declared last, only come after them.
class CFwiseObj : public IDownloadManager, public IFwiseObj {
public:
    CFwiseObj();

    // IUnknown (for both bases).
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDownloadManager. Seeds the Save dialog's folder for the download and
    // always declines it (E_NOTIMPL), so that the browser shows its own dialog.
    STDMETHODIMP Download(IMoniker* pmk, IBindCtx* pbc, DWORD dwBindVerb, LONG grfBINDF,
                          BINDINFO* pBindInfo, LPCOLESTR pszHeaders, LPCOLESTR pszRedir,
                          UINT uiCP) override;

    // The object's own steps, virtual so that they follow Download in the
    // primary table (and so a test can watch them). FindRuleFolder: kFolderFound
    // when the folder buffer got a folder. SeedSaveFolder: always kSeedAnswer.
    virtual int32_t FindRuleFolder(const char16_t* url, const char16_t* nameSource);
    virtual int32_t SeedSaveFolder();

protected:
    virtual ~CFwiseObj();

public:
    // IDispatch, over the type information of IFwiseObj.
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
    STDMETHODIMP GetTypeInfo(UINT itinfo, LCID lcid, ITypeInfo** pptinfo) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                               DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* excep, UINT* argErr) override;

    CFwiseObj(const CFwiseObj&) = delete;
    CFwiseObj& operator=(const CFwiseObj&) = delete;

protected:
    // The folder the rules chose for the current download; Download clears
    // it first, so it never holds an earlier download's folder.
    char16_t folder_[kFolderChars];

private:
    ULONG refs_ = 0;  // apartment-threaded: every call comes on one thread
};

// The class factory's CreateInstance without an outer object.
HRESULT CreateFwiseObj(REFIID riid, void** ppv);

}  // namespace fw
