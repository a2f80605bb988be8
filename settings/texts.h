// Every text the settings program shows, in one table per language build.
// The program reads them only through Texts(); a language build links the
// one texts_*.cpp of its language. The tables set every member by name, in
// the order declared here: a text left out or out of place does not compile.
#pragma once
#include <cstdint>

namespace fw {

struct TextSet {
    // Main window
    const char16_t* caption;  // window caption, task-bar text and message-box caption
    const char16_t* tabRules;
    const char16_t* tabGeneral;
    const char16_t* tabSetup;
    const char16_t* tabAbout;
    const char16_t* btnOK;
    const char16_t* btnCancel;
    const char16_t* btnApply;
    const char16_t* btnHelp;

    // Rules page
    const char16_t* colRule;
    const char16_t* colFolder;
    const char16_t* hintAddByName;
    const char16_t* hintAddByUrl;
    const char16_t* hintEdit;
    const char16_t* hintDelete;
    const char16_t* hintUp;
    const char16_t* hintDown;

    // General page
    const char16_t* cbUseDefault;
    const char16_t* cbParseURL;
    const char16_t* cbUseContentDisposition;
    const char16_t* lblInformParase;
    const char16_t* lblChangeFont;
    const char16_t* lblFontFace;
    const char16_t* lblCharSet;
    const char16_t* btnChangeFont;

    // Setup page
    const char16_t* gbInstall;
    const char16_t* lblSetupExp;
    const char16_t* lblInformSetup;
    const char16_t* lblInformSetupOldWindows;  // null: the build keeps lblInformSetup everywhere
    const char16_t* label1;
    const char16_t* label2;
    const char16_t* btnInstall;
    const char16_t* btnUninstall;
    const char16_t* cbDelReg;
    const char16_t* notFound;           // appended to the DLL's path
    // The notice before each DLL: start + install or uninstall piece + end,
    // each of start and end for the 32-bit or the 64-bit DLL.
    const char16_t* notice32Start;
    const char16_t* notice64Start;
    const char16_t* noticeInstall;
    const char16_t* noticeUninstall;
    const char16_t* notice32End;
    const char16_t* notice64End;
    const char16_t* installed;
    const char16_t* uninstalled;
    const char16_t* installFailed;
    const char16_t* uninstallFailed;

    // About page
    const char16_t* aboutTitle;
    const char16_t* aboutVersion;
    const char16_t* aboutRights;
    const char16_t* aboutSoftType;
    const char16_t* gbContact;
    const char16_t* lblMail;
    const char16_t* lblURL;
    const char16_t* mailAddress;
    const char16_t* webAddress;

    // Messages and the folder picker
    const char16_t* closeQuestion;
    const char16_t* saveFailed;
    const char16_t* pickerTitle;

    // Rule dialog
    const char16_t* ruleCaption;
    const char16_t* lblFolder;
    const char16_t* hintFolderKey;  // the folder boxes' hint: the key that opens the folder picker
    const char16_t* lblRuleByName;
    const char16_t* lblRuleByUrl;
    const char16_t* informByName;  // lines joined by line feeds
    const char16_t* informByUrl;

    // Fonts
    const char16_t* defaultFontFace;  // GUI font when the store holds none
    uint32_t defaultCharSet;
    const char16_t* layoutFontFace;   // the forms' own font before the GUI font applies
    uint32_t layoutCharSet;

    // Rules page: export and import
    const char16_t* hintExport;
    const char16_t* hintImport;
    const char16_t* rulesFileFilter;  // the file dialogs' filter name
    const char16_t* exportFailed;     // followed by the file's path
    const char16_t* importRefused;    // followed by the file's path, a line break and the reason
    const char16_t* importQuestion;   // %d: the file's rules; lines joined by line feeds
};

const TextSet& Texts();

// Where a language build's layout differs: sizes and positions in pixels,
// and the fonts of the two controls that never follow the GUI font.
struct LayoutSet {
    int lvListTop, lvListHeight;
    int cbUseDefaultWidth, cbParseURLWidth, cbUseContentDispositionWidth;
    int lblChangeFontTop, lblFontFaceTop, lblCharSetTop;
    int eFontFaceTop, eCharSetTop;
    int btnChangeFontLeft, btnChangeFontTop;
    int gbInstallHeight;
    int lblInformTop, lblInformWidth, lblInformHeight;  // Setup page
    int cbDelRegLeft, cbDelRegWidth;
    int lblMailLeft, lblURLLeft;
    int ruleInformWidth;  // rule dialog
    int editHeight;
    const char16_t* listFontFace;  // null: the rule list follows the window font
    const char16_t* rulePanelFontFace;  // null: the rule dialog's panel follows it
    uint32_t fixedFontCharSet;
};

const LayoutSet& Layout();

// Character-set names for the General page: the first row whose number
// matches wins; the last row (number 0xFFFFFFFF) catches the rest. The same
// table serves every language build.
struct CharSetName {
    uint32_t charSet;
    const char16_t* format;  // holds one "%d"
};
extern const CharSetName kCharSetNames[];
extern const uint32_t kCharSetNameCount;

}  // namespace fw
