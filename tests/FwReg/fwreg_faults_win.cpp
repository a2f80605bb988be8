// Test-only: the registry write fails for the value named by the environment
// variable FWREG_FAIL_WRITE (compared without case), and for nothing else.
// The linker routes the product's calls of fw_SetRegValue here (--wrap).
#include "registry.h"
#include "win.h"
#include <type_traits>

using fw::RegRoot;

extern "C" decltype(fw::fw_SetRegValue) __real_fw_SetRegValue;

extern "C" bool __wrap_fw_SetRegValue(RegRoot root, const char16_t* subkey, const char16_t* name, uint32_t type,
                                      const void* data, uint32_t size) {
    wchar_t fail[128];
    DWORD len = GetEnvironmentVariableW(L"FWREG_FAIL_WRITE", fail, 128);
    if (len > 0 && len < 128 && name && lstrcmpiW(fail, W(name)) == 0) return false;
    return __real_fw_SetRegValue(root, subkey, name, type, data, size);
}

// A changed seam must fail to compile here, not quietly stop being wrapped.
static_assert(std::is_same_v<decltype(__wrap_fw_SetRegValue), decltype(fw::fw_SetRegValue)>,
              "the wrapper must match the seam");
