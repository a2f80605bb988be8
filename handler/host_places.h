// The registry places of Internet Explorer that Folderwise reads or writes.
// Plain UTF-16 constants with no Windows types, so portable code and its
// native tests can use them; the rest of the host contract is in
// host_contract.h.
#pragma once
#include "ie_places.h"

namespace fw {

// The places shared with the RegTool live in ie_places.h; the handler's code
// names them without the namespace.
using ie::kDownloadDirectoryKey;
using ie::kDownloadDirectoryValue;
using ie::kHandOffPrefix;
using ie::kIeExeName;
using ie::kIeKey;
using ie::kLastVisitedPidlMruKey;
using ie::kVersionValue;

// Under HKEY_LOCAL_MACHINE "SOFTWARE\Microsoft\Internet Explorer": the class
// the browser creates for every download (REG_SZ, a CLSID in braces).
inline constexpr const char16_t* kDownloadUiValue = u"DownloadUI";

// The library and export that tell whether a process runs in protected mode.
inline constexpr const char16_t* kProtectedModeDll = u"ieframe.dll";
inline constexpr const char* kProtectedModeExport = "IEIsProtectedModeProcess";

}  // namespace fw
