// A rule index's values exactly as they are stored, for a row of the rule
// list that shows a placeholder ("ERR") instead of what could not be read.
// Until the user edits such a row, a save writes these bytes back rather than
// the placeholder, so a missing value stays missing and a text too long for
// the boxes survives byte for byte. No Windows types: tested natively.
#pragma once
#include <cstdint>

namespace fw {

class StoredRule {
public:
    // Nothing stored at all: written back as nothing.
    StoredRule() = default;
    ~StoredRule();
    StoredRule(const StoredRule&) = delete;
    StoredRule& operator=(const StoredRule&) = delete;

    // Reads the Type, Rule and Folder values of `index` as they are, whatever
    // their type or size. False when memory for one of them could not be had.
    bool Capture(int32_t index);
    // Writes each value that was there at `index`, as it was; kDone when all
    // of them were written (also when there were none).
    int WriteAt(int32_t index) const;

private:
    struct Value {
        bool present = false;
        uint32_t type = 0;
        uint32_t size = 0;
        uint8_t* bytes = nullptr;  // size + 2 bytes, the last two not 0
    };
    static bool CaptureValue(int32_t index, const char16_t* suffix, Value* v);
    Value values_[3];
};

// One optional StoredRule per row of the rule list, following the rows as
// they are added, moved, edited and deleted. A row without one (null) is
// saved from what it shows.
class RowSnapshots {
public:
    RowSnapshots() = default;
    ~RowSnapshots() { Clear(); }
    RowSnapshots(const RowSnapshots&) = delete;
    RowSnapshots& operator=(const RowSnapshots&) = delete;

    // Takes `snapshot` (may be null) for a row added at the end. Without
    // memory for the table, every row is saved as shown until Clear.
    void Append(StoredRule* snapshot);
    // Replaces the last row's snapshot (the row Append added last).
    void SetLast(StoredRule* snapshot);
    void Erase(int32_t row);
    void Swap(int32_t a, int32_t b);
    void Drop(int32_t row);             // the row was edited: saved as shown from now on
    StoredRule* Get(int32_t row) const;  // null for none, or a row out of range
    void Clear();

private:
    StoredRule** rows_ = nullptr;
    int32_t count_ = 0;
    int32_t cap_ = 0;
    bool lost_ = false;  // out of memory once: no row has a snapshot until Clear
};

}  // namespace fw
