// A window-less TOptionDlgBox for the native tests: rows in a vector, a
// scripted rule dialog, and a fake clock that fires timerMove the way a
// Windows timer does (restarted whenever its interval is set).
#pragma once
#include "option_logic.h"
#include "text.h"
#include <deque>
#include <string>
#include <vector>

namespace fw::test {

struct FakeRow {
    uint32_t type;
    std::u16string rule;
    std::u16string folder;
};

struct DialogAnswer {
    bool ok;
    std::u16string rule;
    std::u16string folder;
};

struct DialogCall {
    RuleDialogKind dialog;
    std::u16string rule;
    std::u16string folder;
};

class FakeOptionDlg : public OptionDlgLogic {
public:
    FakeOptionDlg() { InitLogic(640, 470); }

    // General page
    bool useDefault = false, parseUrl = false, defaultEnabled = true;
    bool useContentDisposition = false, contentDispositionEnabled = true;
    std::u16string defaultFolder, shownFace, shownCharSet, windowFace;
    uint32_t windowCharSet = 0;
    bool pickFolderOk = false;
    std::u16string pickedFolder, pickFolderStart;
    bool pickFontOk = false;
    std::u16string pickedFace;
    uint32_t pickedCharSet = 0;
    // Rule list
    std::vector<FakeRow> rows;
    int32_t selected = -1, focusMark = -1, shown = -1;
    bool listFocused = false, ruleButtons = false;
    // Rule dialog
    std::deque<DialogAnswer> answers;
    std::vector<DialogCall> dialogCalls;
    // The tester: counts its openings and answers with `testerMatch`.
    int testerCalls = 0;
    int32_t testerMatch = -1;
    // timerMove, the mouse and the clock
    bool timerOn = false, leftDown = false;
    uint32_t interval = kMoveFirstDelayMs;
    uint64_t now = 0, nextTick = 0;
    // The window
    bool discardAnswer = true;
    int asks = 0, saveFailReports = 0, closes = 0;
    bool closed = false;

    // Runs the clock forward, firing every tick that falls due.
    void Advance(uint64_t ms) {
        uint64_t end = now + ms;
        while (timerOn && nextTick <= end) {
            now = nextTick;
            nextTick = now + interval;
            RepeatMoveRuleItem();
        }
        now = end;
    }

    void Load(const std::vector<FakeRow>& list) {
        for (const auto& r : list) AddRuleItem(r.type, r.rule.c_str(), r.folder.c_str());
    }
    void Select(int32_t i) { SelectRule(i); }
    // A key down in the list; what is left of the key for the list view.
    uint16_t PressKey(uint16_t key, bool ctrl) {
        lvListKeyDown(key, ctrl ? forms::ssCtrl : 0);
        return key;
    }
    void SetTimerOff() { SetTimerEnabled(false); }
    int32_t Selected() { return SelectedRule(); }

protected:
    bool UseDefaultChecked() override { return useDefault; }
    void SetUseDefaultChecked(bool on) override {
        if (on == useDefault) return;
        useDefault = on;
        cbUseDefaultClick();
    }
    bool ParseUrlChecked() override { return parseUrl; }
    void SetParseUrlChecked(bool on) override {
        if (on == parseUrl) return;
        parseUrl = on;
        cbUseDefaultClick();
    }
    bool UseContentDispositionChecked() override { return useContentDisposition; }
    void SetUseContentDispositionChecked(bool on) override {
        if (on == useContentDisposition) return;
        useContentDisposition = on;
        cbUseDefaultClick();
    }
    void EnableUseContentDisposition(bool on) override { contentDispositionEnabled = on; }
    void GetDefaultFolder(char16_t* out, size_t cap) override { TextCopy(out, cap, defaultFolder.c_str()); }
    void SetDefaultFolder(const char16_t* text) override {
        if (defaultFolder == text) return;
        defaultFolder = text;
        eDefaultChange();
    }
    void EnableDefaultFolder(bool on) override { defaultEnabled = on; }
    void ShowGuiFont(const char16_t* face, const char16_t* charSetText) override {
        shownFace = face;
        shownCharSet = charSetText;
    }
    void SetWindowFont(const char16_t* face, uint32_t charSet) override {
        windowFace = face;
        windowCharSet = charSet;
    }
    bool PickFont(char16_t* face, size_t cap, uint32_t* charSet) override {
        if (!pickFontOk) return false;
        TextCopy(face, cap, pickedFace.c_str());
        *charSet = pickedCharSet;
        return true;
    }
    bool PickFolder(char16_t* path) override {
        pickFolderStart = path;
        if (!pickFolderOk) return false;
        TextCopy(path, kPathChars, pickedFolder.c_str());
        return true;
    }

    int32_t RuleCount() override { return static_cast<int32_t>(rows.size()); }
    int32_t SelectedRule() override { return selected; }
    void GetRule(int32_t i, uint32_t* type, char16_t* rule, size_t ruleCap, char16_t* folder,
                 size_t folderCap) override {
        *type = rows[i].type;
        TextCopy(rule, ruleCap, rows[i].rule.c_str());
        TextCopy(folder, folderCap, rows[i].folder.c_str());
    }
    void AppendRule(uint32_t type, const char16_t* rule, const char16_t* folder) override {
        rows.push_back({type, rule, folder});
    }
    void SetRule(int32_t i, uint32_t type, const char16_t* rule, const char16_t* folder) override {
        rows[i] = {type, rule, folder};
    }
    // Like the list view: deleting the selected row first clears its state.
    void DeleteRule(int32_t i) override {
        if (selected == i) {
            selected = -1;
            lvListChange(i, forms::TItemChange::ctState);
        } else if (selected > i) {
            --selected;
        }
        rows.erase(rows.begin() + i);
    }
    void ExchangeRules(int32_t i, int32_t j) override { std::swap(rows[i], rows[j]); }
    void SelectRule(int32_t i) override {
        selected = i;
        lvListChange(i, forms::TItemChange::ctState);
    }
    void FocusAndShowRule(int32_t i) override { focusMark = shown = i; }
    void FocusRuleList() override { listFocused = true; }
    void EnableRuleButtons(bool on) override { ruleButtons = on; }

    bool AskRule(RuleDialogData& data) override {
        dialogCalls.push_back({data.dialog, data.rule, data.folder});
        if (answers.empty()) return false;
        DialogAnswer a = answers.front();
        answers.pop_front();
        if (!a.ok) return false;
        TextCopy(data.rule, kRuleChars, a.rule.c_str());
        TextCopy(data.folder, kPathChars, a.folder.c_str());
        return true;
    }

    int32_t RunTester() override {
        ++testerCalls;
        return testerMatch;
    }

    bool TimerEnabled() override { return timerOn; }
    void SetTimerEnabled(bool on) override {
        if (on && !timerOn) nextTick = now + interval;
        timerOn = on;
    }
    uint32_t TimerInterval() override { return interval; }
    void SetTimerInterval(uint32_t ms) override {
        interval = ms;
        if (timerOn) nextTick = now + ms;
    }
    bool LeftButtonDown() override { return leftDown; }

    bool AskDiscard() override {
        ++asks;
        return discardAnswer;
    }
    void ReportSaveFailed() override { ++saveFailReports; }
    void CloseWindow() override {
        ++closes;
        bool canClose = false;
        FormCloseQuery(canClose);
        if (canClose) closed = true;
    }
};

}  // namespace fw::test
