// Helpers for the Wine tests of the COM server: sibling binaries, running a
// program while this thread keeps its windows answering, and registry trees
// as sorted lines that a test compares whole.
#pragma once
#include "win.h"
#include <shlobj.h>
#include <shlwapi.h>
#include <algorithm>
#include <string>
#include <vector>

namespace fw::test {

// The server DLL of this build's bitness, which its tests register and load:
// the real Fwise.dll in the 32-bit build (its registration lands in the
// 32-bit view of the prefix), Fwise64.dll in the 64-bit one. kRoleDll is a
// DLL with the 32-bit DLL's role (Run value, closing the RegTool): Fwise.dll
// itself, or in the 64-bit build its FwiseRole32.dll stand-in.
#ifdef _WIN64
inline const wchar_t* const kServerDll = L"Fwise64.dll";
inline const wchar_t* const kRoleDll = L"FwiseRole32.dll";
constexpr bool kServerHasRole = false;
#else
inline const wchar_t* const kServerDll = L"Fwise.dll";
inline const wchar_t* const kRoleDll = L"Fwise.dll";
constexpr bool kServerHasRole = true;
#endif

// The folder of this test program; the build puts every binary there.
inline std::wstring ExeDir() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    return s.substr(0, s.rfind(L'\\'));
}

// Makes `dir` (and its parents) and copies the named siblings into it. The
// \\?\ form lets a test use paths longer than MAX_PATH.
inline bool InstallInto(const std::wstring& dir, const std::vector<std::wstring>& files) {
    for (size_t at = dir.find(L'\\', 3);; at = dir.find(L'\\', at + 1)) {
        CreateDirectoryW((L"\\\\?\\" + dir.substr(0, at)).c_str(), nullptr);
        if (at == std::wstring::npos) break;
    }
    for (const auto& f : files)
        if (!CopyFileW((ExeDir() + L"\\" + f).c_str(), (L"\\\\?\\" + dir + L"\\" + f).c_str(), FALSE))
            return false;
    return true;
}

// Runs `cmd` to its end while dispatching this thread's messages (a program
// may send to a window of ours), optionally capturing its standard output.
// The exit code, or -1 when it could not start.
inline int RunProgram(std::wstring cmd, std::string* out = nullptr) {
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    if (out) {
        if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return -1;
        SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = writeEnd;
        si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    }
    PROCESS_INFORMATION pi = {};
    BOOL started = CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, out != nullptr, 0, nullptr, nullptr, &si, &pi);
    if (writeEnd) CloseHandle(writeEnd);
    if (!started) {
        if (readEnd) CloseHandle(readEnd);
        return -1;
    }
    for (;;) {
        if (out) {
            DWORD avail = 0;
            while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &avail, nullptr) && avail > 0) {
                char buf[4096];
                DWORD got = 0;
                if (!ReadFile(readEnd, buf, std::min<DWORD>(avail, sizeof buf), &got, nullptr) || got == 0) break;
                out->append(buf, got);
            }
        }
        DWORD w = MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 20, QS_ALLINPUT);
        if (w == WAIT_OBJECT_0) break;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    if (out) {
        char buf[4096];
        DWORD got = 0;
        while (ReadFile(readEnd, buf, sizeof buf, &got, nullptr) && got > 0) out->append(buf, got);
        CloseHandle(readEnd);
    }
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return static_cast<int>(code);
}

inline int Regsvr32(const std::wstring& args) { return RunProgram(L"regsvr32.exe " + args); }

inline std::wstring GuidText(REFGUID guid) {
    wchar_t text[40];
    StringFromGUID2(guid, text, 40);
    return text;
}

// Every key and value under `root\path`, one line each, sorted:
// "sub\key|" for a key, "sub\key|name|type|data" for a value (names and
// data as text; binary data in hex).
inline void DumpTree(HKEY key, const std::wstring& prefix, std::vector<std::wstring>& lines) {
    lines.push_back(prefix + L"|");
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameChars = 256, type = 0;
        BYTE data[2048];
        DWORD cb = sizeof data;
        if (RegEnumValueW(key, i, name, &nameChars, nullptr, &type, data, &cb) != ERROR_SUCCESS) break;
        std::wstring text;
        if (type == REG_SZ || type == REG_EXPAND_SZ)
            text.assign(reinterpret_cast<wchar_t*>(data), wcsnlen(reinterpret_cast<wchar_t*>(data), cb / 2));
        else
            for (DWORD b = 0; b < cb; ++b) {
                wchar_t hex[4];
                swprintf(hex, 4, L"%02x", data[b]);
                text += hex;
            }
        lines.push_back(prefix + L"|" + (nameChars ? name : L"(default)") + L"|" + std::to_wstring(type) + L"|" + text);
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameChars = 256;
        if (RegEnumKeyExW(key, i, name, &nameChars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        HKEY sub = nullptr;
        if (RegOpenKeyExW(key, name, 0, KEY_READ, &sub) != ERROR_SUCCESS) continue;
        DumpTree(sub, prefix.empty() ? name : prefix + L"\\" + name, lines);
        RegCloseKey(sub);
    }
}

// The sorted lines of a tree; empty when the key does not exist.
inline std::vector<std::wstring> Tree(HKEY root, const std::wstring& path) {
    std::vector<std::wstring> lines;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return lines;
    DumpTree(key, L"", lines);
    RegCloseKey(key);
    std::sort(lines.begin(), lines.end());
    return lines;
}

inline bool KeyExists(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// A REG_SZ value, or "<missing>".
inline std::wstring Text(HKEY root, const std::wstring& path, const wchar_t* name) {
    wchar_t buf[1024];
    DWORD cb = sizeof buf;
    if (RegGetValueW(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, buf, &cb) != ERROR_SUCCESS) return L"<missing>";
    return buf;
}

inline bool PutText(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& text) {
    return SHSetValueW(root, path.c_str(), name, REG_SZ, text.c_str(),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

inline std::string Narrow(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w) s += c < 0x80 ? static_cast<char>(c) : '?';
    return s;
}

inline std::string Lines(const std::vector<std::wstring>& lines) {
    std::string s;
    for (const auto& l : lines) s += "  " + Narrow(l) + "\n";
    return s;
}

}  // namespace fw::test
