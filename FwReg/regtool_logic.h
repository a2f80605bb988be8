// The RegTool's decisions, over the registry seam: which policy lets it run
// and what a hand-off hands over. No Windows types here, so they are tested
// natively against the in-memory registry as well as under Wine.
#pragma once
#include "results.h"
#include <cstdint>

namespace fw {

inline constexpr const char16_t* kRegToolMutex = u"__FWREG_Mutex__";
inline constexpr const char16_t* kPolicySystemKey =
    u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
inline constexpr const char16_t* kConsentPromptValue = u"ConsentPromptBehaviorAdmin";

// The RegTool needs integrity levels, which Windows has from version 6 on.
constexpr uint32_t kRegToolMinMajorVersion = 6;

inline constexpr const char16_t* kEnableLuaValue = u"EnableLUA";

// True when the administrators' consent prompt is on: the policy value can be
// read into 4 bytes and they are not all 0. Its registry type is not looked
// at. A missing key or value, or a value wider than 4 bytes (its leading bytes
// would be undefined), counts as off.
bool AdminConsentPromptEnabled();

// Whether the RegTool is to run: when the consent prompt is on, or when
// "EnableLUA" (same key, read the same way) says that UAC is on. A consent
// value of 0 means "elevate without prompting", with protected mode still
// on; only when neither value says yes is there no protected mode to serve.
bool RegToolPolicyAllows();

// True when `folder` equals, case ignored, the folder of one of the user's
// rules or the default folder, as the settings store holds them now. The
// hand-off key is writable at low integrity: any other folder (a share of an
// attacker's choosing, the Startup folder) is not the user's and is not
// applied. The handler never hands off anything else.
bool IsUserFolder(const char16_t* folder);

// Reads the "DownloadFolder" text of the hand-off key `keyPath` into `folder`
// (capacity `cbFolder` bytes), then deletes that key with everything under it,
// whether or not a value was there. Only a whole text counts: a value that is
// not text, does not fit the buffer, or has no terminator inside it is taken
// as missing. Returns kDone when there is a folder to apply (not empty), else kFailed
// with `folder` empty.
int TakeHandOffFolder(const char16_t* keyPath, char16_t* folder, uint32_t cbFolder);

}  // namespace fw
