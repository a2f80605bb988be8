#include "settings_values.h"
#include "registry.h"
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
};

}  // namespace

SettingsValues& TheStore() {
    static StoreValues store;
    return store;
}

std::u16string FoldValueName(const char16_t* name) {
    std::u16string out(name ? name : u"");
    for (char16_t& c : out)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return out;
}

const StoredValue* ValueList::Find(const char16_t* name) const {
    auto it = index_.find(FoldValueName(name));
    return it == index_.end() ? nullptr : &values_[it->second];
}

void ValueList::Put(const StoredValue& value) {
    std::u16string key = FoldValueName(value.name.c_str());
    auto it = index_.find(key);
    if (it != index_.end()) {
        values_[it->second] = value;
        return;
    }
    index_.emplace(std::move(key), values_.size());
    values_.push_back(value);
}

uint32_t ValueList::ReadDword(const char16_t* name, uint32_t def) {
    const StoredValue* v = Find(name);
    return v && v->type == kRegDword ? v->number : def;
}

void ValueList::ReadString(const char16_t* name, const char16_t* def, char16_t* buf, uint32_t cb) {
    size_t cap = cb / sizeof(char16_t);
    if (!buf || cap == 0) return;
    const StoredValue* v = Find(name);
    // As from the registry: a text that does not fit whole is not read.
    if (v && v->type == kRegSz && v->text.size() < cap) TextCopy(buf, cap, v->text.c_str());
    else TextCopy(buf, cap, def ? def : u"");
}

void ValueList::Clear() {
    values_.clear();
    index_.clear();
}

int ValueList::WriteDword(const char16_t* name, uint32_t value) {
    Put({name, kRegDword, value, {}});
    return 1;
}

int ValueList::WriteString(const char16_t* name, const char16_t* text) {
    Put({name, kRegSz, 0, text ? text : u""});
    return 1;
}

}  // namespace fw
