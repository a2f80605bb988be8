#include "save_folder.h"
#include "ie_places.h"
#include "reg_helpers.h"
#include "results.h"
#include "save_folder_logic.h"
#include "scoped_win.h"
#include "win.h"
#include <sddl.h>
#include <shlobj.h>

namespace fw {
int GetUserSidString(char16_t* out, uint32_t cbOut) {
    const uint32_t cap = cbOut / sizeof(char16_t);
    if (!out || cap == 0) return kFailed;
    out[0] = 0;
    wchar_t user[256];
    DWORD userLen = 256;
    if (!GetUserNameW(user, &userLen)) return kFailed;

    // The first call only learns the SID's size.
    wchar_t domain[256];
    DWORD domainLen = 256;
    DWORD sidSize = 0;
    SID_NAME_USE use;
    LookupAccountNameW(nullptr, user, nullptr, &sidSize, domain, &domainLen, &use);
    if (sidSize == 0) return kFailed;
    ScopedLocalMem<void> sid(LocalAlloc(LPTR, sidSize));
    if (!sid) return kFailed;
    domainLen = 256;  // the whole buffer again, whatever the first call left there
    if (!LookupAccountNameW(nullptr, user, sid.Get(), &sidSize, domain, &domainLen, &use)) return kFailed;

    ScopedLocalMem<wchar_t> text;
    if (!ConvertSidToStringSidW(sid.Get(), text.Receive())) return kFailed;
    if (static_cast<uint32_t>(lstrlenW(text.Get())) >= cap) return kFailed;
    lstrcpynW(W(out), text.Get(), static_cast<int>(cap));
    return kDone;
}

bool HandOffKeyPath(char16_t* out, uint32_t cap) {
    if (!out || cap == 0) return false;
    out[0] = 0;
    char16_t sid[kHandOffPathChars];
    if (!GetUserSidString(sid, sizeof sid)) return false;
    return BuildHandOffKeyPath(out, cap, sid);
}

int ApplySaveFolder(const char16_t* folder) {
    if (!folder || !folder[0]) return kSeedOk;
    if (ChooseSeedPlace() == SeedPlace::DownloadDirectory) {
        WriteRegString(RegRoot::CurrentUser, ie::kDownloadDirectoryKey, ie::kDownloadDirectoryValue, folder);
        return kSeedOk;
    }
    ScopedCom<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.Receive()))) return kSeedOk;
    // A folder that does not exist gives nothing, and nothing takes its place.
    ScopedCoMem<ITEMIDLIST_RELATIVE> list;
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, const_cast<wchar_t*>(W(folder)), nullptr,
                                         list.Receive(), nullptr)) ||
        !list)
        return kSeedOk;
    // The shell's own count bounds how far the record may read the list.
    return WriteMruRecord(reinterpret_cast<const uint8_t*>(list.Get()), ILGetSize(list.Get()));
}

}  // namespace fw
