#include "rule_marks_win.h"
#include "text.h"
#include <map>
#include <memory>

namespace fw {

using namespace fw::forms;

namespace {

// Only folders on this machine's fixed drives are looked at, on the
// interface thread: they answer at once. Network paths and mapped, removable
// or optical drives may make the window wait for a time-out, so they are not
// looked at and never marked.
bool FolderMissing(const char16_t* folder) {
    switch (ClassifyFolder(folder)) {
        case FolderCheck::Missing: return true;
        case FolderCheck::Skip: return false;
        case FolderCheck::Check: break;
    }
    wchar_t root[4] = {static_cast<wchar_t>(folder[0]), L':', L'\\', 0};
    UINT kind = GetDriveTypeW(root);
    if (kind != DRIVE_FIXED && kind != DRIVE_RAMDISK) return false;
    DWORD attributes = GetFileAttributesW(W(folder));
    return attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

void ReadRuleRows(TListView* list, std::vector<TestDialogData::Rule>* rows) {
    int n = list->Count();
    rows->clear();
    rows->reserve(static_cast<size_t>(n));
    wchar_t rule[kRuleChars], folder[kPathChars];
    for (int i = 0; i < n; ++i) {
        int image = 0;
        LPARAM data = 0;
        list->Get(i, &image, rule, kRuleChars, folder, kPathChars, &data);
        rows->push_back({static_cast<uint32_t>(data), U(rule), U(folder)});
    }
}

void RuleListMarks::Refresh(TListView* list) {
    ReadRuleRows(list, &rows_);
    size_t n = rows_.size();
    std::vector<ScreenRule> screen;
    screen.reserve(n);
    std::unique_ptr<bool[]> missing(new bool[n + 1]());
    std::map<std::u16string, bool> checked;  // many rules share a folder
    for (size_t i = 0; i < n; ++i) {
        screen.push_back({rows_[i].type, rows_[i].rule.c_str(), rows_[i].folder.c_str()});
        auto found = checked.find(rows_[i].folder);
        if (found == checked.end()) found = checked.emplace(rows_[i].folder, FolderMissing(rows_[i].folder.c_str())).first;
        missing[i] = found->second;
    }
    std::vector<RuleMark> marks(n);
    MarkRules(screen.data(), static_cast<int32_t>(n), missing.get(), marks.data());
    bool changed = marks.size() != marks_.size();
    for (size_t i = 0; i < n && !changed; ++i) changed = (marks[i].reason == MarkReason::None) != !Marked(static_cast<int>(i));
    marks_.swap(marks);
    if (changed) InvalidateRect(list->Handle(), nullptr, FALSE);
}

bool RuleListMarks::Marked(int i) const {
    return i >= 0 && static_cast<size_t>(i) < marks_.size() && marks_[i].reason != MarkReason::None;
}

void RuleListMarks::Hint(int i, wchar_t* out, int cap) const {
    if (!out || cap <= 0) return;
    out[0] = 0;
    if (i < 0 || static_cast<size_t>(i) >= marks_.size()) return;
    std::vector<ScreenRule> screen;
    screen.reserve(rows_.size());
    for (const TestDialogData::Rule& r : rows_) screen.push_back({r.type, r.rule.c_str(), r.folder.c_str()});
    MarkHint(marks_[i], screen.data(), static_cast<int32_t>(screen.size()), i, U(out), static_cast<size_t>(cap));
}

}  // namespace fw
