#include "rules_exchange_ui.h"
#include "text.h"
#include "texts.h"
#include <string>

namespace fw {

void ExportRulesFromWindow(OptionDlgLogic& dlg, ExchangeWindow& window) {
    char16_t path[kRulesPathChars] = {};
    if (!window.PickRulesFile(true, path)) return;
    ValueList values;
    dlg.WriteSettings(values);
    std::vector<uint8_t> bytes;
    WriteRulesFile(values, &bytes);
    if (!window.RulesFiles().WriteWholeFile(path, bytes))
        window.ShowExchangeProblem((std::u16string(Texts().exportFailed) + path).c_str());
}

void ImportRulesIntoWindow(OptionDlgLogic& dlg, ExchangeWindow& window) {
    char16_t path[kRulesPathChars] = {};
    if (!window.PickRulesFile(false, path)) return;
    ValueList values;
    RulesFileRefusal why;
    if (!LoadRulesFile(window.RulesFiles(), path, &values, &why)) {
        char16_t reason[300];
        FormatRefusal(why, reason, 300);
        window.ShowExchangeProblem((std::u16string(Texts().importRefused) + path + u"\n" + reason).c_str());
        return;
    }
    // The question with the file's number of rules in place of "%d".
    std::u16string question = Texts().importQuestion;
    size_t mark = question.find(u"%d");
    if (mark != std::u16string::npos) {
        char16_t number[16];
        FormatDecimal(number, 16, static_cast<int32_t>(values.ReadDword(kNum, 0)));
        question.replace(mark, 2, number);
    }
    ImportChoice choice = window.AskImportChoice(question.c_str());
    if (choice == ImportChoice::Cancel) return;
    dlg.ImportSettings(values, choice == ImportChoice::Append);
}

}  // namespace fw
