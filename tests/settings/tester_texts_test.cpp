// Every language's tester texts carry the values their English ones do: a
// text that lost its "%2" would drop the rule from the reason. Built once per
// language build.
#include "store_util.h"
#include "tester_texts.h"
#include <gtest/gtest.h>

namespace fw::test {
namespace {

bool Holds(const char16_t* text, const char16_t* mark) { return text && FindTextI(text, mark) != nullptr; }

TEST(TesterTexts, EachTextHoldsItsValues) {
    const TesterTexts& t = TestTexts();
    struct Row {
        const char* name;
        const char16_t* text;
        bool one, two;
    } rows[] = {
        {"nameMatched", t.nameMatched, true, true},   {"nameNotFound", t.nameNotFound, true, true},
        {"extMatched", t.extMatched, true, false},    {"extDiffers", t.extDiffers, true, true},
        {"noExtension", t.noExtension, false, true},  {"urlMatched", t.urlMatched, false, true},
        {"urlNotFound", t.urlNotFound, false, true},  {"unknownType", t.unknownType, true, false},
        {"neverTried", t.neverTried, true, false},    {"byRule", t.byRule, true, true},
        {"byDefault", t.byDefault, true, false},      {"emptyRuleFolder", t.emptyRuleFolder, false, true},
        {"markShadowed", t.markShadowed, true, true}, {"markUnknownType", t.markUnknownType, true, false},
        {"markNoFolder", t.markNoFolder, true, false},
        {"skippedEmpty", t.skippedEmpty, false, false}, {"noFolder", t.noFolder, false, false},
        {"markEmpty", t.markEmpty, false, false},     {"markTwoDots", t.markTwoDots, false, false},
    };
    for (const Row& r : rows) {
        ASSERT_TRUE(r.text && r.text[0]) << r.name;
        EXPECT_EQ(Holds(r.text, u"%1"), r.one) << r.name << ": " << Utf8(r.text);
        EXPECT_EQ(Holds(r.text, u"%2"), r.two) << r.name << ": " << Utf8(r.text);
    }
    const char16_t* plain[] = {t.hintTest, t.caption,  t.lblAddress, t.cbFollow,   t.btnTest,
                               t.btnCancel, t.btnClose, t.colRule,    t.colWhy,     t.resolving,
                               t.rowAddress, t.rowResolved, t.resolveFailed, t.resolveCancelled,
                               t.rowNameSource, t.rowNamePart, t.rowExtension, t.none, t.noNamePart,
                               t.rowResult, t.markNoDot, t.markNameSlash};
    for (const char16_t* text : plain) EXPECT_TRUE(text && text[0] && !Holds(text, u"%")) << Utf8(text ? text : u"<null>");
}

}  // namespace
}  // namespace fw::test
