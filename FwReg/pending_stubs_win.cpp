// TEMPORARY stand-ins for the seeding functions, so that the process part
// builds before shared/save_folder.cpp lands on main. They hand nothing over.
#include "save_folder.h"

namespace fw {

int GetUserSidString(char16_t* out, uint32_t cbOut) {
    if (out && cbOut >= 2) out[0] = 0;
    return 0;
}
bool HandOffKeyPath(char16_t* out, uint32_t cap) {
    if (out && cap) out[0] = 0;
    return false;
}
int ApplySaveFolder(const char16_t*) { return 1; }

}  // namespace fw
