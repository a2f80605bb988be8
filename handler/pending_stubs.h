// TEMPORARY: declarations of handler pieces that are still being written
// elsewhere (name source, redirect resolution, seeding, the RegTool's window
// names). Each goes away when its own header arrives; the signatures are the
// agreed ones, so callers do not change.
#pragma once
#include <cstdint>

#define FW_PENDING_RESOLVE 1  // tests skip what needs the real resolution

namespace fw {

bool IsScriptUrl(const char16_t* url);
int ResolveFinalUrl(const wchar_t* url, wchar_t** finalUrl);
int SeedSaveFolder(const char16_t* folder);

inline constexpr const char16_t* kRegToolClass = u"_FWREG_CLASSNAME_";
inline constexpr const char16_t* kRegToolTitle = u"Folderwise RegTool";

inline constexpr const char16_t* kIeKey = u"SOFTWARE\\Microsoft\\Internet Explorer";
inline constexpr const char16_t* kDownloadUiValue = u"DownloadUI";
inline constexpr const char16_t* kVersionValue = u"Version";
inline constexpr const char16_t* kDownloadDirectoryKey = u"Software\\Microsoft\\Internet Explorer";
inline constexpr const char16_t* kDownloadDirectoryValue = u"Download Directory";
inline constexpr const char16_t* kLastVisitedPidlMruKey =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\LastVisitedPidlMRU";

}  // namespace fw
