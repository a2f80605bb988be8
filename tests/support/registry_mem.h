// In-memory registry behind fw's registry seam, for the native tests. Keys
// and value names compare without regard to ASCII case, as the registry's do.
#pragma once
#include "registry.h"
#include <string>
#include <vector>

namespace fw::mem {

struct Call {
    enum Kind { Query, Set, DeleteTree, DeleteValue } kind;
    RegRoot root;
    std::u16string subkey;
    std::u16string name;
};

void Reset();                           // empty registry, empty log, no faults
const std::vector<Call>& Log();
void ClearLog();
bool KeyExists(RegRoot root, const char16_t* subkey);
// Value names of a key, in the order they were first written.
std::vector<std::u16string> ValueNames(RegRoot root, const char16_t* subkey);
// Writes whose value name equals `name` (any name when empty) fail.
void FailWrites(const char16_t* name);

}  // namespace fw::mem
