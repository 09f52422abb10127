// The built module DLL as the host meets it: its exports, imports and version resource, and its attach and
// detach run by the system loader in this process.
#include "dispatch/ComObject.h"
#include "dispatch/OleTypes.h"
#include "ovHostIntf.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

using TestLiveCount = ov::LiveCount<struct TestTag>;

std::wstring DllPath() {
    return ovtest::BinFolder() + L"\\ovWPFControlsHook.dll";
}

std::string Ansi(const std::wstring& s) {
    int n = WideCharToMultiByte(CP_ACP, 0, s.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string r(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
    WideCharToMultiByte(CP_ACP, 0, s.c_str(), -1, r.data(), n, nullptr, nullptr);
    return r;
}

std::string Lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return s;
}

// --- the PE image, mapped by the loader without running or binding it

class PeImage {
public:
    explicit PeImage(const std::wstring& path)
        : module_(LoadLibraryExW(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES)) {}
    ~PeImage() {
        if (module_) FreeLibrary(module_);
    }
    PeImage(const PeImage&) = delete;
    PeImage& operator=(const PeImage&) = delete;

    const IMAGE_NT_HEADERS64* Headers() const {
        if (!module_) return nullptr;
        auto* nt = At<IMAGE_NT_HEADERS64>(At<IMAGE_DOS_HEADER>(0)->e_lfanew);
        return nt->Signature == IMAGE_NT_SIGNATURE ? nt : nullptr;
    }

    std::vector<std::string> ExportNames() const {
        std::vector<std::string> names;
        if (auto* dir = Directory<IMAGE_EXPORT_DIRECTORY>(IMAGE_DIRECTORY_ENTRY_EXPORT))
            for (DWORD i = 0; i < dir->NumberOfNames; ++i)
                names.push_back(At<char>(At<DWORD>(dir->AddressOfNames)[i]));
        return names;
    }
    DWORD ExportedFunctionCount() const {
        auto* dir = Directory<IMAGE_EXPORT_DIRECTORY>(IMAGE_DIRECTORY_ENTRY_EXPORT);
        return dir ? dir->NumberOfFunctions : 0;
    }
    std::vector<std::string> Imports() const {
        std::vector<std::string> names;
        if (auto* d = Directory<IMAGE_IMPORT_DESCRIPTOR>(IMAGE_DIRECTORY_ENTRY_IMPORT))
            for (; d->Name; ++d)
                names.push_back(At<char>(d->Name));
        return names;
    }
    bool HasDelayedImports() const {
        return Directory<IMAGE_DELAYLOAD_DESCRIPTOR>(IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT) != nullptr;
    }

private:
    template <class T> const T* At(LONG_PTR rva) const {
        return reinterpret_cast<const T*>(reinterpret_cast<const BYTE*>(module_) + rva);
    }
    template <class T> const T* Directory(DWORD entry) const {
        const IMAGE_NT_HEADERS64* nt = Headers();
        DWORD rva = nt ? nt->OptionalHeader.DataDirectory[entry].VirtualAddress : 0;
        return rva ? At<T>(rva) : nullptr;
    }

    HMODULE module_;
};

TEST(ModuleDllTest, IsA64BitDllExportingGetModuleIntfOnly) {
    PeImage image(DllPath());
    const IMAGE_NT_HEADERS64* nt = image.Headers();
    ASSERT_NE(nt, nullptr) << "no PE image at the DLL's path";
    EXPECT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_AMD64);
    EXPECT_NE(nt->FileHeader.Characteristics & IMAGE_FILE_DLL, 0);
    EXPECT_EQ(image.ExportNames(), std::vector<std::string>{"GetModuleIntf"});
    EXPECT_EQ(image.ExportedFunctionCount(), 1u) << "no exports by ordinal only";
}

TEST(ModuleDllTest, ImportsSystemLibrariesOnly) {
    const std::set<std::string> system = {"kernel32.dll", "msvcrt.dll", "ole32.dll", "oleaut32.dll"};
    PeImage image(DllPath());
    ASSERT_NE(image.Headers(), nullptr);
    std::vector<std::string> imports = image.Imports();
    EXPECT_FALSE(imports.empty());
    for (const std::string& name : imports)
        EXPECT_TRUE(system.count(Lower(name))) << name;
    EXPECT_FALSE(image.HasDelayedImports());
}

std::optional<std::wstring> VersionString(const std::wstring& file, const wchar_t* name) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(file.c_str(), &handle);
    if (size == 0) return std::nullopt;
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, data.data())) return std::nullopt;
    struct Translation {
        WORD language;
        WORD codePage;
    }* translations = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations),
                        &length) ||
        length < sizeof(Translation))
        return std::nullopt;
    wchar_t key[128];
    swprintf(key, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translations->language, translations->codePage,
             name);
    wchar_t* value = nullptr;
    if (!VerQueryValueW(data.data(), key, reinterpret_cast<void**>(&value), &length) || !value)
        return std::nullopt;
    return std::wstring(value);
}

TEST(ModuleDllTest, VersionResourceDescribesTheModule) {
    struct Case {
        const wchar_t* name;
        const wchar_t* value;
    } cases[] = {
        {L"FileDescription", L"Interfaces used to interact with WPF controls."},
        {L"Comments", L"Interfaces used to interact with WPF controls."},
        {L"InternalName", L"ovWPFControlsHook.dll"},
        {L"OriginalFilename", L"ovWPFControlsHook.dll"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(VersionString(DllPath(), c.name), std::wstring(c.value)) << c.name;
}

// --- loading the DLL

constexpr const char* kVariable = "Orvane6_X64_Product_Path";

class SavedVariable {
public:
    explicit SavedVariable(const char* name) : name_(name) {
        DWORD n = GetEnvironmentVariableA(name, nullptr, 0);
        if (n > 0) {
            value_.resize(n);
            value_.resize(GetEnvironmentVariableA(name, value_.data(), n));
            set_ = true;
        }
    }
    ~SavedVariable() { SetEnvironmentVariableA(name_, set_ ? value_.c_str() : nullptr); }
    SavedVariable(const SavedVariable&) = delete;
    SavedVariable& operator=(const SavedVariable&) = delete;

private:
    const char* name_;
    std::string value_;
    bool set_ = false;
};

// A folder of its own under the temporary folder, removed with what it holds.
class TempFolder {
public:
    TempFolder() {
        wchar_t base[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, base);
        path_ = std::wstring(base) + L"ovtest-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(GetTickCount());
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TempFolder() {
        for (const std::wstring& file : files_)
            DeleteFileW(file.c_str());
        RemoveDirectoryW(path_.c_str());
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::wstring& Path() const noexcept { return path_; }
    std::wstring Copy(const std::wstring& source, const wchar_t* name) {
        std::wstring target = path_ + L"\\" + name;
        if (CopyFileW(source.c_str(), target.c_str(), FALSE)) files_.push_back(target);
        return target;
    }

private:
    std::wstring path_;
    std::vector<std::wstring> files_;
};

TEST(ModuleDllTest, LoadFailsWithoutTheHostTypeLibrary) {
    SavedVariable saved(kVariable);
    TempFolder folder;
    std::wstring copy = folder.Copy(DllPath(), L"ovWPFControlsHook.dll");
    ASSERT_NE(GetFileAttributesW(copy.c_str()), INVALID_FILE_ATTRIBUTES);
    SetEnvironmentVariableA(kVariable, Ansi(folder.Path()).c_str());

    HMODULE module = LoadLibraryW(copy.c_str());
    DWORD error = GetLastError();
    EXPECT_EQ(module, nullptr) << "the DLL loaded although its folder holds no host";
    // Refused by the DLL's own start-up, not by the loader.
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_DLL_INIT_FAILED));
    if (module) FreeLibrary(module);
}

// Records the unload notifications that the DLL's detach sends.
class RecordingListener : public IbxModuleUnloadListener {
public:
    using Interfaces = ov::Interfaces<IbxModuleUnloadListener>;
    using LiveCounter = TestLiveCount;

    HRESULT STDMETHODCALLTYPE OnModuleUnload(BSTR moduleFileName, IbxModuleIntf* moduleInfo) override {
        names.emplace_back(moduleFileName ? moduleFileName : L"(null)");
        gotModule = gotModule || moduleInfo != nullptr;
        return S_OK;
    }

    std::vector<std::wstring> names;
    bool gotModule = false;
};

// The real attach: with the variable unset it derives the folder from the DLL's location, loads both type
// libraries and lets the host in through the export; the real detach tells the unload listeners.
TEST(ModuleDllTest, LoadsBesideTheHostAndTellsListenersAtUnload) {
    SavedVariable savedFolder(kVariable);
    SavedVariable savedPath("PATH");
    SetEnvironmentVariableA(kVariable, nullptr);
    ASSERT_NE(GetFileAttributesW((ovtest::BinFolder() + L"\\OVHookX64.exe").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the host program is not built";

    HMODULE module = LoadLibraryW(DllPath().c_str());
    ASSERT_NE(module, nullptr) << "load failed: " << GetLastError();
    char folder[MAX_PATH] = {};
    GetEnvironmentVariableA(kVariable, folder, MAX_PATH);
    EXPECT_EQ(std::string(folder), Lower(Ansi(ovtest::BinFolder())));

    using Entry = HRESULT(__stdcall*)(IUnknown**);
    auto getModuleIntf =
        reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module, "GetModuleIntf")));
    ov::ComPtr<RecordingListener> listener = ov::Create<RecordingListener>();
    EXPECT_NE(getModuleIntf, nullptr) << "GetModuleIntf is not exported";
    if (getModuleIntf) {
        // No reference of ours may outlive the DLL's code, and the DLL is freed whatever fails here.
        ov::ComPtr<IUnknown> unknown;
        EXPECT_EQ(getModuleIntf(unknown.Put()), S_OK);
        ov::ComPtr<IbxModuleIntf> moduleInfo = unknown.As<IbxModuleIntf>();
        EXPECT_TRUE(moduleInfo);
        if (moduleInfo) EXPECT_EQ(moduleInfo->AddLateUnloadListener(listener.Get()), S_OK);
    }
    EXPECT_TRUE(FreeLibrary(module));

    EXPECT_EQ(listener->names, std::vector<std::wstring>{L"ovWPFControlsHook.dll"});
    EXPECT_TRUE(listener->gotModule);
    listener.Reset();
    EXPECT_EQ(TestLiveCount::Get(), 0) << "the DLL kept the listener";
}

} // namespace
