// The generic registry helpers the handler, the RegTool and the settings
// program build on. They report kDone or kFailed (1 or 0) and never say why.
#pragma once
#include "registry.h"
#include "results.h"
#include <cstdint>

namespace fw {

// Reads a value into `buf`. 1 when the value exists, also when its data is
// larger than `cap` (then the buffer content is undefined and must not be
// used as data); 0 when the key cannot be opened or the value is missing.
int ReadRegValue(RegRoot root, const char16_t* subkey, const char16_t* name, void* buf, uint32_t cap);

// The value's size in bytes, or 0xFFFFFFFF when it cannot be queried.
uint32_t ReadRegValueSize(RegRoot root, const char16_t* subkey, const char16_t* name);

// REG_SZ with (length + 1) * 2 bytes; missing keys are created.
int WriteRegString(RegRoot root, const char16_t* subkey, const char16_t* name, const char16_t* text);
int WriteRegBinary(RegRoot root, const char16_t* subkey, const char16_t* name, const void* data, uint32_t size);
int WriteRegDword(RegRoot root, const char16_t* subkey, const char16_t* name, uint32_t value);

// Texts and numbers whose data is whole: a text of type REG_SZ or
// REG_EXPAND_SZ that fits `cap` bytes and is terminated inside the data, a
// number of type REG_DWORD and exactly 4 bytes. Anything else is not read, so
// nothing downstream ever sees a cut or unterminated text.
int ReadRegText(RegRoot root, const char16_t* subkey, const char16_t* name, char16_t* buf, uint32_t cap);
int ReadRegDword(RegRoot root, const char16_t* subkey, const char16_t* name, uint32_t* value);

}  // namespace fw
