// The command line's system side: whole files, replaced atomically, and the
// console of whoever started the program, if anyone did.
#include "command_line_win.h"
#include "command_line.h"
#include "scoped_win.h"
#include <shellapi.h>
#include <string>

namespace fw {

namespace {

size_t DecodeAnsiCodePage(const uint8_t* in, size_t n, char16_t* out) {
    if (n == 0) return 0;
    int got = MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(in), static_cast<int>(n), W(out),
                                  static_cast<int>(n));
    return got > 0 ? static_cast<size_t>(got) : 0;
}

class WinSide final : public CommandLineSide {
public:
    bool ReadWholeFile(const char16_t* path, uint64_t maxBytes, std::vector<uint8_t>* bytes, uint64_t* size) override {
        ScopedHandle file(CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        LARGE_INTEGER length{};
        if (!file || !GetFileSizeEx(file.Get(), &length) || length.QuadPart < 0) return false;
        *size = static_cast<uint64_t>(length.QuadPart);
        if (*size > maxBytes) return true;  // refused by its size, unread
        bytes->resize(static_cast<size_t>(*size));
        size_t done = 0;
        while (done < bytes->size()) {
            DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes->size() - done, 1u << 20));
            DWORD got = 0;
            if (!ReadFile(file.Get(), bytes->data() + done, chunk, &got, nullptr)) return false;
            if (got == 0) break;  // shorter than it said: read what is there
            done += got;
        }
        bytes->resize(done);
        return true;
    }

    // Written beside the target first and moved over it only when whole, so
    // a full disk or a cut never leaves a half file under the given name.
    bool WriteWholeFile(const char16_t* path, const std::vector<uint8_t>& bytes) override {
        std::wstring target = W(path);
        std::wstring partial = target + L".partial";
        {
            ScopedHandle file(CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!file) return false;
            size_t done = 0;
            bool ok = true;
            while (ok && done < bytes.size()) {
                DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
                DWORD put = 0;
                ok = WriteFile(file.Get(), bytes.data() + done, chunk, &put, nullptr) && put == chunk;
                done += put;
            }
            if (!ok || !FlushFileBuffers(file.Get())) {
                file.Reset();
                DeleteFileW(partial.c_str());
                return false;
            }
        }
        if (!MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            DeleteFileW(partial.c_str());
            return false;
        }
        return true;
    }

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

    AnsiDecoder Ansi() override { return DecodeAnsiCodePage; }

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
