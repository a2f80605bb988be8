#include "content_disposition.h"
#include "text.h"

namespace fw {

namespace {

// A header longer than this (folds undone) gives no name: no real file name
// needs it, and the copy stays on the stack.
constexpr size_t kDispositionChars = 4096;

bool IsOws(char16_t c) { return c == u' ' || c == u'\t'; }

bool IsAlnum(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

// RFC 7230 tchar: what a disposition type and a parameter name are made of.
bool IsTchar(char16_t c) {
    if (IsAlnum(c)) return true;
    for (const char16_t* s = u"!#$%&'*+-.^_`|~"; *s; ++s)
        if (c == *s) return true;
    return false;
}

// RFC 5987 attr-char: what an ext-value holds besides percent-escapes.
bool IsAttrChar(char16_t c) {
    if (IsAlnum(c)) return true;
    for (const char16_t* s = u"!#$&+-.^_`|~"; *s; ++s)
        if (c == *s) return true;
    return false;
}

char16_t AsciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

// [p, p + n) equals the lower-case ASCII `word`, case ignored.
bool SameWordI(const char16_t* p, size_t n, const char* word) {
    size_t i = 0;
    for (; i < n && word[i]; ++i)
        if (AsciiLower(p[i]) != static_cast<char16_t>(word[i])) return false;
    return i == n && !word[i];
}

int HexValue(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

void SkipOws(const char16_t*& p, const char16_t* end) {
    while (p < end && IsOws(*p)) ++p;
}

// Takes a name one character at a time and keeps what a file name may be:
// the part after the last '/' or '\' ("../../x.exe", "C:\x\y.pdf" and
// "a/b.zip" all end as their last part). A control anywhere refuses the
// whole name, even in a part that is dropped: no honest server sends one.
class NameBuilder {
public:
    NameBuilder(char16_t* out, size_t cap) : out_(out), cap_(cap < kServerNameChars ? cap : kServerNameChars) {
        out_[0] = 0;
    }

    void Put(uint32_t c) {
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
            control_ = true;
            return;
        }
        if (c == u'/' || c == u'\\') {
            len_ = 0;
            tooLong_ = false;
            return;
        }
        size_t units = c > 0xFFFF ? 2 : 1;
        if (len_ + units >= cap_) {
            tooLong_ = true;
            return;
        }
        if (units == 2) {
            c -= 0x10000;
            out_[len_++] = static_cast<char16_t>(0xD800 + (c >> 10));
            out_[len_++] = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out_[len_++] = static_cast<char16_t>(c);
        }
    }

    // True when what was put makes a usable file name; `out` then holds it.
    bool Finish() {
        // Windows drops trailing dots and blanks from a file name ("." and
        // ".." so become empty).
        while (len_ > 0 && (out_[len_ - 1] == u'.' || out_[len_ - 1] == u' ')) --len_;
        bool ok = !control_ && !tooLong_ && len_ > 0;
        for (size_t i = 0; ok && i < len_; ++i)
            if (TextChr(u"<>:\"|?*", out_[i])) ok = false;
        out_[ok ? len_ : 0] = 0;
        return ok;
    }

private:
    char16_t* out_;
    size_t cap_;
    size_t len_ = 0;
    bool control_ = false;
    bool tooLong_ = false;
};

// A parameter's value as it stands in the header: [b, e), and whether it
// was a quoted string (whose backslash escapes are still in it).
struct Value {
    const char16_t* b = nullptr;
    const char16_t* e = nullptr;
    bool quoted = false;
    bool seen = false;
};

// A value at p: a quoted string, or (leniently: servers send blanks
// unquoted) everything up to the next ';' without trailing whitespace.
bool ParseValue(const char16_t*& p, const char16_t* end, Value* v) {
    if (p < end && *p == u'"') {
        v->b = ++p;
        while (p < end && *p != u'"') {
            if (*p == u'\\' && ++p == end) return false;
            ++p;
        }
        if (p == end) return false;  // no closing quote
        v->e = p++;
        v->quoted = true;
        return true;
    }
    v->b = p;
    while (p < end && *p != u';') ++p;
    v->e = p;
    while (v->e > v->b && IsOws(v->e[-1])) --v->e;
    v->quoted = false;
    return true;
}

// filename: the text itself, escapes undone.
void PutPlain(const Value& v, NameBuilder* name) {
    for (const char16_t* p = v.b; p < v.e; ++p) {
        if (v.quoted && *p == u'\\') ++p;  // ParseValue saw to it that something follows
        name->Put(*p);
    }
}

// filename*: charset'language'percent-encoded bytes. False when it is not
// of that form, names another charset or is not valid in its charset.
bool PutExtended(const Value& v, NameBuilder* name) {
    if (v.quoted) return false;
    const char16_t* p = v.b;
    const char16_t* q = p;
    while (q < v.e && *q != u'\'') ++q;
    if (q == v.e) return false;
    bool utf8 = SameWordI(p, static_cast<size_t>(q - p), "utf-8");
    if (!utf8 && !SameWordI(p, static_cast<size_t>(q - p), "iso-8859-1")) return false;
    p = q + 1;
    while (p < v.e && *p != u'\'') ++p;  // the language, which says nothing about the name
    if (p == v.e) return false;
    ++p;

    uint32_t cp = 0, least = 0;
    int more = 0;  // continuation bytes still to come
    for (; p < v.e; ++p) {
        uint32_t byte;
        if (*p == u'%') {
            if (v.e - p < 3) return false;
            int hi = HexValue(p[1]), lo = HexValue(p[2]);
            if (hi < 0 || lo < 0) return false;
            byte = static_cast<uint32_t>(hi * 16 + lo);
            p += 2;
        } else if (IsAttrChar(*p)) {
            byte = *p;
        } else {
            return false;
        }
        if (!utf8) {
            name->Put(byte);
        } else if (more == 0) {
            if (byte < 0x80) {
                name->Put(byte);
            } else if (byte >= 0xC2 && byte <= 0xDF) {
                cp = byte & 0x1F, more = 1, least = 0x80;
            } else if (byte >= 0xE0 && byte <= 0xEF) {
                cp = byte & 0x0F, more = 2, least = 0x800;
            } else if (byte >= 0xF0 && byte <= 0xF4) {
                cp = byte & 0x07, more = 3, least = 0x10000;
            } else {
                return false;
            }
        } else {
            if ((byte & 0xC0) != 0x80) return false;
            cp = cp << 6 | (byte & 0x3F);
            if (--more == 0) {
                // Over-long forms, surrogates and what lies beyond Unicode.
                if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
                name->Put(cp);
            }
        }
    }
    return more == 0;
}

}  // namespace

bool ServerNameFromDisposition(const char16_t* value, size_t len, char16_t* out, size_t cap) {
    if (!out || cap == 0) return false;
    out[0] = 0;
    if (!value) return false;
    const char16_t* p = value;
    const char16_t* end = value + len;

    // The disposition type. Types other than attachment and inline count as
    // attachment (RFC 6266, 4.2), so any token will do; a parameter in its
    // place ("filename=x") makes the header malformed.
    SkipOws(p, end);
    const char16_t* type = p;
    while (p < end && IsTchar(*p)) ++p;
    if (p == type) return false;
    SkipOws(p, end);

    Value plain, extended;
    while (p < end) {
        if (*p != u';') return false;
        ++p;
        SkipOws(p, end);
        if (p == end || *p == u';') continue;  // a trailing or doubled ';'
        const char16_t* nameStart = p;
        while (p < end && IsTchar(*p)) ++p;
        size_t nameLen = static_cast<size_t>(p - nameStart);
        if (nameLen == 0) return false;
        SkipOws(p, end);
        if (p == end || *p != u'=') return false;
        ++p;
        SkipOws(p, end);
        Value v;
        if (!ParseValue(p, end, &v)) return false;
        SkipOws(p, end);
        Value* slot = SameWordI(nameStart, nameLen, "filename")    ? &plain
                      : SameWordI(nameStart, nameLen, "filename*") ? &extended
                                                                   : nullptr;
        if (slot) {
            // Two names for one file: which one would the browser take?
            if (slot->seen) return false;
            *slot = v;
            slot->seen = true;
        }
    }

    if (extended.seen) {
        NameBuilder name(out, cap);
        // Decoded means understood; a filename* that is not falls back to filename.
        if (PutExtended(extended, &name)) return name.Finish();
    }
    if (!plain.seen) {
        out[0] = 0;
        return false;
    }
    NameBuilder name(out, cap);
    PutPlain(plain, &name);
    return name.Finish();
}

bool ServerNameFromHeaders(const char16_t* headers, size_t len, char16_t* out, size_t cap) {
    if (!out || cap == 0) return false;
    out[0] = 0;
    if (!headers) return false;
    static const char kName[] = "content-disposition";
    const size_t nameLen = sizeof kName - 1;
    const char16_t* end = headers + len;
    const char16_t* p = headers;
    bool found = false;
    char16_t one[kServerNameChars];
    char16_t value[kDispositionChars];

    while (p < end) {
        const char16_t* eol = p;
        while (eol < end && *eol != u'\n') ++eol;
        const char16_t* lineEnd = eol > p && eol[-1] == u'\r' ? eol - 1 : eol;
        if (lineEnd == p) break;  // the blank line after the last header
        const char16_t* next = eol < end ? eol + 1 : end;
        bool isDisposition = static_cast<size_t>(lineEnd - p) > nameLen && SameWordI(p, nameLen, kName) &&
                             p[nameLen] == u':';
        if (!isDisposition) {
            p = next;
            continue;
        }

        // The value, with folded continuation lines joined by a blank.
        size_t n = 0;
        bool fits = true;
        auto append = [&](const char16_t* b, const char16_t* e) {
            for (; b < e; ++b) {
                if (n + 1 >= kDispositionChars) {
                    fits = false;
                    return;
                }
                value[n++] = *b;
            }
        };
        append(p + nameLen + 1, lineEnd);
        while (next < end && IsOws(*next)) {
            const char16_t* e = next;
            while (e < end && *e != u'\n') ++e;
            const char16_t* le = e > next && e[-1] == u'\r' ? e - 1 : e;
            static const char16_t kBlank[] = u" ";
            append(kBlank, kBlank + 1);
            append(next, le);
            next = e < end ? e + 1 : end;
        }
        p = next;

        if (!fits || !ServerNameFromDisposition(value, n, one, kServerNameChars)) {
            out[0] = 0;
            return false;
        }
        if (!found) {
            found = TextCopy(out, cap, one);
            if (!found) {
                out[0] = 0;
                return false;
            }
        } else if (!TextEqual(out, one)) {
            out[0] = 0;
            return false;
        }
    }
    return found;
}

bool SafeServerName(const char16_t* name, size_t len, char16_t* out, size_t cap) {
    if (!out || cap == 0) return false;
    out[0] = 0;
    if (!name) return false;
    NameBuilder builder(out, cap);
    for (size_t i = 0; i < len; ++i) builder.Put(name[i]);
    return builder.Finish();
}

}  // namespace fw
