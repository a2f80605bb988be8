#include "registry.h"
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
    HKEY key = nullptr;
    if (RegOpenKeyExW(RootKey(root), W(subkey), 0, KEY_READ, &key) != ERROR_SUCCESS) return RegQuery::Failed;
    DWORD cb = size ? *size : 0;
    DWORD t = 0;
    LONG rc = RegQueryValueExW(key, W(name), nullptr, type ? &t : nullptr, static_cast<BYTE*>(data), &cb);
    RegCloseKey(key);
    if (size) *size = cb;
    if (type) *type = t;
    if (rc == ERROR_SUCCESS) return RegQuery::Ok;
    if (rc == ERROR_MORE_DATA) return RegQuery::MoreData;
    return RegQuery::Failed;
}

bool SetRegValue(RegRoot root, const char16_t* subkey, const char16_t* name, uint32_t type,
                 const void* data, uint32_t size) {
    HKEY key = nullptr;
    wchar_t noClass[1] = {0};
    if (RegCreateKeyExW(RootKey(root), W(subkey), 0, noClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG rc = RegSetValueExW(key, W(name), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

bool DeleteRegTree(RegRoot root, const char16_t* subkey) {
    return SHDeleteKeyW(RootKey(root), W(subkey)) == ERROR_SUCCESS;
}

bool DeleteRegValue(RegRoot root, const char16_t* subkey, const char16_t* name) {
    return SHDeleteValueW(RootKey(root), W(subkey), W(name)) == ERROR_SUCCESS;
}

}  // namespace fw
