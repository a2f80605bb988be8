// The Rules page's export and import on the window side: the common file
// dialog, the question and the messages. The work is ExportRulesFromWindow
// and ImportRulesIntoWindow's.
#include "option_dialog_box.h"
#include "rules_file_win.h"
#include "texts.h"
#include <commdlg.h>
#include <string>

namespace fw {

void TOptionDlgBox::OnExportRules() { ExportRulesFromWindow(*this, *this); }

void TOptionDlgBox::OnImportRules() {
    ImportRulesIntoWindow(*this, *this);
    lvList->SetFocus();
}

bool TOptionDlgBox::PickRulesFile(bool save, char16_t* path) {
    // "Registration files (*.reg)", then its pattern: pairs of texts, each ended by a NUL.
    std::wstring filter = W(Texts().rulesFileFilter);
    filter.push_back(L'\0');
    filter += L"*.reg";
    filter.push_back(L'\0');
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = Handle();
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = W(path);
    ofn.nMaxFile = static_cast<DWORD>(kRulesPathChars);
    ofn.lpstrDefExt = L"reg";
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    BOOL ok = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
    path[kRulesPathChars - 1] = 0;
    return ok != FALSE;
}

ImportChoice TOptionDlgBox::AskImportChoice(const char16_t* question) {
    switch (MessageBoxW(Handle(), W(question), W(Texts().caption), MB_YESNOCANCEL | MB_ICONQUESTION)) {
        case IDYES: return ImportChoice::Replace;
        case IDNO: return ImportChoice::Append;
        default: return ImportChoice::Cancel;
    }
}

void TOptionDlgBox::ShowExchangeProblem(const char16_t* text) {
    MessageBoxW(Handle(), W(text), W(Texts().caption), MB_OK | MB_ICONWARNING);
}

RulesFileSide& TOptionDlgBox::RulesFiles() { return WindowsRulesFiles(); }

}  // namespace fw
