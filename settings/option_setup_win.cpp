// TOptionDlgBox's Setup page, Help button and About page on Windows: the
// system side of setup_logic.
#include "option_dialog_box.h"
#include "save_folder.h"
#include "scoped_win.h"
#include "text.h"
#include "texts.h"
#include <shellapi.h>

namespace fw {

using namespace forms;

// Blue links turn violet under the mouse.
constexpr TColor kLinkColor = 0x00FF0000;
constexpr TColor kLinkHoverColor = 0x00FF20C0;

bool TOptionDlgBox::FileExists(const char16_t* path) {
    DWORD a = GetFileAttributesW(W(path));
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

void TOptionDlgBox::ShowMessage(const char16_t* text, MessageIcon icon) {
    MessageBoxW(Handle(), W(text), W(Texts().caption),
                MB_OK | (icon == MessageIcon::Error ? MB_ICONERROR : MB_ICONINFORMATION));
}

namespace {

// regsvr32 waits for the consent prompt too: a person may take a while.
constexpr DWORD kRegsvr32WaitMs = 10 * 60 * 1000;

// Waits up to `ms` for `process` to end. Meanwhile the windows repaint (the
// message boxes come and go over them) but take no input: keys and clicks
// made during the wait are dropped, so nothing reacts to them later.
bool WaitPainting(HANDLE process, DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        DWORD spent = GetTickCount() - start;
        if (spent >= ms) return false;
        DWORD r = MsgWaitForMultipleObjects(1, &process, FALSE, ms - spent, QS_PAINT | QS_INPUT | QS_SENDMESSAGE);
        if (r == WAIT_OBJECT_0) return true;
        if (r != WAIT_OBJECT_0 + 1) return false;
        MSG m;
        while (PeekMessageW(&m, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
        }
        while (PeekMessageW(&m, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
        }
        while (PeekMessageW(&m, nullptr, WM_NCMOUSEMOVE, WM_NCMBUTTONDBLCLK, PM_REMOVE)) {
        }
        while (PeekMessageW(&m, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageW(&m);
    }
}

}  // namespace

bool TOptionDlgBox::RunRegsvr32Process(const char16_t* params, uint32_t* exitCode) {
    // The system's own copy by its full path: a regsvr32.exe beside the
    // program or in the current folder must never be started elevated. A
    // 32-bit program on 64-bit Windows gets the 32-bit system folder, whose
    // regsvr32 registers 64-bit DLLs too.
    wchar_t program[MAX_PATH];
    UINT n = GetSystemDirectoryW(program, MAX_PATH);
    if (n == 0 || n >= MAX_PATH || !TextAppend(U(program), MAX_PATH, u"\\regsvr32.exe")) return false;

    SHELLEXECUTEINFOW sei = {};
    sei.cbSize = sizeof sei;
    sei.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    sei.hwnd = Handle();
    sei.lpVerb = L"runas";
    sei.lpFile = program;
    sei.lpParameters = W(params);
    sei.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&sei) || !sei.hProcess) return false;
    ScopedHandle process(sei.hProcess);
    if (!WaitPainting(process.Get(), kRegsvr32WaitMs)) return false;  // no result to read
    DWORD code = 1;
    bool got = GetExitCodeProcess(process.Get(), &code) != 0;
    *exitCode = got ? code : 1;
    return true;
}

// The rules and options are gone from the store: the window must not hold
// them any more, or OK and Apply would write them all back.
void TOptionDlgBox::DeleteSettings() {
    SetupSide::DeleteSettings();
    ReloadSettings();
}

bool TOptionDlgBox::Is64BitWindows() {
    SYSTEM_INFO si = {};
    GetNativeSystemInfo(&si);
    return si.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
           si.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64;
}

void TOptionDlgBox::CloseRegTool() { fw::CloseRegTool(); }

void TOptionDlgBox::StartRegTool() {
    CloseRegTool();
    char16_t program[kPathChars];
    ProgramPath(program, kPathChars);
    char16_t regTool[kSetupPathChars];
    if (!SiblingPath(regTool, kSetupPathChars, program, u"FwReg.exe")) return;
    ShellExecuteW(nullptr, L"open", W(regTool), nullptr, nullptr, SW_SHOWNORMAL);
}

bool TOptionDlgBox::DelRegChecked() { return cbDelReg->Checked(); }

void TOptionDlgBox::ProgramPath(char16_t* out, size_t cap) {
    DWORD n = GetModuleFileNameW(nullptr, W(out), static_cast<DWORD>(cap));
    // A cut path names another file: take none.
    if (n == 0 || n >= cap) out[0] = 0;
}

void TOptionDlgBox::OpenDocument(HWND owner, const char16_t* target) {
    ShellExecuteW(owner, L"open", W(target), L"", nullptr, SW_SHOWNORMAL);
}

void TOptionDlgBox::btnHelpClick() {
    char16_t program[kPathChars];
    ProgramPath(program, kPathChars);
    char16_t help[kSetupPathChars];
    if (program[0] && HelpFilePath(help, kSetupPathChars, program)) OpenDocument(Handle(), help);
}

void TOptionDlgBox::AboutSheetResize() {
    int d = AboutShift(RuleSheet->Width(), aboutRuleSheetWidth);
    imgIcon->SetLeft(aboutIconLeft + d);
    lblCR->SetLeft(aboutCRLeft + d);
    lblSoftType->SetLeft(aboutSoftTypeLeft + d);
    gbContact->SetLeft(aboutContactLeft + d);
}

void TOptionDlgBox::hlblMailMouseEnter(TObject* Sender) {
    static_cast<TControl*>(Sender)->SetFontColor(kLinkHoverColor);
}

void TOptionDlgBox::hlblMailMouseLeave(TObject* Sender) { static_cast<TControl*>(Sender)->SetFontColor(kLinkColor); }

void TOptionDlgBox::hlblMailClick() {
    char16_t target[128] = u"mailto:";
    TextAppend(target, 128, Texts().mailAddress);
    OpenDocument(nullptr, target);
}

void TOptionDlgBox::hlblURLClick() { OpenDocument(nullptr, Texts().webAddress); }

}  // namespace fw
