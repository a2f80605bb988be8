// Names for the results the programs hand each other. The values are fixed:
// the handler's object table, the RegTool and stored data rely on them, so a
// name may be added but a value never changed. No Windows types here.
#pragma once
#include <cstdint>

namespace fw {

// The helpers that "report 1 or 0 and never say why": registry and settings
// store writes and reads, the SID text, the hand-off folder.
constexpr int kDone = 1;
constexpr int kFailed = 0;

// FindRuleFolder (the handler's rule walk).
constexpr int32_t kFolderFound = 0;  // the folder buffer got a folder
constexpr int32_t kNoMatch = 1;      // no rule matched and no default folder applies
constexpr int32_t kInvalidArg = static_cast<int32_t>(0x80070057);  // E_INVALIDARG: nothing read

// ApplySaveFolder and WriteMruRecord: only a failed write of the MRU record
// into its slot is worth reporting; nothing to write is not a failure.
constexpr int kSeedWriteFailed = 0;
constexpr int kSeedOk = 1;  // also when there was nothing to write

// ResolveFinalUrl: whether the final URL was captured.
constexpr int kResolved = 0;
constexpr int kNotResolved = 1;

// SeedSaveFolder answers the same whatever happened: the download goes on.
constexpr int32_t kSeedAnswer = 0;

}  // namespace fw
