// TEMPORARY: the agreed interface of shared/save_folder.h, until the real
// header lands on main. Remove this folder and pending_stubs_win.cpp then.
#pragma once
#include <cstdint>

namespace fw {

constexpr unsigned WM_APPLY_FOLDER = 0x807D;
inline constexpr const char16_t* kRegToolClass = u"_FWREG_CLASSNAME_";
inline constexpr const char16_t* kRegToolTitle = u"Folderwise RegTool";
inline constexpr const char16_t* kHandOffValue = u"DownloadFolder";
int GetUserSidString(char16_t* out, uint32_t cbOut);
bool HandOffKeyPath(char16_t* out, uint32_t cap);
int ApplySaveFolder(const char16_t* folder);

}  // namespace fw
