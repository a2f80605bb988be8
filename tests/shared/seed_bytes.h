// Byte-building helpers for the seeding tests (native and Wine).
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace fw::test {

using Bytes = std::vector<uint8_t>;

// UTF-16LE units of `s`, with its zero when `terminate`.
inline Bytes Utf16(const std::u16string& s, bool terminate = true) {
    Bytes out;
    for (char16_t c : s) {
        out.push_back(static_cast<uint8_t>(c));
        out.push_back(static_cast<uint8_t>(c >> 8));
    }
    if (terminate) out.insert(out.end(), {0, 0});
    return out;
}

// An item ID list made of items of the given sizes (each filled with a byte
// of its own), then the 2-byte terminator.
inline Bytes ItemList(const std::vector<uint16_t>& sizes) {
    Bytes out;
    uint8_t fill = 0x41;
    for (uint16_t cb : sizes) {
        out.push_back(static_cast<uint8_t>(cb));
        out.push_back(static_cast<uint8_t>(cb >> 8));
        for (uint16_t i = 2; i < cb; ++i) out.push_back(fill);
        ++fill;
    }
    out.insert(out.end(), {0, 0});
    return out;
}

inline Bytes Cat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A record as a program named `name` would leave it in a slot.
inline Bytes Record(const std::u16string& name, const Bytes& list) { return Cat(Utf16(name), list); }

inline Bytes U32List(const std::vector<uint32_t>& entries) {
    Bytes out;
    for (uint32_t v : entries)
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return out;
}

inline std::string Hex(const Bytes& b) {
    std::string out;
    char buf[4];
    for (size_t i = 0; i < b.size(); ++i) {
        std::snprintf(buf, sizeof buf, "%02X", b[i]);
        if (i) out += (i % 4 == 0 ? " | " : " ");
        out += buf;
    }
    return out.empty() ? "(empty)" : out;
}

}  // namespace fw::test
