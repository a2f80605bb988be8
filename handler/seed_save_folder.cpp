#include "seed_save_folder.h"
#include "host_contract.h"
#include "reg_helpers.h"
#include "results.h"
#include "save_folder.h"
#include "save_folder_logic.h"
#include "scoped_win.h"
#include "win.h"

namespace fw {
namespace {

// A protected-mode process may not write the dialog's places: it leaves the
// folder in the hand-off key and has the RegTool apply it. The send returns
// only after the RegTool handled the message, so the folder is in place
// before the download goes back to Internet Explorer; but never later than
// kHandOffWaitMs, since the browser's download waits meanwhile.
void HandOff(const char16_t* folder) {
    char16_t path[kHandOffPathChars];
    if (!HandOffKeyPath(path, kHandOffPathChars)) return;
    WriteRegString(RegRoot::CurrentUser, path, kHandOffValue, folder);
    HWND regTool = FindWindowW(W(kRegToolClass), W(kRegToolTitle));
    DWORD_PTR answer = 0;
    if (regTool) SendMessageTimeoutW(regTool, WM_APPLY_FOLDER, 0, 0, SMTO_ABORTIFHUNG, kHandOffWaitMs, &answer);
}

}  // namespace

int InProtectedMode() {
    // Loaded afresh on every call: nothing about the host is remembered.
    ScopedModule ieframe(LoadLibraryW(W(kProtectedModeDll)));
    if (!ieframe) return 0;
    FARPROC proc = GetProcAddress(ieframe.Get(), kProtectedModeExport);
    if (!proc) return 0;
    auto query = reinterpret_cast<IEIsProtectedModeProcessFn>(reinterpret_cast<void*>(proc));
    BOOL isProtected = FALSE;
    // S_FALSE and failures alike mean it could not tell.
    return query(&isProtected) == S_OK ? isProtected : 0;
}

int SeedSaveFolder(const char16_t* folder) {
    if (!folder || !folder[0]) return kSeedAnswer;
    if (InProtectedMode())
        HandOff(folder);
    else
        ApplySaveFolder(folder);
    return kSeedAnswer;
}

}  // namespace fw
