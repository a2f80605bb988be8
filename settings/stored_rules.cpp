#include "stored_rules.h"
#include "registry.h"
#include "results.h"
#include "settings_store.h"
#include <new>

namespace fw {

namespace {

const char16_t* const kSuffixes[3] = {kTypeSuffix, kRuleSuffix, kFolderSuffix};

}  // namespace

StoredRule::~StoredRule() {
    for (Value& v : values_) delete[] v.bytes;
}

bool StoredRule::CaptureValue(int32_t index, const char16_t* suffix, Value* v) {
    char16_t name[kValueNameChars];
    if (!RuleValueName(name, kValueNameChars, index, suffix)) return true;
    uint32_t size = 0;
    if (QueryRegValue(RegRoot::CurrentUser, kSettingsKey, name, nullptr, &size, nullptr) != RegQuery::Ok)
        return true;  // not there: stays missing
    if (size > 0x7FFFFFFFu) return false;
    // Two bytes more that are not 0: the registry looks at the unit just past
    // a text's given size and would store a 0 found there as a terminator.
    uint8_t* bytes = new (std::nothrow) uint8_t[size + 2u];
    if (!bytes) return false;
    uint32_t got = size;
    uint32_t type = 0;
    if (QueryRegValue(RegRoot::CurrentUser, kSettingsKey, name, bytes, &got, &type) != RegQuery::Ok || got != size) {
        delete[] bytes;
        return true;  // changed under us: as good as missing
    }
    bytes[size] = bytes[size + 1] = 0xFF;
    v->present = true;
    v->type = type;
    v->size = size;
    v->bytes = bytes;
    return true;
}

bool StoredRule::Capture(int32_t index) {
    bool ok = true;
    for (int i = 0; i < 3; ++i) ok = CaptureValue(index, kSuffixes[i], &values_[i]) && ok;
    return ok;
}

int StoredRule::WriteAt(int32_t index) const {
    int result = kDone;
    for (int i = 0; i < 3; ++i) {
        const Value& v = values_[i];
        if (!v.present) continue;
        char16_t name[kValueNameChars];
        if (!RuleValueName(name, kValueNameChars, index, kSuffixes[i]) ||
            !SetRegValue(RegRoot::CurrentUser, kSettingsKey, name, v.type, v.bytes, v.size))
            result = kFailed;
    }
    return result;
}

void RowSnapshots::Append(StoredRule* snapshot) {
    if (!lost_ && count_ == cap_) {
        int32_t cap = cap_ ? cap_ * 2 : 16;
        StoredRule** rows = new (std::nothrow) StoredRule*[cap];
        if (rows) {
            for (int32_t i = 0; i < count_; ++i) rows[i] = rows_[i];
            delete[] rows_;
            rows_ = rows;
            cap_ = cap;
        } else {
            // The table can no longer follow the rows: every row is saved as
            // shown, as if none had a snapshot.
            Clear();
            lost_ = true;
        }
    }
    if (lost_) {
        delete snapshot;
        return;
    }
    rows_[count_++] = snapshot;
}

void RowSnapshots::SetLast(StoredRule* snapshot) {
    if (count_ == 0) {
        delete snapshot;
        return;
    }
    delete rows_[count_ - 1];
    rows_[count_ - 1] = snapshot;
}

void RowSnapshots::Erase(int32_t row) {
    if (row < 0 || row >= count_) return;
    delete rows_[row];
    for (int32_t i = row; i + 1 < count_; ++i) rows_[i] = rows_[i + 1];
    --count_;
}

void RowSnapshots::Swap(int32_t a, int32_t b) {
    if (a < 0 || b < 0 || a >= count_ || b >= count_) return;
    StoredRule* t = rows_[a];
    rows_[a] = rows_[b];
    rows_[b] = t;
}

void RowSnapshots::Drop(int32_t row) {
    if (row < 0 || row >= count_) return;
    delete rows_[row];
    rows_[row] = nullptr;
}

StoredRule* RowSnapshots::Get(int32_t row) const { return row >= 0 && row < count_ ? rows_[row] : nullptr; }

void RowSnapshots::Clear() {
    for (int32_t i = 0; i < count_; ++i) delete rows_[i];
    delete[] rows_;
    rows_ = nullptr;
    count_ = cap_ = 0;
    lost_ = false;
}

}  // namespace fw
