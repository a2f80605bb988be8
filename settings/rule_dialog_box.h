// TRuleDlgBox: edits one rule; created for each use by ShowRuleDialog.
#pragma once
#include "forms/forms.h"

namespace fw {

using namespace fw::forms;

class TRuleDlgBox : public TForm {
public:
    explicit TRuleDlgBox(TForm* owner);

    TPanel* pnlMain;
    TLabel* lblRule;
    TEdit* eRule;
    TImage* imgInform;
    TLabel* lblInform;
    TLabel* lblFolder;
    TEdit* eFolder;
    TFlatButton* btnBrowseDefault;
    TButton* btnOK;
    TButton* btnCancel;

    void FormCanResize(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize);
    void eRuleChange(TObject* Sender);
    void btnBrowseDefaultClick(TObject* Sender);

private:
    int minWidth_ = 0;
    int minHeight_ = 0;
};

}  // namespace fw
