// Any bytes as a rules file: the reader returns, and what it accepts holds
// only store values within their lengths, survives writing and reading
// again unchanged, and loads into the settings program's rows.
#include "../settings/fake_option_dlg.h"
#include "registry.h"
#include "rules_file.h"
#include "text.h"
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fw::ValueList values;
    fw::RulesFileRefusal why;
    if (!fw::ReadRulesFile(data, size, fw::DecodeLatin1, &values, &why)) {
        if (!values.Values().empty()) std::abort();
        if (fw::TextLenBounded(why.reason, sizeof why.reason / sizeof why.reason[0]) == 0) std::abort();
        return 0;
    }
    for (const auto& v : values.Values())
        if (v.type == fw::kRegSz && v.text.size() >= fw::kRuleChars) std::abort();

    std::vector<uint8_t> file;
    fw::WriteRulesFile(values, &file);
    fw::ValueList again;
    if (!fw::ReadRulesFile(file.data(), file.size(), fw::DecodeLatin1, &again, &why)) std::abort();
    if (again.Values().size() != values.Values().size()) std::abort();
    for (size_t i = 0; i < values.Values().size(); ++i) {
        const auto& a = values.Values()[i];
        const auto& b = again.Values()[i];
        if (a.name != b.name || a.type != b.type || a.number != b.number || a.text != b.text) std::abort();
    }

    fw::test::FakeOptionDlg dlg;
    dlg.LoadSettings(values);
    if (dlg.rows.size() != values.ReadDword(fw::kNum, 0)) std::abort();
    return 0;
}
