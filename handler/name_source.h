// Which download URLs may hide the name of the file the server finally sends,
// and which text the name and extension rules then look at.
#pragma once
#include <cstddef>

namespace fw {

// True for a script URL: one with a '?' anywhere, or one holding a
// server-script marker (".asp", ".php", ".pl", ".rb", ".py", ".jsp", ".cgi")
// anywhere, in any case. A plain substring search on purpose: ".asp" also
// catches .aspx, ".pl" a folder named docs.planning. A null URL is not one.
bool IsScriptUrl(const char16_t* url);

// What a download's name source needs, from the settings: the address is
// resolved only for a script URL with "ParseURL" exactly 1; the server's
// file name is asked for only then, and only with "UseContentDisposition"
// exactly 1 (which is read only then).
struct NameSourceSteps {
    bool resolve = false;
    bool serverName = false;
};
NameSourceSteps NameSourceStepsFor(const char16_t* url);

// The text name and extension rules look at: "/" + `serverName` (built in
// `buf`, `cap` units) when the server gave a usable file name, else the
// resolved `finalUrl`, else the download `url`. Null or empty `serverName`
// and null `finalUrl` mean there was none. URL rules never look at it.
const char16_t* ChooseNameSource(const char16_t* url, const char16_t* finalUrl, const char16_t* serverName,
                                 char16_t* buf, size_t cap);

}  // namespace fw
