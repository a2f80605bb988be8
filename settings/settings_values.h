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

class StoredRule;

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
    // A rule's three values, as ReadRule / WriteRule / RuleIndexEmpty of the store.
    virtual uint32_t ReadRule(int32_t index, const RuleDefaults& def, char16_t* text, uint32_t textBytes,
                              char16_t* folder, uint32_t folderBytes) = 0;
    virtual int WriteRule(int32_t index, uint32_t type, const char16_t* text, const char16_t* folder) = 0;
    virtual bool RuleIndexEmpty(int32_t index) = 0;
    // A value as it was found, of any type and size (a row that shows a
    // placeholder writes back what was stored).
    virtual int WriteRaw(const char16_t* name, uint32_t type, const uint8_t* data, uint32_t size) = 0;
    // Rule `index`'s values as they are now, or null where there are none to
    // keep (a file's values are all read whole) or no memory for them.
    virtual StoredRule* CaptureRule(int32_t index) = 0;
};

// HKEY_CURRENT_USER\Software\Fwise, through the settings store's operations.
SettingsValues& TheStore();

struct StoredValue {
    std::u16string name;
    uint32_t type;  // kRegDword or kRegSz; for a raw value its own type
    uint32_t number;
    std::u16string text;
    bool raw = false;  // written by WriteRaw: `bytes` as they were, never read as a number or text
    std::vector<uint8_t> bytes;
};

// Values in the order they were first written; names compare without regard
// to ASCII case, as the registry's do. A load reads them in the order a save
// wrote them, so a lookup tries the value after the last one found first;
// the index by name is built only when that misses.
class ValueList : public SettingsValues {
public:
    const std::vector<StoredValue>& Values() const { return values_; }
    const StoredValue* Find(const char16_t* name) const;
    // Adds or replaces a value of either type.
    void Put(const StoredValue& value);
    // Adds a value the caller knows is not there yet.
    void Append(StoredValue&& value);

    uint32_t ReadDword(const char16_t* name, uint32_t def) override;
    void ReadString(const char16_t* name, const char16_t* def, char16_t* buf, uint32_t cb) override;
    bool Stored(const char16_t* name) override { return Find(name) != nullptr; }
    void Clear() override;
    int WriteDword(const char16_t* name, uint32_t value) override;
    int WriteString(const char16_t* name, const char16_t* text) override;
    uint32_t ReadRule(int32_t index, const RuleDefaults& def, char16_t* text, uint32_t textBytes, char16_t* folder,
                      uint32_t folderBytes) override;
    int WriteRule(int32_t index, uint32_t type, const char16_t* text, const char16_t* folder) override;
    bool RuleIndexEmpty(int32_t index) override;
    int WriteRaw(const char16_t* name, uint32_t type, const uint8_t* data, uint32_t size) override;
    StoredRule* CaptureRule(int32_t) override { return nullptr; }

private:
    std::vector<StoredValue> values_;
    mutable std::unordered_map<std::u16string, size_t> index_;  // folded name -> position
    mutable size_t indexed_ = 0;                                 // values_[0 .. indexed_) are in index_
    mutable size_t next_ = 0;                                    // where the next lookup looks first
    mutable std::u16string key_;                                 // lookups fold into it, without allocating
};

// The name with ASCII letters in upper case: the key ValueList looks names up by.
void FoldValueName(const char16_t* name, std::u16string* out);

}  // namespace fw
