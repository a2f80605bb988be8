// The hand-off in protected mode. This program runs from bin/protected next
// to our stand-in ieframe.dll (WINEDLLOVERRIDES=ieframe=n), which reports
// protected mode, and next to regtool_window.exe, a RegTool window in a
// process of its own.
#include "ie_places.h"
#include "reg_helpers.h"
#include "save_folder.h"
#include "seed_save_folder.h"
#include "seed_win_util.h"
#include "store_util.h"

namespace fw::test {
namespace {

const char16_t kReportKey[] = u"Software\\FwTest\\RegToolWindow";

unsigned StubCalls() {
    wchar_t buf[16] = {0};
    return GetEnvironmentVariableW(L"FW_IEFRAME_CALLS", buf, 16) ? static_cast<unsigned>(_wtoi(buf)) : 0;
}

void SetStub(const wchar_t* mode) { SetEnvironmentVariableW(L"FW_IEFRAME_STUB", mode); }

// The hand-off key as the token's SID names it, built apart from the code under test.
std::u16string ExpectedHandOffKey() { return std::u16string(ie::kHandOffPrefix) + TokenSid() + u"\\Software\\Fwise"; }

class Protected : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        SetStub(nullptr);
        key_ = ExpectedHandOffKey();
        Clean();
    }
    void TearDown() override {
        StopWindow();
        Clean();
        SetStub(nullptr);
        CoUninitialize();
    }
    void Clean() {
        DeleteRegTree(RegRoot::CurrentUser, key_.c_str());
        DeleteRegTree(RegRoot::CurrentUser, kReportKey);
        DeleteRegTree(RegRoot::CurrentUser, ie::kLastVisitedPidlMruKey);
        DeleteRegValue(RegRoot::CurrentUser, ie::kDownloadDirectoryKey, ie::kDownloadDirectoryValue);
    }
    // Starts the stand-in RegTool window and waits until it can be found.
    HWND StartWindow(unsigned delayMs) {
        wchar_t exe[MAX_PATH];
        GetModuleFileNameW(nullptr, exe, MAX_PATH);
        wchar_t* slash = wcsrchr(exe, L'\\');
        if (slash) slash[1] = 0;
        std::wstring cmd = L"\"" + std::wstring(exe) + L"regtool_window.exe\" \"" + W(key_.c_str()) + L"\" " +
                           std::to_wstring(delayMs);
        std::wstring app = std::wstring(exe) + L"regtool_window.exe";
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        if (!CreateProcessW(app.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &child_))
            return nullptr;
        CloseHandle(child_.hThread);
        child_.hThread = nullptr;
        for (int i = 0; i < 200; ++i) {
            HWND w = FindWindowW(W(kRegToolClass), W(kRegToolTitle));
            if (w) return w;
            Sleep(50);
        }
        return nullptr;
    }
    void StopWindow() {
        if (!child_.hProcess) return;
        HWND w = FindWindowW(W(kRegToolClass), W(kRegToolTitle));
        if (w) PostMessageW(w, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(child_.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(child_.hProcess, 1);
        CloseHandle(child_.hProcess);
        child_ = {};
    }
    std::u16string HandOffValue() {
        std::u16string v;
        return ReadText(RegRoot::CurrentUser, key_.c_str(), kHandOffValue, &v) ? v : u"(missing)";
    }
    void ExpectNothingAppliedHere(const char* label) {
        std::u16string dd;
        EXPECT_FALSE(KeyExistsCU(ie::kLastVisitedPidlMruKey)) << label << ": MRU written in protected mode";
        EXPECT_FALSE(ReadText(RegRoot::CurrentUser, ie::kDownloadDirectoryKey, ie::kDownloadDirectoryValue, &dd))
            << label << ": Download Directory written in protected mode";
    }

    std::u16string key_;
    PROCESS_INFORMATION child_ = {};
};

TEST_F(Protected, InProtectedModeTakesOnlyAClearYes) {
    const struct {
        const wchar_t* mode;
        bool expected;
    } rows[] = {{L"protected", true}, {L"normal", false}, {L"unsure", false}, {L"fail", false}};
    for (const auto& row : rows) {
        SetStub(row.mode);
        unsigned before = StubCalls();
        EXPECT_EQ(InProtectedMode() != 0, row.expected) << "row " << (&row - rows);
        EXPECT_EQ(StubCalls(), before + 1) << "row " << (&row - rows) << ": the stand-in was not asked";
        EXPECT_EQ(GetModuleHandleW(L"ieframe.dll"), nullptr) << "row " << (&row - rows) << ": library kept loaded";
    }
}

TEST_F(Protected, WithoutRegToolTheFolderWaitsInTheHandOffKey) {
    ASSERT_EQ(FindWindowW(W(kRegToolClass), W(kRegToolTitle)), nullptr);
    std::u16string folder = TestFolder(u"Handed");
    EXPECT_EQ(SeedSaveFolder(folder.c_str()), 0);
    EXPECT_EQ(HandOffValue(), folder) << "key " << Utf8(key_);
    ExpectNothingAppliedHere("no RegTool");
}

TEST_F(Protected, SendReturnsOnlyAfterTheRegToolWindowHandledIt) {
    HWND window = StartWindow(400);
    ASSERT_NE(window, nullptr) << "regtool_window.exe did not come up";
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    ASSERT_NE(pid, GetCurrentProcessId()) << "the window must live in another process";

    std::u16string folder = TestFolder(u"Handed over");
    ULONGLONG start = GetTickCount64();
    EXPECT_EQ(SeedSaveFolder(folder.c_str()), 0);
    ULONGLONG took = GetTickCount64() - start;
    // Read at once: a send that returned early finds no report yet.
    std::u16string seen;
    EXPECT_TRUE(ReadText(RegRoot::CurrentUser, kReportKey, u"Seen", &seen) && seen == folder)
        << "the window saw " << Utf8(seen) << ", expected " << Utf8(folder);
    uint32_t count = 0;
    uint32_t size = sizeof count;
    EXPECT_EQ(QueryRegValue(RegRoot::CurrentUser, kReportKey, u"Count", &count, &size, nullptr), RegQuery::Ok);
    EXPECT_EQ(count, 1u);
    EXPECT_GE(took, 350u) << "returned before the window's 400 ms were up";
    ExpectNothingAppliedHere("with RegTool window");
}

// A RegTool that does not answer (hung, or its failure box waiting behind the
// browser) holds the download only for the hand-off's limit.
TEST_F(Protected, ASlowRegToolHoldsTheDownloadOnlyForTheLimit) {
    ASSERT_NE(StartWindow(kHandOffWaitMs + 20000), nullptr) << "regtool_window.exe did not come up";
    std::u16string folder = TestFolder(u"Handed late");
    ULONGLONG start = GetTickCount64();
    EXPECT_EQ(SeedSaveFolder(folder.c_str()), 0);
    ULONGLONG took = GetTickCount64() - start;
    EXPECT_GE(took, kHandOffWaitMs - 500u) << "gave up before the limit";
    EXPECT_LT(took, kHandOffWaitMs + 5000u) << "waited past the limit";
    // Left for the RegTool, which may still get to it.
    EXPECT_EQ(HandOffValue(), folder);
    ExpectNothingAppliedHere("slow RegTool");
}

TEST_F(Protected, EmptyFolderAsksNothingAndSendsNothing) {
    ASSERT_NE(StartWindow(0), nullptr);
    unsigned before = StubCalls();
    EXPECT_EQ(SeedSaveFolder(u""), 0);
    EXPECT_EQ(StubCalls(), before) << "protected mode was asked for an empty folder";
    EXPECT_FALSE(KeyExistsCU(key_.c_str()));
    EXPECT_FALSE(KeyExistsCU(kReportKey)) << "the window got a message";
}

}  // namespace
}  // namespace fw::test
