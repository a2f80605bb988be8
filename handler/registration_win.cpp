#include "registration.h"
#include "Fwise_h.h"
#include "reg_helpers.h"
#include "save_folder.h"
#include "scoped_win.h"
#include "settings_store.h"
#include "text.h"
#include <shlwapi.h>

namespace fw {

namespace {

constexpr const char16_t* kRunKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char16_t* kRunValue = u"Folderwise";
constexpr const char16_t* kRegToolExe = u"FwReg.exe";
constexpr uint32_t kGuidChars = 39;      // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX} and the terminator
constexpr uint32_t kExpandedChars = 400;  // the longest row with the longest module path fits

HKEY RootKey(RegRoot root) {
    switch (root) {
        case RegRoot::CurrentUser: return HKEY_CURRENT_USER;
        case RegRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
        case RegRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    }
    return HKEY_CLASSES_ROOT;
}

struct RowVars {
    char16_t clsid[kGuidChars];
    char16_t libid[kGuidChars];
    char16_t module[kPathChars];
};

// `pattern` with its %NAME% markers replaced; false when the result would not fit.
bool Expand(const char16_t* pattern, const RowVars& vars, char16_t* out, uint32_t cap) {
    struct Marker {
        const char16_t* name;
        const char16_t* text;
    };
    const Marker markers[] = {{u"%CLSID%", vars.clsid}, {u"%LIBID%", vars.libid}, {u"%MODULE%", vars.module}};
    uint32_t n = 0;
    for (const char16_t* p = pattern; *p;) {
        const Marker* hit = nullptr;
        for (const Marker& m : markers) {
            size_t len = TextLen(m.name);
            size_t i = 0;
            while (i < len && p[i] == m.name[i]) ++i;
            if (i == len) {
                hit = &m;
                break;
            }
        }
        if (hit) {
            for (const char16_t* t = hit->text; *t; ++t) {
                if (n + 1 >= cap) return false;
                out[n++] = *t;
            }
            p += TextLen(hit->name);
        } else {
            if (n + 1 >= cap) return false;
            out[n++] = *p++;
        }
    }
    out[n] = 0;
    return true;
}

// The module's path; false when it is missing or fills the whole buffer
// (then it may have been cut, and a cut path must not be registered).
bool ModulePath(HMODULE module, char16_t* path) {
    DWORD n = GetModuleFileNameW(module, W(path), kPathChars);
    return n > 0 && n < kPathChars;
}

HRESULT Win32Result(LONG rc) { return HRESULT_FROM_WIN32(static_cast<DWORD>(rc)); }

bool IsFirstRowOfKey(uint32_t i) {
    return i == 0 || kRegistrationRows[i - 1].root != kRegistrationRows[i].root ||
           !TextEqual(kRegistrationRows[i - 1].key, kRegistrationRows[i].key);
}

HRESULT RegisterRow(const RegRow& row, bool firstOfKey, const RowVars& vars) {
    char16_t key[kExpandedChars];
    char16_t data[kExpandedChars];
    if (!Expand(row.key, vars, key, kExpandedChars)) return E_UNEXPECTED;
    if (firstOfKey && (row.flags & kForceRemove)) {
        // A fresh key: nothing of an earlier registration stays under it.
        LONG rc = SHDeleteKeyW(RootKey(row.root), W(key));
        if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) return Win32Result(rc);
    }
    ScopedRegKey k;
    LONG rc = RegCreateKeyExW(RootKey(row.root), W(key), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, k.Receive(), nullptr);
    if (rc != ERROR_SUCCESS) return Win32Result(rc);
    if (!row.value) return S_OK;
    if (!Expand(row.data, vars, data, kExpandedChars)) return E_UNEXPECTED;
    DWORD cb = static_cast<DWORD>((TextLen(data) + 1) * sizeof(char16_t));
    rc = RegSetValueExW(k.Get(), row.value[0] ? W(row.value) : nullptr, 0, REG_SZ,
                        reinterpret_cast<const BYTE*>(data), cb);
    return rc == ERROR_SUCCESS ? S_OK : Win32Result(rc);
}

// True when the row's value holds exactly the row's data (case ignored, as
// for CLSIDs); a value of another type, size or content belongs to someone else.
bool HoldsRowData(HKEY key, const RegRow& row, const RowVars& vars) {
    char16_t expected[kExpandedChars];
    if (!row.data || !Expand(row.data, vars, expected, kExpandedChars)) return false;
    char16_t stored[kExpandedChars];
    DWORD type = 0;
    DWORD cb = sizeof stored - sizeof(char16_t);  // room for a terminator of our own
    if (RegQueryValueExW(key, W(row.value), nullptr, &type, reinterpret_cast<BYTE*>(stored), &cb) != ERROR_SUCCESS ||
        type != REG_SZ)
        return false;
    stored[cb / sizeof(char16_t)] = 0;
    return EqualTextI(stored, expected);
}

HRESULT UnregisterRow(const RegRow& row, bool firstOfKey, const RowVars& vars) {
    char16_t key[kExpandedChars];
    if (!Expand(row.key, vars, key, kExpandedChars)) return E_UNEXPECTED;
    ScopedRegKey k;
    LONG rc = RegOpenKeyExW(RootKey(row.root), W(key), 0, KEY_READ | KEY_WRITE, k.Receive());
    if (rc == ERROR_FILE_NOT_FOUND) return S_OK;  // already gone
    if (rc != ERROR_SUCCESS) return Win32Result(rc);
    // Named values go one by one; a default value goes with its key.
    if (row.value && row.value[0] && (!(row.flags & kRemoveIfOurs) || HoldsRowData(k.Get(), row, vars))) {
        rc = RegDeleteValueW(k.Get(), W(row.value));
        if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) return Win32Result(rc);
    }
    if (!firstOfKey || (row.flags & kNoRemove)) return S_OK;
    // The rows below this key have been handled already (the walk runs
    // backwards); whatever subkeys remain belong to someone else.
    DWORD subkeys = 0;
    rc = RegQueryInfoKeyW(k.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                          nullptr, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) return Win32Result(rc);
    k.Reset();
    if (subkeys != 0) return S_OK;
    rc = RegDeleteKeyW(RootKey(row.root), W(key));
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) return Win32Result(rc);
    return S_OK;
}

}  // namespace

// clang-format off
const RegRow kRegistrationRows[] = {
    {RegRoot::ClassesRoot, u"Fwise.FwiseObj.1",         u"", u"FwiseObj Class",   kRowPlain},
    {RegRoot::ClassesRoot, u"Fwise.FwiseObj.1\\CLSID",  u"", u"%CLSID%",          kRowPlain},
    {RegRoot::ClassesRoot, u"Fwise.FwiseObj",           u"", u"FwiseObj Class",   kRowPlain},
    {RegRoot::ClassesRoot, u"Fwise.FwiseObj\\CLSID",    u"", u"%CLSID%",          kRowPlain},
    {RegRoot::ClassesRoot, u"Fwise.FwiseObj\\CurVer",   u"", u"Fwise.FwiseObj.1", kRowPlain},
    {RegRoot::ClassesRoot, u"CLSID",                    nullptr, nullptr,         kNoRemove},
    {RegRoot::ClassesRoot, u"CLSID\\%CLSID%",           u"", u"FwiseObj Class",   kForceRemove},
    {RegRoot::ClassesRoot, u"CLSID\\%CLSID%\\ProgID",   u"", u"Fwise.FwiseObj.1", kRowPlain},
    {RegRoot::ClassesRoot, u"CLSID\\%CLSID%\\VersionIndependentProgID", u"", u"Fwise.FwiseObj", kRowPlain},
    {RegRoot::ClassesRoot, u"CLSID\\%CLSID%\\Programmable", nullptr, nullptr,     kForceRemove},
    {RegRoot::ClassesRoot, u"CLSID\\%CLSID%\\InprocServer32", u"", u"%MODULE%",   kRowPlain},
    {RegRoot::ClassesRoot, u"CLSID\\%CLSID%\\InprocServer32", u"ThreadingModel", u"Apartment", kRowPlain},
    {RegRoot::ClassesRoot, u"CLSID\\%CLSID%\\TypeLib",  u"", u"%LIBID%",          kRowPlain},
    {RegRoot::LocalMachine, u"SOFTWARE",                nullptr, nullptr,         kRowPlain},
    {RegRoot::LocalMachine, u"SOFTWARE\\Microsoft",     nullptr, nullptr,         kRowPlain},
    {RegRoot::LocalMachine, u"SOFTWARE\\Microsoft\\Internet Explorer", nullptr, nullptr, kNoRemove},
    // Set whatever class another program had named there. On unregistration
    // it goes only while it still names our class: a download manager
    // installed after us keeps its hook.
    {RegRoot::LocalMachine, u"SOFTWARE\\Microsoft\\Internet Explorer", u"DownloadUI", u"%CLSID%", kRemoveIfOurs},
};
// clang-format on
const uint32_t kRegistrationRowCount = sizeof kRegistrationRows / sizeof kRegistrationRows[0];

HRESULT ApplyRegistrationRows(HMODULE module, bool doRegister) {
    RowVars vars;
    if (!ModulePath(module, vars.module)) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    StringFromGUID2(CLSID_FwiseObj, W(vars.clsid), kGuidChars);
    StringFromGUID2(LIBID_FWISELib, W(vars.libid), kGuidChars);
    HRESULT hr = S_OK;
    if (doRegister) {
        for (uint32_t i = 0; i < kRegistrationRowCount && SUCCEEDED(hr); ++i)
            hr = RegisterRow(kRegistrationRows[i], IsFirstRowOfKey(i), vars);
    } else {
        // Backwards, so that a key's subkeys are gone before the key is looked at.
        for (uint32_t i = kRegistrationRowCount; i-- > 0 && SUCCEEDED(hr);)
            hr = UnregisterRow(kRegistrationRows[i], IsFirstRowOfKey(i), vars);
    }
    return hr;
}

void WriteRunValue(HMODULE module) {
    char16_t path[kPathChars];
    if (!ModulePath(module, path)) return;
    char16_t* slash = const_cast<char16_t*>(TextRChr(path, u'\\'));
    if (!slash) return;
    slash[1] = 0;
    // Quoted: an unquoted path with a blank ("C:\Program Files\...") would let
    // a program planted at "C:\Program.exe" run at every logon instead.
    char16_t command[kPathChars + 2];
    command[0] = u'"';
    command[1] = 0;
    if (!TextAppend(command, kPathChars + 2, path) || !TextAppend(command, kPathChars + 2, kRegToolExe) ||
        !TextAppend(command, kPathChars + 2, u"\""))
        return;
    WriteRegString(RegRoot::LocalMachine, kRunKey, kRunValue, command);
}

void DeleteRunValue() { DeleteRegValue(RegRoot::LocalMachine, kRunKey, kRunValue); }

}  // namespace fw
