#include "test_dialog_box.h"
#include "name_source.h"
#include "option_logic.h"
#include "scoped_win.h"
#include "tester_texts.h"
#include "text.h"
#include "texts.h"
#include "url_resolve.h"
#include <memory>

namespace fw {

using namespace fw::forms;

namespace {

constexpr UINT kFollowedMsg = WM_APP + 1;  // wParam: the job's number
constexpr int kAddressChars = 2084;        // the longest address Internet Explorer takes, and its end

// A marquee bar: following an address has no measure of how far it got.
class TProgressBar : public TWinControl {
public:
    explicit TProgressBar(TWinControl* parent) : TWinControl(parent) {
        width_ = 200;
        height_ = 16;
        CreateSystemWindow(0, PROGRESS_CLASSW, L"", PBS_MARQUEE);
    }
    void SetRunning(bool on) {
        SendMessageW(handle_, PBM_SETMARQUEE, on ? TRUE : FALSE, 30);
        SetVisible(on);
    }
};

// One following of an address, shared by the dialog and its worker thread;
// whichever lets go last frees it. The dialog may let go first (Cancel, or
// closing): the worker then finishes the binding and tells nobody.
struct FollowJob {
    LONG refs = 2;
    CRITICAL_SECTION lock;
    HWND notify = nullptr;
    WPARAM number = 0;
    std::wstring url;
    wchar_t* finalUrl = nullptr;  // CoTaskMem, when result is 0
    int result = kNotResolved;
};

void LetGo(FollowJob* job) {
    if (InterlockedDecrement(&job->refs) != 0) return;
    DeleteCriticalSection(&job->lock);
    CoTaskMemFree(job->finalUrl);
    delete job;
}

DWORD WINAPI FollowThread(void* arg) {
    FollowJob* job = static_cast<FollowJob*>(arg);
    {
        // The binding is synchronous and runs its callbacks on this thread.
        ScopedCoInit com;
        job->result = ResolveFinalUrl(job->url.c_str(), &job->finalUrl);
    }
    EnterCriticalSection(&job->lock);
    if (job->notify) PostMessageW(job->notify, kFollowedMsg, job->number, 0);
    LeaveCriticalSection(&job->lock);
    LetGo(job);
    return 0;
}

class TTestDlgBox : public TForm {
public:
    TTestDlgBox(TForm* owner, TImageList* images, TestDialogData& data);
    ~TTestDlgBox() override { StopFollowing(); }

    TLabel* lblAddress;
    TEdit* eAddress;
    TButton* btnTest;
    TCheckBox* cbFollow;
    TProgressBar* pbFollow;
    TLabel* lblFollowing;
    TButton* btnStop;
    TListView* lvResult;
    TButton* btnClose;

    void btnTestClick(TObject*);
    void btnStopClick(TObject*);
    void FormCanResize(int& width, int& height, bool& resize);

protected:
    LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;

private:
    void Test(const wchar_t* url, const wchar_t* followed, const wchar_t* nameSource);
    void ShowBusy(bool on);
    void StopFollowing();  // lets go of a running job; its answer is no longer wanted
    void Followed(bool cancelled);

    TestDialogData& data_;
    FollowJob* job_ = nullptr;
    WPARAM jobNumber_ = 0;
    std::wstring address_;  // the address being followed
    int minWidth_ = 0, minHeight_ = 0;
};

TTestDlgBox::TTestDlgBox(TForm* owner, TImageList* images, TestDialogData& data)
    : TForm(L"TTestDlgBox", owner, true, false), data_(data) {
    const TextSet& t = Texts();
    const TesterTexts& tt = TestTexts();
    const LayoutSet& L = Layout();
    Font().SetName(W(t.layoutFontFace));
    Font().CharSet = static_cast<BYTE>(t.layoutCharSet);
    SetFontFace(owner->Font().Name(), owner->Font().CharSet);
    SetCaption(W(tt.caption));
    SetClientSize(624, 380);
    Position = TPosition::poOwnerFormCenter;
    OnCanResize = Bind<&TTestDlgBox::FormCanResize>(this);
    const uint8_t topRight = akTop | akRight;

    lblAddress = new TLabel(this, W(tt.lblAddress));
    lblAddress->SetBounds(12, 10, 400, 15);
    eAddress = new TEdit(this);
    eAddress->SetBounds(12, 28, 504, L.editHeight);
    eAddress->SetAnchors(akLeft | akTop | akRight);
    eAddress->SetMaxLength(kAddressChars - 1);
    btnTest = new TButton(this, W(tt.btnTest));
    btnTest->SetBounds(522, 26, 90, 25);
    btnTest->SetAnchors(topRight);
    btnTest->SetDefault(true);
    btnTest->OnClick = Bind<&TTestDlgBox::btnTestClick>(this);

    cbFollow = new TCheckBox(this, W(tt.cbFollow));
    cbFollow->SetBounds(12, 58, 400, 17);
    cbFollow->SetChecked(data.follow);

    lblFollowing = new TLabel(this, W(tt.resolving));
    lblFollowing->SetBounds(12, 86, 200, 15);
    lblFollowing->SetVisible(false);
    pbFollow = new TProgressBar(this);
    pbFollow->SetBounds(216, 86, 300, 16);
    pbFollow->SetAnchors(akLeft | akTop | akRight);
    pbFollow->SetVisible(false);
    btnStop = new TButton(this, W(tt.btnCancel));
    btnStop->SetBounds(522, 82, 90, 25);
    btnStop->SetAnchors(topRight);
    btnStop->SetVisible(false);
    btnStop->OnClick = Bind<&TTestDlgBox::btnStopClick>(this);

    lvResult = new TListView(this);
    lvResult->SetBounds(12, 112, 600, 222);
    lvResult->SetAnchors(akLeft | akTop | akRight | akBottom);
    lvResult->AddColumn(W(tt.colRule), 200);
    lvResult->AddColumn(W(tt.colWhy), 376);
    lvResult->SetImages(images);

    btnClose = new TButton(this, W(tt.btnClose));
    btnClose->SetBounds(522, 344, 90, 25);
    btnClose->SetAnchors(akRight | akBottom);
    btnClose->ModalResult = mrCancel;
    btnClose->SetCancel(true);

    eAddress->SetText(W(data.address.c_str()));
    RECT r;
    GetWindowRect(Handle(), &r);
    minWidth_ = r.right - r.left;
    minHeight_ = r.bottom - r.top;
    lvResult->SetDoubleBuffered(true);
}

void TTestDlgBox::FormCanResize(int& width, int& height, bool& resize) {
    MainCanResize(minWidth_, minHeight_, &width, &height);
    resize = true;
}

void TTestDlgBox::ShowBusy(bool on) {
    lblFollowing->SetVisible(on);
    pbFollow->SetRunning(on);
    btnStop->SetVisible(on);
    btnTest->SetEnabled(!on);
    eAddress->SetEnabled(!on);
    cbFollow->SetEnabled(!on);
    // Esc stops the following first, then closes.
    btnStop->SetCancel(on);
    if (!on) btnClose->SetCancel(true);
    if (on) btnStop->SetFocus();
    else eAddress->SetFocus();
}

void TTestDlgBox::btnTestClick(TObject*) {
    if (job_) return;
    wchar_t url[kAddressChars];
    eAddress->GetText(url, kAddressChars);
    address_ = url;
    // The handler's own gate: only script addresses, only when asked to.
    if (!cbFollow->Checked() || !IsScriptUrl(U(url))) {
        Test(url, nullptr, url);
        return;
    }
    FollowJob* job = new FollowJob();
    InitializeCriticalSection(&job->lock);
    job->notify = Handle();
    job->number = ++jobNumber_;
    job->url = url;
    HANDLE thread = CreateThread(nullptr, 0, &FollowThread, job, 0, nullptr);
    if (!thread) {
        job->refs = 1;
        LetGo(job);
        Test(url, W(TestTexts().resolveFailed), url);
        return;
    }
    CloseHandle(thread);
    job_ = job;
    lvResult->BeginUpdate();
    SendMessageW(lvResult->Handle(), LVM_DELETEALLITEMS, 0, 0);
    lvResult->EndUpdate();
    ShowBusy(true);
}

void TTestDlgBox::StopFollowing() {
    if (!job_) return;
    EnterCriticalSection(&job_->lock);
    job_->notify = nullptr;
    LeaveCriticalSection(&job_->lock);
    LetGo(job_);
    job_ = nullptr;
}

void TTestDlgBox::btnStopClick(TObject*) { Followed(true); }

void TTestDlgBox::Followed(bool cancelled) {
    if (!job_) return;
    const TesterTexts& tt = TestTexts();
    // A failure or a cancel tests the address as given, as the handler does.
    std::wstring followed = cancelled ? W(tt.resolveCancelled) : W(tt.resolveFailed);
    std::wstring nameSource = address_;
    if (!cancelled && job_->result == kResolved && job_->finalUrl) {
        followed = job_->finalUrl;
        nameSource = job_->finalUrl;
    }
    StopFollowing();
    ShowBusy(false);
    Test(address_.c_str(), followed.c_str(), nameSource.c_str());
}

LRESULT TTestDlgBox::WndProc(UINT msg, WPARAM w, LPARAM l) {
    if (msg == kFollowedMsg) {
        // An answer posted before a Cancel carries an old number.
        if (job_ && w == job_->number) Followed(false);
        return 0;
    }
    return TForm::WndProc(msg, w, l);
}

void TTestDlgBox::Test(const wchar_t* url, const wchar_t* followed, const wchar_t* nameSource) {
    std::vector<ScreenRule> screen;
    screen.reserve(data_.rules.size());
    for (const TestDialogData::Rule& r : data_.rules) screen.push_back({r.type, r.rule.c_str(), r.folder.c_str()});
    int32_t count = static_cast<int32_t>(screen.size());
    ScreenDefault def{data_.useDefault, data_.defaultFolder.c_str()};
    TestRun run;
    RunTest(screen.data(), count, def, U(url), U(nameSource), &run);
    data_.matched = run.matched;

    lvResult->BeginUpdate();
    SendMessageW(lvResult->Handle(), LVM_DELETEALLITEMS, 0, 0);
    int select = -1;
    std::unique_ptr<TestRow> each(new TestRow());
    for (int32_t k = 0; k < TestRowCount(count, U(followed)); ++k) {
        ExplainRow(screen.data(), count, run, U(url), U(followed), U(nameSource), k, each.get());
        const TestRow& row = *each;
        int image = I_IMAGENONE;
        if (row.kind == TestRow::RuleRow && row.rule >= 0 && row.rule < count) {
            uint32_t type = screen[row.rule].type;
            if (type <= kUrlRule) image = static_cast<int>(type);
            if (row.rule == run.matched) select = lvResult->Count();
        }
        lvResult->Add(image, W(row.first), W(row.why), row.rule);
    }
    lvResult->EndUpdate();
    if (select >= 0) {
        lvResult->Select(select);
        lvResult->MakeVisible(select);
    }
}

}  // namespace

std::u16string ClipboardAddress() {
    std::u16string out;
    // Another program may hold the clipboard open for a moment.
    bool open = false;
    for (int tries = 0; tries < 10 && !(open = OpenClipboard(nullptr) != 0); ++tries) Sleep(20);
    if (!open) return out;
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
        if (const wchar_t* text = static_cast<const wchar_t*>(GlobalLock(h))) {
            // The block's own size bounds the read: clipboard text need not end.
            size_t cap = GlobalSize(h) / sizeof(wchar_t);
            size_t n = TextLenBounded(U(text), cap < kAddressChars ? cap : kAddressChars);
            if (n < kAddressChars) {
                std::u16string candidate(U(text), n);
                if (IsTestableAddress(candidate.c_str())) out = candidate;
            }
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    return out;
}

int32_t RunTestDialog(TForm* owner, TImageList* images, TestDialogData& data) {
    data.matched = -1;
    if (data.address.empty()) data.address = ClipboardAddress();
    TTestDlgBox dlg(owner, images, data);
    dlg.ShowModal();
    return data.matched;
}

}  // namespace fw
