// iexplore: a stand-in for the browser's side of a download, for tests and
// the demo (it ships nowhere). For each URL on the command line it does what
// the browser does: creates the class named by DownloadUI, hands it a URL
// moniker and a bind context through IDownloadManager::Download, and, when
// the handler declines (E_NOTIMPL), works out where the browser's Save dialog
// would open. It is named iexplore.exe because the Save dialog's folder
// record is kept per program and the handler writes the one of that name.
//
//   iexplore.exe [/fresh] URL...
//     /fresh  forget both Save-dialog places before each download, so that
//             what is printed is that download's doing alone
//
// Output, one "key<TAB>value" line each, per URL:
//   url, result (hex), took-ms (the Download call), save-folder
// Exit code: 0 when every download was handed to the handler, else 1.
#include "host_places.h"
#include "scoped_win.h"
#include "win.h"
#include <downloadmgr.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <urlmon.h>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <vector>

namespace {

using fw::ScopedCom;

constexpr DWORD kMruEnd = 0xFFFFFFFF;
constexpr size_t kNameBytes = 26;  // "iexplore.exe" and its terminator, UTF-16

bool ReadText(HKEY root, const wchar_t* key, const wchar_t* name, wchar_t* buf, DWORD chars) {
    DWORD cb = chars * sizeof(wchar_t);
    if (RegGetValueW(root, key, name, RRF_RT_REG_SZ, nullptr, buf, &cb) != ERROR_SUCCESS) return false;
    return true;
}

bool ReadBinary(HKEY root, const wchar_t* key, const wchar_t* name, std::vector<BYTE>& out) {
    DWORD cb = 0;
    if (RegGetValueW(root, key, name, RRF_RT_REG_BINARY, nullptr, nullptr, &cb) != ERROR_SUCCESS) return false;
    out.resize(cb);
    if (cb == 0) return true;
    if (RegGetValueW(root, key, name, RRF_RT_REG_BINARY, nullptr, out.data(), &cb) != ERROR_SUCCESS) return false;
    out.resize(cb);
    return true;
}

// The major version at the front of "Version" ("9.11.9600..." -> 9); 0 when unreadable.
long IeMajorVersion() {
    wchar_t version[260] = {};
    if (!ReadText(HKEY_LOCAL_MACHINE, W(fw::kIeKey), W(fw::kVersionValue), version, 260)) return 0;
    return std::wcstol(version, nullptr, 10);
}

// The folder of the first iexplore.exe record that MRUListEx names; false
// when there is none or its item ID list is not whole.
bool MruFolder(wchar_t* path) {
    const wchar_t* key = W(fw::kLastVisitedPidlMruKey);
    std::vector<BYTE> list;
    if (!ReadBinary(HKEY_CURRENT_USER, key, L"MRUListEx", list)) return false;
    for (size_t i = 0; i + 4 <= list.size(); i += 4) {
        DWORD slot;
        std::memcpy(&slot, &list[i], 4);
        if (slot == kMruEnd) break;
        wchar_t name[16];
        std::swprintf(name, 16, L"%lu", static_cast<unsigned long>(slot));
        std::vector<BYTE> record;
        if (!ReadBinary(HKEY_CURRENT_USER, key, name, record) || record.size() < kNameBytes + 2) continue;
        wchar_t program[13];
        std::memcpy(program, record.data(), 24);
        program[12] = 0;
        if (record[24] != 0 || record[25] != 0 || lstrcmpiW(program, L"iexplore.exe") != 0) continue;
        // The item ID list must end inside the record before the shell reads it.
        size_t at = kNameBytes;
        for (;;) {
            if (at + 2 > record.size()) return false;
            USHORT cb = static_cast<USHORT>(record[at] | (record[at + 1] << 8));
            if (cb == 0) break;
            at += cb;
        }
        std::vector<BYTE> items(record.begin() + kNameBytes, record.begin() + at + 2);
        return SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE>(items.data()), path) != FALSE;
    }
    return false;
}

// Where the Save dialog would open: version 8 and older take "Download
// Directory", 9 and newer the program's record in the file dialog's list.
bool SaveDialogFolder(wchar_t* path) {
    if (IeMajorVersion() <= 8)
        return ReadText(HKEY_CURRENT_USER, W(fw::kDownloadDirectoryKey), W(fw::kDownloadDirectoryValue), path,
                        MAX_PATH);
    return MruFolder(path);
}

void ForgetSaveFolders() {
    SHDeleteValueW(HKEY_CURRENT_USER, W(fw::kDownloadDirectoryKey), W(fw::kDownloadDirectoryValue));
    SHDeleteKeyW(HKEY_CURRENT_USER, W(fw::kLastVisitedPidlMruKey));
}

HRESULT DownloadOne(const CLSID& clsid, const wchar_t* url, double* ms) {
    ScopedCom<IDownloadManager> manager;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IDownloadManager),
                                  manager.ReceiveVoid());
    if (FAILED(hr)) return hr;
    ScopedCom<IMoniker> moniker;
    hr = CreateURLMoniker(nullptr, url, moniker.Receive());
    if (FAILED(hr)) return hr;
    ScopedCom<IBindCtx> bindCtx;
    hr = CreateBindCtx(0, bindCtx.Receive());
    if (FAILED(hr)) return hr;
    BINDINFO bindInfo = {};
    bindInfo.cbSize = sizeof bindInfo;
    LARGE_INTEGER freq, t0, t1;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&t0);
    hr = manager->Download(moniker.Get(), bindCtx.Get(), BINDVERB_GET, BINDF_ASYNCHRONOUS | BINDF_ASYNCSTORAGE,
                           &bindInfo, nullptr, nullptr, CP_UTF8);
    QueryPerformanceCounter(&t1);
    *ms = 1000.0 * static_cast<double>(t1.QuadPart - t0.QuadPart) / static_cast<double>(freq.QuadPart);
    return hr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    fw::ScopedCoInit com;
    // The browser's own frame library is loaded for its whole life.
    fw::ScopedModule ieframe(LoadLibraryW(L"ieframe.dll"));
    bool fresh = false;
    int first = 1;
    if (first < argc && lstrcmpiW(argv[first], L"/fresh") == 0) {
        fresh = true;
        ++first;
    }
    if (first >= argc) {
        std::fwprintf(stderr, L"usage: iexplore.exe [/fresh] URL...\n");
        return 2;
    }
    wchar_t clsidText[64] = {};
    CLSID clsid;
    if (!ReadText(HKEY_LOCAL_MACHINE, W(fw::kIeKey), W(fw::kDownloadUiValue), clsidText, 64) ||
        FAILED(CLSIDFromString(clsidText, &clsid))) {
        std::fwprintf(stderr, L"no DownloadUI class registered\n");
        return 1;
    }
    int rc = 0;
    for (int i = first; i < argc; ++i) {
        if (fresh) ForgetSaveFolders();
        double ms = 0;
        HRESULT hr = DownloadOne(clsid, argv[i], &ms);
        std::wprintf(L"url\t%ls\nresult\t0x%08lX\ntook-ms\t%.3f\n", argv[i], static_cast<unsigned long>(hr), ms);
        wchar_t folder[MAX_PATH] = {};
        // Only a declined download goes on to the browser's own dialog.
        if (hr == E_NOTIMPL && SaveDialogFolder(folder))
            std::wprintf(L"save-folder\t%ls\n", folder);
        else
            std::wprintf(L"save-folder\t\n");
        if (hr != E_NOTIMPL) rc = 1;
    }
    std::fflush(stdout);
    return rc;
}
