// The registry places through which Internet Explorer's Save dialog takes its
// starting folder, and the protected-mode area the hand-off key lives in:
// shared by the handler and the RegTool. Plain UTF-16 constants, so portable
// code and its native tests use them too.
#pragma once

namespace fw::ie {

// Under HKEY_LOCAL_MACHINE; "Version" begins with the major version and a '.'.
inline constexpr const char16_t* kIeKey = u"SOFTWARE\\Microsoft\\Internet Explorer";
inline constexpr const char16_t* kVersionValue = u"Version";
inline constexpr const char16_t* kDownloadDirectoryKey = u"Software\\Microsoft\\Internet Explorer";  // HKCU
inline constexpr const char16_t* kDownloadDirectoryValue = u"Download Directory";
inline constexpr const char16_t* kLastVisitedPidlMruKey =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\LastVisitedPidlMRU";
inline constexpr const char16_t* kMruListExValue = u"MRUListEx";
inline constexpr const char16_t* kHandOffPrefix =
    u"Software\\Microsoft\\Internet Explorer\\InternetRegistry\\REGISTRY\\USER\\";
inline constexpr const char16_t* kHandOffSuffix = u"\\Software\\Fwise";
// The program whose last-visited folder the dialog opens in.
inline constexpr const char16_t* kIeExeName = u"iexplore.exe";

}  // namespace fw::ie
