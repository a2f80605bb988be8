// The server as COM sees it: created from the registry, its identity and
// interfaces, its class factory and unload rule, its IDispatch over the type
// library, and the resources the DLL carries.
#include "Fwise_h.h"
#include "fw_version.h"
#include "scoped_win.h"
#include "server_util.h"
#include <downloadmgr.h>
#include <gtest/gtest.h>
#include <cstring>

namespace fw::test {
namespace {

const std::wstring kDir = L"C:\\Program Files\\ComTest";

using Entry = HRESULT(STDAPICALLTYPE*)();

class Server : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(InstallInto(kDir, {kServerDll}));
        ASSERT_EQ(Regsvr32(L"/s \"" + kDir + L"\\" + kServerDll + L"\""), 0);
    }
    static void TearDownTestSuite() { Regsvr32(L"/s /u \"" + kDir + L"\\" + kServerDll + L"\""); }
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override { CoUninitialize(); }

    // DllCanUnloadNow of the copy COM loaded.
    static HRESULT CanUnloadNow() {
        HMODULE dll = GetModuleHandleW(kServerDll);
        if (!dll) return E_FAIL;
        auto fn = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(dll, "DllCanUnloadNow")));
        return fn ? fn() : E_FAIL;
    }
};

TEST_F(Server, OneIdentityForIUnknownIDispatchAndIFwiseObj) {
    ScopedCom<IDownloadManager> manager;
    ASSERT_EQ(CoCreateInstance(CLSID_FwiseObj, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IDownloadManager),
                               manager.ReceiveVoid()),
              S_OK);
    ScopedCom<IUnknown> unknown;
    ScopedCom<IDispatch> dispatch;
    ScopedCom<IFwiseObj> fwise;
    ASSERT_EQ(manager->QueryInterface(IID_IUnknown, unknown.ReceiveVoid()), S_OK);
    ASSERT_EQ(manager->QueryInterface(IID_IDispatch, dispatch.ReceiveVoid()), S_OK);
    ASSERT_EQ(manager->QueryInterface(IID_IFwiseObj, fwise.ReceiveVoid()), S_OK);
    EXPECT_EQ(static_cast<void*>(unknown.Get()), static_cast<void*>(dispatch.Get()));
    EXPECT_EQ(static_cast<void*>(unknown.Get()), static_cast<void*>(fwise.Get()));
    ScopedCom<IDownloadManager> again;
    ASSERT_EQ(fwise->QueryInterface(__uuidof(IDownloadManager), again.ReceiveVoid()), S_OK);
    EXPECT_EQ(again.Get(), manager.Get());

    struct Row {
        const char* name;
        IID iid;
    };
    const Row others[] = {{"IClassFactory", IID_IClassFactory}, {"IPersist", IID_IPersist},
                          {"IMarshal", IID_IMarshal}, {"ITypeInfo", IID_ITypeInfo}};
    for (const Row& r : others) {
        void* p = reinterpret_cast<void*>(1);
        EXPECT_EQ(manager->QueryInterface(r.iid, &p), E_NOINTERFACE) << r.name;
        EXPECT_EQ(p, nullptr) << r.name;
    }
    EXPECT_EQ(manager->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
}

TEST_F(Server, FactoryIsCachedRefusesAggregationAndCountsOutsideReferences) {
    ScopedCom<IClassFactory> first, second;
    ASSERT_EQ(CoGetClassObject(CLSID_FwiseObj, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, first.ReceiveVoid()),
              S_OK);
    ASSERT_EQ(CoGetClassObject(CLSID_FwiseObj, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               second.ReceiveVoid()),
              S_OK);
    EXPECT_EQ(first.Get(), second.Get());
    // Held by us, the factory keeps the DLL.
    EXPECT_EQ(CanUnloadNow(), S_FALSE);

    ScopedCom<IUnknown> outer;
    ASSERT_EQ(CoCreateInstance(CLSID_FwiseObj, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, outer.ReceiveVoid()), S_OK);
    for (const IID& iid : {IID_IUnknown, __uuidof(IDownloadManager), IID_IDispatch}) {
        void* p = reinterpret_cast<void*>(1);
        EXPECT_EQ(first->CreateInstance(outer.Get(), iid, &p), CLASS_E_NOAGGREGATION);
        EXPECT_EQ(p, nullptr);
    }
    EXPECT_EQ(first->CreateInstance(nullptr, IID_IUnknown, nullptr), E_POINTER);
    void* p = reinterpret_cast<void*>(1);
    EXPECT_EQ(first->CreateInstance(nullptr, IID_IPersist, &p), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
    outer.Reset();

    first.Reset();
    EXPECT_EQ(CanUnloadNow(), S_FALSE) << "one outside reference is left";
    second.Reset();
    // The refused creations left no object behind.
    EXPECT_EQ(CanUnloadNow(), S_OK);

    HMODULE dll = GetModuleHandleW(kServerDll);
    ASSERT_TRUE(dll);
    using GetClass = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    auto getClass = reinterpret_cast<GetClass>(reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")));
    ASSERT_TRUE(getClass);
    p = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClass(IID_IFwiseObj, IID_IClassFactory, &p), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(p, nullptr);
}

TEST_F(Server, CanUnloadOnlyWithoutObjectsAndServerLocks) {
    ScopedCom<IClassFactory> factory;
    ASSERT_EQ(CoGetClassObject(CLSID_FwiseObj, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               factory.ReceiveVoid()),
              S_OK);
    ScopedCom<IDownloadManager> manager;
    ASSERT_EQ(factory->CreateInstance(nullptr, __uuidof(IDownloadManager), manager.ReceiveVoid()), S_OK);
    factory.Reset();
    EXPECT_EQ(CanUnloadNow(), S_FALSE) << "a live object";
    EXPECT_EQ(manager->AddRef(), 2u);
    EXPECT_EQ(manager->Release(), 1u);
    manager.Reset();
    EXPECT_EQ(CanUnloadNow(), S_OK) << "after its last release";

    ASSERT_EQ(CoGetClassObject(CLSID_FwiseObj, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               factory.ReceiveVoid()),
              S_OK);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    factory.Reset();
    EXPECT_EQ(CanUnloadNow(), S_FALSE) << "an unmatched LockServer(TRUE)";
    ASSERT_EQ(CoGetClassObject(CLSID_FwiseObj, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               factory.ReceiveVoid()),
              S_OK);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    factory.Reset();
    EXPECT_EQ(CanUnloadNow(), S_OK);
}

TEST_F(Server, DispatchOverTheTypeInformationOfIFwiseObj) {
    ScopedCom<IDispatch> dispatch;
    ASSERT_EQ(CoCreateInstance(CLSID_FwiseObj, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, dispatch.ReceiveVoid()),
              S_OK);
    UINT count = 0;
    EXPECT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(dispatch->GetTypeInfoCount(nullptr), E_POINTER);
    ScopedCom<ITypeInfo> info;
    EXPECT_EQ(dispatch->GetTypeInfo(1, 0, info.Receive()), DISP_E_BADINDEX);
    EXPECT_EQ(dispatch->GetTypeInfo(0, 0, nullptr), E_POINTER);
    ASSERT_EQ(dispatch->GetTypeInfo(0, 0x409, info.Receive()), S_OK);
    ScopedCom<ITypeInfo> again;
    ASSERT_EQ(dispatch->GetTypeInfo(0, 0x409, again.Receive()), S_OK);
    EXPECT_EQ(info.Get(), again.Get()) << "loaded once and kept";

    TYPEATTR* attr = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
    EXPECT_TRUE(IsEqualGUID(attr->guid, IID_IFwiseObj));
    // A dual interface: the dispatch half, and behind it the vtable half.
    EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
    const WORD dispFlags = TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE;
    EXPECT_EQ(attr->wTypeFlags & dispFlags, dispFlags) << "flags " << attr->wTypeFlags;
    info->ReleaseTypeAttr(attr);
    HREFTYPE vtableRef = 0;
    ScopedCom<ITypeInfo> vtable;
    ASSERT_EQ(info->GetRefTypeOfImplType(-1, &vtableRef), S_OK);
    ASSERT_EQ(info->GetRefTypeInfo(vtableRef, vtable.Receive()), S_OK);
    ASSERT_EQ(vtable->GetTypeAttr(&attr), S_OK);
    const WORD vtableFlags = TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE;
    EXPECT_EQ(attr->typekind, TKIND_INTERFACE);
    EXPECT_EQ(attr->wTypeFlags & vtableFlags, vtableFlags) << "flags " << attr->wTypeFlags;
    EXPECT_EQ(attr->cFuncs, 0) << "no methods of its own";
    vtable->ReleaseTypeAttr(attr);

    // No members of its own: no name resolves.
    OLECHAR name[] = L"Download";
    LPOLESTR names[] = {name};
    DISPID id = 0;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, 0x409, &id), DISP_E_UNKNOWNNAME);

    ScopedCom<ITypeLib> lib;
    UINT index = 0;
    ASSERT_EQ(info->GetContainingTypeLib(lib.Receive(), &index), S_OK);
    TLIBATTR* libAttr = nullptr;
    ASSERT_EQ(lib->GetLibAttr(&libAttr), S_OK);
    EXPECT_TRUE(IsEqualGUID(libAttr->guid, LIBID_FWISELib));
    EXPECT_EQ(libAttr->lcid, 0x409u);
    EXPECT_EQ(libAttr->syskind, SYS_WIN32);
    EXPECT_EQ(libAttr->wMajorVerNum, 1);
    EXPECT_EQ(libAttr->wMinorVerNum, 0);
    lib->ReleaseTLibAttr(libAttr);
    BSTR libName = nullptr;
    ASSERT_EQ(lib->GetDocumentation(-1, &libName, nullptr, nullptr, nullptr), S_OK);
    EXPECT_STREQ(libName, L"FWISELib");
    SysFreeString(libName);
    ScopedCom<ITypeInfo> coclass;
    ASSERT_EQ(lib->GetTypeInfoOfGuid(CLSID_FwiseObj, coclass.Receive()), S_OK);
    BSTR doc = nullptr;
    ASSERT_EQ(coclass->GetDocumentation(MEMBERID_NIL, nullptr, &doc, nullptr, nullptr), S_OK);
    EXPECT_STREQ(doc, L"FwiseObj Class");
    SysFreeString(doc);
    ASSERT_EQ(info->GetDocumentation(MEMBERID_NIL, nullptr, &doc, nullptr, nullptr), S_OK);
    EXPECT_STREQ(doc, L"IFwiseObj Interface");
    SysFreeString(doc);
}

// The bytes of one resource of the DLL in one language, or empty.
std::string Resource(HMODULE dll, const wchar_t* type, const wchar_t* name, WORD lang) {
    HRSRC res = FindResourceExW(dll, type, name, lang);
    if (!res) return {};
    HGLOBAL data = LoadResource(dll, res);
    return std::string(static_cast<const char*>(LockResource(data)), SizeofResource(dll, res));
}

TEST(ServerResources, TypeLibraryVersionBlockAndManifest) {
    std::wstring path = ExeDir() + L"\\" + kServerDll;
    HMODULE dll = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(dll);
    const WORD japanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
    std::string tlb = Resource(dll, L"TYPELIB", MAKEINTRESOURCEW(1), japanese);
    ASSERT_FALSE(tlb.empty()) << "TYPELIB 1 in Japanese";
    // "Fwise 1.0 " and "type library" in half-width katakana, code page 932.
    const char help[] = "Fwise 1.0 \xC0\xB2\xCC\xDF \xD7\xB2\xCC\xDE\xD7\xD8";
    EXPECT_NE(tlb.find(help), std::string::npos);
    EXPECT_FALSE(Resource(dll, MAKEINTRESOURCEW(16), MAKEINTRESOURCEW(1), japanese).empty()) << "version block";
    std::string manifest = Resource(dll, MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(2), MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));
    EXPECT_NE(manifest.find("level=\"asInvoker\" uiAccess=\"false\""), std::string::npos) << manifest;
    FreeLibrary(dll);

    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
    struct Translation {
        WORD lang, codePage;
    }* tr = nullptr;
    UINT len = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&tr), &len));
    ASSERT_GE(len, sizeof *tr);
    EXPECT_EQ(tr->lang, 0x0411);
    EXPECT_EQ(tr->codePage, 1200);
    VS_FIXEDFILEINFO* fixed = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
    const DWORD versionMS = (FW_VERSION_MAJOR << 16) | FW_VERSION_MINOR;
    const DWORD versionLS = (FW_VERSION_PATCH << 16) | FW_VERSION_TWEAK;
    EXPECT_EQ(fixed->dwFileVersionMS, versionMS);
    EXPECT_EQ(fixed->dwFileVersionLS, versionLS);
    EXPECT_EQ(fixed->dwProductVersionMS, versionMS);
    struct Row {
        const wchar_t* name;
        const wchar_t* want;
    };
    for (const Row& r : {Row{L"FileVersion", L"" FW_VERSION_TEXT}, Row{L"ProductVersion", L"" FW_VERSION_TEXT},
                         Row{L"FileDescription", L"Folderwise"}, Row{L"ProductName", L"Folderwise"},
                         Row{L"InternalName", L"Fwise"}}) {
        wchar_t* text = nullptr;
        std::wstring query = std::wstring(L"\\StringFileInfo\\041104B0\\") + r.name;
        ASSERT_TRUE(VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&text), &len))
            << Narrow(r.name);
        EXPECT_STREQ(text, r.want) << Narrow(r.name);
    }
}

}  // namespace
}  // namespace fw::test
