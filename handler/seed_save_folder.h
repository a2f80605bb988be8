// Seeding the Save dialog's folder from inside the download handler: directly
// outside protected mode, through the RegTool inside it. Windows only.
#pragma once
#include <cstdint>

namespace fw {

// How long a protected-mode download waits for the RegTool to apply its
// folder. Applying parses the folder, which for a share on a slow link can
// take a few seconds; a RegTool that takes longer is hung or shows its
// failure box, and the download goes on as if nothing had been handed off.
constexpr uint32_t kHandOffWaitMs = 10000;

int InProtectedMode();                      // non-zero when ieframe.dll says protected mode
int SeedSaveFolder(const char16_t* folder);  // always kSeedAnswer; CFwiseObj::SeedSaveFolder calls it
                                             // with its folder buffer

}  // namespace fw
