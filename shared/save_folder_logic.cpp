#include "save_folder_logic.h"
#include "ie_places.h"
#include "reg_helpers.h"
#include "results.h"
#include "registry.h"
#include "text.h"
#include <cstring>
#include <memory>
#include <new>

namespace fw {

bool ByteWriter::Bytes(const void* src, size_t n) {
    if (!ok_ || n > cap_ - pos_ || (n && !src)) {
        ok_ = false;
        return false;
    }
    if (n) std::memcpy(buf_ + pos_, src, n);
    pos_ += n;
    return true;
}

bool ByteWriter::U16(uint16_t v) {
    const uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
    return Bytes(b, sizeof b);
}

bool ByteWriter::U32(uint32_t v) {
    const uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                          static_cast<uint8_t>(v >> 24)};
    return Bytes(b, sizeof b);
}

static bool IsBlank(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

bool IeMajorVersion(const char16_t* text, size_t len, int32_t* major) {
    if (!text) return false;
    size_t dot = 0;
    while (dot < len && text[dot] && text[dot] != u'.') ++dot;
    if (dot >= len || text[dot] != u'.') return false;
    size_t i = 0;
    while (i < dot && IsBlank(text[i])) ++i;
    bool negative = false;
    if (i < dot && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    // Accumulate past the 32-bit range only as far as needed to clamp.
    int64_t value = 0;
    for (; i < dot && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        value = value * 10 + (text[i] - u'0');
        if (value > INT64_C(0x80000000)) value = INT64_C(0x80000000);
    }
    if (negative) value = -value;
    if (value > INT32_MAX) value = INT32_MAX;
    if (value < INT32_MIN) value = INT32_MIN;
    if (major) *major = static_cast<int32_t>(value);
    return true;
}

uint32_t ItemIdListSize(const uint8_t* list, size_t cap) {
    if (!list) return 0;
    size_t pos = 0;
    for (;;) {
        if (cap < 2 || pos > cap - 2) return 0;  // no room left for a size field
        uint16_t cb = static_cast<uint16_t>(list[pos] | list[pos + 1] << 8);
        if (cb == 0) break;
        pos += cb;
    }
    size_t total = pos + 2;
    return total <= UINT32_MAX ? static_cast<uint32_t>(total) : 0;
}

size_t MruRecordSize(const char16_t* name, uint32_t listSize) {
    return (TextLen(name) + 1) * sizeof(char16_t) + listSize;
}

size_t BuildMruRecord(const char16_t* name, const uint8_t* list, size_t listCap, uint8_t* out, size_t outCap) {
    uint32_t listSize = ItemIdListSize(list, listCap);
    if (!listSize || !out) return 0;
    size_t size = MruRecordSize(name, listSize);
    if (size > outCap) return 0;
    std::memset(out, 0, size);
    ByteWriter w(out, size);
    for (size_t i = 0, n = TextLen(name); i < n; ++i) w.U16(name[i]);
    w.U16(0);
    w.Bytes(list, listSize);
    return w.Ok() && w.Size() == size ? size : 0;
}

bool IsIexploreSlot(const uint8_t* value, size_t len) {
    constexpr size_t kNameUnits = 12;  // "iexplore.exe"
    if (!value || len < (kNameUnits + 1) * sizeof(char16_t)) return false;
    char16_t name[kNameUnits + 1];
    for (size_t i = 0; i <= kNameUnits; ++i)
        name[i] = static_cast<char16_t>(value[2 * i] | value[2 * i + 1] << 8);
    if (name[kNameUnits] != 0) return false;
    return EqualTextI(name, ie::kIeExeName);
}

static bool HasOldList(const uint8_t* old, size_t oldLen) { return old && oldLen >= 8; }

size_t PrependedMruListSize(size_t oldLen) {
    // Only a null list is "none" in PrependMruSlot; the size for a real one.
    return oldLen >= 8 ? (oldLen / 4 + 1) * 4 : 8;
}

size_t PrependMruSlot(const uint8_t* old, size_t oldLen, uint32_t n, uint8_t* out, size_t outCap,
                      uint32_t* slot) {
    ByteWriter w(out, outCap);
    uint32_t taken = n;
    if (HasOldList(old, oldLen)) {
        w.U32(n);
        w.Bytes(old, oldLen / 4 * 4);  // a trailing partial entry is dropped
    } else {
        taken = 0;
        w.U32(0);
        w.U32(0xFFFFFFFFu);
    }
    if (!w.Ok()) return 0;
    if (slot) *slot = taken;
    return w.Size();
}

bool BuildHandOffKeyPath(char16_t* out, size_t cap, const char16_t* sid) {
    if (!out || cap == 0) return false;
    out[0] = 0;
    if (TextLen(sid) == 0) return false;
    size_t room = cap < kHandOffPathChars ? cap : kHandOffPathChars;
    if (TextCopy(out, room, ie::kHandOffPrefix) && TextAppend(out, room, sid) &&
        TextAppend(out, room, ie::kHandOffSuffix))
        return true;
    out[0] = 0;
    return false;
}

SeedPlace ChooseSeedPlace() {
    char16_t text[260];
    uint32_t size = sizeof text;
    if (QueryRegValue(RegRoot::LocalMachine, ie::kIeKey, ie::kVersionValue, text, &size, nullptr) != RegQuery::Ok)
        return SeedPlace::DownloadDirectory;
    int32_t major = 0;
    if (!IeMajorVersion(text, size / sizeof(char16_t), &major) || major < 9) return SeedPlace::DownloadDirectory;
    return SeedPlace::MruRecord;
}

namespace {

enum class Slot { Free, Iexplore, Other };

// Reads one slot and judges it by the bytes that were really read. A value
// longer than the work buffer is read whole, so that a long iexplore.exe
// record (a deep folder) is still found instead of a new slot being taken
// on every download.
Slot ReadSlot(const char16_t* name) {
    uint8_t work[520];
    uint32_t size = sizeof work;
    RegQuery q = QueryRegValue(RegRoot::CurrentUser, ie::kLastVisitedPidlMruKey, name, work, &size, nullptr);
    if (q == RegQuery::Failed) return Slot::Free;
    if (q == RegQuery::Ok) return IsIexploreSlot(work, size) ? Slot::Iexplore : Slot::Other;
    std::unique_ptr<uint8_t[]> whole(new (std::nothrow) uint8_t[size]);
    if (!whole) return Slot::Other;
    uint32_t got = size;
    if (QueryRegValue(RegRoot::CurrentUser, ie::kLastVisitedPidlMruKey, name, whole.get(), &got, nullptr) !=
        RegQuery::Ok)
        return Slot::Other;  // it changed under us; it was there all the same
    return IsIexploreSlot(whole.get(), got) ? Slot::Iexplore : Slot::Other;
}

// The old "MRUListEx" as far as it could be read; `*len` 0 when there is none.
std::unique_ptr<uint8_t[]> ReadMruList(size_t* len, bool* outOfMemory) {
    *len = 0;
    *outOfMemory = false;
    uint32_t size = ReadRegValueSize(RegRoot::CurrentUser, ie::kLastVisitedPidlMruKey, ie::kMruListExValue);
    if (size == 0xFFFFFFFFu || size < 8) return nullptr;
    // One entry of room beyond what was announced, as the value may grow meanwhile.
    uint64_t cap = (static_cast<uint64_t>(size / 4) + 1) * 4;
    std::unique_ptr<uint8_t[]> buf;
    if (cap <= 0x7FFFFFFF) buf.reset(new (std::nothrow) uint8_t[static_cast<size_t>(cap)]);
    if (!buf) {
        *outOfMemory = true;
        return nullptr;
    }
    uint32_t got = static_cast<uint32_t>(cap);
    if (QueryRegValue(RegRoot::CurrentUser, ie::kLastVisitedPidlMruKey, ie::kMruListExValue, buf.get(), &got,
                      nullptr) != RegQuery::Ok)
        return nullptr;
    *len = got;
    return buf;
}

}  // namespace

int WriteMruRecord(const uint8_t* list, size_t listCap) {
    uint32_t listSize = ItemIdListSize(list, listCap);
    if (!listSize) return kSeedOk;
    size_t recordSize = MruRecordSize(ie::kIeExeName, listSize);
    std::unique_ptr<uint8_t[]> record(new (std::nothrow) uint8_t[recordSize]);
    if (!record || BuildMruRecord(ie::kIeExeName, list, listCap, record.get(), recordSize) != recordSize) return kSeedOk;

    // The search stops at the first missing slot number, as the dialog's own list does.
    char16_t name[32];
    int32_t n = 0;
    Slot found = Slot::Other;
    for (; n < INT32_MAX; ++n) {
        FormatDecimal(name, 32, n);
        found = ReadSlot(name);
        if (found != Slot::Other) break;
    }
    if (found == Slot::Other) return kSeedOk;

    uint32_t slot = static_cast<uint32_t>(n);
    if (found == Slot::Free) {
        size_t oldLen = 0;
        bool outOfMemory = false;
        std::unique_ptr<uint8_t[]> old = ReadMruList(&oldLen, &outOfMemory);
        if (outOfMemory) return kSeedOk;
        size_t listLen = PrependedMruListSize(old ? oldLen : 0);
        std::unique_ptr<uint8_t[]> fresh(new (std::nothrow) uint8_t[listLen]);
        if (!fresh) return kSeedOk;
        size_t wrote = PrependMruSlot(old.get(), oldLen, slot, fresh.get(), listLen, &slot);
        if (!wrote) return kSeedOk;
        // The list goes first, so that the slot is named as soon as it exists.
        WriteRegBinary(RegRoot::CurrentUser, ie::kLastVisitedPidlMruKey, ie::kMruListExValue, fresh.get(),
                       static_cast<uint32_t>(wrote));
        FormatDecimal(name, 32, static_cast<int32_t>(slot));
    }
    return WriteRegBinary(RegRoot::CurrentUser, ie::kLastVisitedPidlMruKey, name, record.get(),
                          static_cast<uint32_t>(recordSize)) == kDone
               ? kSeedOk
               : kSeedWriteFailed;
}

}  // namespace fw
