// The English build's texts.
#include "fw_version.h"
#include "texts.h"

namespace fw {

static const TextSet kEnglish = {
    u"Folderwise",
    u"Rules",
    u"General",
    u"Setup",
    u"About",
    u"OK",
    u"Cancel",
    u"Apply",
    u"Help",

    u"File name, File extension, URL",
    u"Download folder",
    u"Add \"File name\" or \"File extension\" rule  [Ctrl + I], [INS]",
    u"Add an \"URL\" rule  [Ctrl + U]",
    u"Edit the current rule  [Enter]",
    u"Delete the current rule  [Ctrl + D], [DEL]",
    u"Raise a priority of the current rule  [CTRL + Up]",
    u"Lower a priority of the current rule  [CTRL + Down]",

    u"Open with &default download folder if no rule at all matches",
    u"&Parse redirect URLs and URLs with arguments",
    u"Parse redirect URLs and URLs with arguments such as CGI/PHP URL  "
    u"(e.g. http:// ..... /download.cgi?file=test.txt?id=123)  to avoid misidentifying the URL.",
    u"GUI font",
    u"FontFace",
    u"CharSet",
    u"Change GUI &font...",

    u"Installation / Uninstallation",
    u"Do following steps to install or uninstall the \"Folderwise\"",
    u"Installation/Uninstallation will require administrator password if the current user "
    u"doesn't have an administrator privilege.",
    u"Installation / Uninstallation requires an administrator privilege.\n"
    u"Other user will get failed to install / uninstall.",
    u"Step 1. Close all Internet Explorer",
    u"Step 2. Click the [Install...] or [Uninstall...] button",
    u"&Install...",
    u"&Uninstall...",
    u"&Remove rule options",
    u"not found",
    u"Now start ",
    u"Now start ",
    u"I",
    u"Uni",
    u"nstallation for the 32bit DLL",
    u"nstallation for the 64bit DLL",
    u"Installed the \"Folderwise\" successfully.",
    u"Uninstalled the \"Folderwise\" successfully.",
    u"Failed to install the \"Folderwise\".",
    u"Failed to uninstall the \"Folderwise\".",

    u"Folderwise",
    // 49 blanks put the centred text right of the page's middle.
    u"                                                 Version " FW_VERSION_SHORT,
    u"Copyright (C) 2026 The Folderwise developers",
    u"Free software",
    u" Contact ",
    u"Mail :",
    u"URL :",
    u"folderwise@example.org",
    u"https://example.org/folderwise/",

    u"Discard changes and exit now?",
    u"The settings could not be saved.",
    u"Select a folder",

    u"Folderwise - Rule property",
    u"Download folder",
    u"File name or File extension",
    u"URL",
    u"- File name is used as a pattern (i.e.  \"abc\" matches with \"http://..../123abc123.txt\")\n"
    u"- File extension must begin with dot (e.g.  \".txt\",  \".wmv\" and so on)\n"
    u"- Ignore case-sensitive",
    u"- Set substring (e.g.  \"www.example.com\",  \"/abc/def\" and so on)\n"
    u"- Ignore case-sensitive",

    u"Arial",
    1,
    u"Arial",
    0,
};

static const LayoutSet kEnglishLayout = {
    29, 332, 367, 295, 160, 180, 206, 176, 202, 32, 234, 195, 49, 543, 33, 212, 145, 14, 11, 551, 23,
    nullptr, nullptr, 0,
};

const TextSet& Texts() { return kEnglish; }
const LayoutSet& Layout() { return kEnglishLayout; }

}  // namespace fw
