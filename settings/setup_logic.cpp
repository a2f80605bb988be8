#include "setup_logic.h"
#include "text.h"
#include "texts.h"

namespace fw {

bool SiblingPath(char16_t* out, size_t cap, const char16_t* programPath, const char16_t* name) {
    out[0] = 0;
    const char16_t* slash = TextRChr(programPath, u'\\');
    if (!slash) return false;
    size_t dirLen = static_cast<size_t>(slash - programPath) + 1;
    if (dirLen >= cap) return false;
    for (size_t i = 0; i < dirLen; ++i) out[i] = programPath[i];
    out[dirLen] = 0;
    if (!TextAppend(out, cap, name)) {
        out[0] = 0;
        return false;
    }
    return true;
}

bool HelpFilePath(char16_t* out, size_t cap, const char16_t* programPath) {
    if (!TextCopy(out, cap, programPath)) {
        out[0] = 0;
        return false;
    }
    // Only a dot in the file name itself starts the extension.
    char16_t* dot = const_cast<char16_t*>(TextRChr(out, u'.'));
    const char16_t* slash = TextRChr(out, u'\\');
    if (dot && (!slash || dot > slash)) *dot = 0;
    if (!TextAppend(out, cap, u".chm")) {
        out[0] = 0;
        return false;
    }
    return true;
}

bool BuildRegsvr32Params(char16_t* out, size_t cap, const char16_t* dllPath, bool install) {
    out[0] = 0;
    bool ok = TextAppend(out, cap, u"/s ") && (install || TextAppend(out, cap, u"/u ")) &&
              TextAppend(out, cap, u"\"") && TextAppend(out, cap, dllPath) && TextAppend(out, cap, u"\"");
    if (!ok) out[0] = 0;
    return ok;
}

namespace {

void ShowNotFound(SetupSide& side, const char16_t* path) {
    char16_t text[kSetupPathChars + 32];
    TextCopy(text, sizeof text / sizeof *text, path);
    TextAppend(text, sizeof text / sizeof *text, Texts().notFound);
    side.ShowMessage(text, MessageIcon::Error);
}

void ShowNotice(SetupSide& side, bool install, bool is64) {
    const TextSet& t = Texts();
    char16_t text[256];
    TextCopy(text, 256, is64 ? t.notice64Start : t.notice32Start);
    TextAppend(text, 256, install ? t.noticeInstall : t.noticeUninstall);
    TextAppend(text, 256, is64 ? t.notice64End : t.notice32End);
    side.ShowMessage(text, MessageIcon::Information);
}

void ShowOutcome(SetupSide& side, bool install, bool success) {
    const TextSet& t = Texts();
    if (success)
        side.ShowMessage(install ? t.installed : t.uninstalled, MessageIcon::Information);
    else
        side.ShowMessage(install ? t.installFailed : t.uninstallFailed, MessageIcon::Error);
}

}  // namespace

bool RunRegsvr32(SetupSide& side, const char16_t* path, bool install, bool deleteSettings) {
    if (!side.FileExists(path)) {
        ShowNotFound(side, path);
        return false;
    }
    char16_t params[kRegsvrParamChars];
    uint32_t exitCode = 1;
    if (!BuildRegsvr32Params(params, kRegsvrParamChars, path, install) ||
        !side.RunRegsvr32Process(params, &exitCode)) {
        // Nothing ran: no exit code to read, and no uninstallation took
        // place that the settings should follow.
        ShowOutcome(side, install, false);
        return false;
    }
    if (deleteSettings) side.DeleteSettings();
    ShowOutcome(side, install, exitCode == kRegsvr32Done);
    return exitCode == kRegsvr32Done;
}

void OnSetupDll(SetupSide& side, SetupAction action) {
    bool install = action == SetupAction::Install;
    bool deleteSettings = !install && side.DelRegChecked();
    char16_t program[kPathChars];
    side.ProgramPath(program, kPathChars);
    char16_t dll32[kSetupPathChars];
    char16_t dll64[kSetupPathChars];
    bool pathsOk = SiblingPath(dll32, kSetupPathChars, program, u"Fwise.dll");
    pathsOk = SiblingPath(dll64, kSetupPathChars, program, u"Fwise64.dll") && pathsOk;

    if (!install) side.CloseRegTool();
    if (!pathsOk) {
        // Without a folder of its own there is no DLL to take: never one
        // looked up in the current folder.
        ShowNotFound(side, u"Fwise.dll");
        if (!install) side.StartRegTool();
        return;
    }
    bool is64 = side.Is64BitWindows();
    if (is64) ShowNotice(side, install, false);
    bool done = RunRegsvr32(side, dll32, install, deleteSettings);
    if (!done && install) return;
    if (done && is64) {
        ShowNotice(side, install, true);
        done = RunRegsvr32(side, dll64, install, deleteSettings);
    }
    // After a failed uninstallation a handler is still registered and needs
    // its RegTool, which was closed before the first run.
    if (install || !done) side.StartRegTool();
}

}  // namespace fw
