// The settings program's load over a random store (any value of any type and
// size, any "Num"), shown in the window-less fake: it returns, every row's
// texts fit the boxes, and saving then loading again gives the same rows.
#include "../settings/fake_option_dlg.h"
#include "fuzz_input.h"
#include "registry_mem.h"
#include "settings_store.h"
#include "text.h"
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const char16_t* const kNames[] = {u"Num",        u"UseDefault", u"DefaultFolder", u"ParseURL",   u"GUIFontFace",
                                  u"GUICharSet", u"0000Type",   u"0000Rule",      u"0000Folder", u"0001Type",
                                  u"0001Rule",   u"0001Folder", u"0300Rule",      u"0002Folder"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fw::mem::Reset();
    FuzzInput in{data, size};
    int values = in.Byte() % 16;
    for (int i = 0; i < values; ++i) {
        const char16_t* name = kNames[in.Byte() % (sizeof kNames / sizeof kNames[0])];
        uint32_t type = in.Byte() % 5;
        size_t len = in.Byte();
        if (in.Byte() & 1) len *= 8;  // now and then longer than any box
        auto bytes = in.Bytes(len);
        fw::SetRegValue(fw::RegRoot::CurrentUser, fw::kSettingsKey, name, type, bytes.empty() ? nullptr : bytes.data(),
                        static_cast<uint32_t>(bytes.size()));
    }
    // Any "Num" at all, huge ones included: the load must stop by itself.
    if (in.Byte() & 1) {
        auto num = in.Bytes(4);
        uint32_t v = 0;
        if (!num.empty()) std::memcpy(&v, num.data(), num.size());
        fw::WriteSettingDword(fw::kNum, v);
    }

    fw::test::FakeOptionDlg dlg;
    dlg.LoadSettings();
    if (dlg.Changed()) std::abort();
    if (dlg.rows.size() > 310 + fw::kRuleGapLimit) std::abort();
    for (const auto& row : dlg.rows)
        if (row.rule.size() >= fw::kRuleChars || row.folder.size() >= fw::kPathChars) std::abort();

    std::vector<fw::test::FakeRow> first = dlg.rows;
    if (!dlg.SaveSettings()) std::abort();
    fw::test::FakeOptionDlg again;
    again.LoadSettings();
    if (again.rows.size() != first.size()) std::abort();
    for (size_t i = 0; i < first.size(); ++i)
        if (again.rows[i].type != first[i].type || again.rows[i].rule != first[i].rule ||
            again.rows[i].folder != first[i].folder)
            std::abort();
    return 0;
}
