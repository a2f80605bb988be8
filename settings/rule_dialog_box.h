// The rule dialog (TRuleDlgBox): edits one rule, created for each use.
#pragma once
#include "forms/forms.h"
#include "option_logic.h"

namespace fw {

// Shows the rule dialog modally over `owner` with the labels of
// `data.dialog`, the texts of `data` in its boxes and the GUI font of `data`.
// True when the user closed it with OK: `data.rule` and `data.folder` then
// hold the boxes' texts. False (Cancel, Esc, the close button) leaves `data`
// as it was. The dialog lives only during the call; the caller keeps `data`.
bool RunRuleDialog(forms::TForm* owner, RuleDialogData& data);

}  // namespace fw
