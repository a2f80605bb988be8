// Helpers for the RegTool's Wine tests: real FwReg.exe processes started next
// to the test program, the policy value that lets them run, and registry
// snapshots that put the prefix back the way the test found it.
#pragma once
#include "regtool_logic.h"
#include "save_folder.h"
#include "win.h"
#include <shlobj.h>
#include <shlwapi.h>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace fw::test {

// A program beside the test program (all land in build/<b>/bin).
inline std::wstring SiblingPath(const wchar_t* name) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    path.resize(path.find_last_of(L'\\') + 1);
    return path + name;
}

inline bool RegKeyExists(HKEY root, const wchar_t* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// One value, saved and put back (or removed again) when the guard goes, also
// when a test fails half-way.
class ValueSnapshot {
public:
    ValueSnapshot(HKEY root, const wchar_t* path, const wchar_t* name) : root_(root), path_(path), name_(name) {
        DWORD size = 0;
        if (SHGetValueW(root, path, name, &type_, nullptr, &size) != ERROR_SUCCESS) return;
        data_.resize(size);
        existed_ = SHGetValueW(root, path, name, &type_, data_.data(), &size) == ERROR_SUCCESS;
    }
    ~ValueSnapshot() {
        if (existed_)
            SHSetValueW(root_, path_.c_str(), name_.c_str(), type_, data_.data(), static_cast<DWORD>(data_.size()));
        else
            SHDeleteValueW(root_, path_.c_str(), name_.c_str());
    }
    ValueSnapshot(const ValueSnapshot&) = delete;
    ValueSnapshot& operator=(const ValueSnapshot&) = delete;

private:
    HKEY root_;
    std::wstring path_, name_;
    bool existed_ = false;
    DWORD type_ = 0;
    std::vector<BYTE> data_;
};

inline void PutValue(HKEY root, const wchar_t* path, const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS) << path;
    LONG rc = RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    ASSERT_EQ(rc, ERROR_SUCCESS) << name;
}

inline void PutDword(HKEY root, const wchar_t* path, const wchar_t* name, DWORD value) {
    PutValue(root, path, name, REG_DWORD, &value, sizeof value);
}

inline void PutString(HKEY root, const wchar_t* path, const wchar_t* name, const std::wstring& text) {
    PutValue(root, path, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// The policy that lets the RegTool run.
inline void AllowRegTool() { PutDword(HKEY_LOCAL_MACHINE, W(kPolicySystemKey), W(kConsentPromptValue), 1); }

// The RegTool applies a handed-off folder only when the user's settings name
// it: a test makes its folder the default folder.
inline void TrustFolder(const std::wstring& folder) {
    PutString(HKEY_CURRENT_USER, L"Software\\Fwise", L"DefaultFolder", folder);
}

// The places the Save dialog takes its folder from, spelt out here rather
// than taken from the product's headers.
inline const wchar_t* const kIeMachineKey = L"SOFTWARE\\Microsoft\\Internet Explorer";
inline const wchar_t* const kIeUserKey = L"Software\\Microsoft\\Internet Explorer";
inline const wchar_t* const kDownloadDirectory = L"Download Directory";
inline const wchar_t* const kMruKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\LastVisitedPidlMRU";

inline std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

inline bool ReadValue(HKEY root, const wchar_t* path, const wchar_t* name, std::vector<BYTE>* data,
                      DWORD* type = nullptr) {
    DWORD size = 0, t = 0;
    if (SHGetValueW(root, path, name, &t, nullptr, &size) != ERROR_SUCCESS) return false;
    data->assign(size, 0);
    if (type) *type = t;
    return SHGetValueW(root, path, name, &t, data->data(), &size) == ERROR_SUCCESS;
}

// The "Download Directory" text, or "<none>".
inline std::string DownloadDirectory() {
    std::vector<BYTE> data;
    if (!ReadValue(HKEY_CURRENT_USER, kIeUserKey, kDownloadDirectory, &data)) return "<none>";
    std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / 2);
    text.resize(wcsnlen(text.c_str(), text.size()));
    return Narrow(text);
}

// The folder an iexplore.exe record names, or why it names none.
inline std::string RecordFolder(const std::vector<BYTE>& record) {
    if (record.size() < 28) return "<record of " + std::to_string(record.size()) + " bytes>";
    if (std::memcmp(record.data(), L"iexplore.exe", 26) != 0) return "<not an iexplore.exe record>";
    std::vector<BYTE> list(record.begin() + 26, record.end());
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE>(list.data()), path)) return "<no path>";
    return Narrow(path);
}

inline BOOL CALLBACK CollectRegToolWindow(HWND hwnd, LPARAM param) {
    wchar_t cls[64] = {}, title[64] = {};
    GetClassNameW(hwnd, cls, 64);
    GetWindowTextW(hwnd, title, 64);
    if (lstrcmpW(cls, W(kRegToolClass)) == 0 && lstrcmpW(title, W(kRegToolTitle)) == 0)
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
    return TRUE;
}

// Every RegTool window on the desktop, by class and title.
inline std::vector<HWND> RegToolWindows() {
    std::vector<HWND> found;
    EnumWindows(CollectRegToolWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

// One RegTool process. A copy still running when the object goes is ended,
// so a failed test never leaves a RegTool (or its message box) behind.
class RegToolProcess {
public:
    RegToolProcess() = default;
    ~RegToolProcess() { End(); }
    RegToolProcess(const RegToolProcess&) = delete;
    RegToolProcess& operator=(const RegToolProcess&) = delete;

    bool Start(const std::wstring& args = L"", const wchar_t* exe = L"FwReg.exe") {
        End();
        std::wstring path = SiblingPath(exe);
        std::wstring cmd = L"\"" + path + L"\"" + (args.empty() ? L"" : L" " + args);
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        return CreateProcessW(path.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_) != 0;
    }

    // The exit code, or STILL_ACTIVE when the process has not ended in time.
    DWORD WaitExit(DWORD ms) {
        if (!pi_.hProcess) return STILL_ACTIVE;
        if (WaitForSingleObject(pi_.hProcess, ms) != WAIT_OBJECT_0) return STILL_ACTIVE;
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(pi_.hProcess, &code);
        return code;
    }

    // The RegTool window of this process once it exists, else null.
    HWND WaitWindow(DWORD ms) {
        for (DWORD waited = 0;; waited += 20) {
            for (HWND hwnd : RegToolWindows()) {
                DWORD pid = 0;
                GetWindowThreadProcessId(hwnd, &pid);
                if (pid == pi_.dwProcessId) return hwnd;
            }
            if (waited >= ms || WaitForSingleObject(pi_.hProcess, 20) == WAIT_OBJECT_0) return nullptr;
        }
    }

    DWORD Pid() const { return pi_.dwProcessId; }

    void End() {
        if (pi_.hProcess) {
            if (WaitForSingleObject(pi_.hProcess, 0) != WAIT_OBJECT_0) {
                TerminateProcess(pi_.hProcess, 99);
                WaitForSingleObject(pi_.hProcess, 5000);
            }
            CloseHandle(pi_.hProcess);
            CloseHandle(pi_.hThread);
        }
        pi_ = {};
    }

private:
    PROCESS_INFORMATION pi_ = {};
};

// A running RegTool's window, closed by WM_CLOSE; 0 is the exit code then.
inline void CloseRegTool(RegToolProcess& tool, HWND window, const char* label) {
    SendMessageTimeoutW(window, WM_CLOSE, 0, 0, SMTO_NORMAL, 5000, nullptr);
    EXPECT_EQ(tool.WaitExit(10000), 0u) << label << ": exit code after WM_CLOSE";
}

}  // namespace fw::test
