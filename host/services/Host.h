// The host stand-in as a whole: what OVHookX64.exe and the tests drive.
//
//   ovhost::Host host(ovhost::ExecutableFolder());
//   host.LoadModule();                   // ovWPFControlsHook.dll: GetModuleIntf, Initialize(hook)
//   wpfsim::Application app; ...
//   host.Attach(app);                    // host objects for every element, owner registered
//   auto object = host.HostObjectOf(*app.Find(L"okButton"));
//   ...
//   host.UnloadModule();                 // Dispose, Finalize, FreeLibrary
//
// The module reaches the host only through the hook object it gets at Initialize (module manager, object
// service, log). Everything it calls there is counted (Calls()) and what it leaves behind is recorded:
// log entries, actions, option updates, syntax objects. The accessors below are the host's own and count
// nothing.
#pragma once

#include "HostObjects.h"
#include "Services.h"

#include <stdexcept>

namespace ovhost {

// The module could not be loaded; Reason() says why in one line.
class LoadError : public std::runtime_error {
public:
    explicit LoadError(std::wstring reason);
    const std::wstring& Reason() const noexcept { return reason_; }

private:
    std::wstring reason_;
};

inline constexpr const wchar_t* ModuleFileName = L"ovWPFControlsHook.dll";

class Host {
public:
    // The product folder holds OVHookX64.exe (the host's type library) and the module, directly or in
    // its subfolder Extensions.
    explicit Host(std::wstring productFolder);
    // Detaches the application, unloads the module and releases what the module left registered.
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    const std::wstring& ProductFolder() const noexcept { return core_->ProductFolder(); }

    // --- the module
    // Sets the product folder variable, loads the module, calls GetModuleIntf and Initialize with the
    // hook object, and adds the host's unload listener. Throws LoadError; nothing stays loaded then.
    void LoadModule();
    // Releases the module's extension objects, disposes its module objects, calls Finalize, releases the
    // module and frees the library (whose detach calls the unload listeners). What the module leaves
    // registered is released before the library goes and logged as an error.
    void UnloadModule();
    bool ModuleLoaded() const noexcept { return module_ != nullptr; }
    const std::wstring& ModulePath() const noexcept { return modulePath_; }
    // The module file names the module's unload listeners calls passed to the host's listener.
    std::vector<std::wstring> UnloadNotifications() const;

    // --- what the module is given
    ov::ComPtr<IovOpenAppHook> Hook() const;
    ov::ComPtr<IovObjectService> ObjectService() const;
    ov::ComPtr<IovHostLog> LogService() const;
    ov::ComPtr<IovModuleManager> ModuleManager() const;

    // --- the module manager's state
    const std::vector<RegisteredModule>& Modules() const noexcept { return core_->Modules(); }
    size_t SinkCount() const noexcept { return core_->Sinks().size(); }

    // --- the application
    // Builds the host objects of the application (one application at a time) and registers its owner.
    void Attach(wpfsim::Application& app, std::wstring processName = L"App");
    // Drops every host object (they turn invalid) and unregisters the owner (OnModuleRemoved).
    void Detach();
    // The host object of an element, made when the host has none yet; null when the element is not in
    // the attached application.
    ov::ComPtr<IovHostObject> HostObjectOf(const wpfsim::Element& element);
    ov::ComPtr<ElementNode> NodeOf(const wpfsim::Element& element);
    ov::ComPtr<IovHostObject> ProcessObject() const;
    ov::ComPtr<IUnknown> Owner() const { return core_->Owner(); }
    // The extension objects that the module's extenders gave the element's object.
    std::vector<ov::ComPtr<IUnknown>> ExtensionsOf(const wpfsim::Element& element);
    // The top-level element last activated (null when none).
    wpfsim::Element* ActiveWindow() const;

    // --- what the module left
    const std::vector<LogEntry>& Log() const noexcept { return core_->Log(); }
    void ClearLog() noexcept { core_->ClearLog(); }
    // Called for every new entry (the program prints the log as it grows).
    void OnLog(std::function<void(const LogEntry&)> listener) { core_->onLog = std::move(listener); }
    const std::vector<ActionRecord>& Actions() const noexcept { return core_->Actions(); }
    void ClearActions() noexcept { core_->ClearActions(); }
    POINT MousePosition() const noexcept { return core_->MousePosition(); }
    CallCounter& Calls() noexcept { return core_->Calls(); }
    const std::vector<OptionUpdate>& OptionUpdates() const noexcept { return core_->OptionUpdates(); }
    ov::Variant OptionValue(std::wstring_view key) const { return core_->OptionValue(key); }
    // A syntax node standing for a script expression, to give wrappers a syntax to build on.
    ov::ComPtr<IovSyntaxNode> MakeSyntaxRoot(std::wstring text);

    // --- faults: every mouse action and activation fails with this error until cleared
    void FailActions(HostError error) { core_->actionFailure = std::move(error); }
    void ClearActionFailure() noexcept { core_->actionFailure.reset(); }
    // For tests only: RefreshChildren succeeds and changes nothing, so that a test shows what the
    // module owes to the refresh. The real host always refreshes.
    void IgnoreRefresh(bool ignore) noexcept { core_->refreshIgnored = ignore; }

    HostCore& Core() noexcept { return *core_; }

private:
    struct LoadedModule;
    void ReleaseModuleObjects() noexcept;

    std::shared_ptr<HostCore> core_;
    ov::ComPtr<HookObject> hook_;
    ov::ComPtr<UnloadListener> listener_;
    std::unique_ptr<LoadedModule> module_;
    std::wstring modulePath_;
};

// The folder of the running program.
std::wstring ExecutableFolder();

} // namespace ovhost
