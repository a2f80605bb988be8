// The rule tester and the rule list's marks, apart from their windows. The
// tester runs the handler's own walk (match_steps.h) over the rules on
// screen; the marks say which rules can never take effect and why.
#pragma once
#include "match_steps.h"
#include "results.h"
#include "settings_store.h"
#include <cstddef>
#include <cstdint>
#include <vector>

namespace fw {

// One rule as the main window holds it.
struct ScreenRule {
    uint32_t type;
    const char16_t* rule;
    const char16_t* folder;
};

// The General page's default-folder settings, as on screen.
struct ScreenDefault {
    bool useDefault;
    const char16_t* folder;
};

// What one test found.
struct TestRun {
    int32_t result = kNoMatch;  // as FindRuleFolder's
    int32_t matched = -1;  // the deciding rule, -1 for none
    NameParts parts;
    std::vector<RuleOutcome> steps;  // one per rule tried, in order
    char16_t folder[kFolderChars] = {};
};

// Tests `url` (the address as given) with `nameSource` (the followed address,
// or `url` again) against the rules on screen.
void RunTest(const ScreenRule* rules, int32_t count, const ScreenDefault& def, const char16_t* url,
             const char16_t* nameSource, TestRun* run);

// "%1" and "%2" in `format` replaced by `a` and `b` (null: empty). Cut to
// `cap` units if need be, always terminated.
void FillText(char16_t* out, size_t cap, const char16_t* format, const char16_t* a, const char16_t* b = nullptr);

// Whether a text is an address the tester takes from the clipboard: it
// begins with http://, https://, ftp:// or file: (any case) and holds no
// line break or other control character.
bool IsTestableAddress(const char16_t* text);

// One row of the tester's result list.
constexpr size_t kRowChars = 1200;
struct TestRow {
    enum Kind : uint8_t { Info, RuleRow, Result } kind = Info;
    int32_t rule = -1;  // RuleRow: the rule's index
    char16_t first[kRowChars] = {};
    char16_t why[kRowChars] = {};
};

// The result list: the address (and what following it gave), the name
// source with its name part and extension, one row per rule, the result.
// `followed`: null when the address was not followed; else the final
// address, or the text of why it was not (shown as the final address).
// Made a row at a time, TestRowCount of them, so a long list needs no more
// than one row's buffers; ExplainTest makes them all.
int32_t TestRowCount(int32_t count, const char16_t* followed);
void ExplainRow(const ScreenRule* rules, int32_t count, const TestRun& run, const char16_t* url,
                const char16_t* followed, const char16_t* nameSource, int32_t k, TestRow* row);
void ExplainTest(const ScreenRule* rules, int32_t count, const TestRun& run, const char16_t* url,
                 const char16_t* followed, const char16_t* nameSource, std::vector<TestRow>* rows);

// Why a rule can never take effect.
enum class MarkReason : uint8_t {
    None,
    Shadowed,         // an earlier rule matches whenever this one would
    EmptyText,
    UnknownType,
    ExtensionTwoDots, // an extension holds one '.'
    ExtensionNoDot,   // an extension begins with '.'
    NameSlash,        // a name part holds '/' only at its start
    FolderMissing,    // matches, but the folder does not exist
};

struct RuleMark {
    MarkReason reason = MarkReason::None;
    int32_t winner = -1;  // Shadowed: the earlier rule that always wins
};

// Shadowing is looked for pair by pair; beyond this many rules only the
// marks of single rules are given, so that a long list never holds up the
// window.
constexpr int32_t kShadowCheckLimit = 1000;

// Marks for `count` rules. `folderMissing` (may be null) says per rule that
// its folder was checked and is not there; a rule that can never match is
// marked for that, not for its folder.
void MarkRules(const ScreenRule* rules, int32_t count, const bool* folderMissing, RuleMark* marks);

// The hint of a marked rule; empty for none.
void MarkHint(const RuleMark& mark, const ScreenRule* rules, int32_t count, int32_t index, char16_t* out,
              size_t cap);

// Whether a folder can be looked at without risk of a wait: a path on a
// drive letter is (the caller still asks the drive's kind), an empty text is
// no folder at all, a network path or anything else is left alone.
enum class FolderCheck : uint8_t { Check, Missing, Skip };
FolderCheck ClassifyFolder(const char16_t* folder);

}  // namespace fw
