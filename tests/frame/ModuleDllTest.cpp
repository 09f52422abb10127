// The built DLL as the host meets it: its exports, imports and version resource. Loading and unloading it
// through the host, also without the host's type library, is the host's tests' part.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace {

using Library = std::unique_ptr<std::remove_pointer_t<HMODULE>, decltype(&FreeLibrary)>;

std::wstring DllPath() {
    return ovtest::BinFolder() + L"\\ovWPFControlsHook.dll";
}

TEST(ModuleDllTest, ExportsGetModuleIntfOnlyAndImportsSystemLibrariesOnly) {
    // Mapped without running or binding it.
    Library image(LoadLibraryExW(DllPath().c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES), &FreeLibrary);
    ASSERT_TRUE(image);
    const auto* base = reinterpret_cast<const BYTE*>(image.get());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
    const IMAGE_DATA_DIRECTORY* dirs = nt->OptionalHeader.DataDirectory;
    ASSERT_NE(dirs[IMAGE_DIRECTORY_ENTRY_EXPORT].VirtualAddress, 0u);
    ASSERT_NE(dirs[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress, 0u);

    const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(
        base + dirs[IMAGE_DIRECTORY_ENTRY_EXPORT].VirtualAddress);
    const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    std::vector<std::string> exported;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i)
        exported.emplace_back(reinterpret_cast<const char*>(base + names[i]));
    EXPECT_EQ(exported, std::vector<std::string>{"GetModuleIntf"});
    EXPECT_EQ(exports->NumberOfFunctions, 1u) << "no exports by ordinal only";

    // No MinGW runtime (libgcc, libstdc++, winpthread): everything is linked in.
    const std::set<std::string> system = {"kernel32.dll", "msvcrt.dll", "ole32.dll", "oleaut32.dll"};
    for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(
             base + dirs[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress);
         d->Name; ++d) {
        std::string name = reinterpret_cast<const char*>(base + d->Name);
        CharLowerA(name.data());
        EXPECT_TRUE(system.count(name)) << name;
    }
    EXPECT_EQ(dirs[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT].VirtualAddress, 0u);
}

TEST(ModuleDllTest, VersionResourceDescribesTheModule) {
    DWORD handle = 0;
    std::vector<BYTE> data(GetFileVersionInfoSizeW(DllPath().c_str(), &handle));
    ASSERT_FALSE(data.empty());
    ASSERT_TRUE(GetFileVersionInfoW(DllPath().c_str(), 0, static_cast<DWORD>(data.size()), data.data()));
    WORD* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    const wchar_t* description = L"Interfaces used to interact with WPF controls.";
    const std::pair<const wchar_t*, const wchar_t*> strings[] = {
        {L"FileDescription", description},
        {L"Comments", description},
        {L"InternalName", L"ovWPFControlsHook.dll"},
        {L"OriginalFilename", L"ovWPFControlsHook.dll"},
    };
    for (const auto& [name, expected] : strings) {
        wchar_t key[128];
        swprintf(key, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translation[0], translation[1], name);
        wchar_t* value = nullptr;
        EXPECT_TRUE(VerQueryValueW(data.data(), key, reinterpret_cast<void**>(&value), &length)) << name;
        EXPECT_EQ(std::wstring(value ? value : L"(none)"), expected) << name;
    }
}

} // namespace
