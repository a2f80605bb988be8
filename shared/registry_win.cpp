#include "registry.h"
#include "scoped_win.h"
#include "win.h"
#include <shlwapi.h>

namespace fw {

static HKEY RootKey(RegRoot root) {
    switch (root) {
        case RegRoot::CurrentUser: return HKEY_CURRENT_USER;
        case RegRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
        case RegRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    }
    return HKEY_CURRENT_USER;
}

RegQuery QueryRegValue(RegRoot root, const char16_t* subkey, const char16_t* name, void* data,
                       uint32_t* size, uint32_t* type) {
    ScopedRegKey key;
    if (RegOpenKeyExW(RootKey(root), W(subkey), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return RegQuery::Failed;
    DWORD cb = size ? *size : 0;
    DWORD t = 0;
    LONG rc = RegQueryValueExW(key.Get(), W(name), nullptr, type ? &t : nullptr, static_cast<BYTE*>(data), &cb);
    key.Reset();
    if (size) *size = cb;
    if (type) *type = t;
    if (rc == ERROR_SUCCESS) return RegQuery::Ok;
    if (rc == ERROR_MORE_DATA) return RegQuery::MoreData;
    return RegQuery::Failed;
}

extern "C" bool fw_SetRegValue(RegRoot root, const char16_t* subkey, const char16_t* name, uint32_t type,
                               const void* data, uint32_t size) {
    ScopedRegKey key;
    wchar_t noClass[1] = {0};
    if (RegCreateKeyExW(RootKey(root), W(subkey), 0, noClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, key.Receive(), nullptr) != ERROR_SUCCESS)
        return false;
    return RegSetValueExW(key.Get(), W(name), 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

bool DeleteRegTree(RegRoot root, const char16_t* subkey) {
    return SHDeleteKeyW(RootKey(root), W(subkey)) == ERROR_SUCCESS;
}

bool DeleteRegValue(RegRoot root, const char16_t* subkey, const char16_t* name) {
    return SHDeleteValueW(RootKey(root), W(subkey), W(name)) == ERROR_SUCCESS;
}

}  // namespace fw
