#include "rule_tester.h"
#include "tester_texts.h"
#include "text.h"

namespace fw {

namespace {

// The rules on screen as a source for the handler's walk. Texts that would
// not fit the handler's buffers come back empty, as the store's readers
// give them after a save.
class ScreenRules : public RuleSource {
public:
    ScreenRules(const ScreenRule* rules, int32_t count, const ScreenDefault& def)
        : rules_(rules), count_(count), def_(def) {}

    uint32_t UseDefault() override { return def_.useDefault ? 1 : 0; }
    int32_t Count() override { return count_; }

    bool Rule(int32_t i, uint32_t* type, char16_t* rule, uint32_t ruleBytes) override {
        *type = rules_[i].type;
        Copy(rule, ruleBytes, rules_[i].rule);
        return true;
    }

    void Folder(int32_t i, char16_t* folder, uint32_t folderBytes) override {
        Copy(folder, folderBytes, rules_[i].folder);
    }

    void DefaultFolder(char16_t* folder, uint32_t folderBytes) override { Copy(folder, folderBytes, def_.folder); }

private:
    static void Copy(char16_t* dst, uint32_t bytes, const char16_t* src) {
        uint32_t cap = bytes / sizeof(char16_t);
        if (cap == 0) return;
        if (!TextCopy(dst, cap, src ? src : u"")) dst[0] = 0;
    }

    const ScreenRule* rules_;
    int32_t count_;
    ScreenDefault def_;
};

class StepRecorder : public MatchSteps {
public:
    explicit StepRecorder(TestRun* run) : run_(run) {}
    void Parts(const NameParts& parts) override { run_->parts = parts; }
    void Step(int32_t index, RuleOutcome outcome) override {
        run_->steps.push_back(outcome);
        if (outcome == RuleOutcome::Matched) run_->matched = index;
    }

private:
    TestRun* run_;
};

void Number(char16_t* out, int32_t n) { FormatDecimal(out, 16, n); }

void Reason(const TestRun& run, const ScreenRule& rule, RuleOutcome outcome, char16_t* out, size_t cap) {
    const TesterTexts& t = TestTexts();
    const NameParts& p = run.parts;
    char16_t number[16];
    switch (outcome) {
        case RuleOutcome::Matched:
            if (rule.type == kNameRule) FillText(out, cap, t.nameMatched, p.namePart, rule.rule);
            else if (rule.type == kExtensionRule) FillText(out, cap, t.extMatched, p.extension, rule.rule);
            else FillText(out, cap, t.urlMatched, nullptr, rule.rule);
            break;
        case RuleOutcome::EmptyText: FillText(out, cap, t.skippedEmpty, nullptr); break;
        case RuleOutcome::UnknownType:
            FormatDecimal(number, 16, static_cast<int32_t>(rule.type));
            FillText(out, cap, t.unknownType, number);
            break;
        case RuleOutcome::NoNamePart: FillText(out, cap, t.noNamePart, nullptr); break;
        case RuleOutcome::NotInName: FillText(out, cap, t.nameNotFound, p.namePart, rule.rule); break;
        case RuleOutcome::NoExtension: FillText(out, cap, t.noExtension, nullptr, rule.rule); break;
        case RuleOutcome::OtherExtension: FillText(out, cap, t.extDiffers, p.extension, rule.rule); break;
        case RuleOutcome::NotInUrl: FillText(out, cap, t.urlNotFound, nullptr, rule.rule); break;
    }
}

bool CanNeverMatch(const ScreenRule& r, MarkReason* reason) {
    const char16_t* text = r.rule ? r.rule : u"";
    if (!text[0]) *reason = MarkReason::EmptyText;
    else if (r.type > kUrlRule) *reason = MarkReason::UnknownType;
    else if (r.type == kExtensionRule && text[0] != u'.') *reason = MarkReason::ExtensionNoDot;
    else if (r.type == kExtensionRule && TextChr(text + 1, u'.')) *reason = MarkReason::ExtensionTwoDots;
    else if (r.type == kNameRule && TextChr(text + 1, u'/')) *reason = MarkReason::NameSlash;
    else return false;
    return true;
}

// True when rule `a` matches every download that rule `b` matches, whatever
// the name source is: both look at the same text, and b's match implies a's.
// A name rule's text inside an extension rule's text counts too, since the
// extension lies inside the name part.
bool AlwaysFirst(const ScreenRule& a, const ScreenRule& b) {
    if (a.type == kExtensionRule && b.type == kExtensionRule) return EqualTextI(a.rule, b.rule);
    bool sameText = (a.type == kNameRule && (b.type == kNameRule || b.type == kExtensionRule)) ||
                    (a.type == kUrlRule && b.type == kUrlRule);
    return sameText && FindTextI(b.rule, a.rule) != nullptr;
}

}  // namespace

void RunTest(const ScreenRule* rules, int32_t count, const ScreenDefault& def, const char16_t* url,
             const char16_t* nameSource, TestRun* run) {
    *run = TestRun{};
    ScreenRules source(rules, count, def);
    StepRecorder recorder(run);
    run->result = WalkRules(source, url, nameSource, run->folder, sizeof run->folder, &recorder);
}

void FillText(char16_t* out, size_t cap, const char16_t* format, const char16_t* a, const char16_t* b) {
    if (!out || cap == 0) return;
    size_t n = 0;
    auto put = [&](char16_t c) {
        if (n + 1 < cap) out[n++] = c;
    };
    for (const char16_t* f = format ? format : u""; *f; ++f) {
        if (f[0] == u'%' && (f[1] == u'1' || f[1] == u'2')) {
            for (const char16_t* s = (f[1] == u'1' ? a : b); s && *s; ++s) put(*s);
            ++f;
        } else {
            put(*f);
        }
    }
    out[n] = 0;
}

bool IsTestableAddress(const char16_t* text) {
    if (!text) return false;
    for (const char16_t* c = text; *c; ++c)
        if (*c < 0x20 || *c == 0x7F) return false;
    const char16_t* const schemes[] = {u"http://", u"https://", u"ftp://", u"file:"};
    for (const char16_t* scheme : schemes) {
        size_t n = TextLen(scheme);
        if (TextLen(text) <= n) continue;
        // The scheme must stand at the start, not merely occur.
        if (FindTextI(text, scheme) == text) return true;
    }
    return false;
}

int32_t TestRowCount(int32_t count, const char16_t* followed) { return count + (followed ? 6 : 5); }

void ExplainRow(const ScreenRule* rules, int32_t count, const TestRun& run, const char16_t* url,
                const char16_t* followed, const char16_t* nameSource, int32_t k, TestRow* row) {
    const TesterTexts& t = TestTexts();
    *row = TestRow{};
    // The rows above the rules, in order; the address followed only when it was.
    const char16_t* info[][2] = {
        {t.rowAddress, url},
        {followed ? t.rowResolved : nullptr, followed},
        {t.rowNameSource, nameSource},
        {t.rowNamePart, run.parts.nameUsable ? run.parts.namePart : t.none},
        {t.rowExtension, run.parts.extensionUsable ? run.parts.extension : t.none},
    };
    int32_t infoRows = followed ? 5 : 4;
    if (k < infoRows) {
        int32_t at = (!followed && k >= 1) ? k + 1 : k;
        row->kind = TestRow::Info;
        TextCopy(row->first, kRowChars, info[at][0]);
        TextCopy(row->why, kRowChars, info[at][1] ? info[at][1] : u"");
        return;
    }
    char16_t number[16];
    Number(number, run.matched + 1);
    int32_t i = k - infoRows;
    if (i < count) {
        row->kind = TestRow::RuleRow;
        row->rule = i;
        TextCopy(row->first, kRowChars, rules[i].rule ? rules[i].rule : u"");
        if (static_cast<size_t>(i) < run.steps.size()) Reason(run, rules[i], run.steps[i], row->why, kRowChars);
        else FillText(row->why, kRowChars, t.neverTried, number);
        return;
    }
    row->kind = TestRow::Result;
    row->rule = run.matched;
    TextCopy(row->first, kRowChars, t.rowResult);
    if (run.result != kFolderFound) FillText(row->why, kRowChars, t.noFolder, nullptr);
    else if (run.matched < 0) FillText(row->why, kRowChars, t.byDefault, run.folder);
    else if (!run.folder[0]) FillText(row->why, kRowChars, t.emptyRuleFolder, nullptr, number);
    else FillText(row->why, kRowChars, t.byRule, run.folder, number);
}

void ExplainTest(const ScreenRule* rules, int32_t count, const TestRun& run, const char16_t* url,
                 const char16_t* followed, const char16_t* nameSource, std::vector<TestRow>* rows) {
    rows->assign(static_cast<size_t>(TestRowCount(count, followed)), TestRow{});
    for (int32_t k = 0; k < TestRowCount(count, followed); ++k)
        ExplainRow(rules, count, run, url, followed, nameSource, k, &(*rows)[static_cast<size_t>(k)]);
}

void MarkRules(const ScreenRule* rules, int32_t count, const bool* folderMissing, RuleMark* marks) {
    for (int32_t j = 0; j < count; ++j) {
        RuleMark& m = marks[j];
        m = RuleMark{};
        if (CanNeverMatch(rules[j], &m.reason)) continue;
        MarkReason ignored;
        int32_t pairs = count <= kShadowCheckLimit ? j : 0;
        for (int32_t i = 0; i < pairs; ++i) {
            // A rule that itself never matches wins nothing.
            if (CanNeverMatch(rules[i], &ignored) || !AlwaysFirst(rules[i], rules[j])) continue;
            m.reason = MarkReason::Shadowed;
            m.winner = i;
            break;
        }
        if (m.reason == MarkReason::None && folderMissing && folderMissing[j]) m.reason = MarkReason::FolderMissing;
    }
}

void MarkHint(const RuleMark& mark, const ScreenRule* rules, int32_t count, int32_t index, char16_t* out,
              size_t cap) {
    const TesterTexts& t = TestTexts();
    if (!out || cap == 0) return;
    out[0] = 0;
    if (index < 0 || index >= count) return;
    char16_t number[16];
    switch (mark.reason) {
        case MarkReason::None: break;
        case MarkReason::Shadowed:
            if (mark.winner < 0 || mark.winner >= count) break;
            Number(number, mark.winner + 1);
            FillText(out, cap, t.markShadowed, number, rules[mark.winner].rule);
            break;
        case MarkReason::EmptyText: FillText(out, cap, t.markEmpty, nullptr); break;
        case MarkReason::UnknownType:
            Number(number, static_cast<int32_t>(rules[index].type));
            FillText(out, cap, t.markUnknownType, number);
            break;
        case MarkReason::ExtensionTwoDots: FillText(out, cap, t.markTwoDots, nullptr); break;
        case MarkReason::ExtensionNoDot: FillText(out, cap, t.markNoDot, nullptr); break;
        case MarkReason::NameSlash: FillText(out, cap, t.markNameSlash, nullptr); break;
        case MarkReason::FolderMissing: FillText(out, cap, t.markNoFolder, rules[index].folder); break;
    }
}

FolderCheck ClassifyFolder(const char16_t* folder) {
    if (!folder || !folder[0]) return FolderCheck::Missing;
    auto slash = [](char16_t c) { return c == u'\\' || c == u'/'; };
    // A network path may take the network's time-out to answer: not asked.
    if (slash(folder[0]) && slash(folder[1])) return FolderCheck::Skip;
    char16_t d = folder[0];
    bool letter = (d >= u'A' && d <= u'Z') || (d >= u'a' && d <= u'z');
    if (letter && folder[1] == u':' && slash(folder[2])) return FolderCheck::Check;
    return FolderCheck::Skip;
}

}  // namespace fw
