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
    // The process token names the account this process runs as. A lookup by
    // user name could find a local account of the same name instead of the
    // domain one, and may ask a domain controller on every download.
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return 0;
    // TOKEN_USER and the SID behind it; a SID has at most 68 bytes.
    alignas(TOKEN_USER) BYTE user[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    DWORD got = 0;
    BOOL ok = GetTokenInformation(token, TokenUser, user, sizeof user, &got);
    CloseHandle(token);
    if (!ok) return 0;

    wchar_t* text = nullptr;
    if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, &text)) return 0;
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
