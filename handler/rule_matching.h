// Picks the folder for a download from the user's ordered rules.
#pragma once
#include "results.h"
#include <cstdint>

namespace fw {

// Walks the rules of the settings store in order; the first that matches
// decides. `url` is the download URL as the browser gave it (URL rules look
// at it), `nameSource` the text the file name and extension come from (the
// resolved final URL, or the URL itself). `folder` is the handler's folder
// buffer of kFolderChars units, cleared by the caller.
//   kFolderFound: a folder was read into `folder` (a rule's, possibly empty, or a
//      non-empty default folder)
//   kNoMatch: no rule matched and no default folder applies
//   kInvalidArg: `nameSource` is null; nothing is read, `folder` untouched
int32_t FindRuleFolder(const char16_t* url, const char16_t* nameSource, char16_t* folder);

}  // namespace fw
