// Test-only: the registry write fails for the value named by the environment
// variable FWREG_FAIL_WRITE (compared without case), and for nothing else.
#include "registry.h"
#include "win.h"

using fw::RegRoot;

extern "C" bool __real__ZN2fw11SetRegValueENS_7RegRootEPKDsS2_jPKvj(RegRoot root, const char16_t* subkey,
                                                                    const char16_t* name, uint32_t type,
                                                                    const void* data, uint32_t size);

extern "C" bool __wrap__ZN2fw11SetRegValueENS_7RegRootEPKDsS2_jPKvj(RegRoot root, const char16_t* subkey,
                                                                    const char16_t* name, uint32_t type,
                                                                    const void* data, uint32_t size) {
    wchar_t fail[128];
    DWORD len = GetEnvironmentVariableW(L"FWREG_FAIL_WRITE", fail, 128);
    if (len > 0 && len < 128 && name && lstrcmpiW(fail, W(name)) == 0) return false;
    return __real__ZN2fw11SetRegValueENS_7RegRootEPKDsS2_jPKvj(root, subkey, name, type, data, size);
}
