// A random settings store (values of any type and size) and a random name
// source: matching never reads out of bounds and leaves a terminated folder.
#include "fuzz_input.h"
#include "registry_mem.h"
#include "rule_matching.h"
#include "settings_store.h"
#include "text.h"
#include <cstdlib>
#include <vector>

namespace {

// "Num" is written apart, bounded: a huge count only makes a run long.
const char16_t* const kNames[] = {u"0003Type",  u"UseDefault", u"DefaultFolder", u"0000Type", u"0000Rule",
                                  u"0000Folder", u"0001Type",   u"0001Rule",      u"0001Folder", u"0002Rule"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fw::mem::Reset();
    FuzzInput in{data, size};
    int values = in.Byte() % 12;
    for (int i = 0; i < values; ++i) {
        const char16_t* name = kNames[in.Byte() % (sizeof kNames / sizeof kNames[0])];
        uint32_t type = in.Byte() % 5;
        size_t len = in.Byte();
        if (in.Byte() & 1) len *= 8;  // now and then longer than any buffer
        auto bytes = in.Bytes(len);
        fw::SetRegValue(fw::RegRoot::CurrentUser, fw::kSettingsKey, name, type, bytes.data(),
                        static_cast<uint32_t>(bytes.size()));
    }
    // Small enough to keep a run short, large enough to pass the stored rules;
    // now and then negative or huge.
    uint8_t numByte = in.Byte();
    uint32_t num = (numByte & 0x80) ? 0xFFFFFFFFu - (numByte & 3) : numByte % 5;
    if ((numByte & 0xC0) == 0x40) num = 0x7FFFFFFFu;  // corrupt: the walk must stop by itself
    if (in.Byte() & 1) fw::WriteSettingDword(fw::kNum, num);

    auto rest = in.Bytes(in.n);
    std::vector<char16_t> url(rest.size() / 2 + 1, 0);
    for (size_t i = 0; i + 1 < rest.size(); i += 2) {
        char16_t c = static_cast<char16_t>(rest[i] | rest[i + 1] << 8);
        url[i / 2] = c ? c : u'/';
    }
    char16_t folder[fw::kFolderChars] = {};
    int32_t rc = fw::FindRuleFolder(url.data(), url.data(), folder);
    if (rc != 0 && rc != 1) std::abort();
    if (fw::TextLenBounded(folder, fw::kFolderChars) >= fw::kFolderChars) std::abort();
    return 0;
}
