// The file name a server gives in its Content-Disposition header, read after
// RFC 6266 and RFC 5987 and made safe before anything uses it. Portable: the
// download handler's callback hands it the response headers as they came.
#pragma once
#include <cstddef>
#include <cstdint>

namespace fw {

// A server's file name with its terminator: one Windows path component.
constexpr size_t kServerNameChars = 260;

// The file name that one Content-Disposition value (`len` units, no
// terminator needed) gives. filename* (UTF-8 or ISO-8859-1, percent-encoded)
// is preferred over filename when it can be decoded. The name is then made
// safe: only its last path part is kept, and it is refused (false, `out`
// empty) when it holds a control or a character Windows forbids in a file
// name, is empty, or is longer than kServerNameChars - 1. A value that does
// not parse, or names a parameter twice, gives false too. `cap` >= 1.
bool ServerNameFromDisposition(const char16_t* value, size_t len, char16_t* out, size_t cap);

// The file name a response's Content-Disposition headers give. `headers` is
// the header block as the platform hands it over (a status line, then
// "Name: value" lines ending in CR LF or LF, folded lines continuing the
// value before them). A header sent more than once counts only when every
// copy gives the same name; otherwise the server is ambiguous and nothing is
// taken. False (and `out` empty) when no usable name is there.
bool ServerNameFromHeaders(const char16_t* headers, size_t len, char16_t* out, size_t cap);

// A name the platform already took from the header, made safe the same way.
bool SafeServerName(const char16_t* name, size_t len, char16_t* out, size_t cap);

}  // namespace fw
