// The host's state, shared by the Host and by every COM object it hands out (each holds the core, so
// that objects the module keeps after the Host is gone still answer). The COM objects are views on this
// state; the core owns the object tree of the attached application until it is detached.
#pragma once

#include "HostCom.h"

#include "wpfsim/Application.h"

#include <chrono>
#include <cstring>
#include <functional>
#include <optional>
#include <vector>

namespace ovhost {

class HostNode;
class ProcessNode;
class TopLevelNode;

struct GuidLess {
    bool operator()(const GUID& a, const GUID& b) const noexcept {
        return std::memcmp(&a, &b, sizeof(GUID)) < 0;
    }
};

// Kinds of IovHostLog::AddEntry, then the host's own, which the module never writes: a message of the test
// script (Log.Message), the script's failure (a syntax error or an uncaught exception) and a check of the
// script that held (Log.Check; one that failed is an error).
enum LogKind : LONG {
    LogMessage = 0,
    LogNotice = 1,
    LogMenuNotice = 2,
    LogError = 3,
    LogScript = 4,
    LogScriptError = 5,
    LogCheck = 6
};

// Where an entry was made: the element whose automation object's member was running (its name and the
// name of its WPFControlType, empty when no member of one was) and the script's line (from 1; 0 when no
// script statement was running).
struct LogContext {
    std::wstring element;
    std::wstring elementKind;
    ULONG line = 0;
};

// The text of a failed Log.Check begins so; the check's own text follows.
inline constexpr wchar_t kCheckFailed[] = L"Check failed: ";

struct LogEntry {
    LogEntry(LONG kind = LogMessage, std::wstring text = {}, std::wstring details = {})
        : kind(kind), text(std::move(text)), details(std::move(details)) {}
    LONG kind;
    std::wstring text;
    std::wstring details;
    // Filled in by the core when the entry is added (the context where none is given).
    LogContext context;
    double seconds = 0; // since the host started
    bool check = false; // made by Log.Check (kind LogCheck when it held, LogError when it failed)
    // Two entries are equal when they say the same: where and when they were made do not count.
    friend bool operator==(const LogEntry& a, const LogEntry& b) {
        return a.kind == b.kind && a.text == b.text && a.details == b.details;
    }
};

enum class ActionKind { Click, Activate, MouseMove };

// One action of the host's mouse or window simulation, successful or not.
struct ActionRecord {
    ActionKind kind = ActionKind::Click;
    GUID target{};           // element identifier of what was acted on (zero when nothing was)
    std::wstring targetName; // the element's name
    wpfsim::MouseButton button = wpfsim::MouseButton::Left;
    bool doubleClick = false;
    LONG shift = 0;
    LONG x = -1, y = -1; // as the caller passed them
    POINT screen{};      // the screen point the host acted at
    LONG actionMode = 0; // the acting object's IovActionOptions at the time
    LONG actionFlags = 0;
    HRESULT result = S_OK;
};

// One call of "NotifyOptionUpdated".
struct OptionUpdate {
    std::wstring key;
    ov::Variant classNames;
};

struct RegisteredModule {
    GUID key{};
    ov::ComPtr<IUnknown> object;
};

// The settings of IovActionOptions that every on-screen object starts with. Their meaning is the real
// host's; the stand-in records them with each action.
inline constexpr LONG InitialActionMode = 1;
inline constexpr LONG InitialActionFlags = 1;

class HostCore : public std::enable_shared_from_this<HostCore> {
public:
    explicit HostCore(std::wstring productFolder);
    ~HostCore();
    HostCore(const HostCore&) = delete;
    HostCore& operator=(const HostCore&) = delete;

    const std::wstring& ProductFolder() const noexcept { return productFolder_; }
    CallCounter& Calls() noexcept { return calls_; }

    // Type information of a dual interface from the host's type library ("<product folder>\OVHookX64.exe\3"),
    // loaded on first need.
    HRESULT TypeInfo(REFIID iid, ITypeInfo** info);

    // --- log
    // Adds the entry with its time and, unless it names a line or an element, the context that
    // `logContext` gives now (the script model's: the acting element, the running line).
    void AddLog(LogEntry entry);
    const std::vector<LogEntry>& Log() const noexcept { return log_; }
    void ClearLog() noexcept { log_.clear(); }
    std::function<void(const LogEntry&)> onLog;
    std::function<LogContext()> logContext;

    // --- module manager (events go to the sinks; the host's own registrations fire them too)
    HRESULT RegisterModule(IUnknown* object);
    HRESULT UnregisterModule(const GUID& key);
    ov::ComPtr<IUnknown> FindModule(const GUID& key) const;
    HRESULT Advise(IovModuleManagerEvents* sink);
    HRESULT Unadvise(IovModuleManagerEvents* sink);
    const std::vector<RegisteredModule>& Modules() const noexcept { return modules_; }
    const std::vector<ov::ComPtr<IovModuleManagerEvents>>& Sinks() const noexcept { return sinks_; }
    // Releases every registration but the application owner's, and every sink, without events; says how
    // many registrations and sinks there were.
    std::pair<size_t, size_t> ReleaseModules() noexcept;
    // Grows whenever the registrations change: extension lists made before are out of date.
    unsigned ModulesGeneration() const noexcept { return modulesGeneration_; }

    // --- the application and its object tree
    void Attach(wpfsim::Application& app, std::wstring processName);
    void Detach();
    wpfsim::Application* App() const noexcept { return app_; }
    const std::wstring& ProcessName() const noexcept { return processName_; }
    ov::ComPtr<ProcessNode> Process() const;
    ov::ComPtr<IUnknown> Owner() const { return owner_; }
    // The object registered under an identifier (null when none).
    ov::ComPtr<HostNode> Find(const GUID& id) const;
    // The object of an element, made (with the objects above it) when the host has none yet; null when
    // the element is not in the attached application.
    ov::ComPtr<HostNode> NodeFor(const wpfsim::Element& element);
    // The top-level window object of a native window handle.
    ov::ComPtr<TopLevelNode> TopLevelOf(HWND window) const;
    void RegisterNode(HostNode& node);
    void UnregisterNode(const GUID& id) noexcept;
    // Releases the extension objects of every host object (they belong to the module).
    void DropExtensions() noexcept;
    long NextSerial() noexcept { return ++serial_; }

    // --- actions
    // Whether an element is still part of the attached application's tree.
    bool IsInApplication(const wpfsim::Element& element) const noexcept;
    // Whether the host has an object for the element: it is in a shown window's visual tree and neither it
    // nor an element above it is Hidden or Collapsed (closed popups, unselected tab pages, collapsed
    // expanders and ungenerated items are not in a window's visual tree at all), and it is no internal
    // part of another element's object: a tree view's nodes, and all they hold, have no objects of their
    // own (IsInternalPart).
    bool IsOnScreen(const wpfsim::Element& element) const noexcept;
    // A tree node: on screen it belongs to its tree view's object, which places it through
    // IovInternalObjects and CreateObject with a context.
    static bool IsInternalPart(const wpfsim::Element& element) noexcept;
    // Why the host has no object for an element, in a sentence that names the first reason up from it
    // ("'quantity' is not shown: it is on the tab page 'Details' of 'settingsTabs', which is not selected.");
    // empty when it has one.
    std::wstring WhyNotOnScreen(const wpfsim::Element& element) const;
    // The checks every action runs (injected failure, element gone, no response, invisible).
    std::optional<HostError> ActionBlocker(const wpfsim::Element* element, bool needVisible) const;
    HRESULT Record(ActionRecord record);
    const std::vector<ActionRecord>& Actions() const noexcept { return actions_; }
    void ClearActions() noexcept { actions_.clear(); }
    POINT MousePosition() const noexcept { return mouse_; }
    const GUID& ActiveWindow() const noexcept { return activeWindow_; }
    void SetActiveWindow(const GUID& root) noexcept { activeWindow_ = root; }
    // Every action and activation fails with this error until cleared.
    std::optional<HostError> actionFailure;
    // A test's switch: RefreshChildren still answers but brings nothing up to date.
    bool refreshIgnored = false;

    // --- options
    void NotifyOptionUpdated(std::wstring key, const VARIANT& classNames);
    const std::vector<OptionUpdate>& OptionUpdates() const noexcept { return optionUpdates_; }
    // The latest list of a key, or VT_EMPTY.
    ov::Variant OptionValue(std::wstring_view key) const;

private:
    HRESULT AddModule(const GUID& key, IUnknown* object);
    void FireModuleEvent(bool added, IUnknown* object);

    std::wstring productFolder_;
    CallCounter calls_;
    ov::ComPtr<ITypeLib> typeLib_;
    HRESULT typeLibResult_ = S_FALSE;
    std::map<GUID, ov::ComPtr<ITypeInfo>, GuidLess> typeInfos_;

    std::vector<LogEntry> log_;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();

    std::vector<RegisteredModule> modules_;
    std::vector<ov::ComPtr<IovModuleManagerEvents>> sinks_;
    unsigned modulesGeneration_ = 0;

    wpfsim::Application* app_ = nullptr;
    std::wstring processName_;
    ov::ComPtr<ProcessNode> process_;
    ov::ComPtr<IUnknown> owner_;
    GUID ownerKey_{};
    std::map<GUID, ov::ComPtr<HostNode>, GuidLess> registry_;
    long serial_ = 0;

    std::vector<ActionRecord> actions_;
    POINT mouse_{};
    GUID activeWindow_{};

    std::vector<OptionUpdate> optionUpdates_;
};

// Base of the host's COM objects that work on the core.
class CoreUser : public HostObjectBase {
public:
    explicit CoreUser(std::shared_ptr<HostCore> core) noexcept : core_(std::move(core)) {}
    HostCore& Core() const noexcept { return *core_; }
    const std::shared_ptr<HostCore>& SharedCore() const noexcept { return core_; }

protected:
    // Counts the call and times it until the scope ends (the benchmark's clock, when it runs).
    [[nodiscard]] CountedCall Count(const char* operation) const {
        return CountedCall(ov::StandIn::Host, core_->Calls(), operation);
    }
    HRESULT ReservedCall(const char* operation) const {
        OVHOST_COUNTED(Count(operation));
        return E_NOTIMPL;
    }

private:
    std::shared_ptr<HostCore> core_;
};

// The owner of an application's host objects (IovObjectInternal::GetOwner): a module object of the host,
// registered with the module manager while the application is attached.
class ApplicationOwner : public CoreUser, public IovModule, public IovModuleHidden {
public:
    using Interfaces = ov::Interfaces<IovModule, IovModuleHidden>;
    ApplicationOwner(std::shared_ptr<HostCore> core, const GUID& key) noexcept
        : CoreUser(std::move(core)), key_(key) {}
    HRESULT STDMETHODCALLTYPE GetModuleKey(GUID* key) override;

private:
    GUID key_;
};

} // namespace ovhost
