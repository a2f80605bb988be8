// What the Save-dialog seeding decides, over plain bytes and texts: the
// version rule, the MRU record, the slot search and the MRUListEx update, the
// hand-off key path. No Windows types: the same code runs natively against the
// in-memory registry and on Windows against the real one. Parsers take the
// length they were given and never read past it; records are built through a
// bounds-checked writer.
#pragma once
#include <cstddef>
#include "results.h"
#include <cstdint>

namespace fw {

// Writes into a fixed buffer; a write that does not fit writes nothing and
// marks the writer failed, so a short buffer can never be overrun.
class ByteWriter {
public:
    ByteWriter(uint8_t* buf, size_t cap) : buf_(buf), cap_(buf ? cap : 0) {}
    bool Bytes(const void* src, size_t n);
    bool U16(uint16_t v);  // little-endian
    bool U32(uint32_t v);  // little-endian
    size_t Size() const { return pos_; }
    bool Ok() const { return ok_; }

private:
    uint8_t* buf_;
    size_t cap_;
    size_t pos_ = 0;
    bool ok_ = true;
};

// The major version in front of the first '.' of an Internet Explorer
// "Version" text of at most `len` units (it may end earlier at a zero). Read
// like wcstol base 10: blanks skipped, one sign, digits; no digits give 0; a
// value beyond 32 bits is clamped. False ("none") when there is no '.'.
bool IeMajorVersion(const char16_t* text, size_t len, int32_t* major);

// Size in bytes of an item ID list, its 2-byte terminator included: the item
// sizes up to the first zero size, plus 2. 0 when the list does not end inside
// the `cap` bytes given.
uint32_t ItemIdListSize(const uint8_t* list, size_t cap);

// Bytes of an MRU record for `name` and a list of `listSize` bytes (terminator
// included): the name, its zero, then the list.
size_t MruRecordSize(const char16_t* name, uint32_t listSize);

// Builds the record into `out` (zero-filled first). Returns its size, or 0
// when the list does not end inside `listCap` or the record does not fit.
size_t BuildMruRecord(const char16_t* name, const uint8_t* list, size_t listCap, uint8_t* out, size_t outCap);

// True when the `len` bytes of a slot value begin with "iexplore.exe" (any
// case) and its zero: only bytes that were really read are judged.
bool IsIexploreSlot(const uint8_t* value, size_t len);

// Size of the list PrependMruSlot makes from an old list of `oldLen` bytes.
size_t PrependedMruListSize(size_t oldLen);

// The new MRUListEx: slot `n` put in front of the old list's whole 32-bit
// entries, taken as they are. An old list that is missing (null) or shorter
// than 8 bytes gives the fresh list [0, 0xFFFFFFFF], and the slot becomes 0.
// Returns the bytes written to `out` and the slot to write in `*slot`; 0 when
// `out` is too small.
size_t PrependMruSlot(const uint8_t* old, size_t oldLen, uint32_t n, uint8_t* out, size_t outCap,
                      uint32_t* slot);

// The hand-off key path under HKEY_CURRENT_USER: prefix, SID text, suffix.
constexpr size_t kHandOffPathChars = 260;
// False (and `out` empty) when the SID is empty or the path would not fit
// `cap` units and 259 characters with its terminator: a cut path would name
// some other key.
bool BuildHandOffKeyPath(char16_t* out, size_t cap, const char16_t* sid);

// Where the Save dialog takes its starting folder from on this machine.
enum class SeedPlace { DownloadDirectory, MruRecord };
// Reads Internet Explorer's "Version": 9 or later means the MRU record. A
// version that cannot be read, does not fit or holds no '.' means "Download
// Directory", which needs no version.
SeedPlace ChooseSeedPlace();

// Writes the iexplore.exe MRU record for an item ID list of at most `listCap`
// bytes: the existing iexplore.exe slot is rewritten in its place; otherwise
// the first free slot is taken and put first in "MRUListEx". Returns
// kSeedWriteFailed exactly when the write of the record into its slot failed,
// kSeedOk otherwise (also when nothing could be written).
int WriteMruRecord(const uint8_t* list, size_t listCap);

}  // namespace fw
