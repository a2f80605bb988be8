// TEMPORARY stand-in so the server links before the seeding is in: nothing
// is seeded.
#include "pending_stubs.h"

namespace fw {

int SeedSaveFolder(const char16_t*) { return 0; }

}  // namespace fw
