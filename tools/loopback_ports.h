// The ports of tools/loopback_http.py as seen from a Windows program under
// Wine: the server's port file is named by FW_HTTP_PORT_FILE (a Linux path).
#pragma once
#include "win.h"
#include <stdio.h>

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

}  // namespace fw
