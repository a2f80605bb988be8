// The English build's texts.
#include "fw_version.h"
#include "texts.h"

// A text left out is an error here, not a null pointer at run time.
#pragma GCC diagnostic error "-Wmissing-field-initializers"

namespace fw {

static const TextSet kEnglish = {
    .caption = u"Folderwise",
    .tabRules = u"Rules",
    .tabGeneral = u"General",
    .tabSetup = u"Setup",
    .tabAbout = u"About",
    .btnOK = u"OK",
    .btnCancel = u"Cancel",
    .btnApply = u"Apply",
    .btnHelp = u"Help",

    .colRule = u"File name, File extension, URL",
    .colFolder = u"Download folder",
    .hintAddByName = u"Add \"File name\" or \"File extension\" rule  [Ctrl + I], [INS]",
    .hintAddByUrl = u"Add an \"URL\" rule  [Ctrl + U]",
    .hintEdit = u"Edit the current rule  [Enter]",
    .hintDelete = u"Delete the current rule  [Ctrl + D], [DEL]",
    .hintUp = u"Raise a priority of the current rule  [CTRL + Up]",
    .hintDown = u"Lower a priority of the current rule  [CTRL + Down]",

    .cbUseDefault = u"Open with &default download folder if no rule at all matches",
    .cbParseURL = u"&Parse redirect URLs and URLs with arguments",
    .cbUseContentDisposition = u"Use the file name the server sends (Content-Disposition)",
    .lblInformParase = u"Parse redirect URLs and URLs with arguments such as CGI/PHP URL  "
        u"(e.g. http:// ..... /download.cgi?file=test.txt?id=123)  to avoid misidentifying the URL.",
    .lblChangeFont = u"GUI font",
    .lblFontFace = u"FontFace",
    .lblCharSet = u"CharSet",
    .btnChangeFont = u"Change GUI &font...",

    .gbInstall = u"Installation / Uninstallation",
    .lblSetupExp = u"Do following steps to install or uninstall the \"Folderwise\"",
    .lblInformSetup = u"Installation/Uninstallation will require administrator password if the current user "
        u"doesn't have an administrator privilege.",
    .lblInformSetupOldWindows = u"Installation / Uninstallation requires an administrator privilege.\n"
        u"Other user will get failed to install / uninstall.",
    .label1 = u"Step 1. Close all Internet Explorer",
    .label2 = u"Step 2. Click the [Install...] or [Uninstall...] button",
    .btnInstall = u"&Install...",
    .btnUninstall = u"&Uninstall...",
    .cbDelReg = u"&Remove rule options",
    .notFound = u"not found",
    .notice32Start = u"Now start ",
    .notice64Start = u"Now start ",
    .noticeInstall = u"I",
    .noticeUninstall = u"Uni",
    .notice32End = u"nstallation for the 32bit DLL",
    .notice64End = u"nstallation for the 64bit DLL",
    .installed = u"Installed the \"Folderwise\" successfully.",
    .uninstalled = u"Uninstalled the \"Folderwise\" successfully.",
    .installFailed = u"Failed to install the \"Folderwise\".",
    .uninstallFailed = u"Failed to uninstall the \"Folderwise\".",

    .aboutTitle = u"Folderwise",
    // 49 blanks put the centred text right of the page's middle.
    .aboutVersion = u"                                                 Version " FW_VERSION_SHORT,
    .aboutRights = u"Copyright (C) 2026 The Folderwise developers",
    .aboutSoftType = u"Free software",
    .gbContact = u" Contact ",
    .lblMail = u"Mail :",
    .lblURL = u"URL :",
    .mailAddress = u"folderwise@example.org",
    .webAddress = u"https://example.org/folderwise/",

    .closeQuestion = u"Discard changes and exit now?",
    .saveFailed = u"The settings could not be saved.",
    .pickerTitle = u"Select a folder",

    .ruleCaption = u"Folderwise - Rule property",
    .lblFolder = u"Download folder",
    .hintFolderKey = u"F4: choose a folder",
    .lblRuleByName = u"File name or File extension",
    .lblRuleByUrl = u"URL",
    .informByName = u"- File name is used as a pattern (i.e.  \"abc\" matches with \"http://..../123abc123.txt\")\n"
        u"- File extension must begin with dot (e.g.  \".txt\",  \".wmv\" and so on)\n"
        u"- Ignore case-sensitive",
    .informByUrl = u"- Set substring (e.g.  \"www.example.com\",  \"/abc/def\" and so on)\n"
        u"- Ignore case-sensitive",

    .defaultFontFace = u"Arial",
    .defaultCharSet = 1,
    .layoutFontFace = u"Arial",
    .layoutCharSet = 0,

    .hintExport = u"Export rules\u2026",
    .hintImport = u"Import rules\u2026",
    .rulesFileFilter = u"Registration files (*.reg)",
    .exportFailed = u"The rules could not be written to this file; nothing was written:\n",
    .importRefused = u"Nothing was imported; the rules are as they were. This file was refused:\n",
    .importQuestion = u"Replace the rule list with the %d rules of this file?\n\n"
        u"Yes: the file's rules and options take the place of the list and the options.\n"
        u"No: the file's rules are added after the list.",
};

static const LayoutSet kEnglishLayout = {
    .lvListTop = 29,
    .lvListHeight = 332,
    .cbUseDefaultWidth = 367,
    .cbParseURLWidth = 295,
    .cbUseContentDispositionWidth = 380,
    .lblChangeFontTop = 184,
    .lblFontFaceTop = 204,
    .lblCharSetTop = 230,
    .eFontFaceTop = 200,
    .eCharSetTop = 226,
    .btnChangeFontLeft = 32,
    .btnChangeFontTop = 258,
    .gbInstallHeight = 195,
    .lblInformTop = 49,
    .lblInformWidth = 543,
    .lblInformHeight = 33,
    .cbDelRegLeft = 212,
    .cbDelRegWidth = 145,
    .lblMailLeft = 14,
    .lblURLLeft = 11,
    .ruleInformWidth = 551,
    .editHeight = 23,
    .listFontFace = nullptr,
    .rulePanelFontFace = nullptr,
    .fixedFontCharSet = 0,
};

const TextSet& Texts() { return kEnglish; }
const LayoutSet& Layout() { return kEnglishLayout; }

}  // namespace fw
