// The in-process server Fwise.dll / Fwise64.dll: the module (lock count,
// cached class factory and type information), its exports, the class
// factory and the registration steps. The object itself is fwise_obj_win.cpp.
#include "Fwise_h.h"
#include "fwise_module.h"
#include "fwise_obj.h"
#include "registration.h"
#include "save_folder.h"
#include "scoped_win.h"
#include "url_resolve.h"
#include <new>

// FW_REGTOOL_ROLE: the build that also enters the RegTool in the Run key and
// closes it on unregistration (the 32-bit DLL; a 64-bit test build too).
#ifndef FW_REGTOOL_ROLE
#define FW_REGTOOL_ROLE 0
#endif

namespace {

HINSTANCE g_instance = nullptr;
volatile LONG g_locks = 0;
CRITICAL_SECTION g_lock;
IClassFactory* g_factory = nullptr;  // the module's cached reference
ITypeInfo* g_typeInfo = nullptr;

// The factory's count is interlocked: DllGetClassObject may be called from
// any thread. The module's own cached reference does not keep the DLL
// loaded; every reference beyond it does, as one module lock.
class CFwiseFactory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
            *ppv = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override {
        LONG refs = InterlockedIncrement(&refs_);
        if (refs == 2) fw::ModuleLock();
        return static_cast<ULONG>(refs);
    }
    STDMETHODIMP_(ULONG) Release() override {
        LONG refs = InterlockedDecrement(&refs_);
        if (refs == 1) fw::ModuleUnlock();
        if (refs == 0) delete this;
        return static_cast<ULONG>(refs);
    }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
        if (!ppv) return E_POINTER;
        *ppv = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return fw::CreateFwiseObj(riid, ppv);
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock)
            fw::ModuleLock();
        else
            fw::ModuleUnlock();
        return S_OK;
    }

private:
    volatile LONG refs_ = 1;  // the cached reference
};

}  // namespace

namespace fw {

void ModuleLock() { InterlockedIncrement(&g_locks); }
void ModuleUnlock() { InterlockedDecrement(&g_locks); }
LONG ModuleLockCount() { return InterlockedCompareExchange(&g_locks, 0, 0); }

HRESULT ModuleTypeInfo(LCID lcid, ITypeInfo** info) {
    *info = nullptr;
    HRESULT hr = S_OK;
    EnterCriticalSection(&g_lock);
    if (!g_typeInfo) {
        ScopedCom<ITypeLib> lib;
        hr = LoadRegTypeLib(LIBID_FWISELib, 1, 0, lcid, lib.Receive());
        if (SUCCEEDED(hr)) hr = lib->GetTypeInfoOfGuid(IID_IFwiseObj, &g_typeInfo);
    }
    if (g_typeInfo) {
        g_typeInfo->AddRef();
        *info = g_typeInfo;
    }
    LeaveCriticalSection(&g_lock);
    return hr;
}

}  // namespace fw

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_instance = instance;
        InitializeCriticalSection(&g_lock);
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        if (g_factory) g_factory->Release();
        g_factory = nullptr;
        // At process exit other DLLs (oleaut32) may be gone already; calling
        // into them then can crash, and the memory goes with the process.
        if (g_typeInfo && !reserved) g_typeInfo->Release();
        g_typeInfo = nullptr;
        DeleteCriticalSection(&g_lock);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!IsEqualCLSID(rclsid, CLSID_FwiseObj)) return CLASS_E_CLASSNOTAVAILABLE;
    EnterCriticalSection(&g_lock);
    if (!g_factory) g_factory = new (std::nothrow) CFwiseFactory();
    IClassFactory* factory = g_factory;
    LeaveCriticalSection(&g_lock);
    if (!factory) return E_OUTOFMEMORY;
    return factory->QueryInterface(riid, ppv);
}

// A binding callback the platform still holds would call into an unloaded DLL.
STDAPI DllCanUnloadNow() {
    return fw::ModuleLockCount() == 0 && fw::CBindStatusCallback::LiveCount() == 0 ? S_OK : S_FALSE;
}

namespace {

HRESULT RegisterOwnTypeLib() {
    wchar_t path[fw::kPathChars];
    DWORD n = GetModuleFileNameW(g_instance, path, fw::kPathChars);
    if (n == 0 || n >= fw::kPathChars) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    fw::ScopedCom<ITypeLib> lib;
    HRESULT hr = LoadTypeLibEx(path, REGKIND_NONE, lib.Receive());
    if (FAILED(hr)) return hr;
    return RegisterTypeLib(lib.Get(), path, nullptr);
}

bool TypeLibRegistered() {
    BSTR path = nullptr;
    HRESULT hr = QueryPathOfRegTypeLib(LIBID_FWISELib, 1, 0, 0x409, &path);
    SysFreeString(path);
    return SUCCEEDED(hr);
}

}  // namespace

STDAPI DllRegisterServer() {
#if FW_REGTOOL_ROLE
    // Before the class, and whatever becomes of it: its result is not looked at.
    fw::WriteRunValue(g_instance);
#endif
    HRESULT hr = fw::ApplyRegistrationRows(g_instance, true);
    if (FAILED(hr)) return hr;
    return RegisterOwnTypeLib();
}

STDAPI DllUnregisterServer() {
#if FW_REGTOOL_ROLE
    fw::CloseRegTool();
    fw::DeleteRunValue();
#endif
    HRESULT hr = fw::ApplyRegistrationRows(g_instance, false);
    if (FAILED(hr)) return hr;
    // The locale and system kind the library declares (Fwise.idl).
    hr = UnRegisterTypeLib(LIBID_FWISELib, 1, 0, 0x409, SYS_WIN32);
    // Both DLLs register the one library: whichever goes second finds it
    // gone already, and a library no longer registered is done, like a
    // missing key.
    if (FAILED(hr) && !TypeLibRegistered()) hr = S_OK;
    return hr;
}
