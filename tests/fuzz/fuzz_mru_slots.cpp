// Arbitrary slot values, "MRUListEx" and item ID list bytes, each in a buffer
// of exactly its size so that any read past the end is caught. The seeding
// writes exactly one iexplore.exe record whose list is the given one up to
// its terminator, and the list names that slot first unless the slot was
// already the iexplore.exe one, whose place is then left alone.
#include "ie_places.h"
#include "registry_mem.h"
#include "save_folder_logic.h"
#include "text.h"
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
const char16_t* const kKey = fw::ie::kLastVisitedPidlMruKey;

Bytes Read(const char16_t* name, bool* found) {
    uint32_t size = 0;
    *found = fw::QueryRegValue(fw::RegRoot::CurrentUser, kKey, name, nullptr, &size, nullptr) == fw::RegQuery::Ok;
    Bytes out(size);
    if (*found && size) fw::QueryRegValue(fw::RegRoot::CurrentUser, kKey, name, out.data(), &size, nullptr);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Pieces: a length byte pair, then that many bytes; the first piece is the
    // item ID list, then "MRUListEx" (when the mask says so), then slots 0, 1, ...
    if (size < 1) return 0;
    uint8_t mask = data[0];
    size_t pos = 1;
    std::vector<Bytes> pieces;
    while (pos + 2 <= size && pieces.size() < 8) {
        size_t n = (data[pos] | data[pos + 1] << 8) % 1200;
        pos += 2;
        if (n > size - pos) n = size - pos;
        pieces.emplace_back(data + pos, data + pos + n);
        pos += n;
    }
    if (pieces.empty()) return 0;

    fw::mem::Reset();
    bool withList = mask & 1;
    for (size_t i = 1; i < pieces.size(); ++i) {
        char16_t name[12];
        if (withList && i == 1)
            std::memcpy(name, u"MRUListEx", sizeof(u"MRUListEx"));
        else
            fw::FormatDecimal(name, 12, static_cast<int32_t>(i - (withList ? 2 : 1)));
        fw::SetRegValue(fw::RegRoot::CurrentUser, kKey, name, fw::kRegBinary, pieces[i].data(),
                        static_cast<uint32_t>(pieces[i].size()));
    }
    bool hadList = false;
    Bytes oldList = Read(u"MRUListEx", &hadList);

    Bytes list = pieces[0];
    uint8_t* listData = list.empty() ? nullptr : list.data();
    uint32_t listSize = fw::ItemIdListSize(listData, list.size());
    fw::mem::ClearLog();
    if (fw::WriteMruRecord(listData, list.size()) != 1) std::abort();

    std::vector<std::u16string> written;
    for (const auto& call : fw::mem::Log())
        if (call.kind == fw::mem::Call::Set) written.push_back(call.name);
    if (!listSize) {
        if (!written.empty()) std::abort();
        return 0;
    }
    const std::u16string& slotName = written.back();
    bool found = false;
    Bytes record = Read(slotName.c_str(), &found);
    if (!found || record.size() != 26 + listSize) std::abort();
    if (!fw::IsIexploreSlot(record.data(), record.size())) std::abort();
    if (std::memcmp(record.data() + 26, list.data(), listSize) != 0) std::abort();

    Bytes newList = Read(u"MRUListEx", &found);
    if (written.size() == 1) {
        if (found != hadList || newList != oldList) std::abort();  // an existing slot keeps its place
    } else {
        if (written.size() != 2 || written[0] != u"MRUListEx" || newList.size() < 8) std::abort();
        uint32_t first = newList[0] | newList[1] << 8 | newList[2] << 16 | static_cast<uint32_t>(newList[3]) << 24;
        char16_t name[12];
        fw::FormatDecimal(name, 12, static_cast<int32_t>(first));
        if (slotName != name) std::abort();
    }

    // The version parser over the same bytes taken as text of exactly their length.
    std::vector<char16_t> text(list.size() / 2);
    if (!text.empty()) std::memcpy(text.data(), list.data(), text.size() * 2);
    int32_t major = 0;
    fw::IeMajorVersion(text.empty() ? nullptr : text.data(), text.size(), &major);
    return 0;
}
