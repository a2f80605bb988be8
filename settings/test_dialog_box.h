// TTestDlgBox: "Why this folder?". Tests a download address against the
// rules on screen with the handler's own matching, following script and
// redirect addresses on a worker thread as the handler would.
#pragma once
#include "forms/forms.h"
#include "rule_tester.h"
#include <string>
#include <vector>

namespace fw {

// The rules and General-page settings as on screen, unsaved changes
// included; copies, so the main window may change while the dialog runs.
struct TestDialogData {
    struct Rule {
        uint32_t type;
        std::u16string rule, folder;
    };
    std::vector<Rule> rules;
    bool useDefault = false;
    std::u16string defaultFolder;
    bool follow = false;      // preset of the check box (the General page's cbParseURL)
    std::u16string address;   // preset of the address box; empty: from the clipboard
    int32_t matched = -1;     // out: the rule the last test matched, -1 for none
};

// Shows the tester modally over `owner`, whose image list `images` gives
// the rule pictures. Returns data.matched.
int32_t RunTestDialog(forms::TForm* owner, forms::TImageList* images, TestDialogData& data);

// An http, https, ftp or file address on the clipboard, else empty.
std::u16string ClipboardAddress();

}  // namespace fw
