#include "rules_file.h"
#include "registry.h"
#include "text.h"
#include <unordered_map>

namespace fw {

namespace {

constexpr const char16_t* kHeader5 = u"Windows Registry Editor Version 5.00";
constexpr const char16_t* kHeader4 = u"REGEDIT4";
constexpr const char16_t* kKeyPath = u"HKEY_CURRENT_USER\\Software\\Fwise";

enum class Form : uint8_t { Number, Text };

struct ValueSpec {
    const char16_t* name;  // the whole name, or for a rule value its suffix
    Form form;
    uint32_t maxChars;  // texts only
};

// Every general value of the store; a value a later version adds is one more row.
constexpr ValueSpec kGeneralValues[] = {
    {kGuiFontFace, Form::Text, kPathChars - 1},
    {kGuiCharSet, Form::Number, 0},
    {kUseDefault, Form::Number, 0},
    {kDefaultFolder, Form::Text, kPathChars - 1},
    {kParseUrl, Form::Number, 0},
    {kUseContentDisposition, Form::Number, 0},
    {kNum, Form::Number, 0},
};

// The three values of every rule, "%04d" + suffix; the bit is the row's
// place in the mask of the values a rule has.
constexpr ValueSpec kRuleValues[] = {
    {kTypeSuffix, Form::Number, 0},
    {kRuleSuffix, Form::Text, kRuleChars - 1},
    {kFolderSuffix, Form::Text, kPathChars - 1},
};
constexpr uint8_t kWholeRule = 7;

// ---------------------------------------------------------------- writing

void PutUnit(std::vector<uint8_t>* out, char16_t c) {
    out->push_back(static_cast<uint8_t>(c & 0xFF));
    out->push_back(static_cast<uint8_t>(c >> 8));
}

void Put(std::vector<uint8_t>* out, const char16_t* s) {
    for (; *s; ++s) PutUnit(out, *s);
}

void PutQuoted(std::vector<uint8_t>* out, const std::u16string& s) {
    PutUnit(out, u'"');
    for (char16_t c : s) {
        if (c == u'\\' || c == u'"') PutUnit(out, u'\\');
        PutUnit(out, c);
    }
    PutUnit(out, u'"');
}

// A line break or another control character inside quotes would end or
// garble the line for a reader; such a text goes out in hex form instead.
bool QuotableText(const std::u16string& s) {
    for (char16_t c : s)
        if (c < 0x20) return false;
    return true;
}

// Bytes in hex form, "hex:" or "hex(N):" first, lines wrapped as regedit
// wraps them, under 80 columns.
void PutHex(std::vector<uint8_t>* out, uint32_t type, const std::vector<uint8_t>& bytes, size_t column) {
    static const char16_t kDigits[] = u"0123456789abcdef";
    if (type == kRegBinary) {
        Put(out, u"hex:");
        column += 4;
    } else {
        Put(out, u"hex(");
        char16_t digits[9];
        size_t n = 0;
        for (int shift = 28; shift >= 0; shift -= 4)
            if ((type >> shift) || n || shift == 0) digits[n++] = kDigits[(type >> shift) & 15];
        digits[n] = 0;
        Put(out, digits);
        Put(out, u"):");
        column += 6 + n;
    }
    for (size_t i = 0; i < bytes.size(); ++i) {
        PutUnit(out, kDigits[bytes[i] >> 4]);
        PutUnit(out, kDigits[bytes[i] & 15]);
        column += 2;
        if (i + 1 == bytes.size()) break;
        PutUnit(out, u',');
        ++column;
        if (column > 76) {
            Put(out, u"\\\r\n  ");
            column = 2;
        }
    }
}

void PutHexText(std::vector<uint8_t>* out, const std::u16string& s, size_t column) {
    std::vector<uint8_t> bytes;
    for (char16_t c : s) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    PutHex(out, kRegSz, bytes, column);
}

void PutDword(std::vector<uint8_t>* out, uint32_t number) {
    static const char16_t kDigits[] = u"0123456789abcdef";
    Put(out, u"dword:");
    for (int shift = 28; shift >= 0; shift -= 4) PutUnit(out, kDigits[(number >> shift) & 15]);
}

// ---------------------------------------------------------------- reading

char16_t Fold(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

bool EqualFolded(const char16_t* a, size_t n, const char16_t* b) {
    for (size_t i = 0; i < n; ++i, ++b)
        if (!*b || Fold(a[i]) != Fold(*b)) return false;
    return *b == 0;
}

bool Space(char16_t c) { return c == u' ' || c == u'\t'; }

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// A name or key as it may appear in a reason: short and printable.
std::u16string Shown(const char16_t* s, size_t n) {
    constexpr size_t kMax = 48;
    std::u16string out;
    for (size_t i = 0; i < n && i < kMax; ++i) out += s[i] < 0x20 ? u'?' : s[i];
    if (n > kMax) out += u"...";
    return out;
}

std::u16string Number(uint32_t n) {
    char16_t buf[16];
    FormatDecimal(buf, 16, static_cast<int32_t>(n & 0x7FFFFFFF));
    return buf;
}

void Refuse(RulesFileRefusal* why, uint32_t line, const std::u16string& reason) {
    why->line = line;
    TextCopy(why->reason, sizeof why->reason / sizeof why->reason[0], reason.c_str());
}

// Physical lines of the decoded text, ended by CRLF, LF or CR.
class Lines {
public:
    Lines(const char16_t* text, size_t size) : p_(text), n_(size) {}
    bool Next(const char16_t** s, size_t* len) {
        if (pos_ >= n_) return false;
        size_t start = pos_;
        while (pos_ < n_ && p_[pos_] != u'\r' && p_[pos_] != u'\n') ++pos_;
        *s = p_ + start;
        *len = pos_ - start;
        if (pos_ < n_ && p_[pos_] == u'\r') {
            ++pos_;
            if (pos_ < n_ && p_[pos_] == u'\n') ++pos_;
        } else if (pos_ < n_) {
            ++pos_;
        }
        ++line_;
        return true;
    }
    uint32_t Line() const { return line_; }

private:
    const char16_t* p_;
    size_t n_;
    size_t pos_ = 0;
    uint32_t line_ = 0;
};

struct RawData {
    bool quoted = false;     // "text"
    bool dwordForm = false;  // dword:
    uint32_t type = 0;
    uint32_t number = 0;
    std::u16string text;
    std::vector<uint8_t> bytes;
};

class FileReader {
public:
    FileReader(const char16_t* text, size_t size, bool unicode, AnsiDecoder ansi, RulesFileRefusal* why)
        : lines_(text, size), unicode_(unicode), ansi_(ansi), why_(why) {}

    bool Read(ValueList* out);

private:
    bool Fail(const std::u16string& reason) {
        Refuse(why_, lines_.Line(), reason);
        return false;
    }
    bool Fail(uint32_t line, const std::u16string& reason) {
        Refuse(why_, line, reason);
        return false;
    }
    bool Header(const char16_t* s, size_t len);
    bool KeyLine(const char16_t* s, size_t len);
    bool ValueLine(const char16_t* s, size_t len, ValueList* out);
    bool Quoted(const char16_t* s, size_t len, size_t* i, std::u16string* out);
    bool Data(const char16_t* s, size_t len, size_t i, RawData* data);
    bool Hex(const char16_t* s, size_t len, size_t i, std::vector<uint8_t>* bytes);
    bool Take(const std::u16string& name, RawData& data, ValueList* out);
    bool Complete(ValueList* out);

    Lines lines_;
    bool unicode_;
    AnsiDecoder ansi_;
    RulesFileRefusal* why_;
    bool inKey_ = false;
    std::vector<uint32_t> valueLines_;               // line of each value, in ValueList order
    std::unordered_map<int32_t, uint8_t> ruleMasks_;  // rule index -> which of its values came
    struct RuleSeen {
        int32_t index;
        uint32_t line;
    };
    std::vector<RuleSeen> rulesSeen_;
    std::vector<size_t> generalAt_;  // positions of the general values taken
    std::u16string name_;            // the value name being read
};

bool FileReader::Read(ValueList* out) {
    const char16_t* s;
    size_t len;
    if (!lines_.Next(&s, &len)) return Fail(1, u"the file is empty");
    if (!Header(s, len)) return false;
    while (lines_.Next(&s, &len)) {
        for (size_t i = 0; i < len; ++i)
            if (s[i] == 0) return Fail(u"a NUL character: this is no text file");
        size_t i = 0;
        while (i < len && Space(s[i])) ++i;
        s += i;
        len -= i;
        while (len > 0 && Space(s[len - 1])) --len;
        if (len == 0 || s[0] == u';') continue;
        if (s[0] == u'[') {
            if (!KeyLine(s, len)) return false;
        } else if (s[0] == u'"') {
            if (!ValueLine(s, len, out)) return false;
        } else if (s[0] == u'@') {
            return Fail(u"the key's default value is no value of the settings store");
        } else {
            return Fail(u"neither a key, a value nor a comment");
        }
    }
    return Complete(out);
}

bool FileReader::Header(const char16_t* s, size_t len) {
    while (len > 0 && Space(s[len - 1])) --len;
    const char16_t* want = unicode_ ? kHeader5 : kHeader4;
    std::u16string first(s, len);
    if (first == want) return true;
    if (!unicode_ && first == kHeader5)
        return Fail(1, u"a \"Windows Registry Editor Version 5.00\" file must be saved as Unicode (UTF-16)");
    return Fail(1, unicode_ ? u"not a registration file: the first line must be "
                              u"\"Windows Registry Editor Version 5.00\""
                            : u"not a registration file: the first line must be \"REGEDIT4\"");
}

bool FileReader::KeyLine(const char16_t* s, size_t len) {
    if (len < 2 || s[len - 1] != u']') return Fail(u"a key line must end with \"]\"");
    const char16_t* path = s + 1;
    size_t n = len - 2;
    bool remove = n > 0 && path[0] == u'-';
    if (remove) {
        ++path;
        --n;
    }
    if (!EqualFolded(path, n, kKeyPath))
        return Fail(u"only the key HKEY_CURRENT_USER\\Software\\Fwise may be in the file, not [" + Shown(s + 1, len - 2) +
                    u"]");
    if (remove && !valueLines_.empty())
        return Fail(u"the key is deleted after its values: nothing would be imported");
    inKey_ = !remove;
    return true;
}

bool FileReader::Quoted(const char16_t* s, size_t len, size_t* i, std::u16string* out) {
    // *i is just past the opening quote.
    while (*i < len) {
        char16_t c = s[(*i)++];
        if (c == u'"') return true;
        if (c == u'\\') {
            if (*i >= len) break;
            char16_t e = s[(*i)++];
            if (e != u'\\' && e != u'"')
                return Fail(u"unknown escape \"\\" + std::u16string(1, e < 0x20 ? u'?' : e) +
                            u"\" (only \\\\ and \\\" are known)");
            c = e;
        }
        out->push_back(c);
    }
    return Fail(u"a text without its closing quote");
}

bool FileReader::ValueLine(const char16_t* s, size_t len, ValueList* out) {
    if (!inKey_) return Fail(u"a value outside [HKEY_CURRENT_USER\\Software\\Fwise]");
    size_t i = 1;
    std::u16string& name = name_;
    name.clear();
    if (!Quoted(s, len, &i, &name)) return false;
    while (i < len && Space(s[i])) ++i;
    if (i >= len || s[i] != u'=') return Fail(u"\"=\" is missing after the value's name");
    ++i;
    while (i < len && Space(s[i])) ++i;
    RawData data;
    if (!Data(s, len, i, &data)) return false;
    return Take(name, data, out);
}

bool FileReader::Data(const char16_t* s, size_t len, size_t i, RawData* data) {
    const char16_t* d = s + i;
    size_t n = len - i;
    if (n > 0 && d[0] == u'"') {
        size_t j = 1;
        if (!Quoted(d, n, &j, &data->text)) return false;
        if (j != n) return Fail(u"more after the closing quote");
        data->quoted = true;
        data->type = kRegSz;
        return true;
    }
    if (n >= 6 && EqualFolded(d, 6, u"dword:")) {
        if (n != 14) return Fail(u"a dword needs exactly eight hex digits");
        uint32_t v = 0;
        for (size_t k = 6; k < 14; ++k) {
            int h = HexDigit(d[k]);
            if (h < 0) return Fail(u"a dword needs exactly eight hex digits");
            v = v << 4 | static_cast<uint32_t>(h);
        }
        data->type = kRegDword;
        data->dwordForm = true;
        data->number = v;
        return true;
    }
    if (n >= 4 && EqualFolded(d, 4, u"hex:")) {
        data->type = kRegBinary;
        return Hex(s, len, i + 4, &data->bytes);
    }
    if (n >= 4 && EqualFolded(d, 4, u"hex(")) {
        size_t k = 4;
        uint32_t type = 0;
        while (k < n && HexDigit(d[k]) >= 0 && k < 12) type = type << 4 | static_cast<uint32_t>(HexDigit(d[k++]));
        if (k == 4 || k + 1 >= n || d[k] != u')' || d[k + 1] != u':') return Fail(u"a hex(...) form must read hex(N):");
        data->type = type;
        return Hex(s, len, i + k + 2, &data->bytes);
    }
    if (n >= 1 && d[0] == u'-') return Fail(u"deleting a value is not taken from a rules file");
    return Fail(u"unknown kind of data: expected \"text\", dword:, hex: or hex(N):");
}

bool FileReader::Hex(const char16_t* s, size_t len, size_t i, std::vector<uint8_t>* bytes) {
    bool afterComma = false;
    for (;;) {
        while (i < len && Space(s[i])) ++i;
        if (i >= len) {
            if (afterComma) return Fail(u"hex data ends with a comma");
            return true;
        }
        if (s[i] == u'\\') {
            size_t k = i + 1;
            while (k < len && Space(s[k])) ++k;
            if (k != len) return Fail(u"\"\\\" in hex data must end the line");
            if (!lines_.Next(&s, &len)) return Fail(u"the file ends inside a continued line");
            for (size_t z = 0; z < len; ++z)
                if (s[z] == 0) return Fail(u"a NUL character: this is no text file");
            i = 0;
            continue;
        }
        int hi = HexDigit(s[i]);
        int lo = i + 1 < len ? HexDigit(s[i + 1]) : -1;
        if (hi < 0 || lo < 0) return Fail(u"hex data must be pairs of hex digits separated by commas");
        bytes->push_back(static_cast<uint8_t>(hi << 4 | lo));
        i += 2;
        while (i < len && Space(s[i])) ++i;
        afterComma = i < len && s[i] == u',';
        if (afterComma) ++i;
        else if (i < len && s[i] != u'\\') return Fail(u"hex data must be pairs of hex digits separated by commas");
    }
}

// Which value of the store `name` is: a general one, or a rule value with
// its index. Rule indices are written as "%04d" writes them, and only so.
// `canonical` gets the store's own spelling of the name.
const ValueSpec* FindSpec(const std::u16string& name, int32_t* index, uint8_t* bit, char16_t* canonical) {
    *index = -1;
    size_t digits = 0;
    while (digits < name.size() && name[digits] >= u'0' && name[digits] <= u'9') ++digits;
    if (digits == 0) {
        for (const ValueSpec& entry : kGeneralValues)
            if (EqualFolded(name.data(), name.size(), entry.name)) {
                TextCopy(canonical, kValueNameChars, entry.name);
                return &entry;
            }
        return nullptr;
    }
    if (digits > 10) return nullptr;
    uint64_t n = 0;
    for (size_t k = 0; k < digits; ++k) n = n * 10 + (name[k] - u'0');
    if (n > 0x7FFFFFFF) return nullptr;
    for (uint8_t b = 0; b < 3; ++b) {
        if (!FormatIndexName(canonical, kValueNameChars, static_cast<int32_t>(n), kRuleValues[b].name)) continue;
        if (EqualFolded(name.data(), name.size(), canonical)) {
            *index = static_cast<int32_t>(n);
            *bit = static_cast<uint8_t>(1u << b);
            return &kRuleValues[b];
        }
    }
    return nullptr;
}

bool FileReader::Take(const std::u16string& name, RawData& data, ValueList* out) {
    int32_t index = -1;
    uint8_t bit = 0;
    char16_t canonical[kValueNameChars];
    const ValueSpec* entry = FindSpec(name, &index, &bit, canonical);
    auto shown = [&name] { return u"\"" + Shown(name.data(), name.size()) + u"\""; };
    if (!entry) return Fail(shown() + u" is no value of the settings store");
    StoredValue value{canonical, 0, 0, {}, false, {}};
    if (entry->form == Form::Number) {
        if (data.dwordForm) {
            value.number = data.number;
        } else if (data.type == kRegDword && data.bytes.size() == 4) {
            value.number = data.bytes[0] | data.bytes[1] << 8 | data.bytes[2] << 16 | uint32_t(data.bytes[3]) << 24;
        } else {
            return Fail(shown() + u" must be a number (dword:)");
        }
        value.type = kRegDword;
    } else {
        if (data.quoted) {
            value.text = std::move(data.text);
        } else if (data.type == kRegSz || data.type == kRegExpandSz) {
            // Text in hex form: UTF-16 (ANSI in REGEDIT4 files), with its terminator.
            const std::vector<uint8_t>& b = data.bytes;
            if (unicode_) {
                if (b.size() < 2 || b.size() % 2 != 0 || b[b.size() - 1] != 0 || b[b.size() - 2] != 0)
                    return Fail(shown() + u": the text's hex data is cut or not terminated");
                for (size_t k = 0; k + 2 < b.size(); k += 2)
                    value.text.push_back(static_cast<char16_t>(b[k] | b[k + 1] << 8));
            } else {
                if (b.empty() || b.back() != 0) return Fail(shown() + u": the text's hex data is not terminated");
                value.text.resize(b.size() - 1);
                value.text.resize(ansi_(b.data(), b.size() - 1, &value.text[0]));
            }
            for (char16_t c : value.text)
                if (c == 0) return Fail(shown() + u": a NUL character inside the text");
        } else {
            return Fail(shown() + u" must be a text (\"...\")");
        }
        if (value.text.size() > entry->maxChars)
            return Fail(shown() + u" is longer than " + Number(entry->maxChars) + u" characters");
        value.type = kRegSz;
    }
    // Rule values are told apart by their mask, the few others by a look.
    bool twice = false;
    if (index >= 0) {
        uint8_t& mask = ruleMasks_[index];
        twice = (mask & bit) != 0;
        mask |= bit;
    } else {
        for (size_t k : generalAt_) twice = twice || TextEqual(out->Values()[k].name.c_str(), canonical);
    }
    if (twice) {
        const StoredValue* earlier = out->Find(canonical);
        uint32_t first = valueLines_[static_cast<size_t>(earlier - out->Values().data())];
        return Fail(shown() + u" is set twice (first on line " + Number(first) + u")");
    }
    if (index >= 0) rulesSeen_.push_back({index, lines_.Line()});
    else generalAt_.push_back(out->Values().size());
    out->Append(std::move(value));
    valueLines_.push_back(lines_.Line());
    return true;
}

bool FileReader::Complete(ValueList* out) {
    uint32_t end = lines_.Line();
    const StoredValue* num = nullptr;
    uint32_t numLine = 0;
    for (size_t k : generalAt_)
        if (TextEqual(out->Values()[k].name.c_str(), kNum)) {
            num = &out->Values()[k];
            numLine = valueLines_[k];
        }
    if (!num) return Fail(end, u"the file ends without \"Num\": it holds no whole rule set");
    if (num->number > 0x7FFFFFFF) return Fail(numLine, u"\"Num\" is negative");
    int32_t count = static_cast<int32_t>(num->number);
    for (const RuleSeen& r : rulesSeen_)
        if (r.index >= count)
            return Fail(r.line, u"rule " + Number(static_cast<uint32_t>(r.index)) + u" is beyond \"Num\" (" +
                                    Number(static_cast<uint32_t>(count)) + u" rules)");
    // Every rule below "Num" whole: a file cut short must not pass.
    int32_t first = -1;
    uint8_t mask = 0;
    if (ruleMasks_.size() < static_cast<size_t>(count)) {
        for (int32_t i = 0; i < count; ++i)
            if (ruleMasks_.find(i) == ruleMasks_.end()) {
                first = i;
                break;
            }
    } else {
        for (const auto& m : ruleMasks_)
            if (m.second != kWholeRule && (first < 0 || m.first < first)) {
                first = m.first;
                mask = m.second;
            }
    }
    if (first < 0) return true;
    for (uint8_t b = 0; b < 3; ++b)
        if (!(mask & (1u << b))) {
            char16_t name[kValueNameChars];
            FormatIndexName(name, kValueNameChars, first, kRuleValues[b].name);
            return Fail(end, u"the file ends without \"" + std::u16string(name) + u"\": rule " +
                                 Number(static_cast<uint32_t>(first)) + u" of " + Number(static_cast<uint32_t>(count)) +
                                 u" is not whole");
        }
    return true;
}

}  // namespace

void WriteRulesFile(const ValueList& values, std::vector<uint8_t>* out) {
    out->clear();
    out->push_back(0xFF);
    out->push_back(0xFE);
    Put(out, kHeader5);
    Put(out, u"\r\n\r\n[-");
    Put(out, kKeyPath);
    Put(out, u"]\r\n\r\n[");
    Put(out, kKeyPath);
    Put(out, u"]\r\n");
    for (const StoredValue& v : values.Values()) {
        size_t start = out->size();
        PutQuoted(out, v.name);
        PutUnit(out, u'=');
        if (v.raw) {
            // Bytes kept as they were stored: exactly those go out.
            if (v.type == kRegDword && v.bytes.size() == 4)
                PutDword(out, v.bytes[0] | v.bytes[1] << 8 | v.bytes[2] << 16 | uint32_t(v.bytes[3]) << 24);
            else
                PutHex(out, v.type, v.bytes, (out->size() - start) / 2);
        } else if (v.type == kRegDword) {
            PutDword(out, v.number);
        } else if (QuotableText(v.text)) {
            PutQuoted(out, v.text);
        } else {
            PutHexText(out, v.text, (out->size() - start) / 2);
        }
        Put(out, u"\r\n");
    }
    Put(out, u"\r\n");
}

size_t DecodeLatin1(const uint8_t* in, size_t n, char16_t* out) {
    for (size_t i = 0; i < n; ++i) out[i] = in[i];
    return n;
}

bool ReadRulesFile(const uint8_t* data, size_t size, AnsiDecoder ansi, ValueList* out, RulesFileRefusal* why) {
    out->Clear();
    why->line = 0;
    why->reason[0] = 0;
    if (size > kRulesFileMaxBytes) {
        Refuse(why, 0, u"the file is larger than 64 MB: no rules file is that large");
        return false;
    }
    if (!data) size = 0;
    std::u16string text;
    bool unicode = size >= 2 && data[0] == 0xFF && data[1] == 0xFE;
    if (unicode) {
        if (size % 2 != 0) {
            Refuse(why, 0, u"the file ends inside a character: it is cut short");
            return false;
        }
        text.resize((size - 2) / 2);
        for (size_t i = 0; i < text.size(); ++i)
            text[i] = static_cast<char16_t>(data[2 + 2 * i] | data[3 + 2 * i] << 8);
    } else if (size >= 2 && data[0] == 0xFE && data[1] == 0xFF) {
        Refuse(why, 1, u"a big-endian Unicode file: save it as Unicode (UTF-16 little-endian)");
        return false;
    } else if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
        Refuse(why, 1, u"a UTF-8 file: save it as Unicode (UTF-16) or export it again");
        return false;
    } else {
        text.resize(size);
        if (size) text.resize(ansi(data, size, &text[0]));
    }
    FileReader reader(text.data(), text.size(), unicode, ansi, why);
    if (!reader.Read(out)) {
        out->Clear();
        return false;
    }
    return true;
}

bool LoadRulesFile(RulesFileSide& side, const char16_t* path, ValueList* out, RulesFileRefusal* why) {
    std::vector<uint8_t> bytes;
    uint64_t size = 0;
    out->Clear();
    if (!side.ReadWholeFile(path, kRulesFileMaxBytes, &bytes, &size)) {
        Refuse(why, 0, u"the file cannot be read");
        return false;
    }
    // A file too large to read is refused by its size alone.
    if (size > kRulesFileMaxBytes) return ReadRulesFile(nullptr, kRulesFileMaxBytes + 1, side.Ansi(), out, why);
    return ReadRulesFile(bytes.data(), bytes.size(), side.Ansi(), out, why);
}

void FormatRefusal(const RulesFileRefusal& why, char16_t* out, size_t cap) {
    if (!out || cap == 0) return;
    out[0] = 0;
    if (why.line > 0) {
        char16_t number[16];
        FormatDecimal(number, 16, static_cast<int32_t>(why.line));
        TextAppend(out, cap, u"line ");
        TextAppend(out, cap, number);
        TextAppend(out, cap, u": ");
    }
    if (!TextAppend(out, cap, why.reason)) TextCopy(out + TextLen(out), cap - TextLen(out), why.reason);
}

}  // namespace fw
