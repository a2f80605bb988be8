#include "browse_folder.h"
#include "scoped_win.h"
#include "settings_store.h"
#include "texts.h"
#include <shlobj.h>

namespace fw {

int CALLBACK BrowseCallbackProc(HWND hwnd, UINT msg, LPARAM, LPARAM data) {
    if (msg == BFFM_INITIALIZED) SendMessageW(hwnd, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

bool BrowseForFolder(HWND owner, wchar_t* text) {
    wchar_t path[kPathChars] = {};
    BROWSEINFOW bi = {};
    bi.hwndOwner = owner;
    bi.pszDisplayName = path;
    bi.lpszTitle = W(Texts().pickerTitle);
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
    bi.lpfn = &BrowseCallbackProc;
    bi.lParam = reinterpret_cast<LPARAM>(text);
    ScopedCoMem<ITEMIDLIST_ABSOLUTE> item(SHBrowseForFolderW(&bi));
    if (!item) return false;
    bool ok = SHGetPathFromIDListW(item.Get(), path) != FALSE;
    if (ok) lstrcpynW(text, path, kPathChars);
    return ok;
}

}  // namespace fw
