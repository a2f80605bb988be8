#include "rule_dialog_box.h"
#include "browse_folder.h"
#include "option_logic.h"
#include "pictures.h"
#include "texts.h"

namespace fw {

using namespace forms;

namespace {

class TRuleDlgBox : public TForm {
public:
    explicit TRuleDlgBox(TForm* owner);

    TPanel* pnlMain;
    TLabel* lblRule;
    TEdit* eRule;
    TImage* imgInform;
    TLabel* lblInform;
    TLabel* lblFolder;
    TEdit* eFolder;
    TFlatButton* btnBrowseDefault;
    TButton* btnOK;
    TButton* btnCancel;

    void FormCanResize(int& NewWidth, int& NewHeight, bool& Resize);
    void eRuleChange();
    void btnBrowseDefaultClick();
    void eFolderKeyDown(WORD& key, TShiftState shift);

private:
    int minWidth_ = 0;
    int minHeight_ = 0;
};

TRuleDlgBox::TRuleDlgBox(TForm* owner) : TForm(L"TRuleDlgBox", owner, true, false) {
    const TextSet& t = Texts();
    Font().SetName(W(t.layoutFontFace));
    Font().CharSet = static_cast<BYTE>(t.layoutCharSet);
    SetCaption(W(t.ruleCaption));
    SetClientSize(624, 210);
    Position = TPosition::poOwnerFormCenter;
    OnCanResize = Bind<&TRuleDlgBox::FormCanResize>(this);

    pnlMain = new TPanel(this);
    pnlMain->SetBounds(0, 0, 624, 210);
    pnlMain->SetAnchors(akLeft | akTop | akRight | akBottom);
    const LayoutSet& L = Layout();
    // A build may give the panel a font of its own that the GUI font does not reach.
    if (L.rulePanelFontFace) pnlMain->SetFontFace(W(L.rulePanelFontFace), static_cast<BYTE>(L.fixedFontCharSet));

    lblRule = new TLabel(pnlMain, L"");
    lblRule->SetBounds(12, 10, 300, 15);

    eRule = new TEdit(pnlMain);
    eRule->SetBounds(12, 28, 600, L.editHeight);
    eRule->SetAnchors(akLeft | akTop | akRight);
    eRule->SetMaxLength(kRuleChars - 1);
    eRule->OnChange = Bind<&TRuleDlgBox::eRuleChange>(this);

    imgInform = new TImage(pnlMain);
    imgInform->SetBounds(12, 60, 32, 32);
    imgInform->SetPicture(static_cast<HICON>(LoadImageW(nullptr, IDI_INFORMATION, IMAGE_ICON, 32, 32, LR_SHARED)), 32);

    lblInform = new TLabel(pnlMain, L"");
    lblInform->WordWrap = true;
    // Within the client, 12 from its right edge like the boxes: a wider
    // layout width would cut the text off.
    lblInform->SetBounds(52, 58, L.ruleInformWidth < 624 - 52 - 12 ? L.ruleInformWidth : 624 - 52 - 12, 48);
    lblInform->SetAnchors(akLeft | akTop | akRight);
    lblInform->SetFontColor(clNavy);

    lblFolder = new TLabel(pnlMain, W(t.lblFolder));
    lblFolder->SetLeft(12);
    lblFolder->SetBounds(12, 114, lblFolder->Width(), lblFolder->Height());

    eFolder = new TEdit(pnlMain);
    eFolder->SetBounds(12, 132, 574, L.editHeight);
    eFolder->SetAnchors(akLeft | akTop | akRight);
    eFolder->SetMaxLength(kPathChars - 1);
    eFolder->OnChange = Bind<&TRuleDlgBox::eRuleChange>(this);
    eFolder->OnKeyDown = Bind<&TRuleDlgBox::eFolderKeyDown>(this);
    eFolder->SetHint(W(t.hintFolderKey));

    btnBrowseDefault = new TFlatButton(pnlMain);
    btnBrowseDefault->SetBounds(590, 132, 22, 22);
    btnBrowseDefault->SetAnchors(akTop | akRight);
    btnBrowseDefault->SetGlyph(PictureIcon(Picture::Folder));
    btnBrowseDefault->OnClick = Bind<&TRuleDlgBox::btnBrowseDefaultClick>(this);

    btnOK = new TButton(pnlMain, W(t.btnOK));
    btnOK->SetBounds(426, 172, 90, 25);
    btnOK->SetAnchors(akTop | akRight);
    btnOK->ModalResult = mrOk;
    btnOK->SetDefault(true);
    btnOK->SetEnabled(false);

    btnCancel = new TButton(pnlMain, W(t.btnCancel));
    btnCancel->SetBounds(522, 172, 90, 25);
    btnCancel->SetAnchors(akTop | akRight);
    btnCancel->ModalResult = mrCancel;
    btnCancel->SetCancel(true);

    RECT r;
    GetWindowRect(Handle(), &r);
    minWidth_ = r.right - r.left;
    minHeight_ = r.bottom - r.top;
    pnlMain->SetDoubleBuffered(true);
    eRule->SetDoubleBuffered(true);
    eFolder->SetDoubleBuffered(true);
}

void TRuleDlgBox::FormCanResize(int& NewWidth, int& NewHeight, bool& Resize) {
    RuleDlgCanResize(minWidth_, minHeight_, &NewWidth, &NewHeight);
    Resize = true;
}

void TRuleDlgBox::eRuleChange() {
    wchar_t rule[2], folder[2];
    eRule->GetText(rule, 2);
    eFolder->GetText(folder, 2);
    btnOK->SetEnabled(RuleDlgOkEnabled(U(rule), U(folder)));
}

// F4 opens the folder picker, for the keyboard: the flat button takes no focus.
void TRuleDlgBox::eFolderKeyDown(WORD& key, TShiftState shift) {
    if (key != kKeyF4 || shift != 0) return;
    key = 0;
    btnBrowseDefaultClick();
}

void TRuleDlgBox::btnBrowseDefaultClick() {
    wchar_t path[kPathChars];
    eFolder->GetText(path, kPathChars);
    if (BrowseForFolder(Handle(), path)) eFolder->SetText(path);
}

}  // namespace

bool RunRuleDialog(TForm* owner, RuleDialogData& data) {
    const TextSet& t = Texts();
    const RuleDialogInfo& kind = DialogInfo(data.dialog);
    TRuleDlgBox dlg(owner);
    dlg.SetFontFace(W(data.fontFace), static_cast<BYTE>(data.fontCharSet));
    dlg.lblInform->SetFontFace(W(data.fontFace), static_cast<BYTE>(data.fontCharSet));
    dlg.eRule->SetText(W(data.rule));
    dlg.eFolder->SetText(W(data.folder));
    dlg.lblRule->SetCaption(W(t.*kind.label));
    dlg.lblInform->SetCaption(W(t.*kind.inform));
    if (dlg.ShowModal() != mrOk) return false;
    dlg.eRule->GetText(W(data.rule), kRuleChars);
    dlg.eFolder->GetText(W(data.folder), kPathChars);
    return true;
}

}  // namespace fw
