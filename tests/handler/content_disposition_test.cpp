// The server's file name from Content-Disposition: one table of header
// values, one of whole header blocks as the platform hands them over.
#include "content_disposition.h"
#include "store_util.h"

namespace fw::test {
namespace {

struct NameRow {
    const char* label;
    std::u16string text;
    const char16_t* name;  // null: no usable name
};

// Runs `parse` on every row; the output must be terminated inside the buffer
// and empty whenever no name is given back.
template <typename Parse>
void RunRows(const NameRow* rows, size_t count, Parse parse) {
    for (size_t i = 0; i < count; ++i) {
        const NameRow& row = rows[i];
        char16_t out[kServerNameChars + 1];
        for (char16_t& c : out) c = u'#';
        bool got = parse(row.text.data(), row.text.size(), out, kServerNameChars);
        ASSERT_LT(TextLenBounded(out, kServerNameChars), kServerNameChars) << row.label << ": not terminated";
        EXPECT_EQ(out[kServerNameChars], u'#') << row.label << ": wrote past the buffer";
        EXPECT_EQ(got, row.name != nullptr) << row.label;
        EXPECT_EQ(Utf8(out), Utf8(row.name ? row.name : u"")) << row.label;
    }
}

TEST(ServerName, DispositionValues) {
    const std::u16string max = Repeat(u'n', 255) + u".pdf";  // 259
    const NameRow rows[] = {
        // Types and parameters
        {"attachment, quoted", u"attachment; filename=\"Quarterly report.pdf\"", u"Quarterly report.pdf"},
        {"inline", u"inline; filename=\"a.pdf\"", u"a.pdf"},
        {"an unknown type counts as attachment", u"x-custom; filename=a.pdf", u"a.pdf"},
        {"names ignore case", u"ATTACHMENT; FileName=\"a.pdf\"", u"a.pdf"},
        {"unquoted token", u"attachment; filename=report.pdf", u"report.pdf"},
        {"unquoted with a blank, other parameters", u"attachment; filename=Quarterly report.pdf ; size=3",
         u"Quarterly report.pdf"},
        {"whitespace everywhere", u"  attachment ;\tfilename = \"a.pdf\" ; ", u"a.pdf"},
        {"other parameter with a quoted ';'", u"attachment; note=\"x;y\"; filename=a.pdf", u"a.pdf"},
        {"escapes undone", u"attachment; filename=\"\\a\\b\\c.pdf\"", u"abc.pdf"},
        {"raw non-ASCII kept", u"attachment; filename=\"r\u00E9sum\u00E9.pdf\"", u"r\u00E9sum\u00E9.pdf"},
        // filename*
        {"filename* UTF-8 preferred", u"attachment; filename=\"fallback.pdf\"; filename*=UTF-8''%E2%82%AC%20rates.pdf",
         u"\u20AC rates.pdf"},
        {"filename* first, lower-case charset", u"attachment; filename*=utf-8''a.pdf; filename=b.pdf", u"a.pdf"},
        {"filename* ISO-8859-1 with a language", u"attachment; filename*=iso-8859-1'en'%A3%20rates.pdf",
         u"\u00A3 rates.pdf"},
        {"filename* four-byte UTF-8", u"attachment; filename*=UTF-8''%F0%9F%98%80.pdf", u"\U0001F600.pdf"},
        {"filename* other charset: filename", u"attachment; filename*=windows-1252''a.pdf; filename=b.pdf", u"b.pdf"},
        {"filename* cut UTF-8: filename", u"attachment; filename*=UTF-8''%C3.pdf; filename=b.pdf", u"b.pdf"},
        {"filename* over-long UTF-8 '/': filename", u"attachment; filename*=UTF-8''%C0%AFx.pdf; filename=b.pdf",
         u"b.pdf"},
        {"filename* UTF-8 surrogate: filename", u"attachment; filename*=UTF-8''%ED%A0%80.pdf; filename=b.pdf", u"b.pdf"},
        {"filename* bad escape: filename", u"attachment; filename*=UTF-8''%G1.pdf; filename=b.pdf", u"b.pdf"},
        {"filename* quoted: filename", u"attachment; filename*=\"UTF-8''a.pdf\"; filename=b.pdf", u"b.pdf"},
        {"filename* without quotes: filename", u"attachment; filename*=UTF-8a.pdf; filename=b.pdf", u"b.pdf"},
        {"filename* alone and broken", u"attachment; filename*=UTF-8''%E2%82", nullptr},
        // Made safe: path parts, controls, forbidden characters, length
        {"parent folders", u"attachment; filename=\"../../x.exe\"", u"x.exe"},
        {"drive and folders, unquoted", u"attachment; filename=C:\\x\\y.pdf", u"y.pdf"},
        {"drive and folders, escaped", u"attachment; filename=\"C:\\\\x\\\\y.pdf\"", u"y.pdf"},
        {"unescaped backslashes vanish, ':' remains", u"attachment; filename=\"C:\\x\\y.pdf\"", nullptr},
        {"relative folder", u"attachment; filename=a/b.zip", u"b.zip"},
        {"encoded separators", u"attachment; filename*=UTF-8''..%2F..%5Cx.exe", u"x.exe"},
        {"ends in a separator", u"attachment; filename=\"a/\"", nullptr},
        {"tab", u"attachment; filename=\"a\tb.pdf\"", nullptr},
        {"encoded CR LF", u"attachment; filename*=UTF-8''a%0D%0AX-Evil: 1.pdf", nullptr},
        {"encoded NUL", u"attachment; filename*=UTF-8''a%00.exe", nullptr},
        {"DEL", u"attachment; filename*=UTF-8''a%7F.pdf", nullptr},
        {"C1 control", u"attachment; filename*=UTF-8''a%C2%85.pdf", nullptr},
        {"control in a dropped folder", u"attachment; filename*=UTF-8''a%01/b.pdf", nullptr},
        {"NUL in the header", std::u16string(u"attachment; filename=a\0b.pdf", 28), nullptr},
        {"'<'", u"attachment; filename=\"a<b.pdf\"", nullptr},
        {"'|'", u"attachment; filename=\"a|b.pdf\"", nullptr},
        {"'?'", u"attachment; filename=\"what?.pdf\"", nullptr},
        {"'*'", u"attachment; filename=\"*.pdf\"", nullptr},
        {"'\"' from an escape", u"attachment; filename=\"a\\\"b.pdf\"", nullptr},
        {"':' alone", u"attachment; filename=\"a:b.pdf\"", nullptr},
        {"empty quoted", u"attachment; filename=\"\"", nullptr},
        {"empty unquoted", u"attachment; filename=", nullptr},
        {"'..'", u"attachment; filename=\"..\"", nullptr},
        {"trailing dots and blanks go, as Windows drops them", u"attachment; filename=\"report.pdf. . \"",
         u"report.pdf"},
        {"259 characters", u"attachment; filename=" + max, max.c_str()},
        {"260 characters", u"attachment; filename=n" + max, nullptr},
        {"a long folder before a short name", u"attachment; filename=" + Repeat(u'd', 400) + u"/x.pdf", u"x.pdf"},
        // Malformed
        {"no disposition type", u"filename=a.pdf", nullptr},
        {"type alone", u"attachment", nullptr},
        {"empty", u"", nullptr},
        {"unterminated quote", u"attachment; filename=\"a.pdf", nullptr},
        {"escape at the very end", u"attachment; filename=\"a.pdf\\", nullptr},
        {"junk after a quoted value", u"attachment; filename=\"a.pdf\" junk", nullptr},
        {"parameter without '='", u"attachment; filename", nullptr},
        {"filename twice", u"attachment; filename=a.pdf; filename=b.pdf", nullptr},
        {"filename* twice", u"attachment; filename*=UTF-8''a.pdf; FILENAME*=UTF-8''b.pdf", nullptr},
    };
    RunRows(rows, std::size(rows), ServerNameFromDisposition);
}

TEST(ServerName, HeaderBlocks) {
    const std::u16string status = u"HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\n";
    const NameRow rows[] = {
        {"among other headers", status + u"Content-Disposition: attachment; filename=a.pdf\r\nContent-Length: 5\r\n\r\n",
         u"a.pdf"},
        {"name in any case, no blank after ':'", status + u"content-DISPOSITION:attachment;filename=a.pdf\r\n\r\n",
         u"a.pdf"},
        {"LF line ends, no blank line", u"HTTP/1.1 200 OK\nContent-Disposition: inline; filename=a.pdf", u"a.pdf"},
        {"folded onto the next line", status + u"Content-Disposition: attachment;\r\n\tfilename=\"a.pdf\"\r\n\r\n",
         u"a.pdf"},
        {"repeated alike", status + u"Content-Disposition: attachment; filename=a.pdf\r\n"
                                    u"Content-Disposition: inline; filename=\"a.pdf\"\r\n\r\n",
         u"a.pdf"},
        {"repeated, names differ", status + u"Content-Disposition: attachment; filename=a.pdf\r\n"
                                            u"Content-Disposition: attachment; filename=b.exe\r\n\r\n",
         nullptr},
        {"repeated, one without a name", status + u"Content-Disposition: attachment\r\n"
                                                  u"Content-Disposition: attachment; filename=a.pdf\r\n\r\n",
         nullptr},
        {"the only copy unusable", status + u"Content-Disposition: attachment; filename=\"a?.pdf\"\r\n\r\n", nullptr},
        {"no such header", status + u"\r\n", nullptr},
        {"look-alike names", status + u"X-Content-Disposition: attachment; filename=a.pdf\r\n"
                                      u"Content-Disposition-Extra: attachment; filename=a.pdf\r\n\r\n",
         nullptr},
        {"after the blank line is the body", status + u"\r\nContent-Disposition: attachment; filename=a.pdf\r\n",
         nullptr},
        {"longer than any real header", status + u"Content-Disposition: attachment; x=\"" + Repeat(u'x', 5000) +
                                            u"\"; filename=a.pdf\r\n\r\n",
         nullptr},
        {"empty", u"", nullptr},
    };
    RunRows(rows, std::size(rows), ServerNameFromHeaders);
}

TEST(ServerName, PlatformNamesAreMadeSafeToo) {
    const NameRow rows[] = {
        {"plain", u"Quarterly report.pdf", u"Quarterly report.pdf"},
        {"drive and folders", u"C:\\x\\y.pdf", u"y.pdf"},
        {"parent folders", u"../../x.exe", u"x.exe"},
        {"forbidden character", u"a?b.pdf", nullptr},
        {"control", u"a\rb.pdf", nullptr},
        {"empty", u"", nullptr},
    };
    RunRows(rows, std::size(rows), SafeServerName);
}

TEST(ServerName, SmallBufferRefusesWhatDoesNotFit) {
    const std::u16string header = u"attachment; filename=abcdef.pdf";
    char16_t out[6] = {u'#', u'#', u'#', u'#', u'#', u'#'};
    EXPECT_FALSE(ServerNameFromDisposition(header.data(), header.size(), out, 5));
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[5], u'#');
    EXPECT_TRUE(ServerNameFromDisposition(header.data(), header.size() - 6, out, 5));  // "abcd"
    EXPECT_EQ(Utf8(out), "abcd");
    EXPECT_FALSE(ServerNameFromDisposition(nullptr, 3, out, 5));
    EXPECT_FALSE(ServerNameFromHeaders(nullptr, 3, out, 5));
    EXPECT_FALSE(SafeServerName(nullptr, 3, out, 5));
}

}  // namespace
}  // namespace fw::test
