// What the settings program's main window does, apart from its windows: the
// changed flag, loading and saving the settings store, the rule list's
// editing rules and the press-and-hold timer. TOptionDlgBox derives from
// OptionDlgLogic and supplies the window side; the native tests supply a
// fake one (in-memory rows, a scripted rule dialog, a fake clock).
#pragma once
#include "settings_store.h"
#include <cstddef>
#include <cstdint>

namespace fw {

// Virtual-key codes the rule list reacts to.
constexpr uint16_t kKeyReturn = 0x0D;
constexpr uint16_t kKeyUp = 0x26;
constexpr uint16_t kKeyDown = 0x28;
constexpr uint16_t kKeyInsert = 0x2D;
constexpr uint16_t kKeyDelete = 0x2E;

constexpr uint32_t kMoveFirstDelayMs = 500;  // press-and-hold: first repeat
constexpr uint32_t kMoveRepeatMs = 100;      // then every 100 ms

constexpr uint32_t kFaceChars = kPathChars;  // GUI font face buffer

enum class MouseButton : uint8_t { Left, Right, Middle };

// The rule type a dialog of the given kind gives its text: a URL rule for the
// URL kind; otherwise an extension rule exactly when the text starts with ".".
uint32_t DecideRuleType(bool fileKind, const char16_t* rule);

// The rule dialog's OK: both boxes hold at least one character.
bool RuleDlgOkEnabled(const char16_t* rule, const char16_t* folder);

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

    void LoadSettings();
    bool SaveSettings();  // false: a write failed, reported, flag left set
    void RefreshGeneralPage();
    void ApplyGuiFont(const char16_t* face, uint32_t charSet);
    void AddRuleItem(uint32_t type, const char16_t* rule, const char16_t* folder);
    bool FormCloseQuery();
    void FormCanResize(int32_t* width, int32_t* height) const;

    void btnOKClick();
    void btnApplyClick();
    void btnCancelClick();
    void cbUseDefaultClick();
    void eDefaultChange();
    void btnBrowseDefaultClick();
    void btnChangeFontClick();

    // `rule` holds kRuleChars, `folder` kPathChars units.
    bool ShowRuleDialog(bool fileKind, char16_t* rule, uint32_t* type, char16_t* folder);
    void OnAdd(int32_t senderTag);
    void OnEdit();
    void OnDel();
    bool MoveRuleItem(int32_t direction);
    void OnMoveStart(int32_t senderTag, MouseButton button);
    void RepeatMoveRuleItem();
    // The tester over the rules on screen; closed with a matched rule, that
    // rule is selected in the list.
    void OnTest();
    void lvListKeyDown(uint16_t key, bool ctrl);
    void lvListDblClick();
    void lvListChange(bool stateChanged);

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
    // Rule dialog: true on OK, with the boxes' texts in `rule` and `folder`.
    virtual bool RunRuleDialog(bool fileKind, char16_t* rule, char16_t* folder) = 0;
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
    void AddErrRows(int32_t* count);  // that many "ERR" rows; *count ends at 0

    int32_t changed_ = 0;
    int32_t minWidth_ = 0;
    int32_t minHeight_ = 0;
    int32_t timerTag_ = 0;  // the move direction while timerMove runs
    char16_t guiFace_[kFaceChars] = {};
    uint32_t guiCharSet_ = 0;
};

}  // namespace fw
