// Driving Fwise.exe (either language build) from outside under Wine: its
// windows found by class and text, real keys and clicks, pictures of windows.
#pragma once
#include "person.h"
#include "store_util.h"
#include "win.h"
#include <commctrl.h>
#include <cstdio>
#include <string>
#include <vector>

namespace fw::test {

inline std::wstring BinDir() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    return p.substr(0, p.rfind(L'\\') + 1);
}

inline std::string Narrow(const std::wstring& s) { return Utf8(std::u16string(U(s.c_str()))); }

inline std::wstring Text(HWND h) {
    wchar_t buf[1024] = {};
    GetWindowTextW(h, buf, 1024);
    return buf;
}

inline std::wstring ClassOf(HWND h) {
    wchar_t buf[256] = {};
    GetClassNameW(h, buf, 256);
    return buf;
}

struct Find {
    DWORD pid;
    const wchar_t* cls;
    HWND found;
};

inline BOOL CALLBACK FindTopLevel(HWND h, LPARAM l) {
    Find* f = reinterpret_cast<Find*>(l);
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if (owner == f->pid && IsWindowVisible(h) && ClassOf(h) == f->cls) {
        f->found = h;
        return FALSE;
    }
    return TRUE;
}

// Waits (up to `ms`) for a visible top-level window of the process.
inline HWND WaitWindow(DWORD pid, const wchar_t* cls, int ms = 10000) {
    Find f = {pid, cls, nullptr};
    for (int waited = 0; waited <= ms; waited += 50) {
        f.found = nullptr;
        EnumWindows(&FindTopLevel, reinterpret_cast<LPARAM>(&f));
        if (f.found) return f.found;
        Sleep(50);
    }
    return nullptr;
}

inline bool WaitGone(HWND h, int ms = 5000) {
    for (int waited = 0; waited <= ms; waited += 50) {
        if (!IsWindow(h) || !IsWindowVisible(h)) return true;
        Sleep(50);
    }
    return false;
}

struct Collect {
    const wchar_t* cls;
    std::vector<HWND> found;
};

inline BOOL CALLBACK CollectChild(HWND h, LPARAM l) {
    Collect* c = reinterpret_cast<Collect*>(l);
    if (ClassOf(h) == c->cls) c->found.push_back(h);
    return TRUE;
}

// Every descendant of `parent` of class `cls`, in creation order.
inline std::vector<HWND> Children(HWND parent, const wchar_t* cls) {
    Collect c = {cls, {}};
    EnumChildWindows(parent, &CollectChild, reinterpret_cast<LPARAM>(&c));
    return c.found;
}

inline HWND Child(HWND parent, const wchar_t* cls, const char16_t* text) {
    for (HWND h : Children(parent, cls))
        if (Text(h) == W(text)) return h;
    return nullptr;
}

// Text of a message box (its static with the message).
inline std::wstring BoxText(HWND box) {
    std::wstring all;
    for (HWND h : Children(box, L"Static")) all += Text(h);
    return all;
}

// Real key presses, delivered to whichever window has the focus.
inline void Press(std::initializer_list<WORD> keys) {
    std::vector<INPUT> in;
    for (WORD k : keys) {
        INPUT i = {};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = k;
        i.ki.wScan = static_cast<WORD>(MapVirtualKeyW(k, MAPVK_VK_TO_VSC));
        if (k == VK_UP || k == VK_DOWN || k == VK_HOME || k == VK_DELETE || k == VK_INSERT)
            i.ki.dwFlags = KEYEVENTF_EXTENDEDKEY;
        in.push_back(i);
    }
    for (auto it = keys.end(); it != keys.begin();) {
        --it;
        INPUT i = {};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = *it;
        i.ki.wScan = static_cast<WORD>(MapVirtualKeyW(*it, MAPVK_VK_TO_VSC));
        i.ki.dwFlags = KEYEVENTF_KEYUP;
        if (*it == VK_UP || *it == VK_DOWN || *it == VK_HOME || *it == VK_DELETE || *it == VK_INSERT)
            i.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        in.push_back(i);
    }
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
    Sleep(300);
}

// The store holds exactly these rules, in this order.
inline void ExpectStoredRules(const std::vector<Rule>& rules) {
    EXPECT_EQ(ReadSettingDword(kNum, 0), rules.size());
    char16_t name[kValueNameChars];
    char16_t text[kRuleChars];
    for (size_t i = 0; i < rules.size(); ++i) {
        int32_t at = static_cast<int32_t>(i);
        RuleValueName(name, kValueNameChars, at, kTypeSuffix);
        EXPECT_EQ(ReadSettingDword(name, 99), rules[i].type) << "rule " << i;
        RuleValueName(name, kValueNameChars, at, kRuleSuffix);
        ReadSettingString(name, u"<missing>", text, sizeof text);
        EXPECT_EQ(Utf8(text), Utf8(rules[i].text)) << "rule " << i;
        RuleValueName(name, kValueNameChars, at, kFolderSuffix);
        ReadSettingString(name, u"<missing>", text, sizeof text);
        EXPECT_EQ(Utf8(text), Utf8(rules[i].folder)) << "rule " << i;
    }
}

class Fwise {
public:
    // `name`: a program beside the test, or a full path.
    explicit Fwise(const wchar_t* name = L"Fwise.exe") {
        std::wstring exe = wcschr(name, L'\\') ? std::wstring(name) : BinDir() + name;
        std::wstring cmd = L"\"" + exe + L"\"";
        STARTUPINFOW si = {};
        si.cb = sizeof si;
        if (!CreateProcessW(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_)) return;
        main_ = WaitWindow(pi_.dwProcessId, L"TOptionDlgBox");
        if (main_) {
            SetForegroundWindow(main_);
            Sleep(300);
        }
    }
    ~Fwise() {
        if (pi_.hProcess) {
            if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 1);
            WaitForSingleObject(pi_.hProcess, 5000);
            CloseHandle(pi_.hProcess);
            CloseHandle(pi_.hThread);
        }
    }
    Fwise(const Fwise&) = delete;
    Fwise& operator=(const Fwise&) = delete;

    HWND Main() const { return main_; }
    DWORD Pid() const { return pi_.dwProcessId; }
    // The exit code once the program has ended, or -1 while it still runs.
    int WaitExit(int ms = 5000) {
        if (WaitForSingleObject(pi_.hProcess, ms) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(pi_.hProcess, &code);
        return static_cast<int>(code);
    }
    HWND List() const {
        auto lists = Children(main_, WC_LISTVIEWW);
        return lists.empty() ? nullptr : lists[0];
    }
    int Rows() const { return static_cast<int>(SendMessageW(List(), LVM_GETITEMCOUNT, 0, 0)); }
    int Selected() const {
        return static_cast<int>(SendMessageW(List(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    }
    HWND Button(const char16_t* text) const { return Child(main_, L"Button", text); }

private:
    PROCESS_INFORMATION pi_ = {};
    HWND main_ = nullptr;
};

// Saves what the screen shows of a window as a 24-bit BMP.
inline bool SaveWindowPicture(HWND h, const std::wstring& path) {
    return person::WriteBmp(person::Grab(person::WindowOnScreen(h)), path.c_str());
}

inline void ClickAt(int x, int y) {
    SetCursorPos(x, y);
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
    Sleep(300);
}

inline void Mouse(DWORD flags) {
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    SendInput(1, &in, sizeof in);
}

}  // namespace fw::test
