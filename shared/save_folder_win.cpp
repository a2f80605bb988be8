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
    // The process token names the account this process runs as. A lookup by
    // user name could find a local account of the same name instead of the
    // domain one, and may ask a domain controller on every download.
    ScopedHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive())) return kFailed;
    // TOKEN_USER and the SID behind it; a SID has at most 68 bytes.
    alignas(TOKEN_USER) BYTE user[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    DWORD got = 0;
    if (!GetTokenInformation(token.Get(), TokenUser, user, sizeof user, &got)) return kFailed;

    ScopedLocalMem<wchar_t> text;
    if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user)->User.Sid, text.Receive())) return kFailed;
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
