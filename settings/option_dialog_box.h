// TOptionDlgBox: the settings program's main window. The behaviour lives in
// OptionDlgLogic; this class builds the window and answers the logic's
// questions about it.
#pragma once
#include "forms/forms.h"
#include "option_logic.h"
#include "rule_marks_win.h"
#include "rules_exchange_ui.h"
#include "setup_logic.h"

namespace fw {

class TOptionDlgBox : public forms::TForm, public OptionDlgLogic, public SetupSide, public ExchangeWindow {
public:
    TOptionDlgBox();
    ~TOptionDlgBox() override = default;

    forms::TPageControl* PageControl;
    forms::TTabSheet* RuleSheet;
    forms::TTabSheet* GeneralSheet;
    forms::TTabSheet* SetupSheet;
    forms::TTabSheet* AboutSheet;
    forms::TPanel* pnlBottom;
    forms::TButton* btnHelp;
    forms::TButton* btnOK;
    forms::TButton* btnCancel;
    forms::TButton* btnApply;
    forms::TImageList* ilList;
    forms::TTimer* timerMove;
    forms::TTimer* timerMarks;  // works the marks out once a burst of list changes is over
    forms::TFontDialog* fdGUI;

    // Rules page
    forms::TFlatButton* btnAddRulebyName;
    forms::TFlatButton* btnAddRulebyURL;
    forms::TFlatButton* btnEditRule;
    forms::TFlatButton* btnDeleteRule;
    forms::TFlatButton* btnTestRule;
    forms::TFlatButton* btnExportRules;
    forms::TFlatButton* btnImportRules;
    forms::TImage* imgUpArrow;
    forms::TImage* imgBottomArrow;
    forms::TListView* lvList;

    // General page
    forms::TCheckBox* cbUseDefault;
    forms::TEdit* eDefault;
    forms::TFlatButton* btnBrowseDefault;
    forms::TCheckBox* cbParseURL;
    forms::TCheckBox* cbUseContentDisposition;
    forms::TImage* Image1;
    forms::TLabel* lblInformParase;
    forms::TLabel* lblChangeFont;
    forms::TLabel* lblFontFace;
    forms::TEdit* eFontFace;
    forms::TLabel* lblCharSet;
    forms::TEdit* eCharSet;
    forms::TButton* btnChangeFont;

    // Setup page
    forms::TGroupBox* gbInstall;
    forms::TLabel* lblSetupExp;
    forms::TImage* imgInform;
    forms::TLabel* lblInform;
    forms::TLabel* Label1;
    forms::TLabel* Label2;
    forms::TButton* btnInstall;
    forms::TButton* btnUninstall;
    forms::TCheckBox* cbDelReg;

    // About page
    forms::TLabel* lblAboutBtm;
    forms::TLabel* lblAboutTop;
    forms::TLabel* lblAboutMid;
    forms::TImage* imgIcon;
    forms::TLabel* lblVersion;
    forms::TLabel* lblCR;
    forms::TLabel* lblSoftType;
    forms::TGroupBox* gbContact;
    forms::TLabel* lblMail;
    forms::TLabel* lblURL;
    forms::TLabel* hlblMail;
    forms::TLabel* hlblURL;

    // The About page's reference values, taken right after creation.
    int aboutRuleSheetWidth = 0;
    int aboutIconLeft = 0;
    int aboutCRLeft = 0;
    int aboutSoftTypeLeft = 0;
    int aboutContactLeft = 0;

    // The window's own handlers; the rest are bound to the logic.
    void btnHelpClick();
    void AboutSheetResize();
    void hlblMailMouseEnter(forms::TObject* Sender);
    void hlblMailMouseLeave(forms::TObject* Sender);
    void hlblMailClick();
    void hlblURLClick();
    // The rule list's marks and their hints.
    void lvListInfoTip(int Item, wchar_t* Text, int Cap);
    void lvListRowMarked(int Item, bool& Marked);
    void RefreshMarks();

    // The Setup page's system side.
    bool FileExists(const char16_t* path) override;
    void ShowMessage(const char16_t* text, MessageIcon icon) override;
    bool RunRegsvr32Process(const char16_t* params, uint32_t* exitCode) override;
    bool Is64BitWindows() override;
    void DeleteSettings() override;
    void CloseRegTool() override;
    void StartRegTool() override;
    bool DelRegChecked() override;
    void ProgramPath(char16_t* out, size_t cap) override;

    // Export and import (rules_exchange_win.cpp).
    void OnExportRules() override;
    void OnImportRules() override;
    bool PickRulesFile(bool save, char16_t* path) override;
    ImportChoice AskImportChoice(const char16_t* question) override;
    void ShowExchangeProblem(const char16_t* text) override;
    RulesFileSide& RulesFiles() override;

protected:
    bool UseDefaultChecked() override;
    void SetUseDefaultChecked(bool on) override;
    bool ParseUrlChecked() override;
    void SetParseUrlChecked(bool on) override;
    bool UseContentDispositionChecked() override;
    void SetUseContentDispositionChecked(bool on) override;
    void EnableUseContentDisposition(bool on) override;
    void GetDefaultFolder(char16_t* out, size_t cap) override;
    void SetDefaultFolder(const char16_t* text) override;
    void EnableDefaultFolder(bool on) override;
    void ShowGuiFont(const char16_t* face, const char16_t* charSetText) override;
    void SetWindowFont(const char16_t* face, uint32_t charSet) override;
    bool PickFont(char16_t* face, size_t cap, uint32_t* charSet) override;
    bool PickFolder(char16_t* path) override;
    int32_t RuleCount() override;
    int32_t SelectedRule() override;
    void GetRule(int32_t i, uint32_t* type, char16_t* rule, size_t ruleCap, char16_t* folder,
                 size_t folderCap) override;
    void AppendRule(uint32_t type, const char16_t* rule, const char16_t* folder) override;
    void SetRule(int32_t i, uint32_t type, const char16_t* rule, const char16_t* folder) override;
    void DeleteRule(int32_t i) override;
    void ExchangeRules(int32_t i, int32_t j) override;
    void SelectRule(int32_t i) override;
    void FocusAndShowRule(int32_t i) override;
    void FocusRuleList() override;
    void EnableRuleButtons(bool on) override;
    void BeginRuleUpdate() override;
    void EndRuleUpdate() override;
    bool AskRule(RuleDialogData& data) override;
    int32_t RunTester() override;
    bool TimerEnabled() override;
    void SetTimerEnabled(bool on) override;
    uint32_t TimerInterval() override;
    void SetTimerInterval(uint32_t ms) override;
    bool LeftButtonDown() override;
    bool AskDiscard() override;
    void ReportSaveFailed() override;
    void CloseWindow() override;

private:
    // The shell opens the help file and the links; what it says is not looked at.
    static void OpenDocument(HWND owner, const char16_t* target);
    void BuildRulesPage();
    void BuildGeneralPage();
    void BuildSetupPage();
    void BuildAboutPage();
    void ScheduleMarks();

    RuleListMarks marks_;
};

extern TOptionDlgBox* OptionDlgBox;

}  // namespace fw
