// The rule list's marks on screen: a mark over the picture of every rule
// that can never take effect, and an info tip that says why.
#pragma once
#include "forms/forms.h"
#include "rule_tester.h"
#include "test_dialog_box.h"
#include <vector>

namespace fw {

// The rows of the rule list, as the tester and the marks take them.
void ReadRuleRows(forms::TListView* list, std::vector<TestDialogData::Rule>* rows);

class RuleListMarks {
public:
    // Reads every row of `list`, works the marks out and repaints the list
    // when they changed.
    void Refresh(forms::TListView* list);
    bool Marked(int i) const;
    // The info tip of row `i`; empty for an unmarked row.
    void Hint(int i, wchar_t* out, int cap) const;

private:
    std::vector<TestDialogData::Rule> rows_;
    std::vector<RuleMark> marks_;
};

}  // namespace fw
