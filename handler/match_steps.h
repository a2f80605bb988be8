// The decisions the matching takes, one rule at a time, over any source of
// rules: the settings store for the handler, the settings program's screen
// for its tester. Both walk the same code, so the tester's explanation is
// what the handler does.
#pragma once
#include <cstdint>

namespace fw {

// What the name source gives name and extension rules to look at.
struct NameParts {
    const char16_t* namePart = nullptr;   // from the last '/' (included), or the whole text
    const char16_t* extension = nullptr;  // from the last '.', or null
    bool nameUsable = false;              // the name part is longer than one character
    bool extensionUsable = false;         // the last '.' lies after the name part's start
};

NameParts SplitNameSource(const char16_t* nameSource);

// Why one rule matched or not.
enum class RuleOutcome : uint8_t {
    Matched,
    EmptyText,         // skipped
    UnknownType,       // never matches
    NoNamePart,        // name rule, but the name part is too short
    NotInName,         // name rule, text not in the name part
    NoExtension,       // extension rule, but no usable extension
    OtherExtension,    // extension rule, extension differs
    NotInUrl,          // URL rule, text not in the download URL
};

// One rule's test, exactly as the walk makes it. `url` may be null.
RuleOutcome TestRule(const NameParts& parts, const char16_t* url, uint32_t type, const char16_t* rule);

// Where the walk takes its settings from. Texts go into the caller's
// buffers; sizes are in bytes, as the store's readers take them.
class RuleSource {
public:
    virtual uint32_t UseDefault() = 0;
    virtual int32_t Count() = 0;
    // Type and text of rule `i`; false ends the walk early (the store's gap
    // limit). A rule with nothing stored comes back with an empty text.
    virtual bool Rule(int32_t i, uint32_t* type, char16_t* rule, uint32_t ruleBytes) = 0;
    virtual void Folder(int32_t i, char16_t* folder, uint32_t folderBytes) = 0;
    virtual void DefaultFolder(char16_t* folder, uint32_t folderBytes) = 0;

protected:
    ~RuleSource() = default;
};

// Told each rule's outcome in walk order; the handler passes none.
class MatchSteps {
public:
    virtual void Parts(const NameParts& parts) = 0;
    virtual void Step(int32_t index, RuleOutcome outcome) = 0;

protected:
    ~MatchSteps() = default;
};

// The walk behind FindRuleFolder, with its results (rule_matching.h), into
// `folder` of `folderBytes` bytes.
int32_t WalkRules(RuleSource& source, const char16_t* url, const char16_t* nameSource, char16_t* folder,
                  uint32_t folderBytes, MatchSteps* steps);

}  // namespace fw
