// The per-user settings store, HKEY_CURRENT_USER\Software\Fwise: the rules
// and options the settings program writes and the download handler reads
// afresh on every download. The RegTool only reads the folders, to check a
// handed-off one. Nothing else touches that key.
#pragma once
#include "results.h"
#include <cstdint>

namespace fw {

inline constexpr const char16_t* kSettingsKey = u"Software\\Fwise";

// Value names. Rule values carry their index in front: "%04d" + suffix.
inline constexpr const char16_t* kNum = u"Num";
inline constexpr const char16_t* kUseDefault = u"UseDefault";
inline constexpr const char16_t* kDefaultFolder = u"DefaultFolder";
inline constexpr const char16_t* kParseUrl = u"ParseURL";
// Opt-in: the file name from the server's Content-Disposition header is the
// name source of a resolved download. On only if exactly 1, in both programs.
inline constexpr const char16_t* kUseContentDisposition = u"UseContentDisposition";
inline constexpr const char16_t* kGuiFontFace = u"GUIFontFace";
inline constexpr const char16_t* kGuiCharSet = u"GUICharSet";
inline constexpr const char16_t* kTypeSuffix = u"Type";
inline constexpr const char16_t* kRuleSuffix = u"Rule";
inline constexpr const char16_t* kFolderSuffix = u"Folder";

// Rule types; the order of the rules is their priority.
enum RuleType : uint32_t { kNameRule = 0, kExtensionRule = 1, kUrlRule = 2 };

// Buffer sizes in UTF-16 units, terminator included.
constexpr uint32_t kPathChars = 260;      // paths, folders in the settings program
constexpr uint32_t kRuleChars = 513;      // rule texts: the rule box takes 512
constexpr uint32_t kFolderChars = 324;    // the handler's folder buffer
constexpr uint32_t kValueNameChars = 260;

// The stored number, or `def` when the value is missing, unreadable, not a
// REG_DWORD or not exactly 4 bytes.
uint32_t ReadSettingDword(const char16_t* name, uint32_t def);

// `buf` (capacity `cb` bytes) gets the stored text, or a copy of `def` when
// the value is missing, not text, larger than the buffer or unterminated.
// The buffer always ends up terminated.
void ReadSettingString(const char16_t* name, const char16_t* def, char16_t* buf, uint32_t cb);

// Both create the key when it is missing. kDone on success, else kFailed.
int WriteSettingDword(const char16_t* name, uint32_t value);
int WriteSettingString(const char16_t* name, const char16_t* text);

// True when a value of that name exists, whatever its type or size.
bool SettingStored(const char16_t* name);

// A "Num" larger than the rules stored (hand-edited or corrupt, up to 2^31)
// must not walk every index: both readers stop after this many indices in a
// row for which RuleIndexEmpty holds. The settings program always writes the
// indices 0 .. Num-1 without a gap, so no store it writes is cut short.
constexpr int32_t kRuleGapLimit = 256;

// What a reader takes for a rule value that is not read. The handler takes
// "" (an empty text skips the rule), the settings program "ERR" (the row
// shows that something is missing).
struct RuleDefaults {
    uint32_t type;
    const char16_t* text;
    const char16_t* folder;
};

// Reads rule `index`: its "%04dType" (returned), then its "%04dRule" into
// `text` (capacity `textBytes`), then, only when `folder` is not null, its
// "%04dFolder" into `folder` (capacity `folderBytes`). Each value is read as
// ReadSettingDword / ReadSettingString read it, so the buffers always end up
// terminated.
uint32_t ReadRule(int32_t index, const RuleDefaults& def, char16_t* text, uint32_t textBytes,
                  char16_t* folder = nullptr, uint32_t folderBytes = 0);

// Only the "%04dFolder" of rule `index`: the handler reads it for the rule
// that matched and no other.
void ReadRuleFolder(int32_t index, const char16_t* def, char16_t* folder, uint32_t folderBytes);

// Writes rule `index`'s three values in the order Type, Rule, Folder, all
// three even when one fails. kDone when all three were written.
int WriteRule(int32_t index, uint32_t type, const char16_t* text, const char16_t* folder);

// True when none of the index's three values exists, of whatever type or
// size: the one meaning of "an index with nothing stored" for the gap limit.
// A Folder alone counts as stored, as the settings program lists such an
// index as a row; both programs therefore walk the same indices.
bool RuleIndexEmpty(int32_t index);

// Removes the key and everything under it.
void DeleteSettings();

// Name of a rule value ("0007Folder"); false when it does not fit.
bool RuleValueName(char16_t* dst, uint32_t cap, int32_t index, const char16_t* suffix);

}  // namespace fw
