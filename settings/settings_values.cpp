#include "settings_values.h"
#include "stored_rules.h"
#include <new>
#include "registry.h"
#include "results.h"
#include "text.h"

namespace fw {

namespace {

class StoreValues final : public SettingsValues {
public:
    uint32_t ReadDword(const char16_t* name, uint32_t def) override { return ReadSettingDword(name, def); }
    void ReadString(const char16_t* name, const char16_t* def, char16_t* buf, uint32_t cb) override {
        ReadSettingString(name, def, buf, cb);
    }
    bool Stored(const char16_t* name) override { return SettingStored(name); }
    void Clear() override { DeleteSettings(); }
    int WriteDword(const char16_t* name, uint32_t value) override { return WriteSettingDword(name, value); }
    int WriteString(const char16_t* name, const char16_t* text) override { return WriteSettingString(name, text); }
    uint32_t ReadRule(int32_t index, const RuleDefaults& def, char16_t* text, uint32_t textBytes, char16_t* folder,
                      uint32_t folderBytes) override {
        return fw::ReadRule(index, def, text, textBytes, folder, folderBytes);
    }
    int WriteRule(int32_t index, uint32_t type, const char16_t* text, const char16_t* folder) override {
        return fw::WriteRule(index, type, text, folder);
    }
    bool RuleIndexEmpty(int32_t index) override { return fw::RuleIndexEmpty(index); }
    int WriteRaw(const char16_t* name, uint32_t type, const uint8_t* data, uint32_t size) override {
        return SetRegValue(RegRoot::CurrentUser, kSettingsKey, name, type, data, size) ? kDone : kFailed;
    }
    StoredRule* CaptureRule(int32_t index) override {
        StoredRule* stored = new (std::nothrow) StoredRule();
        if (stored && !stored->Capture(index)) {
            delete stored;
            stored = nullptr;
        }
        return stored;
    }
};

}  // namespace

SettingsValues& TheStore() {
    static StoreValues store;
    return store;
}

void FoldValueName(const char16_t* name, std::u16string* out) {
    out->assign(name ? name : u"");
    for (char16_t& c : *out)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
}

namespace {

bool SameName(const std::u16string& stored, const char16_t* name) {
    size_t i = 0;
    for (; i < stored.size(); ++i) {
        char16_t a = stored[i], b = name[i];
        if (!b) return false;
        if (a >= u'a' && a <= u'z') a = static_cast<char16_t>(a - u'a' + u'A');
        if (b >= u'a' && b <= u'z') b = static_cast<char16_t>(b - u'a' + u'A');
        if (a != b) return false;
    }
    return name[i] == 0;
}

}  // namespace

const StoredValue* ValueList::Find(const char16_t* name) const {
    if (!name) name = u"";
    if (next_ < values_.size() && SameName(values_[next_].name, name)) return &values_[next_++];
    for (; indexed_ < values_.size(); ++indexed_) {
        FoldValueName(values_[indexed_].name.c_str(), &key_);
        index_.emplace(key_, indexed_);
    }
    FoldValueName(name, &key_);
    auto it = index_.find(key_);
    if (it == index_.end()) return nullptr;
    next_ = it->second + 1;
    return &values_[it->second];
}

void ValueList::Put(const StoredValue& value) {
    if (const StoredValue* there = Find(value.name.c_str())) {
        values_[static_cast<size_t>(there - values_.data())] = value;
        return;
    }
    values_.push_back(value);
}

void ValueList::Append(StoredValue&& value) { values_.push_back(std::move(value)); }

uint32_t ValueList::ReadDword(const char16_t* name, uint32_t def) {
    const StoredValue* v = Find(name);
    return v && !v->raw && v->type == kRegDword ? v->number : def;
}

void ValueList::ReadString(const char16_t* name, const char16_t* def, char16_t* buf, uint32_t cb) {
    size_t cap = cb / sizeof(char16_t);
    if (!buf || cap == 0) return;
    const StoredValue* v = Find(name);
    // As from the registry: a text that does not fit whole is not read.
    if (v && !v->raw && v->type == kRegSz && v->text.size() < cap) TextCopy(buf, cap, v->text.c_str());
    else TextCopy(buf, cap, def ? def : u"");
}

void ValueList::Clear() {
    values_.clear();
    index_.clear();
    indexed_ = next_ = 0;
}

int ValueList::WriteDword(const char16_t* name, uint32_t value) {
    Put({name, kRegDword, value, {}, false, {}});
    return kDone;
}

int ValueList::WriteString(const char16_t* name, const char16_t* text) {
    Put({name, kRegSz, 0, text ? text : u"", false, {}});
    return kDone;
}

// The rule values by the same names and in the same order as the store's
// ReadRule and WriteRule use them.
uint32_t ValueList::ReadRule(int32_t index, const RuleDefaults& def, char16_t* text, uint32_t textBytes,
                             char16_t* folder, uint32_t folderBytes) {
    char16_t name[kValueNameChars];
    uint32_t type = RuleValueName(name, kValueNameChars, index, kTypeSuffix) ? ReadDword(name, def.type) : def.type;
    if (RuleValueName(name, kValueNameChars, index, kRuleSuffix)) ReadString(name, def.text, text, textBytes);
    else TextCopy(text, textBytes / sizeof(char16_t), def.text);
    if (!folder) return type;
    if (RuleValueName(name, kValueNameChars, index, kFolderSuffix)) ReadString(name, def.folder, folder, folderBytes);
    else TextCopy(folder, folderBytes / sizeof(char16_t), def.folder);
    return type;
}

int ValueList::WriteRule(int32_t index, uint32_t type, const char16_t* text, const char16_t* folder) {
    char16_t name[kValueNameChars];
    if (!RuleValueName(name, kValueNameChars, index, kTypeSuffix)) return kFailed;
    WriteDword(name, type);
    RuleValueName(name, kValueNameChars, index, kRuleSuffix);
    WriteString(name, text);
    RuleValueName(name, kValueNameChars, index, kFolderSuffix);
    WriteString(name, folder);
    return kDone;
}

int ValueList::WriteRaw(const char16_t* name, uint32_t type, const uint8_t* data, uint32_t size) {
    StoredValue v{name, type, 0, {}, false, {}};
    v.raw = true;
    if (data) v.bytes.assign(data, data + size);
    Put(v);
    return kDone;
}

bool ValueList::RuleIndexEmpty(int32_t index) {
    char16_t name[kValueNameChars];
    const char16_t* const suffixes[] = {kTypeSuffix, kRuleSuffix, kFolderSuffix};
    for (const char16_t* suffix : suffixes)
        if (RuleValueName(name, kValueNameChars, index, suffix) && Stored(name)) return false;
    return true;
}

}  // namespace fw
