// TOptionDlgBox: the settings program's main window. The behaviour lives in
// OptionDlgLogic; this class builds the window and answers the logic's
// questions about it.
#pragma once
#include "forms/forms.h"
#include "option_logic.h"
#include "rule_marks_win.h"
#include "setup_logic.h"

namespace fw {

using namespace fw::forms;

class TOptionDlgBox : public TForm, public OptionDlgLogic, public SetupSide {
public:
    TOptionDlgBox();
    ~TOptionDlgBox() override = default;

    TPageControl* PageControl;
    TTabSheet* RuleSheet;
    TTabSheet* GeneralSheet;
    TTabSheet* SetupSheet;
    TTabSheet* AboutSheet;
    TPanel* pnlBottom;
    TButton* btnHelp;
    TButton* btnOK;
    TButton* btnCancel;
    TButton* btnApply;
    TImageList* ilList;
    TTimer* timerMove;
    TTimer* timerMarks;  // works the marks out once a burst of list changes is over
    TFontDialog* fdGUI;

    // Rules page
    TFlatButton* btnAddRulebyName;
    TFlatButton* btnAddRulebyURL;
    TFlatButton* btnEditRule;
    TFlatButton* btnDeleteRule;
    TFlatButton* btnTestRule;
    TImage* imgUpArrow;
    TImage* imgBottomArrow;
    TListView* lvList;

    // General page
    TCheckBox* cbUseDefault;
    TEdit* eDefault;
    TFlatButton* btnBrowseDefault;
    TCheckBox* cbParseURL;
    TImage* Image1;
    TLabel* lblInformParase;
    TLabel* lblChangeFont;
    TLabel* lblFontFace;
    TEdit* eFontFace;
    TLabel* lblCharSet;
    TEdit* eCharSet;
    TButton* btnChangeFont;

    // Setup page
    TGroupBox* gbInstall;
    TLabel* lblSetupExp;
    TImage* imgInform;
    TLabel* lblInform;
    TLabel* Label1;
    TLabel* Label2;
    TButton* btnInstall;
    TButton* btnUninstall;
    TCheckBox* cbDelReg;

    // About page
    TLabel* lblAboutBtm;
    TLabel* lblAboutTop;
    TLabel* lblAboutMid;
    TImage* imgIcon;
    TLabel* lblVersion;
    TLabel* lblCR;
    TLabel* lblSoftType;
    TGroupBox* gbContact;
    TLabel* lblMail;
    TLabel* lblURL;
    TLabel* hlblMail;
    TLabel* hlblURL;

    // The About page's reference values, taken right after creation.
    int aboutRuleSheetWidth = 0;
    int aboutIconLeft = 0;
    int aboutCRLeft = 0;
    int aboutSoftTypeLeft = 0;
    int aboutContactLeft = 0;

    // Event handlers
    void FormCanResize(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void btnOKClick(TObject* Sender);
    void btnApplyClick(TObject* Sender);
    void btnCancelClick(TObject* Sender);
    void cbUseDefaultClick(TObject* Sender);
    void eDefaultChange(TObject* Sender);
    void btnBrowseDefaultClick(TObject* Sender);
    void btnChangeFontClick(TObject* Sender);
    void OnAdd(TObject* Sender);
    void OnEdit(TObject* Sender);
    void OnDel(TObject* Sender);
    void OnMoveStart(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void RepeatMoveRuleItem(TObject* Sender);
    void lvListKeyDown(TObject* Sender, WORD& Key, TShiftState Shift);
    void lvListDblClick(TObject* Sender);
    void lvListChange(TObject* Sender, int Item, TItemChange Change);
    void OnTest(TObject* Sender);
    void lvListInfoTip(TObject* Sender, int Item, wchar_t* Text, int Cap);
    void lvListRowMarked(TObject* Sender, int Item, bool& Marked);
    void RefreshMarks(TObject* Sender);
    void OnSetupDll(TObject* Sender);
    void btnHelpClick(TObject* Sender);
    void AboutSheetResize(TObject* Sender);
    void hlblMailMouseEnter(TObject* Sender);
    void hlblMailMouseLeave(TObject* Sender);
    void hlblMailClick(TObject* Sender);
    void hlblURLClick(TObject* Sender);

    // The Setup page's system side.
    bool FileExists(const char16_t* path) override;
    void ShowMessage(const char16_t* text, MessageIcon icon) override;
    bool RunRegsvr32Process(const char16_t* params, uint32_t* exitCode) override;
    bool Is64BitWindows() override;
    void CloseRegTool() override;
    void StartRegTool() override;
    bool DelRegChecked() override;
    void ProgramPath(char16_t* out, size_t cap) override;

protected:
    bool UseDefaultChecked() override;
    void SetUseDefaultChecked(bool on) override;
    bool ParseUrlChecked() override;
    void SetParseUrlChecked(bool on) override;
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
    bool RunRuleDialog(bool fileKind, char16_t* rule, char16_t* folder) override;
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
