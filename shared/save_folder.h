// The part of the Save-dialog seeding that the download handler and the
// RegTool share: one source, compiled into both. Windows only.
#pragma once
#include "results.h"
#include <cstdint>

namespace fw {

constexpr unsigned WM_APPLY_FOLDER = 0x807D;  // WM_APP + 0x7D, no payload
inline constexpr const char16_t* kRegToolClass = u"_FWREG_CLASSNAME_";
inline constexpr const char16_t* kRegToolTitle = u"Folderwise RegTool";
inline constexpr const char16_t* kHandOffValue = u"DownloadFolder";

// Asks a running RegTool to end (WM_CLOSE, sent with a limit of
// kRegToolCloseSendMs) and waits up to kRegToolExitWaitMs for its process to
// end. Returns at once when none runs.
constexpr uint32_t kRegToolCloseSendMs = 3000;
constexpr uint32_t kRegToolExitWaitMs = 5000;
void CloseRegTool();

// kDone with the SID text in `out`, kFailed on any failure (also when the text does
// not fit `cbOut` bytes: a cut SID would name another user's key).
int GetUserSidString(char16_t* out, uint32_t cbOut);

// The hand-off key path (prefix + SID + "\\Software\\Fwise") into `out` (260 units);
// false when the SID cannot be had or the path would not fit 259 characters.
bool HandOffKeyPath(char16_t* out, uint32_t cap);

// Seeds the Save dialog's folder outside protected mode (version rule, MRU record or
// "Download Directory"). Returns kSeedWriteFailed exactly when the write of the MRU record
// into its slot failed (the RegTool reports that); kSeedOk otherwise, also when nothing
// was written.
int ApplySaveFolder(const char16_t* folder);

}  // namespace fw
