// Seeding the Save dialog's folder from inside the download handler: directly
// outside protected mode, through the RegTool inside it. Windows only.
#pragma once

namespace fw {

int InProtectedMode();                      // non-zero when ieframe.dll says protected mode
int SeedSaveFolder(const char16_t* folder);  // always kSeedAnswer; CFwiseObj::SeedSaveFolder calls it
                                             // with its folder buffer

}  // namespace fw
