// Windows test helpers for the seeding tests: temporary folders, the shell's
// own item ID lists, registry reads done apart from the code under test.
#pragma once
#include "registry.h"
#include "win.h"
#include <sddl.h>
#include <shlobj.h>
#include <cstdint>
#include <string>
#include <vector>

namespace fw::test {

inline std::u16string TestFolder(const std::u16string& rel) {
    // At the drive's root rather than in the temp folder: an item ID list
    // carries every parent's times, and other programs of the prefix write
    // into the temp folder at any moment.
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    std::u16string path = std::u16string(U(windows), 3) + u"fwseed";
    CreateDirectoryW(W(path.c_str()), nullptr);
    size_t pos = 0;
    while (pos < rel.size()) {
        size_t next = rel.find(u'\\', pos);
        if (next == std::u16string::npos) next = rel.size();
        path += u"\\" + rel.substr(pos, next - pos);
        CreateDirectoryW(W(path.c_str()), nullptr);
        pos = next + 1;
    }
    // The first look at a new folder may still move its times; look once
    // now, so that the parses the tests compare give the same bytes.
    PIDLIST_ABSOLUTE pidl = nullptr;
    if (SUCCEEDED(SHParseDisplayName(W(path.c_str()), nullptr, &pidl, 0, nullptr))) CoTaskMemFree(pidl);
    return path;
}

// Where two byte strings first differ, for failure messages.
inline std::string FirstDifference(const std::vector<uint8_t>& got, const std::vector<uint8_t>& expected) {
    size_t i = 0;
    while (i < got.size() && i < expected.size() && got[i] == expected[i]) ++i;
    return "sizes " + std::to_string(got.size()) + " and " + std::to_string(expected.size()) +
           ", first difference at byte " + std::to_string(i);
}

// The folder's item ID list as the shell hands it out, terminator included.
inline std::vector<uint8_t> ShellList(const std::u16string& folder) {
    PIDLIST_ABSOLUTE pidl = nullptr;
    if (FAILED(SHParseDisplayName(W(folder.c_str()), nullptr, &pidl, 0, nullptr)) || !pidl) return {};
    const uint8_t* p = reinterpret_cast<const uint8_t*>(pidl);
    std::vector<uint8_t> out(p, p + ILGetSize(pidl));
    CoTaskMemFree(pidl);
    return out;
}

inline std::u16string PathOfList(const std::vector<uint8_t>& list) {
    wchar_t path[MAX_PATH] = {0};
    if (!SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE>(list.data()), path)) return u"(no path)";
    return U(path);
}

inline bool ReadText(RegRoot root, const char16_t* key, const char16_t* name, std::u16string* out) {
    char16_t buf[1024];
    uint32_t size = sizeof buf - 2;
    if (QueryRegValue(root, key, name, buf, &size, nullptr) != RegQuery::Ok) return false;
    buf[size / 2] = 0;
    *out = buf;
    return true;
}

inline bool KeyExistsCU(const char16_t* key) {
    HKEY h = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, W(key), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
}

// The SID as the process token names it, found apart from GetUserSidString.
inline std::u16string TokenSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return u"";
    uint8_t buf[256];
    DWORD got = 0;
    std::u16string out;
    if (GetTokenInformation(token, TokenUser, buf, sizeof buf, &got)) {
        wchar_t* text = nullptr;
        if (ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buf)->User.Sid, &text)) {
            out = U(text);
            LocalFree(text);
        }
    }
    CloseHandle(token);
    return out;
}

}  // namespace fw::test
