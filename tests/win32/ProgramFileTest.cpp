// The built dovrenta.exe as the shell and the setup program see it: its
// version resource and its icon.
#include "Version.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

namespace {

// The build folder's path as Wine sees it: the host's root is drive Z:.
std::wstring ProgramFile() {
    std::string path = "Z:" VANTREEL_PROGRAM_FILE;
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return std::wstring(path.begin(), path.end());
}

std::wstring Value(const std::vector<char>& info, const wchar_t* name) {
    wchar_t* text = nullptr;
    UINT length = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\080404B0\\") + name;
    if (!::VerQueryValueW(info.data(), key.c_str(), reinterpret_cast<void**>(&text), &length) ||
        text == nullptr) {
        return L"(none)";
    }
    return std::wstring(text, length > 0 ? length - 1 : 0);
}

} // namespace

TEST(ProgramFile, CarriesTheProductNameVersionAndPublisher) {
    const std::wstring file = ProgramFile();
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(file.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version resource";
    std::vector<char> info(size);
    ASSERT_TRUE(::GetFileVersionInfoW(file.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(VT_VERSION_MINOR, VT_VERSION_MAJOR));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(VT_VERSION_MINOR, VT_VERSION_MAJOR));

    EXPECT_EQ(Value(info, L"ProductName"), L"Vantreel");
    EXPECT_EQ(Value(info, L"ProductVersion"), VT_VERSION_WIDE);
    EXPECT_EQ(Value(info, L"FileVersion"), VT_VERSION_WIDE);
    EXPECT_EQ(Value(info, L"CompanyName"), L"Kestrova\u8F6F\u4EF6"); // Kestrova软件
    EXPECT_EQ(Value(info, L"OriginalFilename"), L"dovrenta.exe");
}

TEST(ProgramFile, CarriesAnIconForTheShell) {
    const std::wstring file = ProgramFile();
    EXPECT_GE(::ExtractIconExW(file.c_str(), -1, nullptr, nullptr, 0), 1u);
    HICON large = nullptr;
    ASSERT_EQ(::ExtractIconExW(file.c_str(), 0, &large, nullptr, 1), 1u);
    ICONINFO icon{};
    ASSERT_TRUE(::GetIconInfo(large, &icon));
    BITMAP colour{};
    ASSERT_NE(::GetObjectW(icon.hbmColor, sizeof colour, &colour), 0);
    EXPECT_GE(colour.bmWidth, 32);
    ::DeleteObject(icon.hbmColor);
    ::DeleteObject(icon.hbmMask);
    ::DestroyIcon(large);
}

TEST(ProgramFile, ItsManifestCarriesTheVersionAndTakesLongPaths) {
    HMODULE module = ::LoadLibraryExW(ProgramFile().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)); // RT_MANIFEST
    ASSERT_NE(found, nullptr);
    const DWORD size = ::SizeofResource(module, found);
    const char* bytes = static_cast<const char*>(::LockResource(::LoadResource(module, found)));
    ASSERT_NE(bytes, nullptr);
    const std::string manifest(bytes, size);
    ::FreeLibrary(module);
    const std::string version = "version=\"" + std::to_string(VT_VERSION_MAJOR) + "." +
                                std::to_string(VT_VERSION_MINOR) + ".0.0\"";
    EXPECT_NE(manifest.find("name=\"Kestrova.Vantreel.dovrenta\" " + version), std::string::npos)
        << manifest;
    EXPECT_NE(manifest.find("<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/"
                            "WindowsSettings\">true</longPathAware>"),
              std::string::npos)
        << manifest;
}
