// The handler's registration: the keys and values that make the class
// creatable and the browser's download user interface, as a table of rows
// that registration writes and unregistration takes away again.
#pragma once
#include "registry.h"
#include "win.h"
#include <cstdint>

namespace fw {

enum RegRowFlags : uint8_t {
    kRowPlain = 0,
    kForceRemove = 1,  // key: deleted with its subtree, then made afresh on registration
    kNoRemove = 2,     // key: never deleted on unregistration
    kRemoveIfOurs = 4, // value: deleted on unregistration only while it still holds the row's data
};

// One row: a key, and optionally one value in it. Texts may hold %CLSID%,
// %LIBID% and %MODULE%, replaced when the row is applied. `value` null: the
// row is about the key alone; u"": the key's default value. Key flags sit on
// the first row of their key.
struct RegRow {
    RegRoot root;
    const char16_t* key;
    const char16_t* value;
    const char16_t* data;
    uint8_t flags;
};

extern const RegRow kRegistrationRows[];
extern const uint32_t kRegistrationRowCount;

// Writes (register) or removes (!register) the rows, for the module `module`.
// S_OK, or the HRESULT of the first step that failed. A module path of 260
// characters or more fails with HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER)
// before anything is touched.
HRESULT ApplyRegistrationRows(HMODULE module, bool doRegister);

// The RegTool in the machine's Run key ("Folderwise", the quoted path of
// FwReg.exe beside the module); nothing when the module path has no backslash.
// The result is not looked at by the caller: a Run value that cannot be
// written must not stop the registration.
void WriteRunValue(HMODULE module);
void DeleteRunValue();

}  // namespace fw
