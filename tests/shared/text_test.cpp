// Text helpers, and the case-insensitive search and comparison that rule
// matching uses: one table natively (portable folding) and under Wine (the
// platform's StrStrIW / lstrcmpiW). Where the two differ the row says so.
#include "store_util.h"

namespace fw::test {
namespace {

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

struct CaseRow {
    const char* label;
    const char16_t* text;
    const char16_t* pattern;
    bool found;       // FindTextI(text, pattern) != null
    bool equal;       // EqualTextI(text, pattern)
    bool onWindows;   // `found` as Windows has it, where it differs natively
};

TEST(CaseInsensitive, SharedTable) {
    const CaseRow rows[] = {
        {"ASCII", u"Setup.EXE", u"setup.exe", true, true, true},
        {"ASCII substring", u"http://H/Get.PHP?x", u"get.php", true, false, true},
        {"accented Latin-1", u"ÉTÉ.TXT", u"été.txt", true, true, true},
        {"Latin Extended-A", u"ŁÓDŹ", u"łódź", true, true, true},
        {"Cyrillic", u"ФАЙЛ", u"файл", true, true, true},
        {"Greek", u"ΑΡΧΕΙΟ", u"αρχειο", true, true, true},
        {"full-width Latin", u"ＳＥＴＵＰ", u"ｓｅｔｕｐ", true, true, true},
        {"full-width is not ASCII", u"ＳＥＴＵＰ", u"setup", false, false, false},
        {"empty pattern finds nothing", u"abc", u"", false, false, false},
        {"no match", u"abc", u"abd", false, false, false},
        {"Latin Extended-B pair", u"ǍB", u"ǎb", false, false, true},
    };
    for (const auto& row : rows) {
        bool found = FindTextI(row.text, row.pattern) != nullptr;
        bool expectFound = kWindows ? row.onWindows : row.found;
        EXPECT_EQ(found, expectFound) << row.label;
        if (row.found == row.onWindows) {
            EXPECT_EQ(EqualTextI(row.text, row.pattern), row.equal) << row.label;
        }
    }
}

TEST(CaseInsensitive, FindReturnsThePosition) {
    const char16_t* text = u"/dir/Report.PDF";
    EXPECT_EQ(FindTextI(text, u"report"), text + 5);
}

TEST(TextHelpers, CopyAppendAndSearchStayInsideTheBuffer) {
    char16_t buf[6];
    EXPECT_TRUE(TextCopy(buf, 6, u"abcde"));
    EXPECT_FALSE(TextCopy(buf, 6, u"abcdefgh"));
    EXPECT_EQ(Utf8(buf), "abcde");
    EXPECT_TRUE(TextCopy(buf, 6, u"ab"));
    EXPECT_TRUE(TextAppend(buf, 6, u"cde"));
    EXPECT_FALSE(TextAppend(buf, 6, u"f"));
    EXPECT_EQ(Utf8(buf), "abcde");
    EXPECT_EQ(TextLenBounded(u"abc", 2), 2u);
    const char16_t* s = u"a/b.c/d.e";
    EXPECT_EQ(TextRChr(s, u'/'), s + 5);
    EXPECT_EQ(TextChr(s, u'.'), s + 3);
    EXPECT_EQ(TextRChr(s, u'?'), nullptr);
    char16_t num[12];
    EXPECT_TRUE(FormatDecimal(num, 12, -2147483647 - 1));
    EXPECT_EQ(Utf8(num), "-2147483648");
}

}  // namespace
}  // namespace fw::test
