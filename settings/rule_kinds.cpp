#include "rule_kinds.h"

namespace fw {

const RuleKindInfo* FindRuleKind(uint32_t type) { return type < kRuleKindCount ? &kRuleKinds[type] : nullptr; }

RuleDialogKind DialogForType(uint32_t type) {
    const RuleKindInfo* k = FindRuleKind(type);
    return k ? k->dialog : RuleDialogKind::File;
}

int32_t RuleImage(uint32_t type) { return FindRuleKind(type) ? static_cast<int32_t>(type) : -1; }

const RuleDialogInfo& DialogInfo(RuleDialogKind dialog) { return kRuleDialogs[static_cast<size_t>(dialog)]; }

RuleKind DecideRuleKind(RuleDialogKind dialog, const char16_t* rule) {
    if (dialog == RuleDialogKind::Url) return RuleKind::Url;
    return rule && rule[0] == u'.' ? RuleKind::Extension : RuleKind::Name;
}

}  // namespace fw
