#include "command_line.h"
#include "option_logic.h"
#include "text.h"
#include <string>

namespace fw {

namespace {

// The settings program's load and save without a window: the options and
// the rows in memory, so that the command line reads and writes the store
// exactly as the window does.
class RuleSetModel final : public OptionDlgLogic {
public:
    RuleSetModel() { InitLogic(0, 0); }
    bool saveFailed = false;
    size_t Rules() const { return rows_.size(); }

protected:
    bool UseDefaultChecked() override { return useDefault_; }
    void SetUseDefaultChecked(bool on) override { useDefault_ = on; }
    bool ParseUrlChecked() override { return parseUrl_; }
    void SetParseUrlChecked(bool on) override { parseUrl_ = on; }
    bool UseContentDispositionChecked() override { return useContentDisposition_; }
    void SetUseContentDispositionChecked(bool on) override { useContentDisposition_ = on; }
    void EnableUseContentDisposition(bool) override {}
    void GetDefaultFolder(char16_t* out, size_t cap) override { TextCopy(out, cap, defaultFolder_.c_str()); }
    void SetDefaultFolder(const char16_t* text) override { defaultFolder_ = text ? text : u""; }
    void EnableDefaultFolder(bool) override {}
    void ShowGuiFont(const char16_t*, const char16_t*) override {}
    void SetWindowFont(const char16_t*, uint32_t) override {}
    bool PickFont(char16_t*, size_t, uint32_t*) override { return false; }
    bool PickFolder(char16_t*) override { return false; }
    int32_t RuleCount() override { return static_cast<int32_t>(rows_.size()); }
    int32_t SelectedRule() override { return -1; }
    void GetRule(int32_t i, uint32_t* type, char16_t* rule, size_t ruleCap, char16_t* folder,
                 size_t folderCap) override {
        *type = rows_[i].type;
        TextCopy(rule, ruleCap, rows_[i].rule.c_str());
        TextCopy(folder, folderCap, rows_[i].folder.c_str());
    }
    void AppendRule(uint32_t type, const char16_t* rule, const char16_t* folder) override {
        rows_.push_back({type, rule, folder});
    }
    void SetRule(int32_t i, uint32_t type, const char16_t* rule, const char16_t* folder) override {
        rows_[i] = {type, rule, folder};
    }
    void DeleteRule(int32_t i) override { rows_.erase(rows_.begin() + i); }
    void ExchangeRules(int32_t i, int32_t j) override { std::swap(rows_[i], rows_[j]); }
    void SelectRule(int32_t) override {}
    void FocusAndShowRule(int32_t) override {}
    void FocusRuleList() override {}
    void EnableRuleButtons(bool) override {}
    bool AskRule(RuleDialogData&) override { return false; }
    bool TimerEnabled() override { return false; }
    void SetTimerEnabled(bool) override {}
    uint32_t TimerInterval() override { return 0; }
    void SetTimerInterval(uint32_t) override {}
    bool LeftButtonDown() override { return false; }
    bool AskDiscard() override { return true; }
    void ReportSaveFailed() override { saveFailed = true; }
    void CloseWindow() override {}

private:
    struct Row {
        uint32_t type;
        std::u16string rule, folder;
    };
    std::vector<Row> rows_;
    bool useDefault_ = false, parseUrl_ = false, useContentDisposition_ = false;
    std::u16string defaultFolder_;
};

bool SwitchIs(const char16_t* arg, const char16_t* name) { return EqualTextI(arg, name); }

std::u16string Rules(size_t n) {
    char16_t buf[16];
    FormatDecimal(buf, 16, static_cast<int32_t>(n));
    return std::u16string(buf) + (n == 1 ? u" rule" : u" rules");
}

int Export(const char16_t* path, CommandLineSide& side) {
    RuleSetModel model;
    model.LoadSettings(TheStore());
    ValueList values;
    model.WriteSettings(values);
    std::vector<uint8_t> bytes;
    WriteRulesFile(values, &bytes);
    if (!side.WriteWholeFile(path, bytes)) {
        side.Say((u"Fwise: could not write " + std::u16string(path) + u"; nothing was written.").c_str());
        return kExitRefused;
    }
    side.Say((u"Fwise: " + Rules(model.Rules()) + u" exported to " + path + u".").c_str());
    return kExitOk;
}

int Import(const char16_t* path, CommandLineSide& side) {
    ValueList values;
    RulesFileRefusal why;
    if (!LoadRulesFile(side, path, &values, &why)) {
        char16_t reason[300];
        FormatRefusal(why, reason, 300);
        side.Say((u"Fwise: " + std::u16string(path) + u" refused, " + reason + u". The settings are unchanged.")
                     .c_str());
        return kExitRefused;
    }
    RuleSetModel model;
    model.LoadSettings(values);
    if (!model.SaveSettings()) {
        side.Say(u"Fwise: the settings could not be written.");
        return kExitStoreFailed;
    }
    side.Say((u"Fwise: " + Rules(model.Rules()) + u" imported from " + path + u".").c_str());
    return kExitOk;
}

}  // namespace

int RunCommandLine(int argc, const char16_t* const* args, CommandLineSide& side) {
    if (argc == 2 && args[1] && args[1][0]) {
        if (SwitchIs(args[0], u"/export")) return Export(args[1], side);
        if (SwitchIs(args[0], u"/import")) return Import(args[1], side);
    }
    side.Say(u"Usage: Fwise.exe /export FILE | /import FILE");
    return kExitBadCommandLine;
}

}  // namespace fw
