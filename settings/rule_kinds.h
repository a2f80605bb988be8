// The rule kinds and the two rule dialogs, each told once: the list's icons,
// the dialogs' texts, the add buttons and the list's add keys all read these
// tables. Adding a kind means a row in kRuleKinds, its picture, and a look
// at DecideRuleKind: that is where a dialog tells its kinds apart.
#pragma once
#include "picture_ids.h"
#include "settings_store.h"
#include "texts.h"
#include <cstddef>
#include <cstdint>

namespace fw {

// The values are the stored "%04dType" numbers.
enum class RuleKind : uint32_t {
    Name = kNameRule,
    Extension = kExtensionRule,
    Url = kUrlRule,
};

// The rule dialog comes in two variants: one edits name and extension rules
// (which of the two follows from the text), the other URL rules.
enum class RuleDialogKind : uint8_t { File, Url };

// Virtual-key codes the rule list reacts to.
constexpr uint16_t kKeyReturn = 0x0D;
constexpr uint16_t kKeyUp = 0x26;
constexpr uint16_t kKeyDown = 0x28;
constexpr uint16_t kKeyInsert = 0x2D;
constexpr uint16_t kKeyDelete = 0x2E;
constexpr uint16_t kKeyF4 = 0x73;  // the folder boxes: open the folder picker

// A move of the selected rule, as a step in the list.
enum class MoveDirection : int32_t { Up = -1, Down = +1 };

// Tags the layout gives the tool buttons and arrows. Their handlers are bound
// with the dialog kind or the direction itself; nothing decodes a tag.
constexpr int32_t kTagAddByName = 0;
constexpr int32_t kTagAddByUrl = 1;
constexpr int32_t kTagUpArrow = 0;
constexpr int32_t kTagDownArrow = 2;

struct RuleKindInfo {
    RuleKind kind;
    RuleDialogKind dialog;  // the dialog that edits it
    Picture icon;           // its picture in the rule list
};

// In stored-type order: a row's position is its image in the list's image list.
inline constexpr RuleKindInfo kRuleKinds[] = {
    {RuleKind::Name, RuleDialogKind::File, Picture::NameRule},
    {RuleKind::Extension, RuleDialogKind::File, Picture::ExtRule},
    {RuleKind::Url, RuleDialogKind::Url, Picture::UrlRule},
};
inline constexpr size_t kRuleKindCount = sizeof kRuleKinds / sizeof kRuleKinds[0];

struct RuleDialogInfo {
    RuleDialogKind dialog;
    // The tool button that opens it for a new rule, and the list's keys that
    // do the same: `ctrlKey` with Ctrl, `plainKey` (if any) with or without.
    Picture addPicture;
    int32_t addTag;
    const char16_t* TextSet::*addHint;
    uint16_t ctrlKey;
    uint16_t plainKey;
    // Its labels: lblRule and the help lines of lblInform.
    const char16_t* TextSet::*label;
    const char16_t* TextSet::*inform;
};

// In the order of the tool buttons.
inline constexpr RuleDialogInfo kRuleDialogs[] = {
    {RuleDialogKind::File, Picture::AddByName, kTagAddByName, &TextSet::hintAddByName, u'I', kKeyInsert,
     &TextSet::lblRuleByName, &TextSet::informByName},
    {RuleDialogKind::Url, Picture::AddByUrl, kTagAddByUrl, &TextSet::hintAddByUrl, u'U', 0, &TextSet::lblRuleByUrl,
     &TextSet::informByUrl},
};
inline constexpr size_t kRuleDialogCount = sizeof kRuleDialogs / sizeof kRuleDialogs[0];

constexpr bool KindsInStoredOrder() {
    for (size_t i = 0; i < kRuleKindCount; ++i)
        if (static_cast<size_t>(kRuleKinds[i].kind) != i) return false;
    for (size_t i = 0; i < kRuleDialogCount; ++i)
        if (static_cast<size_t>(kRuleDialogs[i].dialog) != i) return false;
    return true;
}
static_assert(KindsInStoredOrder(), "the tables are indexed by kind and by dialog");

// The row of a stored type; null for a number no kind has (such a rule shows
// no icon, opens the file dialog and keeps its number until it is edited).
const RuleKindInfo* FindRuleKind(uint32_t type);

// Only a URL rule opens the URL dialog; every other number the file one.
RuleDialogKind DialogForType(uint32_t type);

// The rule list's image for a stored type; -1 for none.
int32_t RuleImage(uint32_t type);

const RuleDialogInfo& DialogInfo(RuleDialogKind dialog);

// The kind a dialog gives its text on OK: the URL dialog a URL rule; the file
// dialog an extension rule exactly when the text starts with ".", else a
// name rule.
RuleKind DecideRuleKind(RuleDialogKind dialog, const char16_t* rule);

}  // namespace fw
