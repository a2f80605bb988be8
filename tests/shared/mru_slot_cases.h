// The slot cases of the seeding, shared by the test over a synthetic item ID
// list (native and Wine) and the one through the real shell (Wine): each row
// gives the LastVisitedPidlMRU values before and what a seeding changes.
#pragma once
#include "ie_places.h"
#include "seed_bytes.h"
#include "store_util.h"
#include <functional>
#include <map>

namespace fw::test {

using Values = std::map<std::u16string, Bytes>;
inline const std::u16string kList = u"MRUListEx";
inline const uint32_t T = 0xFFFFFFFFu;

inline void ClearMru() { DeleteRegTree(RegRoot::CurrentUser, ie::kLastVisitedPidlMruKey); }

inline void PutValues(const Values& values) {
    for (const auto& [name, data] : values)
        ASSERT_TRUE(SetRegValue(RegRoot::CurrentUser, ie::kLastVisitedPidlMruKey, name.c_str(), kRegBinary,
                                data.data(), static_cast<uint32_t>(data.size())));
}

// The slots "0" to "9" and "MRUListEx", as far as they exist.
inline Values ReadValues() {
    Values out;
    std::vector<std::u16string> names = {kList};
    for (char16_t c = u'0'; c <= u'9'; ++c) names.push_back(std::u16string(1, c));
    for (const auto& name : names) {
        uint32_t size = 0;
        if (QueryRegValue(RegRoot::CurrentUser, ie::kLastVisitedPidlMruKey, name.c_str(), nullptr, &size, nullptr) !=
            RegQuery::Ok)
            continue;
        Bytes data(size);
        uint32_t got = size;
        if (QueryRegValue(RegRoot::CurrentUser, ie::kLastVisitedPidlMruKey, name.c_str(), data.data(), &got,
                          nullptr) == RegQuery::Ok)
            out[name] = Bytes(data.begin(), data.begin() + got);
    }
    return out;
}

inline std::string Describe(const Values& v) {
    std::string out;
    for (const auto& [name, data] : v) out += "  " + Utf8(name) + ": " + Hex(data) + "\n";
    return out;
}

struct SlotCase {
    const char* label;
    Values before;
    Values after;  // what changes; everything else stays as it was
};

// `rec` is the record the seeding writes.
inline std::vector<SlotCase> SlotCases(const Bytes& rec) {
    const Bytes other = Record(u"notepad.exe", ItemList({30}));
    const Bytes other2 = Record(u"mspaint.exe", ItemList({18, 6}));
    const Bytes oldIe = Record(u"IEXPLORE.EXE", ItemList({40}));
    // Deep folders give item ID lists past the 520-byte work buffer.
    const Bytes longIe = Record(u"iexplore.exe", ItemList({200, 200, 200}));
    const Bytes longOther = Record(u"winword.exe", ItemList({300, 300}));
    const Bytes nearIe = Record(u"Xexplore.exe", ItemList({20}));
    return {
        {"no key at all", {}, {{kList, U32List({0, T})}, {u"0", rec}}},
        {"slots of other programs",
         {{u"0", other}, {u"1", other2}, {u"2", other}, {kList, U32List({2, 0, 1, T})}},
         {{u"3", rec}, {kList, U32List({3, 2, 0, 1, T})}}},
        {"iexplore.exe slot in capitals keeps its place",
         {{u"0", other}, {u"1", oldIe}, {kList, U32List({0, 1, T})}},
         {{u"1", rec}}},
        {"gap before an iexplore.exe slot",
         {{u"0", other}, {u"2", oldIe}, {kList, U32List({2, 0, T})}},
         {{u"1", rec}, {kList, U32List({1, 2, 0, T})}}},
        {"MRUListEx missing", {{u"0", other}, {u"1", other2}}, {{u"0", rec}, {kList, U32List({0, T})}}},
        {"MRUListEx of 4 bytes",
         {{u"0", other}, {u"1", other2}, {kList, U32List({1})}},
         {{u"0", rec}, {kList, U32List({0, T})}}},
        {"MRUListEx empty", {{u"0", other}, {kList, {}}}, {{u"0", rec}, {kList, U32List({0, T})}}},
        {"MRUListEx of 10 bytes",
         {{u"0", other}, {kList, Cat(U32List({0, T}), {1, 2})}},
         {{u"1", rec}, {kList, U32List({1, 0, T})}}},
        {"a slot of 24 bytes named iexplore.exe is too short",
         {{u"0", Utf16(u"iexplore.exe", false)}, {kList, U32List({0, T})}},
         {{u"1", rec}, {kList, U32List({1, 0, T})}}},
        {"a short slot after a near-iexplore one is judged by its own bytes",
         {{u"0", nearIe}, {u"1", Utf16(u"i", false)}, {kList, U32List({1, 0, T})}},
         {{u"2", rec}, {kList, U32List({2, 1, 0, T})}}},
        {"iexplore.exe slot longer than 520 bytes is found",
         {{u"0", other}, {u"1", longIe}, {kList, U32List({1, 0, T})}},
         {{u"1", rec}}},
        {"another program's slot longer than 520 bytes is passed",
         {{u"0", longOther}, {kList, U32List({0, T})}},
         {{u"1", rec}, {kList, U32List({1, 0, T})}}},
    };
}

// Runs every case: `seed` performs one seeding and returns its result.
inline void RunSlotCases(const Bytes& rec, const std::function<int()>& seed) {
    for (const auto& row : SlotCases(rec)) {
        ClearMru();
        PutValues(row.before);
        EXPECT_EQ(seed(), 1) << row.label;
        Values expected = row.before;
        for (const auto& [name, data] : row.after) expected[name] = data;
        Values got = ReadValues();
        EXPECT_TRUE(got == expected) << row.label << "\ngot\n" << Describe(got) << "expected\n" << Describe(expected);
    }
}

}  // namespace fw::test
