// The small parsers of received and stored bytes, each fed a buffer of
// exactly the size given so that any read past the end is caught. The first
// byte picks the function.
#include "name_source.h"
#include "save_folder_logic.h"
#include "text.h"
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// The input as UTF-16 units in a heap block of exactly that many units.
std::unique_ptr<char16_t[]> Units(const uint8_t* data, size_t size, size_t* count, bool terminate) {
    size_t n = size / 2;
    std::unique_ptr<char16_t[]> out(new char16_t[n + (terminate ? 1 : 0)]);
    for (size_t i = 0; i < n; ++i) out[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
    if (terminate) {
        for (size_t i = 0; i < n; ++i)
            if (!out[i]) out[i] = u'a';
        out[n] = 0;
    }
    *count = n;
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    uint8_t pick = data[0] % 6;
    ++data;
    --size;
    size_t n = 0;
    switch (pick) {
        case 0: {
            auto url = Units(data, size, &n, true);
            bool script = fw::IsScriptUrl(url.get());
            if (fw::TextChr(url.get(), u'?') && !script) std::abort();
            break;
        }
        case 1: {
            auto text = Units(data, size, &n, false);  // may hold no terminator at all
            int32_t major = 0;
            fw::IeMajorVersion(text.get(), n, &major);
            break;
        }
        case 2: {
            std::unique_ptr<uint8_t[]> list(new uint8_t[size]);
            if (size) std::memcpy(list.get(), data, size);
            uint32_t listSize = fw::ItemIdListSize(list.get(), size);
            if (listSize > size) std::abort();
            size_t cap = fw::MruRecordSize(u"iexplore.exe", listSize ? listSize : 2);
            std::vector<uint8_t> out(cap);
            size_t got = fw::BuildMruRecord(u"iexplore.exe", list.get(), size, out.data(), out.size());
            if (listSize && got != 26 + listSize) std::abort();
            if (got && !fw::IsIexploreSlot(out.data(), got)) std::abort();
            break;
        }
        case 3: {
            std::unique_ptr<uint8_t[]> value(new uint8_t[size]);
            if (size) std::memcpy(value.get(), data, size);
            fw::IsIexploreSlot(value.get(), size);
            break;
        }
        case 4: {
            std::unique_ptr<uint8_t[]> old(new uint8_t[size]);
            if (size) std::memcpy(old.get(), data, size);
            uint32_t slot = 0;
            size_t cap = fw::PrependedMruListSize(size);
            std::vector<uint8_t> out(cap);
            size_t got = fw::PrependMruSlot(size ? old.get() : nullptr, size, 5, out.data(), out.size(), &slot);
            if (got != cap || got % 4) std::abort();
            break;
        }
        case 5: {
            auto sid = Units(data, size, &n, true);
            char16_t path[fw::kHandOffPathChars];
            if (fw::BuildHandOffKeyPath(path, fw::kHandOffPathChars, sid.get()) &&
                fw::TextLenBounded(path, fw::kHandOffPathChars) >= fw::kHandOffPathChars)
                std::abort();
            break;
        }
    }
    return 0;
}
