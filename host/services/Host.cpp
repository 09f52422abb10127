#include "Host.h"

#include <cstdio>

namespace ovhost {
namespace {

std::string Convert(std::wstring_view text, UINT codePage) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                        nullptr);
    return out;
}

std::wstring Hex(HRESULT hr) {
    wchar_t text[16];
    swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

// The system's text of an error code on one line, in parentheses; empty when the system has none.
std::wstring SystemText(DWORD code) {
    wchar_t* buffer = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer ? buffer : L"", n);
    LocalFree(buffer);
    while (!text.empty() &&
           (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' || text.back() == L'.'))
        text.pop_back();
    for (auto& c : text)
        if (c == L'\r' || c == L'\n') c = L' ';
    return text.empty() ? std::wstring() : L" (" + text + L")";
}

bool IsFile(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Why LoadLibrary failed, as a user can act on it.
std::wstring LoadFailure(DWORD error, const std::wstring& folder) {
    if (error == ERROR_DLL_INIT_FAILED) {
        std::wstring typeLib = folder + L"\\OVHookX64.exe\\3";
        ov::ComPtr<ITypeLib> library;
        HRESULT hr = LoadTypeLib(typeLib.c_str(), library.Put());
        if (FAILED(hr))
            return L"its start-up failed: the host type library " + typeLib + L" cannot be loaded (" +
                   Hex(hr) + L").";
        return L"its start-up failed (its entry point refused the load).";
    }
    return L"LoadLibrary failed with error " + std::to_wstring(error) + SystemText(error) + L".";
}

using GetModuleIntfFunction = HRESULT(__stdcall*)(IUnknown**);

} // namespace

LoadError::LoadError(std::wstring reason)
    : std::runtime_error(Convert(reason, CP_UTF8)), reason_(std::move(reason)) {}

struct Host::LoadedModule {
    HMODULE library = nullptr;
    ov::ComPtr<IUnknown> info;
    ov::ComPtr<IovOpenAppHookExtension> extension;
    bool initialized = false;
};

Host::Host(std::wstring productFolder)
    : core_(std::make_shared<HostCore>(std::move(productFolder))), hook_(ov::Create<HookObject>(core_)),
      listener_(ov::Create<UnloadListener>(core_)) {}

Host::~Host() {
    try {
        Detach();
    } catch (...) {
    }
    UnloadModule();
    core_->ReleaseModules();
}

void Host::LoadModule() {
    if (module_) throw LoadError(L"The module is already loaded from " + modulePath_ + L".");
    const std::wstring& folder = ProductFolder();
    std::wstring path;
    for (const std::wstring& candidate :
         {folder + L"\\" + ModuleFileName, folder + L"\\Extensions\\" + ModuleFileName})
        if (IsFile(candidate)) {
            path = candidate;
            break;
        }
    if (path.empty())
        throw LoadError(std::wstring(L"Cannot load ") + ModuleFileName + L": it is neither in " + folder +
                        L" nor in its subfolder Extensions.");
    auto cannot = [&](const std::wstring& why) { return LoadError(L"Cannot load " + path + L": " + why); };

    // The module finds the host's type library through the product folder variable, as the real host
    // sets it for the processes it starts (the host's own command line never asks for the alternative).
    SetEnvironmentVariableA("Orvane6_X64_Product_Path", Convert(folder, CP_ACP).c_str());
    auto module = std::make_unique<LoadedModule>();
    module->library = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module->library) throw cannot(LoadFailure(GetLastError(), folder));
    module_ = std::move(module);
    modulePath_ = path;

    try {
        auto entry = reinterpret_cast<GetModuleIntfFunction>(
            reinterpret_cast<void*>(GetProcAddress(module_->library, "GetModuleIntf")));
        if (!entry) throw cannot(L"it does not export GetModuleIntf.");
        if (HRESULT hr = entry(module_->info.Put()); FAILED(hr) || !module_->info)
            throw cannot(L"GetModuleIntf failed (" + Hex(FAILED(hr) ? hr : E_POINTER) + L").");
        module_->extension = module_->info.As<IovOpenAppHookExtension>();
        if (!module_->extension) throw cannot(L"its module object does not answer IovOpenAppHookExtension.");
        VARIANT_BOOL succeeded = VARIANT_FALSE;
        HRESULT hr = module_->extension->Initialize(hook_.Get(), &succeeded);
        module_->initialized = true;
        if (FAILED(hr)) throw cannot(L"Initialize failed (" + Hex(hr) + L").");
        if (!succeeded) throw cannot(L"Initialize answered false.");
        if (auto info = module_->info.As<IbxModuleIntf>()) info->AddUnloadListener(listener_.Get());
    } catch (...) {
        UnloadModule();
        modulePath_.clear();
        throw;
    }
}

void Host::UnloadModule() {
    if (!module_) return;
    auto module = std::move(module_);
    // The module's objects must all be released while its code is still loaded.
    core_->DropExtensions();
    if (module->initialized) {
        auto modules = core_->Modules();
        for (const auto& m : modules)
            if (m.object != core_->Owner())
                if (auto disposable = m.object.As<IbxDisposable>()) disposable->Dispose();
        module->extension->Finalize();
    }
    auto [registrations, sinks] = core_->ReleaseModules();
    if (registrations || sinks)
        core_->AddLog({LogError, std::wstring(ModuleFileName) + L" left registrations behind after Finalize.",
                       std::to_wstring(registrations) + L" module object(s) and " + std::to_wstring(sinks) +
                           L" event sink(s) were still registered with the module manager."});
    module->extension.Reset();
    module->info.Reset();
    FreeLibrary(module->library);
}

std::vector<std::wstring> Host::UnloadNotifications() const {
    return listener_->Notifications();
}

ov::ComPtr<IovOpenAppHook> Host::Hook() const {
    return ov::ComPtr<IovOpenAppHook>(hook_.Get());
}
ov::ComPtr<IovObjectService> Host::ObjectService() const {
    return ov::ComPtr<IovObjectService>(hook_.Get());
}
ov::ComPtr<IovHostLog> Host::LogService() const {
    return ov::ComPtr<IovHostLog>(hook_.Get());
}
ov::ComPtr<IovModuleManager> Host::ModuleManager() const {
    return ov::ComPtr<IovModuleManager>(hook_->Manager().Get());
}

void Host::Attach(wpfsim::Application& app, std::wstring processName) {
    core_->Attach(app, std::move(processName));
}

void Host::Detach() {
    core_->Detach();
}

ov::ComPtr<IovHostObject> Host::HostObjectOf(const wpfsim::Element& element) {
    auto node = core_->NodeFor(element);
    return node ? ov::ComPtr<IovHostObject>(node->AsHostObject()) : nullptr;
}

ov::ComPtr<ElementNode> Host::NodeOf(const wpfsim::Element& element) {
    auto node = core_->NodeFor(element);
    return ov::ComPtr<ElementNode>(dynamic_cast<ElementNode*>(node.Get()));
}

ov::ComPtr<IovHostObject> Host::ProcessObject() const {
    auto process = core_->Process();
    return process ? ov::ComPtr<IovHostObject>(process->AsHostObject()) : nullptr;
}

std::vector<ov::ComPtr<IUnknown>> Host::ExtensionsOf(const wpfsim::Element& element) {
    auto node = NodeOf(element);
    return node ? node->Extensions() : std::vector<ov::ComPtr<IUnknown>>();
}

wpfsim::Element* Host::ActiveWindow() const {
    wpfsim::Application* app = core_->App();
    return app ? app->FindById(core_->ActiveWindow()) : nullptr;
}

ov::ComPtr<IovSyntaxNode> Host::MakeSyntaxRoot(std::wstring text) {
    auto node = ov::Create<SyntaxNode>(core_, std::move(text));
    return ov::ComPtr<IovSyntaxNode>(node.Get());
}

std::wstring ExecutableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L"\\/"));
}

} // namespace ovhost
