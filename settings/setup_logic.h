// The Setup page (installing and uninstalling the download handler through
// regsvr32) and the small path and layout rules of the Help button and the
// About page, apart from Windows: SetupSide is the window and the system, a
// fake one in the native tests.
#pragma once
#include "settings_store.h"
#include <cstddef>
#include <cstdint>

namespace fw {

// A path of the program's folder plus a file name, and regsvr32's parameters
// ("/s /u " + a quoted path) fit in these.
constexpr size_t kSetupPathChars = kPathChars + 16;
constexpr size_t kRegsvrParamChars = kSetupPathChars + 8;

// regsvr32's exit code when it did what it was asked.
constexpr uint32_t kRegsvr32Done = 0;

enum class MessageIcon : uint8_t { Information, Error };

// The Setup page's two buttons; the values are their Tags.
enum class SetupAction : int32_t { Install = 0, Uninstall = 1 };

class SetupSide {
public:
    virtual ~SetupSide() = default;
    virtual bool FileExists(const char16_t* path) = 0;
    // A message box owned by the main window, caption "Folderwise", OK only.
    virtual void ShowMessage(const char16_t* text, MessageIcon icon) = 0;
    // Starts the system's regsvr32 elevated with `params` and waits for it.
    // False when no process was started (the prompt declined, no program).
    virtual bool RunRegsvr32Process(const char16_t* params, uint32_t* exitCode) = 0;
    virtual bool Is64BitWindows() = 0;
    virtual void CloseRegTool() = 0;
    virtual void StartRegTool() = 0;
    virtual bool DelRegChecked() = 0;
    // The running program's full path.
    virtual void ProgramPath(char16_t* out, size_t cap) = 0;
    virtual void DeleteSettings() { fw::DeleteSettings(); }
};

// Everything up to and including the last backslash of `programPath`, then
// `name`. False (and `out` empty) when there is no backslash or it does not fit.
bool SiblingPath(char16_t* out, size_t cap, const char16_t* programPath, const char16_t* name);

// The help file: the program's path with its extension replaced by ".chm"
// (a name without extension gets one). False when it does not fit.
bool HelpFilePath(char16_t* out, size_t cap, const char16_t* programPath);

// "/s ", "/u " for an uninstallation, then the path in double quotes.
bool BuildRegsvr32Params(char16_t* out, size_t cap, const char16_t* dllPath, bool install);

// How far the About page's lower block moves: half the Rules page's change of
// width, truncated toward zero.
inline int32_t AboutShift(int32_t width, int32_t recordedWidth) { return (width - recordedWidth) / 2; }

// True exactly when regsvr32 ended with exit code 0; any other code, 5 for an
// unregistration included, is reported as the failure it is.
bool RunRegsvr32(SetupSide& side, const char16_t* path, bool install, bool deleteSettings);

// The OnClick of btnInstall and btnUninstall. An uninstallation closes the
// RegTool first and starts it again when it did not get through, since the
// handler is then still registered.
void OnSetupDll(SetupSide& side, SetupAction action);

}  // namespace fw
