// The texts of the rule tester and of the rule list's marks, one set per
// language build (tester_texts_*.cpp, linked with the build's other texts).
// "%1" and "%2" stand for the values FillText puts in, in any order.
#pragma once

namespace fw {

struct TesterTexts {
    // The Rules page
    const char16_t* hintTest;
    // The dialog
    const char16_t* caption;
    const char16_t* lblAddress;
    const char16_t* cbFollow;
    const char16_t* btnTest;
    const char16_t* btnCancel;
    const char16_t* btnClose;
    const char16_t* colRule;
    const char16_t* colWhy;
    const char16_t* resolving;
    // Rows above the rules: a label and its value
    const char16_t* rowAddress;
    const char16_t* rowResolved;       // value: the final address
    const char16_t* resolveFailed;     // value of rowResolved
    const char16_t* resolveCancelled;  // value of rowResolved
    const char16_t* rowNameSource;
    const char16_t* rowNamePart;
    const char16_t* rowExtension;
    const char16_t* none;  // no name part or extension to speak of
    // Why a rule matched or not
    const char16_t* nameMatched;     // %1 name part, %2 rule
    const char16_t* nameNotFound;    // %1 name part, %2 rule
    const char16_t* noNamePart;
    const char16_t* extMatched;      // %1 extension
    const char16_t* extDiffers;      // %1 extension, %2 rule
    const char16_t* noExtension;     // %2 rule
    const char16_t* urlMatched;      // %2 rule
    const char16_t* urlNotFound;     // %2 rule
    const char16_t* skippedEmpty;
    const char16_t* unknownType;     // %1 the type number
    const char16_t* neverTried;      // %1 the deciding rule's number
    // The last row
    const char16_t* rowResult;
    const char16_t* byRule;          // %1 folder, %2 rule number
    const char16_t* byDefault;       // %1 folder
    const char16_t* emptyRuleFolder; // %2 rule number
    const char16_t* noFolder;
    // Marks in the rule list
    const char16_t* markShadowed;    // %1 winning rule's number, %2 its text
    const char16_t* markEmpty;
    const char16_t* markUnknownType; // %1 the type number
    const char16_t* markTwoDots;
    const char16_t* markNoDot;
    const char16_t* markNameSlash;
    const char16_t* markNoFolder;    // %1 the folder
};

const TesterTexts& TestTexts();

}  // namespace fw
