// Takes a fuzz input apart piece by piece; reads past the end give zeros and
// empty pieces, never bytes from outside the input.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct FuzzInput {
    const uint8_t* p;
    size_t n;
    uint8_t Byte() {
        if (!n) return 0;
        --n;
        return *p++;
    }
    std::vector<uint8_t> Bytes(size_t len) {
        if (len > n) len = n;
        std::vector<uint8_t> out(p, p + len);
        p += len;
        n -= len;
        return out;
    }
};
