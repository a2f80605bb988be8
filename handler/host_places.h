// The registry places of Internet Explorer that Folderwise reads or writes.
// Plain UTF-16 constants with no Windows types, so portable code and its
// native tests can use them; the rest of the host contract is in
// host_contract.h.
#pragma once

namespace fw {

// Under HKEY_LOCAL_MACHINE: "DownloadUI" (REG_SZ, a CLSID in braces) names
// the class the browser creates for every download; "Version" (REG_SZ) begins
// with the major version followed by a '.'.
inline constexpr const char16_t* kIeKey = u"SOFTWARE\\Microsoft\\Internet Explorer";
inline constexpr const char16_t* kDownloadUiValue = u"DownloadUI";
inline constexpr const char16_t* kVersionValue = u"Version";

// Under HKEY_CURRENT_USER: where version 8 and earlier open the Save dialog.
inline constexpr const char16_t* kDownloadDirectoryKey = u"Software\\Microsoft\\Internet Explorer";
inline constexpr const char16_t* kDownloadDirectoryValue = u"Download Directory";

// Under HKEY_CURRENT_USER: version 9 and later open the Save dialog in the
// folder of the browser's record in the common file dialog's list.
inline constexpr const char16_t* kLastVisitedPidlMruKey =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\LastVisitedPidlMRU";
inline constexpr const char16_t* kIeExeName = u"iexplore.exe";

// Under HKEY_CURRENT_USER: the one subtree a protected-mode process may
// write; the user's SID text follows the prefix.
inline constexpr const char16_t* kHandOffPrefix =
    u"Software\\Microsoft\\Internet Explorer\\InternetRegistry\\REGISTRY\\USER\\";

// The library and export that tell whether a process runs in protected mode.
inline constexpr const char16_t* kProtectedModeDll = u"ieframe.dll";
inline constexpr const char* kProtectedModeExport = "IEIsProtectedModeProcess";

}  // namespace fw
