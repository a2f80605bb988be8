// The command line's system side: the files, and the console of whoever
// started the program, if anyone did.
#include "command_line_win.h"
#include "command_line.h"
#include "rules_file_win.h"
#include "scoped_win.h"
#include <shellapi.h>
#include <string>

namespace fw {

namespace {

class WinSide final : public CommandLineSide {
public:
    bool ReadWholeFile(const char16_t* path, uint64_t maxBytes, std::vector<uint8_t>* bytes, uint64_t* size) override {
        return WindowsRulesFiles().ReadWholeFile(path, maxBytes, bytes, size);
    }
    bool WriteWholeFile(const char16_t* path, const std::vector<uint8_t>& bytes) override {
        return WindowsRulesFiles().WriteWholeFile(path, bytes);
    }
    AnsiDecoder Ansi() override { return WindowsRulesFiles().Ansi(); }

    // A redirected standard output gets UTF-8; otherwise the console of the
    // parent, when there is one. Never a message box: scripts would hang.
    void Say(const char16_t* line) override {
        std::wstring text = std::wstring(W(line)) + L"\r\n";
        HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
        DWORD kind = out && out != INVALID_HANDLE_VALUE ? GetFileType(out) : FILE_TYPE_UNKNOWN;
        if (kind == FILE_TYPE_DISK || kind == FILE_TYPE_PIPE) {
            int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                        nullptr);
            if (n <= 0) return;
            std::string utf8(static_cast<size_t>(n), '\0');
            WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &utf8[0], n, nullptr, nullptr);
            DWORD put = 0;
            WriteFile(out, utf8.data(), static_cast<DWORD>(utf8.size()), &put, nullptr);
            return;
        }
        if (!console_) {
            if (!attachTried_) {
                attachTried_ = true;
                if (AttachConsole(ATTACH_PARENT_PROCESS))
                    console_.Reset(CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                               OPEN_EXISTING, 0, nullptr));
            }
            if (!console_) return;
        }
        DWORD put = 0;
        WriteConsoleW(console_.Get(), text.c_str(), static_cast<DWORD>(text.size()), &put, nullptr);
    }

private:
    bool attachTried_ = false;
    ScopedHandle console_;
};

}  // namespace

bool RunCommandLineIfAny(int* exitCode) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return false;
    bool any = argc > 1;
    if (any) {
        WinSide side;
        *exitCode = RunCommandLine(argc - 1, reinterpret_cast<const char16_t* const*>(argv + 1), side);
    }
    LocalFree(argv);
    return any;
}

}  // namespace fw
