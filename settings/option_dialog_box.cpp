#include "option_dialog_box.h"
#include "browse_folder.h"
#include "pictures.h"
#include "rule_dialog_box.h"
#include "test_dialog_box.h"
#include "tester_texts.h"
#include "text.h"
#include "texts.h"

namespace fw {

using namespace forms;

TOptionDlgBox* OptionDlgBox = nullptr;

namespace {

constexpr uint8_t kAll = akLeft | akTop | akRight | akBottom;

template <class C>
C* Place(C* c, int left, int top, int width, int height, uint8_t anchors = akLeft | akTop) {
    c->SetBounds(left, top, width, height);
    c->SetAnchors(anchors);
    return c;
}

HICON InfoIcon() {
    return static_cast<HICON>(LoadImageW(nullptr, IDI_INFORMATION, IMAGE_ICON, 32, 32, LR_SHARED));
}

TLabel* TitleLabel(TWinControl* page, int left, int top, TColor color) {
    TLabel* l = new TLabel(page, W(Texts().aboutTitle));
    l->SetAutoSize(false);
    l->Alignment = TAlignment::taCenter;
    TFont& f = l->OwnFont();
    // Arial with the window's character set (Shift JIS in the Japanese
    // build) is no Arial at all: its own set keeps the Latin glyphs.
    f.SetName(L"Arial");
    f.CharSet = ANSI_CHARSET;
    f.Height = -35;
    f.Bold = true;
    f.Color = color;
    Place(l, left, top, 614, 41, akLeft | akTop | akRight);
    return l;
}

}  // namespace

TOptionDlgBox::TOptionDlgBox() : TForm(L"TOptionDlgBox", nullptr, true, true) {
    const TextSet& t = Texts();
    Font().SetName(W(t.layoutFontFace));
    Font().CharSet = static_cast<BYTE>(t.layoutCharSet);
    SetCaption(W(t.caption));
    SetClientSize(624, 432);
    Position = TPosition::poDesktopCenter;
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(ProgramIcon(32)));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(ProgramIcon(16)));
    OnCanResize = Bind<&OptionDlgLogic::FormCanResize>(this);
    OnCloseQuery = Bind<&OptionDlgLogic::FormCloseQuery>(this);

    ilList = new TImageList(this, 16);
    // In the kinds' order, so that a stored type is its image.
    for (const RuleKindInfo& k : kRuleKinds) ilList->Add(PictureIcon(k.icon));
    timerMove = new TTimer(this);
    timerMove->SetInterval(kMoveFirstDelayMs);
    timerMove->OnTimer = Bind<&OptionDlgLogic::RepeatMoveRuleItem>(this);
    timerMarks = new TTimer(this);
    timerMarks->SetInterval(10);
    timerMarks->OnTimer = Bind<&TOptionDlgBox::RefreshMarks>(this);
    fdGUI = new TFontDialog(this);

    PageControl = Place(new TPageControl(this), 0, 0, 624, 391, kAll);
    Pages = PageControl;
    RuleSheet = new TTabSheet(PageControl, W(t.tabRules));
    GeneralSheet = new TTabSheet(PageControl, W(t.tabGeneral));
    SetupSheet = new TTabSheet(PageControl, W(t.tabSetup));
    AboutSheet = new TTabSheet(PageControl, W(t.tabAbout));
    BuildRulesPage();
    BuildGeneralPage();
    BuildSetupPage();
    BuildAboutPage();

    pnlBottom = Place(new TPanel(this), 0, 391, 624, 41, akLeft | akRight | akBottom);
    // Every button keeps its distance from the right edge, Help included.
    btnHelp = Place(new TButton(pnlBottom, W(t.btnHelp)), 8, 8, 90, 25, akTop | akRight);
    btnHelp->OnClick = Bind<&TOptionDlgBox::btnHelpClick>(this);
    btnOK = Place(new TButton(pnlBottom, W(t.btnOK)), 334, 8, 90, 25, akTop | akRight);
    btnOK->OnClick = Bind<&OptionDlgLogic::btnOKClick>(this);
    btnCancel = Place(new TButton(pnlBottom, W(t.btnCancel)), 430, 8, 90, 25, akTop | akRight);
    btnCancel->OnClick = Bind<&OptionDlgLogic::btnCancelClick>(this);
    btnCancel->SetCancel(true);
    btnApply = Place(new TButton(pnlBottom, W(t.btnApply)), 526, 8, 90, 25, akTop | akRight);
    btnApply->OnClick = Bind<&OptionDlgLogic::btnApplyClick>(this);

    RECT r;
    GetWindowRect(Handle(), &r);
    InitLogic(r.right - r.left, r.bottom - r.top);
    aboutRuleSheetWidth = RuleSheet->Width();
    aboutIconLeft = imgIcon->Left();
    aboutCRLeft = lblCR->Left();
    aboutSoftTypeLeft = lblSoftType->Left();
    aboutContactLeft = gbContact->Left();
    AboutSheet->OnResize = Bind<&TOptionDlgBox::AboutSheetResize>(this);

    PageControl->SetDoubleBuffered(true);
    eDefault->SetDoubleBuffered(true);
    gbInstall->SetDoubleBuffered(true);
    RuleSheet->SetDoubleBuffered(true);
    GeneralSheet->SetDoubleBuffered(true);
    AboutSheet->SetDoubleBuffered(true);
    lvList->SetDoubleBuffered(true);

    COLORREF face = GetSysColor(COLOR_BTNFACE);
    lblAboutMid->SetFontColor(RGB(static_cast<int>(GetRValue(face) * 0.95), static_cast<int>(GetGValue(face) * 0.95),
                                  static_cast<int>(GetBValue(face) * 0.95)));

    OSVERSIONINFOW vi = {};
    vi.dwOSVersionInfoSize = sizeof vi;
    if (t.lblInformSetupOldWindows && GetVersionExW(&vi) && vi.dwMajorVersion <= 5)
        lblInform->SetCaption(W(t.lblInformSetupOldWindows));

    LoadSettings();
    RefreshGeneralPage();
}

void TOptionDlgBox::BuildRulesPage() {
    const TextSet& t = Texts();
    TTabSheet* p = RuleSheet;
    int w = p->Width();
    int left = 4;
    auto tool = [&](Picture picture, const char16_t* hint) {
        TFlatButton* b = Place(new TFlatButton(p), left, 4, 24, 22);
        b->SetGlyph(PictureIcon(picture), DisabledPictureIcon(picture));
        b->SetHint(W(hint));
        // Named after their hint so that tools outside can find them.
        SetWindowTextW(b->Handle(), W(hint));
        left += 24;
        return b;
    };
    // One add button per rule dialog, in the table's order.
    TFlatButton* add[kRuleDialogCount];
    for (const RuleDialogInfo& d : kRuleDialogs) {
        TFlatButton* b = tool(d.addPicture, t.*d.addHint);
        b->Tag = d.addTag;
        b->OnClick = Bind<&OptionDlgLogic::OnAdd>(this, d.dialog);
        add[static_cast<size_t>(d.dialog)] = b;
    }
    btnAddRulebyName = add[static_cast<size_t>(RuleDialogKind::File)];
    btnAddRulebyURL = add[static_cast<size_t>(RuleDialogKind::Url)];
    btnEditRule = tool(Picture::EditRule, t.hintEdit);
    btnDeleteRule = tool(Picture::DeleteRule, t.hintDelete);
    btnEditRule->OnClick = Bind<&OptionDlgLogic::OnEdit>(this);
    btnDeleteRule->OnClick = Bind<&OptionDlgLogic::OnDel>(this);
    btnTestRule = tool(Picture::TestRule, TestTexts().hintTest);
    btnTestRule->OnClick = Bind<&OptionDlgLogic::OnTest>(this);
    btnExportRules = tool(Picture::ExportRules, t.hintExport);
    btnImportRules = tool(Picture::ImportRules, t.hintImport);
    btnExportRules->OnClick = Bind<&OptionDlgLogic::OnExportRules>(this);
    btnImportRules->OnClick = Bind<&OptionDlgLogic::OnImportRules>(this);
    btnEditRule->SetEnabled(false);
    btnDeleteRule->SetEnabled(false);

    HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    imgUpArrow = Place(new TImage(p), w - 44, 7, 16, 16, akTop | akRight);
    imgUpArrow->SetPicture(PictureIcon(Picture::UpArrow), 16);
    imgUpArrow->Tag = kTagUpArrow;
    imgUpArrow->Cursor = hand;
    imgUpArrow->SetHint(W(t.hintUp));
    imgUpArrow->OnMouseDown = Bind<&OptionDlgLogic::OnMoveStart>(this, MoveDirection::Up);
    imgBottomArrow = Place(new TImage(p), w - 24, 7, 16, 16, akTop | akRight);
    imgBottomArrow->SetPicture(PictureIcon(Picture::DownArrow), 16);
    imgBottomArrow->Tag = kTagDownArrow;
    imgBottomArrow->Cursor = hand;
    imgBottomArrow->SetHint(W(t.hintDown));
    imgBottomArrow->OnMouseDown = Bind<&OptionDlgLogic::OnMoveStart>(this, MoveDirection::Down);

    const LayoutSet& L = Layout();
    lvList = Place(new TListView(p), 0, L.lvListTop, w, L.lvListHeight, kAll);
    if (L.listFontFace) lvList->SetFontFace(W(L.listFontFace), static_cast<BYTE>(L.fixedFontCharSet));
    lvList->AddColumn(W(t.colRule), 240);
    lvList->AddColumn(W(t.colFolder), 350);
    lvList->SetImages(ilList);
    lvList->OnChange = Bind<&OptionDlgLogic::lvListChange>(this);
    lvList->OnDblClick = Bind<&OptionDlgLogic::lvListDblClick>(this);
    lvList->OnKeyDown = Bind<&OptionDlgLogic::lvListKeyDown>(this);
    lvList->SetRowMark(PictureIcon(Picture::Mark));
    lvList->OnRowMarked = Bind<&TOptionDlgBox::lvListRowMarked>(this);
    lvList->EnableInfoTips();
    lvList->OnInfoTip = Bind<&TOptionDlgBox::lvListInfoTip>(this);
}

void TOptionDlgBox::BuildGeneralPage() {
    const TextSet& t = Texts();
    const LayoutSet& L = Layout();
    TTabSheet* p = GeneralSheet;
    int w = p->Width();
    cbUseDefault = Place(new TCheckBox(p, W(t.cbUseDefault)), 12, 12, L.cbUseDefaultWidth, 17);
    cbUseDefault->OnClick = Bind<&OptionDlgLogic::cbUseDefaultClick>(this);
    eDefault = Place(new TEdit(p), 32, 36, w - 32 - 40, L.editHeight, akLeft | akTop | akRight);
    eDefault->SetMaxLength(kPathChars - 1);
    eDefault->OnChange = Bind<&OptionDlgLogic::eDefaultChange>(this);
    eDefault->OnKeyDown = Bind<&OptionDlgLogic::eDefaultKeyDown>(this);
    eDefault->SetHint(W(t.hintFolderKey));
    btnBrowseDefault = Place(new TFlatButton(p), w - 36, 36, 22, 22, akTop | akRight);
    btnBrowseDefault->SetGlyph(PictureIcon(Picture::Folder), DisabledPictureIcon(Picture::Folder));
    btnBrowseDefault->OnClick = Bind<&OptionDlgLogic::btnBrowseDefaultClick>(this);
    cbParseURL = Place(new TCheckBox(p, W(t.cbParseURL)), 12, 76, L.cbParseURLWidth, 17);
    cbParseURL->OnClick = Bind<&OptionDlgLogic::cbUseDefaultClick>(this);
    // Indented under cbParseURL, which it depends on.
    cbUseContentDisposition =
        Place(new TCheckBox(p, W(t.cbUseContentDisposition)), 32, 100, L.cbUseContentDispositionWidth, 17);
    cbUseContentDisposition->OnClick = Bind<&OptionDlgLogic::cbUseDefaultClick>(this);
    Image1 = Place(new TImage(p), 32, 124, 32, 32);
    Image1->SetPicture(InfoIcon(), 32);
    lblInformParase = new TLabel(p, W(t.lblInformParase));
    lblInformParase->WordWrap = true;
    lblInformParase->SetFontColor(clNavy);
    Place(lblInformParase, 72, 124, w - 72 - 16, 45, akLeft | akTop | akRight);

    lblChangeFont = new TLabel(p, W(t.lblChangeFont));
    Place(lblChangeFont, 12, L.lblChangeFontTop, lblChangeFont->Width(), lblChangeFont->Height());
    lblFontFace = new TLabel(p, W(t.lblFontFace));
    Place(lblFontFace, 32, L.lblFontFaceTop, lblFontFace->Width(), lblFontFace->Height());
    eFontFace = Place(new TEdit(p, false), 100, L.eFontFaceTop, 180, L.editHeight);
    eFontFace->SetReadOnly(true);
    eFontFace->SetColor(clBtnFace);
    lblCharSet = new TLabel(p, W(t.lblCharSet));
    Place(lblCharSet, 32, L.lblCharSetTop, lblCharSet->Width(), lblCharSet->Height());
    eCharSet = Place(new TEdit(p), 100, L.eCharSetTop, 180, L.editHeight);
    eCharSet->SetReadOnly(true);
    eCharSet->SetColor(clBtnFace);
    btnChangeFont = Place(new TButton(p, W(t.btnChangeFont)), L.btnChangeFontLeft, L.btnChangeFontTop, 163, 25);
    btnChangeFont->OnClick = Bind<&OptionDlgLogic::btnChangeFontClick>(this);
}

void TOptionDlgBox::BuildSetupPage() {
    const TextSet& t = Texts();
    const LayoutSet& L = Layout();
    TTabSheet* p = SetupSheet;
    int w = p->Width();
    gbInstall = Place(new TGroupBox(p, W(t.gbInstall)), 8, 8, w - 16, L.gbInstallHeight, akLeft | akTop | akRight);
    int gw = gbInstall->Width();
    lblSetupExp = new TLabel(gbInstall, W(t.lblSetupExp));
    Place(lblSetupExp, 16, 24, lblSetupExp->Width(), lblSetupExp->Height());
    imgInform = Place(new TImage(gbInstall), 16, 49, 32, 32);
    imgInform->SetPicture(InfoIcon(), 32);
    lblInform = new TLabel(gbInstall, W(t.lblInformSetup));
    lblInform->WordWrap = true;
    lblInform->SetFontColor(clNavy);
    Place(lblInform, 56, L.lblInformTop, L.lblInformWidth < gw - 64 ? L.lblInformWidth : gw - 64, L.lblInformHeight,
          akLeft | akTop | akRight);
    Label1 = new TLabel(gbInstall, W(t.label1));
    Place(Label1, 16, 96, Label1->Width(), Label1->Height());
    Label2 = new TLabel(gbInstall, W(t.label2));
    Place(Label2, 16, 120, Label2->Width(), Label2->Height());
    btnInstall = Place(new TButton(gbInstall, W(t.btnInstall)), 32, 144, 173, 25);
    btnInstall->Tag = static_cast<int>(SetupAction::Install);
    btnInstall->OnClick = Bind<&fw::OnSetupDll>(this, SetupAction::Install);
    btnUninstall = Place(new TButton(gbInstall, W(t.btnUninstall)), 212, 144, 173, 25);
    btnUninstall->Tag = static_cast<int>(SetupAction::Uninstall);
    btnUninstall->OnClick = Bind<&fw::OnSetupDll>(this, SetupAction::Uninstall);
    cbDelReg = Place(new TCheckBox(gbInstall, W(t.cbDelReg)), L.cbDelRegLeft, 172, L.cbDelRegWidth, 17);
}

void TOptionDlgBox::BuildAboutPage() {
    const TextSet& t = Texts();
    const LayoutSet& L = Layout();
    TTabSheet* p = AboutSheet;
    lblAboutBtm = TitleLabel(p, 2, 40, clWindowText);
    lblAboutTop = TitleLabel(p, 0, 38, clWhite);
    lblAboutMid = TitleLabel(p, 1, 39, clBtnFace);
    imgIcon = Place(new TImage(p), 100, 43, 32, 32);
    imgIcon->SetPicture(ProgramIcon(32), 32);
    lblVersion = new TLabel(p, W(t.aboutVersion));
    lblVersion->SetAutoSize(false);
    lblVersion->Alignment = TAlignment::taCenter;
    lblVersion->OwnFont().SetName(L"Arial");
    lblVersion->OwnFont().CharSet = ANSI_CHARSET;
    lblVersion->OwnFont().Height = -17;
    Place(lblVersion, 0, 96, 616, 27, akLeft | akTop | akRight);
    lblCR = new TLabel(p, W(t.aboutRights));
    Place(lblCR, 166, 140, lblCR->Width(), lblCR->Height());
    lblSoftType = new TLabel(p, W(t.aboutSoftType));
    Place(lblSoftType, 166, 162, lblSoftType->Width(), lblSoftType->Height());
    gbContact = Place(new TGroupBox(p, W(t.gbContact)), 167, 195, 283, 71);
    lblMail = new TLabel(gbContact, W(t.lblMail));
    lblMail->Alignment = TAlignment::taRightJustify;
    Place(lblMail, L.lblMailLeft, 20, lblMail->Width(), lblMail->Height());
    lblURL = new TLabel(gbContact, W(t.lblURL));
    lblURL->Alignment = TAlignment::taRightJustify;
    Place(lblURL, L.lblURLLeft, 42, lblURL->Width(), lblURL->Height());
    hlblMail = new TLabel(gbContact, W(t.mailAddress));
    hlblMail->OwnFont().SetName(L"Arial");
    hlblMail->OwnFont().Color = RGB(0, 0, 255);
    hlblMail->Cursor = LoadCursorW(nullptr, IDC_HAND);
    Place(hlblMail, 48, 20, hlblMail->Width(), hlblMail->Height());
    hlblMail->OnClick = Bind<&TOptionDlgBox::hlblMailClick>(this);
    hlblMail->OnMouseEnter = Bind<&TOptionDlgBox::hlblMailMouseEnter>(this);
    hlblMail->OnMouseLeave = Bind<&TOptionDlgBox::hlblMailMouseLeave>(this);
    hlblURL = new TLabel(gbContact, W(t.webAddress));
    hlblURL->OwnFont().SetName(L"Arial");
    hlblURL->OwnFont().Color = RGB(0, 0, 255);
    hlblURL->Cursor = LoadCursorW(nullptr, IDC_HAND);
    Place(hlblURL, 50, 42, hlblURL->Width(), hlblURL->Height());
    hlblURL->OnClick = Bind<&TOptionDlgBox::hlblURLClick>(this);
    hlblURL->OnMouseEnter = Bind<&TOptionDlgBox::hlblMailMouseEnter>(this);
    hlblURL->OnMouseLeave = Bind<&TOptionDlgBox::hlblMailMouseLeave>(this);
}

void TOptionDlgBox::lvListInfoTip(int Item, wchar_t* Text, int Cap) { marks_.Hint(Item, Text, Cap); }
void TOptionDlgBox::lvListRowMarked(int Item, bool& Marked) { Marked = marks_.Marked(Item); }

void TOptionDlgBox::RefreshMarks() {
    timerMarks->SetEnabled(false);
    marks_.Refresh(lvList);
}

// Marks depend on every rule before them: worked out again, whole, once the
// current change (a load of many rows, say) is over.
void TOptionDlgBox::ScheduleMarks() {
    if (!timerMarks->Enabled()) timerMarks->SetEnabled(true);
}

// --- what the logic asks of the window ---

bool TOptionDlgBox::UseDefaultChecked() { return cbUseDefault->Checked(); }
void TOptionDlgBox::SetUseDefaultChecked(bool on) { cbUseDefault->SetChecked(on); }
bool TOptionDlgBox::ParseUrlChecked() { return cbParseURL->Checked(); }
void TOptionDlgBox::SetParseUrlChecked(bool on) { cbParseURL->SetChecked(on); }
bool TOptionDlgBox::UseContentDispositionChecked() { return cbUseContentDisposition->Checked(); }
void TOptionDlgBox::SetUseContentDispositionChecked(bool on) { cbUseContentDisposition->SetChecked(on); }
void TOptionDlgBox::EnableUseContentDisposition(bool on) { cbUseContentDisposition->SetEnabled(on); }

void TOptionDlgBox::GetDefaultFolder(char16_t* out, size_t cap) {
    eDefault->GetText(W(out), static_cast<int>(cap));
}

void TOptionDlgBox::SetDefaultFolder(const char16_t* text) { eDefault->SetText(W(text)); }

void TOptionDlgBox::EnableDefaultFolder(bool on) {
    eDefault->SetEnabled(on);
    eDefault->SetColor(on ? clWindow : clBtnFace);
    btnBrowseDefault->SetEnabled(on);
}

void TOptionDlgBox::ShowGuiFont(const char16_t* face, const char16_t* charSetText) {
    eFontFace->SetText(W(face));
    eCharSet->SetText(W(charSetText));
}

void TOptionDlgBox::SetWindowFont(const char16_t* face, uint32_t charSet) {
    BYTE cs = static_cast<BYTE>(charSet);
    SetFontFace(W(face), cs);
    lblInformParase->SetFontFace(W(face), cs);
    lblInform->SetFontFace(W(face), cs);
    hlblMail->SetFontFace(W(face), cs);
    hlblURL->SetFontFace(W(face), cs);
}

bool TOptionDlgBox::PickFont(char16_t* face, size_t cap, uint32_t* charSet) {
    fdGUI->Font = Font();
    if (!fdGUI->Execute(Handle())) return false;
    TextCopy(face, cap, U(fdGUI->Font.Name()));
    *charSet = fdGUI->Font.CharSet;
    return true;
}

bool TOptionDlgBox::PickFolder(char16_t* path) { return BrowseForFolder(Handle(), W(path)); }

int32_t TOptionDlgBox::RuleCount() { return lvList->Count(); }
int32_t TOptionDlgBox::SelectedRule() { return lvList->SelectedIndex(); }

// The row keeps its type as its item data: any stored number survives, and
// only the kinds' own numbers choose a picture.
static int ImageOf(uint32_t type) {
    int32_t image = RuleImage(type);
    return image >= 0 ? image : I_IMAGENONE;
}

void TOptionDlgBox::GetRule(int32_t i, uint32_t* type, char16_t* rule, size_t ruleCap, char16_t* folder,
                            size_t folderCap) {
    int image = 0;
    LPARAM data = 0;
    lvList->Get(i, &image, W(rule), static_cast<int>(ruleCap), W(folder), static_cast<int>(folderCap), &data);
    *type = static_cast<uint32_t>(data);
}

void TOptionDlgBox::AppendRule(uint32_t type, const char16_t* rule, const char16_t* folder) {
    lvList->Add(ImageOf(type), W(rule), W(folder), static_cast<LPARAM>(type));
    ScheduleMarks();
}

void TOptionDlgBox::SetRule(int32_t i, uint32_t type, const char16_t* rule, const char16_t* folder) {
    lvList->Set(i, ImageOf(type), W(rule), W(folder), static_cast<LPARAM>(type));
    ScheduleMarks();
}

void TOptionDlgBox::DeleteRule(int32_t i) {
    lvList->Delete(i);
    ScheduleMarks();
}

void TOptionDlgBox::ExchangeRules(int32_t i, int32_t j) {
    lvList->Exchange(i, j);
    ScheduleMarks();
}
void TOptionDlgBox::SelectRule(int32_t i) { lvList->Select(i); }

void TOptionDlgBox::FocusAndShowRule(int32_t i) {
    lvList->FocusItem(i);
    lvList->MakeVisible(i);
}

void TOptionDlgBox::FocusRuleList() { lvList->SetFocus(); }

void TOptionDlgBox::EnableRuleButtons(bool on) {
    btnDeleteRule->SetEnabled(on);
    btnEditRule->SetEnabled(on);
}

void TOptionDlgBox::BeginRuleUpdate() { lvList->BeginUpdate(); }
void TOptionDlgBox::EndRuleUpdate() { lvList->EndUpdate(); }

bool TOptionDlgBox::AskRule(RuleDialogData& data) { return RunRuleDialog(this, data); }

int32_t TOptionDlgBox::RunTester() {
    TestDialogData data;
    ReadRuleRows(lvList, &data.rules);
    data.useDefault = cbUseDefault->Checked();
    wchar_t folder[kPathChars];
    eDefault->GetText(folder, kPathChars);
    data.defaultFolder = U(folder);
    data.follow = cbParseURL->Checked();
    return RunTestDialog(this, ilList, data);
}

bool TOptionDlgBox::TimerEnabled() { return timerMove->Enabled(); }
void TOptionDlgBox::SetTimerEnabled(bool on) { timerMove->SetEnabled(on); }
uint32_t TOptionDlgBox::TimerInterval() { return timerMove->Interval(); }
void TOptionDlgBox::SetTimerInterval(uint32_t ms) { timerMove->SetInterval(ms); }
bool TOptionDlgBox::LeftButtonDown() { return GetKeyState(VK_LBUTTON) < 0; }

bool TOptionDlgBox::AskDiscard() {
    const TextSet& t = Texts();
    return MessageBoxW(Handle(), W(t.closeQuestion), W(t.caption), MB_OKCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2) ==
           IDOK;
}

void TOptionDlgBox::ReportSaveFailed() {
    const TextSet& t = Texts();
    MessageBoxW(Handle(), W(t.saveFailed), W(t.caption), MB_OK | MB_ICONERROR);
}

void TOptionDlgBox::CloseWindow() { Close(); }

}  // namespace fw
