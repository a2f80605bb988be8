// The server's file name from response headers: any header block, handed
// over in a heap block of exactly its size. A name given back must be
// terminated in its buffer and be a bare file name.
#include "content_disposition.h"
#include "text.h"
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    // The first byte picks the reader; the rest is the text, one unit per
    // byte pair, or one per byte (headers are mostly ASCII: more finds).
    uint8_t pick = data[0] % 4;
    ++data;
    --size;
    bool wide = pick & 1;
    size_t n = wide ? size / 2 : size;
    std::unique_ptr<char16_t[]> text(new char16_t[n ? n : 1]);
    for (size_t i = 0; i < n; ++i)
        text[i] = wide ? static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8) : static_cast<char16_t>(data[i]);
    char16_t out[fw::kServerNameChars];
    bool got = pick & 2 ? fw::ServerNameFromHeaders(text.get(), n, out, fw::kServerNameChars)
                        : fw::ServerNameFromDisposition(text.get(), n, out, fw::kServerNameChars);
    size_t len = fw::TextLenBounded(out, fw::kServerNameChars);
    if (len >= fw::kServerNameChars) std::abort();
    if (got != (len > 0)) std::abort();
    for (size_t i = 0; i < len; ++i) {
        char16_t c = out[i];
        if (c < 0x20 || c == u'/' || c == u'\\' || fw::TextChr(u"<>:\"|?*", c)) std::abort();
    }
    if (got && (out[len - 1] == u'.' || out[len - 1] == u' ')) std::abort();
    return 0;
}
