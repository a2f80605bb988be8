// Rules files: the settings store as a registry file that Windows' own
// `reg import` and regedit read (UTF-16LE with a byte-order mark, CRLF), and
// the reading of such files, ours or written by regedit, `reg export` (also
// the older ANSI REGEDIT4 form) or by hand. A file is read whole and checked
// before anything is taken from it: one fault refuses it all, with its line.
#pragma once
#include "settings_values.h"
#include <cstddef>
#include <cstdint>
#include <vector>

namespace fw {

// Larger files are refused unread. 10,000 rules take about 2 MB; a file of
// 10,000 rules of full length written in hex form stays below this.
constexpr uint64_t kRulesFileMaxBytes = 64ull * 1024 * 1024;

// The file's bytes for `values`, in their order: the key deleted first, then
// written again, so that importing replaces the rule set whole as a save does.
void WriteRulesFile(const ValueList& values, std::vector<uint8_t>* out);

// Turns bytes of the system's ANSI code page into UTF-16; at most `n` units
// come out of `n` bytes. Returns the number of units written.
using AnsiDecoder = size_t (*)(const uint8_t* in, size_t n, char16_t* out);

// Latin-1: each byte is one character. Where no code page is at hand.
size_t DecodeLatin1(const uint8_t* in, size_t n, char16_t* out);

struct RulesFileRefusal {
    uint32_t line;         // 1-based; 0 when it concerns the file as a whole
    char16_t reason[200];  // terminated
};

// Reads a rules file. On success `out` holds its values (names as in the
// store, texts as kRegSz, numbers as kRegDword) and true is returned; on
// refusal `out` is empty, `why` says where and what, and false is returned.
bool ReadRulesFile(const uint8_t* data, size_t size, AnsiDecoder ansi, ValueList* out, RulesFileRefusal* why);

// "line 12: ..." or the reason alone for the file as a whole.
void FormatRefusal(const RulesFileRefusal& why, char16_t* out, size_t cap);

// Whole files, as export and import need them.
class RulesFileSide {
public:
    virtual ~RulesFileSide() = default;
    // The file's size in `*size`; its bytes in `bytes` only when it is at
    // most `maxBytes` long (a larger one is not read). false: cannot be read.
    virtual bool ReadWholeFile(const char16_t* path, uint64_t maxBytes, std::vector<uint8_t>* bytes,
                               uint64_t* size) = 0;
    // Either the whole of `bytes` ends up in `path`, or `path` is as it was.
    virtual bool WriteWholeFile(const char16_t* path, const std::vector<uint8_t>& bytes) = 0;
    virtual AnsiDecoder Ansi() = 0;
};

// Reads and checks the file at `path`: false with `why` when it cannot be
// read (line 0, `why` says so) or is refused.
bool LoadRulesFile(RulesFileSide& side, const char16_t* path, ValueList* out, RulesFileRefusal* why);

}  // namespace fw
