// Where the settings program's load reads and its save writes: the settings
// store itself, or a list of values in memory (a rules file on its way in or
// out). Export and import go through the very load and save the window uses,
// so a file holds exactly what a save writes, in the order it writes it.
#pragma once
#include "settings_store.h"
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace fw {

class SettingsValues {
public:
    virtual ~SettingsValues() = default;
    // The readers' contracts are those of ReadSettingDword / ReadSettingString.
    virtual uint32_t ReadDword(const char16_t* name, uint32_t def) = 0;
    virtual void ReadString(const char16_t* name, const char16_t* def, char16_t* buf, uint32_t cb) = 0;
    virtual bool Stored(const char16_t* name) = 0;
    virtual void Clear() = 0;  // DeleteSettings
    virtual int WriteDword(const char16_t* name, uint32_t value) = 0;
    virtual int WriteString(const char16_t* name, const char16_t* text) = 0;
};

// HKEY_CURRENT_USER\Software\Fwise, through the settings store's operations.
SettingsValues& TheStore();

struct StoredValue {
    std::u16string name;
    uint32_t type;  // kRegDword or kRegSz
    uint32_t number;
    std::u16string text;
};

// Values in the order they were first written; names compare without regard
// to ASCII case, as the registry's do.
class ValueList : public SettingsValues {
public:
    const std::vector<StoredValue>& Values() const { return values_; }
    const StoredValue* Find(const char16_t* name) const;
    // Adds or replaces a value of either type.
    void Put(const StoredValue& value);

    uint32_t ReadDword(const char16_t* name, uint32_t def) override;
    void ReadString(const char16_t* name, const char16_t* def, char16_t* buf, uint32_t cb) override;
    bool Stored(const char16_t* name) override { return Find(name) != nullptr; }
    void Clear() override;
    int WriteDword(const char16_t* name, uint32_t value) override;
    int WriteString(const char16_t* name, const char16_t* text) override;

private:
    std::vector<StoredValue> values_;
    std::unordered_map<std::u16string, size_t> index_;  // folded name -> position
};

// The name with ASCII letters in upper case: the key ValueList looks names up by.
std::u16string FoldValueName(const char16_t* name);

}  // namespace fw
