// A stand-in ieframe.dll for the protected-mode tests: Wine's own has no
// IEIsProtectedModeProcess. FW_IEFRAME_STUB picks the answer, read on every
// call so one test process can walk through them:
//   unset or "protected"  S_OK, TRUE
//   "normal"              S_OK, FALSE
//   "unsure"              S_FALSE, TRUE (could not tell)
//   "fail"                E_FAIL, TRUE
// Each call also counts itself in FW_IEFRAME_CALLS of the calling process.
#include "win.h"

namespace {

void CountCall() {
    wchar_t buf[16];
    DWORD n = GetEnvironmentVariableW(L"FW_IEFRAME_CALLS", buf, 16);
    unsigned count = 0;
    if (n > 0 && n < 16)
        for (DWORD i = 0; i < n && buf[i] >= L'0' && buf[i] <= L'9'; ++i) count = count * 10 + (buf[i] - L'0');
    ++count;
    wchar_t digits[16];
    int len = 0;
    do {
        digits[len++] = static_cast<wchar_t>(L'0' + count % 10);
        count /= 10;
    } while (count);
    for (int i = 0; i < len; ++i) buf[i] = digits[len - 1 - i];
    buf[len] = 0;
    SetEnvironmentVariableW(L"FW_IEFRAME_CALLS", buf);
}

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI IEIsProtectedModeProcess(BOOL* isProtected) {
    CountCall();
    if (!isProtected) return E_POINTER;
    wchar_t mode[32] = {0};
    DWORD n = GetEnvironmentVariableW(L"FW_IEFRAME_STUB", mode, 32);
    if (n == 0 || n >= 32 || lstrcmpiW(mode, L"protected") == 0) {
        *isProtected = TRUE;
        return S_OK;
    }
    if (lstrcmpiW(mode, L"normal") == 0) {
        *isProtected = FALSE;
        return S_OK;
    }
    *isProtected = TRUE;
    return lstrcmpiW(mode, L"unsure") == 0 ? S_FALSE : E_FAIL;
}
