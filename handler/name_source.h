// Which download URLs may hide the name of the file the server finally sends.
#pragma once

namespace fw {

// True for a script URL: one with a '?' anywhere, or one holding a
// server-script marker (".asp", ".php", ".pl", ".rb", ".py", ".jsp", ".cgi")
// anywhere, in any case. A plain substring search on purpose: ".asp" also
// catches .aspx, ".pl" a folder named docs.planning. A null URL is not one.
bool IsScriptUrl(const char16_t* url);

}  // namespace fw
