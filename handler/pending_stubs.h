// TEMPORARY: declarations of handler pieces that are still being written
// elsewhere (the seeding and the RegTool's window names). Each goes away when
// its own header arrives; the signatures are the agreed ones, so callers do
// not change.
#pragma once
#include <cstdint>

#define FW_PENDING_SEEDING 1  // tests skip what needs the real seeding

namespace fw {

int SeedSaveFolder(const char16_t* folder);

inline constexpr const char16_t* kRegToolClass = u"_FWREG_CLASSNAME_";
inline constexpr const char16_t* kRegToolTitle = u"Folderwise RegTool";

}  // namespace fw
