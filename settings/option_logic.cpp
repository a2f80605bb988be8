#include "option_logic.h"
#include <new>
#include "texts.h"
#include "text.h"

namespace fw {

bool RuleDlgOkEnabled(const char16_t* rule, const char16_t* folder) {
    return TextLen(rule) > 0 && TextLen(folder) > 0;
}

void MainCanResize(int32_t minWidth, int32_t minHeight, int32_t* width, int32_t* height) {
    if (*width < minWidth) *width = minWidth;
    if (*height < minHeight) *height = minHeight;
}

void RuleDlgCanResize(int32_t minWidth, int32_t minHeight, int32_t* width, int32_t* height) {
    if (*width < minWidth) *width = minWidth;
    *height = minHeight;
}

const char16_t* CharSetFormat(uint32_t charSet) {
    for (uint32_t i = 0; i + 1 < kCharSetNameCount; ++i)
        if (kCharSetNames[i].charSet == charSet) return kCharSetNames[i].format;
    return kCharSetNames[kCharSetNameCount - 1].format;
}

void FormatCharSet(char16_t* out, size_t cap, uint32_t charSet) {
    if (!out || cap == 0) return;
    out[0] = 0;
    const char16_t* format = CharSetFormat(charSet);
    const char16_t* mark = format;
    while (*mark && !(mark[0] == u'%' && mark[1] == u'd')) ++mark;
    char16_t head[64] = {};
    size_t n = static_cast<size_t>(mark - format);
    if (n >= 64) n = 63;
    for (size_t i = 0; i < n; ++i) head[i] = format[i];
    char16_t number[16];
    FormatDecimal(number, 16, static_cast<int32_t>(charSet));
    TextAppend(out, cap, head);
    if (*mark) {
        TextAppend(out, cap, number);
        TextAppend(out, cap, mark + 2);
    }
}

void OptionDlgLogic::InitLogic(int32_t minWidth, int32_t minHeight) {
    changed_ = 0;
    minWidth_ = minWidth;
    minHeight_ = minHeight;
}

void OptionDlgLogic::AddErrRows(int32_t* count) {
    for (; *count > 0; --*count) {
        AddRuleItem(0, u"ERR", u"ERR");
        // Nothing was stored there, and nothing is written there until edited.
        stored_.SetLast(new (std::nothrow) StoredRule());
    }
}

void OptionDlgLogic::LoadOptions(SettingsValues& from) {
    const TextSet& t = Texts();
    char16_t face[kFaceChars];
    from.ReadString(kGuiFontFace, t.defaultFontFace, face, sizeof face);
    uint32_t charSet = from.ReadDword(kGuiCharSet, t.defaultCharSet) & 0xFF;
    ApplyGuiFont(face, charSet);

    SetUseDefaultChecked(from.ReadDword(kUseDefault, 0) != 0);
    char16_t folder[kPathChars];
    from.ReadString(kDefaultFolder, u"", folder, sizeof folder);
    SetDefaultFolder(folder);
    SetParseUrlChecked(from.ReadDword(kParseUrl, 0) != 0);
    SetUseContentDispositionChecked(from.ReadDword(kUseContentDisposition, 0) == 1);
}

void OptionDlgLogic::LoadRules(SettingsValues& from) {
    int32_t n = static_cast<int32_t>(from.ReadDword(kNum, 0));
    char16_t rule[kRuleChars];
    char16_t folder[kPathChars];
    // A text that is missing, or longer than the boxes can hold, shows as "ERR".
    constexpr RuleDefaults kMissing = {0, u"ERR", u"ERR"};
    BeginRuleUpdate();
    // Indices with nothing stored are held back: shown as "ERR" rows once a
    // stored rule follows them or "Num" ends, dropped once kRuleGapLimit of
    // them come in a row (a corrupt "Num" of 2^31 would fill memory).
    int32_t missing = 0;
    for (int32_t i = 0; i < n; ++i) {
        uint32_t type = from.ReadRule(i, kMissing, rule, sizeof rule, folder, sizeof folder);
        if (TextEqual(rule, u"ERR") && TextEqual(folder, u"ERR") && from.RuleIndexEmpty(i)) {
            if (++missing >= kRuleGapLimit) break;
            continue;
        }
        AddErrRows(&missing);
        AddRuleItem(type, rule, folder);
        // A placeholder is no data: until the row is edited, a save writes
        // back what is stored now, byte for byte.
        if (TextEqual(rule, u"ERR") || TextEqual(folder, u"ERR")) KeepStored(from, i);
    }
    if (missing < kRuleGapLimit) AddErrRows(&missing);
    EndRuleUpdate();
}

void OptionDlgLogic::LoadSettings(SettingsValues& from) {
    LoadOptions(from);
    LoadRules(from);
    // Setting the boxes above fired their events, which set the flag.
    changed_ = 0;
}

void OptionDlgLogic::ReloadSettings() {
    BeginRuleUpdate();
    for (int32_t i = RuleCount() - 1; i >= 0; --i) DeleteRule(i);
    EndRuleUpdate();
    // The rows' snapshots go with the rows: the new rows start a new table.
    stored_.Clear();
    EnableRuleButtons(false);
    LoadSettings();
    RefreshGeneralPage();
}

void OptionDlgLogic::ImportSettings(SettingsValues& from, bool append) {
    if (!append) {
        BeginRuleUpdate();
        for (int32_t i = RuleCount() - 1; i >= 0; --i) DeleteRule(i);
        EndRuleUpdate();
        stored_.Clear();
        LoadOptions(from);
    }
    LoadRules(from);
    FocusRuleList();
    changed_ = 1;
}

int OptionDlgLogic::WriteSettings(SettingsValues& to) {
    // Rewritten whole: the delete first, so no value of a longer list survives.
    to.Clear();
    int ok = 1;
    ok &= to.WriteString(kGuiFontFace, guiFace_);
    ok &= to.WriteDword(kGuiCharSet, guiCharSet_);
    ok &= to.WriteDword(kUseDefault, UseDefaultChecked() ? 1 : 0);
    char16_t folder[kPathChars];
    GetDefaultFolder(folder, kPathChars);
    ok &= to.WriteString(kDefaultFolder, folder);
    ok &= to.WriteDword(kParseUrl, ParseUrlChecked() ? 1 : 0);
    // Written only when on: with the option off the store holds what it
    // always held.
    if (UseContentDispositionChecked()) ok &= to.WriteDword(kUseContentDisposition, 1);
    int32_t n = RuleCount();
    ok &= to.WriteDword(kNum, static_cast<uint32_t>(n));
    char16_t rule[kRuleChars];
    for (int32_t i = 0; i < n; ++i) {
        if (const StoredRule* stored = stored_.Get(i)) {
            ok &= stored->WriteAt(i, to);
            continue;
        }
        uint32_t type = 0;
        GetRule(i, &type, rule, kRuleChars, folder, kPathChars);
        ok &= to.WriteRule(i, type, rule, folder);
    }
    return ok;
}

bool OptionDlgLogic::SaveSettings() {
    if (!WriteSettings(TheStore())) {
        // The store no longer matches the window: closing must still ask.
        changed_ = 1;
        ReportSaveFailed();
        return false;
    }
    changed_ = 0;
    return true;
}

void OptionDlgLogic::RefreshGeneralPage() {
    EnableDefaultFolder(UseDefaultChecked());
    // The server's file name is known only when the address is resolved.
    EnableUseContentDisposition(ParseUrlChecked());
    char16_t charSetText[64];
    FormatCharSet(charSetText, 64, guiCharSet_);
    ShowGuiFont(guiFace_, charSetText);
}

void OptionDlgLogic::ApplyGuiFont(const char16_t* face, uint32_t charSet) {
    TextCopy(guiFace_, kFaceChars, face ? face : u"");
    guiCharSet_ = charSet & 0xFF;
    SetWindowFont(guiFace_, guiCharSet_);
    RefreshGeneralPage();
}

void OptionDlgLogic::KeepStored(SettingsValues& from, int32_t index) {
    // Null without memory for the bytes, or where the values came from a
    // file: such a row is saved as shown.
    stored_.SetLast(from.CaptureRule(index));
}

void OptionDlgLogic::AddRuleItem(uint32_t type, const char16_t* rule, const char16_t* folder) {
    AppendRule(type, rule, folder);
    stored_.Append(nullptr);
}

void OptionDlgLogic::FormCloseQuery(bool& canClose) { canClose = !changed_ || AskDiscard(); }

void OptionDlgLogic::FormCanResize(int& width, int& height, bool& resize) {
    MainCanResize(minWidth_, minHeight_, &width, &height);
    resize = true;
}

void OptionDlgLogic::btnOKClick() {
    SaveSettings();
    CloseWindow();
}

void OptionDlgLogic::btnApplyClick() { SaveSettings(); }

void OptionDlgLogic::btnCancelClick() { CloseWindow(); }

void OptionDlgLogic::cbUseDefaultClick() {
    changed_ = 1;
    RefreshGeneralPage();
}

void OptionDlgLogic::eDefaultChange() { changed_ = 1; }

// F4 in the folder box opens the folder picker: the flat button beside it
// takes no focus, and a keyboard user needs a way there.
void OptionDlgLogic::eDefaultKeyDown(uint16_t& key, forms::TShiftState shift) {
    if (key != kKeyF4 || shift != 0) return;
    key = 0;
    btnBrowseDefaultClick();
}

void OptionDlgLogic::btnBrowseDefaultClick() {
    char16_t path[kPathChars];
    GetDefaultFolder(path, kPathChars);
    if (!PickFolder(path)) return;
    SetDefaultFolder(path);
    changed_ = 1;
}

void OptionDlgLogic::btnChangeFontClick() {
    char16_t face[kFaceChars];
    TextCopy(face, kFaceChars, guiFace_);
    uint32_t charSet = guiCharSet_;
    // The new font is stored by the next OK or Apply; it is no unsaved change.
    if (PickFont(face, kFaceChars, &charSet)) ApplyGuiFont(face, charSet);
}

bool OptionDlgLogic::ShowRuleDialog(RuleDialogKind dialog, char16_t* rule, uint32_t* type, char16_t* folder) {
    RuleDialogData data;
    data.dialog = dialog;
    TextCopy(data.rule, kRuleChars, rule);
    TextCopy(data.folder, kPathChars, folder);
    data.fontFace = guiFace_;
    data.fontCharSet = guiCharSet_;
    if (!AskRule(data)) return false;
    // Whatever the dialog did, the texts handed on end inside their buffers.
    data.rule[kRuleChars - 1] = 0;
    data.folder[kPathChars - 1] = 0;
    TextCopy(rule, kRuleChars, data.rule);
    TextCopy(folder, kPathChars, data.folder);
    *type = static_cast<uint32_t>(DecideRuleKind(dialog, data.rule));
    return true;
}

void OptionDlgLogic::OnAdd(RuleDialogKind dialog) {
    char16_t rule[kRuleChars] = {};
    char16_t folder[kPathChars] = {};
    uint32_t type = 0;
    if (!ShowRuleDialog(dialog, rule, &type, folder)) return;
    AddRuleItem(type, rule, folder);
    FocusRuleList();
    SelectRule(RuleCount() - 1);
    FocusAndShowRule(RuleCount() - 1);
    changed_ = 1;
}

void OptionDlgLogic::OnEdit() {
    int32_t i = SelectedRule();
    if (i < 0) return;
    char16_t rule[kRuleChars];
    char16_t folder[kPathChars];
    uint32_t type = 0;
    GetRule(i, &type, rule, kRuleChars, folder, kPathChars);
    if (!ShowRuleDialog(DialogForType(type), rule, &type, folder)) return;
    SetRule(i, type, rule, folder);
    stored_.Drop(i);
    FocusRuleList();
    changed_ = 1;
}

void OptionDlgLogic::OnDel() {
    int32_t i = SelectedRule();
    if (i < 0) return;
    DeleteRule(i);
    stored_.Erase(i);
    if (i >= RuleCount()) --i;
    if (i >= 0) SelectRule(i);
    FocusRuleList();
    changed_ = 1;
}

bool OptionDlgLogic::MoveRuleItem(int32_t direction) {
    int32_t i = SelectedRule();
    int32_t n = RuleCount();
    if (i < 0 || direction == 0 || i >= n) return false;
    int32_t j = i + direction;
    if (j < 0 || j >= n) return false;
    ExchangeRules(i, j);
    stored_.Swap(i, j);
    SelectRule(j);
    FocusAndShowRule(j);
    FocusRuleList();
    changed_ = 1;
    return true;
}

void OptionDlgLogic::OnMoveStart(MoveDirection direction, forms::TMouseButton button) {
    SetTimerEnabled(false);
    if (button != forms::TMouseButton::mbLeft) return;
    timerDirection_ = direction;
    if (MoveRuleItem(static_cast<int32_t>(direction))) {
        SetTimerInterval(kMoveFirstDelayMs);
        SetTimerEnabled(true);
    }
}

void OptionDlgLogic::RepeatMoveRuleItem() {
    if (!LeftButtonDown()) {
        SetTimerEnabled(false);
        return;
    }
    if (!MoveRuleItem(static_cast<int32_t>(timerDirection_))) SetTimerEnabled(false);
    if (TimerInterval() != kMoveRepeatMs) SetTimerInterval(kMoveRepeatMs);
}

namespace {

// The rule dialog a key opens for a new rule, if any.
const RuleDialogInfo* AddDialogForKey(uint16_t key, bool ctrl) {
    for (const RuleDialogInfo& d : kRuleDialogs)
        if ((ctrl && key == d.ctrlKey) || (d.plainKey && key == d.plainKey)) return &d;
    return nullptr;
}

}  // namespace

void OptionDlgLogic::lvListKeyDown(uint16_t& key, forms::TShiftState shift) {
    bool ctrl = (shift & forms::ssCtrl) != 0;
    if (key == kKeyDelete) OnDel();
    else if (key == kKeyReturn) OnEdit();
    else if (key == u'D' && ctrl) OnDel();
    else if (key == kKeyUp && ctrl) MoveRuleItem(static_cast<int32_t>(MoveDirection::Up));
    else if (key == kKeyDown && ctrl) MoveRuleItem(static_cast<int32_t>(MoveDirection::Down));
    else if (const RuleDialogInfo* d = AddDialogForKey(key, ctrl)) OnAdd(d->dialog);
    else if (key == kKeyTest && ctrl) OnTest();
    else if (key == kKeyExport && ctrl) OnExportRules();
    else if (key == kKeyImport && ctrl) OnImportRules();
    // The move has placed selection and focus on the moved row; a list view
    // that also handled Ctrl+Up/Down itself (Wine's moves the selection of a
    // single-selection list) would carry them one row further.
    if (ctrl && (key == kKeyUp || key == kKeyDown)) key = 0;
}

void OptionDlgLogic::OnTest() {
    int32_t matched = RunTester();
    if (matched >= 0 && matched < RuleCount()) {
        SelectRule(matched);
        FocusAndShowRule(matched);
    }
    FocusRuleList();
}

void OptionDlgLogic::lvListDblClick() { OnEdit(); }

void OptionDlgLogic::lvListChange(int32_t, forms::TItemChange change) {
    // While a press-and-hold runs the buttons stay as they are.
    if (change != forms::TItemChange::ctState || TimerEnabled()) return;
    EnableRuleButtons(SelectedRule() >= 0);
}

}  // namespace fw
