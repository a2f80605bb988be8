// The rule list's marks on screen: an overlay on the picture of every rule
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
    static constexpr int kOverlay = 1;  // the image list's overlay number of the mark

    // Reads every row of `list`, works the marks out and sets the overlays.
    void Refresh(forms::TListView* list);
    // The info tip of row `i`; empty for an unmarked row.
    void Hint(int i, wchar_t* out, int cap) const;

private:
    std::vector<TestDialogData::Rule> rows_;
    std::vector<RuleMark> marks_;
};

}  // namespace fw
