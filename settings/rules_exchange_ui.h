// Export and import from the Rules page: the common file dialog, the file,
// and the screen. What is on screen goes out (unsaved changes included);
// what comes in replaces the list or is added after it, as unsaved changes.
#pragma once
#include "option_logic.h"
#include "rules_file.h"
#include <cstddef>

namespace fw {

constexpr size_t kRulesPathChars = 1024;  // the file dialogs' path buffer

enum class ImportChoice : uint8_t { Replace, Append, Cancel };

// What export and import need from the window.
class ExchangeWindow {
public:
    virtual ~ExchangeWindow() = default;
    // The common file dialog for registration files; `path` (kRulesPathChars
    // units) in and out. false: cancelled.
    virtual bool PickRulesFile(bool save, char16_t* path) = 0;
    virtual ImportChoice AskImportChoice(const char16_t* question) = 0;
    virtual void ShowExchangeProblem(const char16_t* text) = 0;
    virtual RulesFileSide& RulesFiles() = 0;
};

void ExportRulesFromWindow(OptionDlgLogic& dlg, ExchangeWindow& window);
void ImportRulesIntoWindow(OptionDlgLogic& dlg, ExchangeWindow& window);

}  // namespace fw
