// The registry as the portable code sees it. Each call opens (or creates) its
// key, does one thing and closes the key again; nothing keeps a key open.
// registry_win.cpp is the real one; tests/support/registry_mem.cpp an
// in-memory one for the native tests.
#pragma once
#include <cstdint>

namespace fw {

enum class RegRoot : uint8_t { CurrentUser, LocalMachine, ClassesRoot };

enum class RegQuery : uint8_t {
    Ok,        // the data is in the buffer
    MoreData,  // the value exists, its data is larger than the buffer (content undefined)
    Failed,    // no key, no value, or access refused
};

// Registry value types, as Windows numbers them.
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;
constexpr uint32_t kRegQword = 11;

// Queries one value. `*size` is the capacity in bytes on entry and the size
// the registry reported on return (the full size on MoreData). `data` may be
// null to learn the size only; `type` may be null.
RegQuery QueryRegValue(RegRoot root, const char16_t* subkey, const char16_t* name, void* data,
                       uint32_t* size, uint32_t* type);

// Creates the key and any missing parents, then sets the value. The work is
// done by fw_SetRegValue, whose C name stays the same whatever its parameters:
// a test build puts a fault in front of it with the linker's --wrap.
extern "C" bool fw_SetRegValue(RegRoot root, const char16_t* subkey, const char16_t* name, uint32_t type,
                               const void* data, uint32_t size);
inline bool SetRegValue(RegRoot root, const char16_t* subkey, const char16_t* name, uint32_t type,
                        const void* data, uint32_t size) {
    return fw_SetRegValue(root, subkey, name, type, data, size);
}

// The key and everything under it (SHDeleteKeyW). A missing key is a failure.
bool DeleteRegTree(RegRoot root, const char16_t* subkey);

// One value (SHDeleteValueW).
bool DeleteRegValue(RegRoot root, const char16_t* subkey, const char16_t* name);

}  // namespace fw
