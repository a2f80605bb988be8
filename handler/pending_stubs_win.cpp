// TEMPORARY stand-ins so the server links before the name source, the
// redirect resolution and the seeding are in. They do nothing: no URL counts
// as a script URL, nothing is resolved and nothing is seeded.
#include "pending_stubs.h"

namespace fw {

bool IsScriptUrl(const char16_t*) { return false; }
int ResolveFinalUrl(const wchar_t*, wchar_t**) { return 1; }
int SeedSaveFolder(const char16_t*) { return 0; }

}  // namespace fw
