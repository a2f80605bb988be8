// Rules files on disk: read whole, written beside the target and moved over it.
#include "rules_file_win.h"
#include "scoped_win.h"
#include <algorithm>
#include <string>

namespace fw {

namespace {

size_t DecodeAnsiCodePage(const uint8_t* in, size_t n, char16_t* out) {
    if (n == 0) return 0;
    int got = MultiByteToWideChar(CP_ACP, 0, reinterpret_cast<const char*>(in), static_cast<int>(n), W(out),
                                  static_cast<int>(n));
    return got > 0 ? static_cast<size_t>(got) : 0;
}

class WinFiles final : public RulesFileSide {
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

    AnsiDecoder Ansi() override { return DecodeAnsiCodePage; }
};

}  // namespace

RulesFileSide& WindowsRulesFiles() {
    static WinFiles files;
    return files;
}

}  // namespace fw
