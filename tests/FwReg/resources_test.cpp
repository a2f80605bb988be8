// What FwReg.exe carries besides its code: the version block, the manifest
// that keeps it at the user's level, and its icon group. Checked on the
// 64-bit test build and, where it was built, on the shipped 32-bit one.
#include "fw_version.h"
#include "regtool_test_win.h"
#include <string>

namespace fw::test {
namespace {

std::vector<std::wstring> Binaries() {
    std::vector<std::wstring> out{SiblingPath(L"FwReg.exe")};
    std::wstring win32 = SiblingPath(L"..\\..\\win32\\bin\\FwReg.exe");
    if (GetFileAttributesW(win32.c_str()) != INVALID_FILE_ATTRIBUTES) out.push_back(win32);
    return out;
}

std::string Narrow(const std::wstring& s) { return std::string(s.begin(), s.end()); }

BOOL CALLBACK CountResource(HMODULE, LPCWSTR, LPWSTR, LONG_PTR count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

TEST(RegToolResources, VersionBlockIsJapaneseUnicodeWithTheProductStrings) {
    struct Row {
        const wchar_t* name;
        const wchar_t* expected;
    };
    const Row rows[] = {
        {L"FileDescription", L"Folderwise RegTool"}, {L"FileVersion", L"" FW_REGTOOL_VERSION_TEXT},
        {L"InternalName", L"FwReg"},                 {L"OriginalFilename", L"FwReg.exe"},
        {L"ProductName", L"Folderwise"},             {L"ProductVersion", L"" FW_REGTOOL_VERSION_TEXT},
    };
    for (const std::wstring& path : Binaries()) {
        SCOPED_TRACE(Narrow(path));
        DWORD handle = 0;
        DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
        ASSERT_GT(size, 0u) << "no version block";
        std::vector<BYTE> block(size);
        ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));

        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT len = 0;
        ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
        EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
        EXPECT_EQ(fixed->dwFileVersionLS, 0u);
        EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
        EXPECT_EQ(fixed->dwProductVersionLS, 0u);
        EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

        WORD* translation = nullptr;
        ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                                   &len));
        ASSERT_EQ(len, 4u);
        EXPECT_EQ(translation[0], 0x0411) << "language";
        EXPECT_EQ(translation[1], 1200) << "code page";

        for (const auto& row : rows) {
            std::wstring query = std::wstring(L"\\StringFileInfo\\041104B0\\") + row.name;
            wchar_t* text = nullptr;
            ASSERT_TRUE(VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&text), &len))
                << Narrow(row.name) << " missing";
            EXPECT_EQ(Narrow(text), Narrow(row.expected)) << Narrow(row.name);
        }
    }
}

TEST(RegToolResources, OneManifestAsInvokerAndIconGroup101) {
    for (const std::wstring& path : Binaries()) {
        SCOPED_TRACE(Narrow(path));
        HMODULE image = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(image, nullptr);
        int manifests = 0;
        EnumResourceNamesW(image, RT_MANIFEST, CountResource, reinterpret_cast<LONG_PTR>(&manifests));
        EXPECT_EQ(manifests, 1) << "manifests";
        HRSRC res = FindResourceW(image, MAKEINTRESOURCEW(1), RT_MANIFEST);
        ASSERT_NE(res, nullptr) << "no process manifest";
        const char* xml = static_cast<const char*>(LockResource(LoadResource(image, res)));
        std::string manifest(xml, SizeofResource(image, res));
        EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos) << manifest;
        EXPECT_NE(manifest.find("uiAccess=\"false\""), std::string::npos) << manifest;
        EXPECT_NE(FindResourceW(image, MAKEINTRESOURCEW(101), RT_GROUP_ICON), nullptr) << "icon group 101";
        FreeLibrary(image);
    }
}

}  // namespace
}  // namespace fw::test
