// What the settings program's main window does, apart from its windows: the
// changed flag, loading and saving the settings store, the rule list's
// editing rules and the press-and-hold timer. TOptionDlgBox derives from
// OptionDlgLogic and supplies the window side; the native tests supply a
// fake one (in-memory rows, a scripted rule dialog, a fake clock). The
// handlers take the form layer's event arguments (less the sender), so the
// window binds them to its controls directly.
#pragma once
#include "forms/events.h"
#include "rule_kinds.h"
#include "settings_store.h"
#include "settings_values.h"
#include "stored_rules.h"
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace fw {

constexpr uint32_t kMoveFirstDelayMs = 500;  // press-and-hold: first repeat
constexpr uint32_t kMoveRepeatMs = 100;      // then every 100 ms

constexpr uint32_t kFaceChars = kPathChars;  // GUI font face buffer

// What the rule dialog is given and gives back: the main window fills it,
// the dialog shows it, and on OK the boxes' texts come back in it.
struct RuleDialogData {
    RuleDialogKind dialog = RuleDialogKind::File;  // which labels it shows
    char16_t rule[kRuleChars] = {};                // in and out
    char16_t folder[kPathChars] = {};              // in and out
    const char16_t* fontFace = u"";                // the GUI font, face and character set
    uint32_t fontCharSet = 0;
};

// The rule dialog's OK: both boxes hold at least one character.
bool RuleDlgOkEnabled(const char16_t* rule, const char16_t* folder);

static_assert(std::is_same<int, int32_t>::value, "the form layer's sizes are int");

// Resize limits: the main window keeps its minimum size; the rule dialog
// keeps its minimum width and always its minimum (which is its only) height.
void MainCanResize(int32_t minWidth, int32_t minHeight, int32_t* width, int32_t* height);
void RuleDlgCanResize(int32_t minWidth, int32_t minHeight, int32_t* width, int32_t* height);

// The General page's character-set text ("Default (1)").
const char16_t* CharSetFormat(uint32_t charSet);
void FormatCharSet(char16_t* out, size_t cap, uint32_t charSet);

class OptionDlgLogic {
public:
    virtual ~OptionDlgLogic() = default;

    void LoadSettings(SettingsValues& from = TheStore());
    // After the store was deleted under the window: the window drops its
    // rows and shows what the store holds now.
    void ReloadSettings();
    bool SaveSettings();  // false: a write failed, reported, flag left set
    // The writes of a save, in its order, without touching the changed flag.
    // 1 when every write succeeded.
    int WriteSettings(SettingsValues& to);
    // A rules file's values taken into the window: in place of the whole
    // screen (options and rules, as a load of them would show), or their
    // rules added after the list. Either way they are unsaved changes.
    void ImportSettings(SettingsValues& from, bool append);
    void RefreshGeneralPage();
    void ApplyGuiFont(const char16_t* face, uint32_t charSet);
    void AddRuleItem(uint32_t type, const char16_t* rule, const char16_t* folder);
    void FormCloseQuery(bool& canClose);
    void FormCanResize(int& width, int& height, bool& resize);

    void btnOKClick();
    void btnApplyClick();
    void btnCancelClick();
    void cbUseDefaultClick();
    void eDefaultChange();
    void btnBrowseDefaultClick();
    void eDefaultKeyDown(uint16_t& key, forms::TShiftState shift);
    void btnChangeFontClick();

    // `rule` holds kRuleChars, `folder` kPathChars units.
    bool ShowRuleDialog(RuleDialogKind dialog, char16_t* rule, uint32_t* type, char16_t* folder);
    void OnAdd(RuleDialogKind dialog);
    void OnEdit();
    void OnDel();
    bool MoveRuleItem(int32_t direction);  // -1 up, +1 down; anything else moves nothing
    void OnMoveStart(MoveDirection direction, forms::TMouseButton button);
    void RepeatMoveRuleItem();
    // The tester over the rules on screen; closed with a matched rule, that
    // rule is selected in the list.
    void OnTest();
    // Clears `key` for Ctrl+Up and Ctrl+Down, which it handles in full.
    void lvListKeyDown(uint16_t& key, forms::TShiftState shift);
    // Export and import (Ctrl+E, Ctrl+O in the list): the window's own.
    virtual void OnExportRules() {}
    virtual void OnImportRules() {}
    void lvListDblClick();
    void lvListChange(int32_t item, forms::TItemChange change);

    bool Changed() const { return changed_ != 0; }
    const char16_t* GuiFontFace() const { return guiFace_; }
    uint32_t GuiCharSet() const { return guiCharSet_; }

protected:
    // Creation: clears the flag and records the minimum size.
    void InitLogic(int32_t minWidth, int32_t minHeight);
    void SetChanged() { changed_ = 1; }

    // --- the window side ---
    // General page
    virtual bool UseDefaultChecked() = 0;
    virtual void SetUseDefaultChecked(bool on) = 0;  // fires cbUseDefaultClick on a change
    virtual bool ParseUrlChecked() = 0;
    virtual void SetParseUrlChecked(bool on) = 0;
    virtual bool UseContentDispositionChecked() = 0;
    virtual void SetUseContentDispositionChecked(bool on) = 0;
    virtual void EnableUseContentDisposition(bool on) = 0;
    virtual void GetDefaultFolder(char16_t* out, size_t cap) = 0;
    virtual void SetDefaultFolder(const char16_t* text) = 0;  // fires eDefaultChange
    virtual void EnableDefaultFolder(bool on) = 0;
    virtual void ShowGuiFont(const char16_t* face, const char16_t* charSetText) = 0;
    virtual void SetWindowFont(const char16_t* face, uint32_t charSet) = 0;
    virtual bool PickFont(char16_t* face, size_t cap, uint32_t* charSet) = 0;
    virtual bool PickFolder(char16_t* path) = 0;  // BrowseForFolder, kPathChars units
    // Rule list
    virtual int32_t RuleCount() = 0;
    virtual int32_t SelectedRule() = 0;  // -1: none
    virtual void GetRule(int32_t i, uint32_t* type, char16_t* rule, size_t ruleCap, char16_t* folder,
                         size_t folderCap) = 0;
    virtual void AppendRule(uint32_t type, const char16_t* rule, const char16_t* folder) = 0;
    virtual void SetRule(int32_t i, uint32_t type, const char16_t* rule, const char16_t* folder) = 0;
    virtual void DeleteRule(int32_t i) = 0;
    virtual void ExchangeRules(int32_t i, int32_t j) = 0;
    virtual void SelectRule(int32_t i) = 0;
    virtual void FocusAndShowRule(int32_t i) = 0;  // focus mark, scrolled fully into view
    virtual void FocusRuleList() = 0;
    virtual void EnableRuleButtons(bool on) = 0;
    virtual void BeginRuleUpdate() {}
    virtual void EndRuleUpdate() {}
    // The rule dialog: true on OK, with the boxes' texts in `data`.
    virtual bool AskRule(RuleDialogData& data) = 0;
    // The tester: the rule the last test matched, -1 for none.
    virtual int32_t RunTester() { return -1; }
    // timerMove and the mouse
    virtual bool TimerEnabled() = 0;
    virtual void SetTimerEnabled(bool on) = 0;
    virtual uint32_t TimerInterval() = 0;
    virtual void SetTimerInterval(uint32_t ms) = 0;
    virtual bool LeftButtonDown() = 0;
    // The window
    virtual bool AskDiscard() = 0;
    virtual void ReportSaveFailed() = 0;
    virtual void CloseWindow() = 0;

private:
    void AddErrRows(int32_t* count);
    // The last row is saved as rule `index` is stored in `from` now.
    void KeepStored(SettingsValues& from, int32_t index);
    void LoadOptions(SettingsValues& from);
    void LoadRules(SettingsValues& from);

    int32_t changed_ = 0;
    int32_t minWidth_ = 0;
    int32_t minHeight_ = 0;
    MoveDirection timerDirection_ = MoveDirection::Up;  // timerMove's Tag while it runs
    char16_t guiFace_[kFaceChars] = {};
    uint32_t guiCharSet_ = 0;
    RowSnapshots stored_;  // per row: the stored values behind a placeholder
};

}  // namespace fw
