#include "save_folder.h"
#include "ie_places.h"
#include "reg_helpers.h"
#include "save_folder_logic.h"
#include "win.h"
#include <sddl.h>
#include <shlobj.h>

namespace fw {
namespace {

// Owners for what this file obtains; each frees on every path out.
class LocalMem {
public:
    explicit LocalMem(void* p) : p_(p) {}
    ~LocalMem() {
        if (p_) LocalFree(p_);
    }
    LocalMem(const LocalMem&) = delete;
    LocalMem& operator=(const LocalMem&) = delete;
    void* get() const { return p_; }

private:
    void* p_;
};

class TaskMem {
public:
    explicit TaskMem(void* p) : p_(p) {}
    ~TaskMem() { CoTaskMemFree(p_); }
    TaskMem(const TaskMem&) = delete;
    TaskMem& operator=(const TaskMem&) = delete;

private:
    void* p_;
};

template <class T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() {
        if (p_) p_->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    T** put() { return &p_; }
    T* operator->() const { return p_; }

private:
    T* p_ = nullptr;
};

}  // namespace

int GetUserSidString(char16_t* out, uint32_t cbOut) {
    const uint32_t cap = cbOut / sizeof(char16_t);
    if (!out || cap == 0) return 0;
    out[0] = 0;
    wchar_t user[256];
    DWORD userLen = 256;
    if (!GetUserNameW(user, &userLen)) return 0;

    // The first call only learns the SID's size.
    wchar_t domain[256];
    DWORD domainLen = 256;
    DWORD sidSize = 0;
    SID_NAME_USE use;
    LookupAccountNameW(nullptr, user, nullptr, &sidSize, domain, &domainLen, &use);
    if (sidSize == 0) return 0;
    LocalMem sid(LocalAlloc(LPTR, sidSize));
    if (!sid.get()) return 0;
    domainLen = 256;  // the whole buffer again, whatever the first call left there
    if (!LookupAccountNameW(nullptr, user, sid.get(), &sidSize, domain, &domainLen, &use)) return 0;

    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(sid.get(), &text)) return 0;
    LocalMem textMem(text);
    if (static_cast<uint32_t>(lstrlenW(text)) >= cap) return 0;
    lstrcpynW(W(out), text, static_cast<int>(cap));
    return 1;
}

bool HandOffKeyPath(char16_t* out, uint32_t cap) {
    if (!out || cap == 0) return false;
    out[0] = 0;
    char16_t sid[kHandOffPathChars];
    if (!GetUserSidString(sid, sizeof sid)) return false;
    return BuildHandOffKeyPath(out, cap, sid);
}

int ApplySaveFolder(const char16_t* folder) {
    if (!folder || !folder[0]) return 1;
    if (ChooseSeedPlace() == SeedPlace::DownloadDirectory) {
        WriteRegString(RegRoot::CurrentUser, ie::kDownloadDirectoryKey, ie::kDownloadDirectoryValue, folder);
        return 1;
    }
    ComRef<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.put()))) return 1;
    // A folder that does not exist gives nothing, and nothing takes its place.
    PIDLIST_RELATIVE list = nullptr;
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, const_cast<wchar_t*>(W(folder)), nullptr, &list,
                                         nullptr)) ||
        !list)
        return 1;
    TaskMem listMem(list);
    // The shell's own count bounds how far the record may read the list.
    return WriteMruRecord(reinterpret_cast<const uint8_t*>(list), ILGetSize(list));
}

}  // namespace fw
