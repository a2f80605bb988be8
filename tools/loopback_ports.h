// The ports of tools/loopback_http.py as seen from a Windows program under
// Wine: the server's port file is named by FW_HTTP_PORT_FILE (a Linux path).
#pragma once
#include "win.h"
#include <stdio.h>
#include <initializer_list>
#include <string>

namespace fw {

struct LoopbackPorts {
    int live = 0;    // the server
    int closed = 0;  // nothing listens there
};

// Both ports, or zeros when the variable is unset or the file unreadable.
inline LoopbackPorts ReadLoopbackPorts() {
    LoopbackPorts p;
    char unixPath[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("FW_HTTP_PORT_FILE", unixPath, sizeof unixPath);
    if (n == 0 || n >= sizeof unixPath) return p;
    // Wine's drive Z: is the Linux root.
    char path[MAX_PATH + 2] = "Z:";
    size_t i = 2;
    for (const char* c = unixPath; *c && i + 1 < sizeof path; ++c) path[i++] = *c == '/' ? '\\' : *c;
    path[i] = 0;
    if (FILE* f = fopen(path, "r")) {
        if (fscanf(f, "%d %d", &p.live, &p.closed) != 2) p = LoopbackPorts{};
        fclose(f);
    }
    return p;
}

// The query of a /cd address that makes the server answer with these
// Content-Disposition headers: "h=" + each one's bytes percent-encoded, so
// that anything (a '%', a ';') reaches the header as it is.
inline std::string DispositionQuery(std::initializer_list<const char*> headers) {
    static const char hex[] = "0123456789ABCDEF";
    std::string q;
    for (const char* h : headers) {
        q += q.empty() ? "h=" : "&h=";
        for (const char* c = h; *c; ++c) {
            unsigned char b = static_cast<unsigned char>(*c);
            bool plain = (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
            if (plain) {
                q += *c;
            } else {
                q += '%';
                q += hex[b >> 4];
                q += hex[b & 15];
            }
        }
    }
    return q;
}

}  // namespace fw
