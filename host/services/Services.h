// The host's services for the module: the hook object handed to Initialize (which is also the object
// service and the log), the module manager, the option store, the script syntax objects and the unload
// listener the host adds to the module.
#pragma once

#include "HostCore.h"

namespace ovhost {

// The module manager: a view on the core's registrations.
class ModuleManager : public CoreUser, public IovModuleManager {
public:
    using Interfaces = ov::Interfaces<IovModuleManager>;
    using CoreUser::CoreUser;

    HRESULT STDMETHODCALLTYPE FindModule(const GUID* key, IUnknown** moduleObject) override;
    HRESULT STDMETHODCALLTYPE RegisterModule(IUnknown* moduleObject) override;
    HRESULT STDMETHODCALLTYPE UnregisterModule(const GUID* key) override;
    OVHOST_RESERVED(IovModuleManager, 6)
    OVHOST_RESERVED(IovModuleManager, 7)
    HRESULT STDMETHODCALLTYPE AdviseManagerEvents(IovModuleManagerEvents* sink) override;
    HRESULT STDMETHODCALLTYPE UnadviseManagerEvents(IovModuleManagerEvents* sink) override;
};

// The hook object: IovOpenAppHook, and through QueryInterface the object service and the log.
class HookObject : public CoreUser, public IovOpenAppHook, public IovObjectService, public IovHostLog {
public:
    using Interfaces = ov::Interfaces<IovOpenAppHook, IovObjectService, IovHostLog>;
    using CoreUser::CoreUser;

    // IovOpenAppHook
    HRESULT STDMETHODCALLTYPE GetModuleManager(IUnknown** manager) override;

    // IovObjectService
    OVHOST_RESERVED(IovObjectService, 3)
    OVHOST_RESERVED(IovObjectService, 4)
    OVHOST_RESERVED(IovObjectService, 5)
    OVHOST_RESERVED(IovObjectService, 6)
    OVHOST_RESERVED(IovObjectService, 7)
    OVHOST_RESERVED(IovObjectService, 8)
    HRESULT STDMETHODCALLTYPE PlayMouseMessage(const MSG* message) override;
    OVHOST_RESERVED(IovObjectService, 10)
    HRESULT STDMETHODCALLTYPE CreateObject(const GUID* id, IUnknown* context, IUnknown** result) override;
    OVHOST_RESERVED(IovObjectService, 12)
    OVHOST_RESERVED(IovObjectService, 13)
    OVHOST_RESERVED(IovObjectService, 14)
    OVHOST_RESERVED(IovObjectService, 15)
    OVHOST_RESERVED(IovObjectService, 16)
    OVHOST_RESERVED(IovObjectService, 17)
    OVHOST_RESERVED(IovObjectService, 18)
    OVHOST_RESERVED(IovObjectService, 19)
    HRESULT STDMETHODCALLTYPE FindHostObject(IUnknown* parent, const GUID* elementId,
                                             IUnknown** hostObject) override;
    OVHOST_RESERVED(IovObjectService, 21)
    OVHOST_RESERVED(IovObjectService, 22)
    OVHOST_RESERVED(IovObjectService, 23)
    OVHOST_RESERVED(IovObjectService, 24)
    OVHOST_RESERVED(IovObjectService, 25)
    OVHOST_RESERVED(IovObjectService, 26)
    OVHOST_RESERVED(IovObjectService, 27)
    OVHOST_RESERVED(IovObjectService, 28)
    OVHOST_RESERVED(IovObjectService, 29)
    OVHOST_RESERVED(IovObjectService, 30)
    OVHOST_RESERVED(IovObjectService, 31)
    OVHOST_RESERVED(IovObjectService, 32)
    OVHOST_RESERVED(IovObjectService, 33)
    OVHOST_RESERVED(IovObjectService, 34)
    OVHOST_RESERVED(IovObjectService, 35)
    OVHOST_RESERVED(IovObjectService, 36)
    OVHOST_RESERVED(IovObjectService, 37)
    OVHOST_RESERVED(IovObjectService, 38)
    OVHOST_RESERVED(IovObjectService, 39)
    OVHOST_RESERVED(IovObjectService, 40)
    OVHOST_RESERVED(IovObjectService, 41)
    OVHOST_RESERVED(IovObjectService, 42)
    OVHOST_RESERVED(IovObjectService, 43)
    OVHOST_RESERVED(IovObjectService, 44)
    OVHOST_RESERVED(IovObjectService, 45)
    OVHOST_RESERVED(IovObjectService, 46)
    OVHOST_RESERVED(IovObjectService, 47)
    OVHOST_RESERVED(IovObjectService, 48)
    OVHOST_RESERVED(IovObjectService, 49)
    OVHOST_RESERVED(IovObjectService, 50)
    OVHOST_RESERVED(IovObjectService, 51)
    OVHOST_RESERVED(IovObjectService, 52)
    OVHOST_RESERVED(IovObjectService, 53)
    OVHOST_RESERVED(IovObjectService, 54)
    OVHOST_RESERVED(IovObjectService, 55)
    OVHOST_RESERVED(IovObjectService, 56)
    OVHOST_RESERVED(IovObjectService, 57)
    OVHOST_RESERVED(IovObjectService, 58)
    OVHOST_RESERVED(IovObjectService, 59)
    OVHOST_RESERVED(IovObjectService, 60)
    OVHOST_RESERVED(IovObjectService, 61)
    OVHOST_RESERVED(IovObjectService, 62)
    OVHOST_RESERVED(IovObjectService, 63)
    OVHOST_RESERVED(IovObjectService, 64)
    OVHOST_RESERVED(IovObjectService, 65)
    OVHOST_RESERVED(IovObjectService, 66)
    OVHOST_RESERVED(IovObjectService, 67)
    OVHOST_RESERVED(IovObjectService, 68)
    OVHOST_RESERVED(IovObjectService, 69)
    OVHOST_RESERVED(IovObjectService, 70)
    OVHOST_RESERVED(IovObjectService, 71)
    OVHOST_RESERVED(IovObjectService, 72)
    OVHOST_RESERVED(IovObjectService, 73)
    OVHOST_RESERVED(IovObjectService, 74)
    OVHOST_RESERVED(IovObjectService, 75)
    OVHOST_RESERVED(IovObjectService, 76)
    OVHOST_RESERVED(IovObjectService, 77)
    OVHOST_RESERVED(IovObjectService, 78)
    OVHOST_RESERVED(IovObjectService, 79)
    OVHOST_RESERVED(IovObjectService, 80)
    OVHOST_RESERVED(IovObjectService, 81)
    OVHOST_RESERVED(IovObjectService, 82)
    OVHOST_RESERVED(IovObjectService, 83)
    OVHOST_RESERVED(IovObjectService, 84)
    HRESULT STDMETHODCALLTYPE GetWindowAtPoint(LONG x, LONG y, HWND* window) override;

    // IovHostLog
    HRESULT STDMETHODCALLTYPE AddEntry(LONG kind, BSTR text, BSTR details) override;

    // The module manager this hook hands out (not counted).
    ov::ComPtr<ModuleManager> Manager();

private:
    ov::ComPtr<ModuleManager> manager_;
};

// The option store of host objects; its one extension is the notification object.
class OptionStore : public CoreUser, public IovOptionStore {
public:
    using Interfaces = ov::Interfaces<IovOptionStore>;
    using CoreUser::CoreUser;
    HRESULT STDMETHODCALLTYPE GetExtension(const GUID* iid, IUnknown** extension,
                                           VARIANT_BOOL* found) override;
};

// Takes the class-name lists the module publishes ("NotifyOptionUpdated", called by name).
class OptionNotification : public CoreUser, public DualDispatch<OptionNotification, IovOptionNotification> {
public:
    using Interfaces = ov::Interfaces<IovOptionNotification, ov::Via<IDispatch, IovOptionNotification>>;
    using CoreUser::CoreUser;
    HRESULT STDMETHODCALLTYPE NotifyOptionUpdated(BSTR key, VARIANT classNames) override;
};

// A syntax node that stands for a script expression of its own (the root of member steps).
class SyntaxNode : public CoreUser, public IovSyntaxNode {
public:
    using Interfaces = ov::Interfaces<IovSyntaxNode, IovSyntaxItem>;
    SyntaxNode(std::shared_ptr<HostCore> core, std::wstring text)
        : CoreUser(std::move(core)), text_(std::move(text)) {}
    HRESULT STDMETHODCALLTYPE GetText(BSTR* text) override;

private:
    std::wstring text_;
};

// Owner.Name or Owner.Name(Arguments), keeping what the module set.
class SyntaxMember : public CoreUser, public IovSyntaxMember {
public:
    using Interfaces = ov::Interfaces<IovSyntaxMember, IovSyntaxNode, IovSyntaxItem>;
    using CoreUser::CoreUser;

    HRESULT STDMETHODCALLTYPE GetText(BSTR* text) override;
    OVHOST_RESERVED(IovSyntaxMember, 4)
    OVHOST_RESERVED(IovSyntaxMember, 5)
    OVHOST_RESERVED(IovSyntaxMember, 6)
    OVHOST_RESERVED(IovSyntaxMember, 7)
    OVHOST_RESERVED(IovSyntaxMember, 8)
    OVHOST_RESERVED(IovSyntaxMember, 9)
    OVHOST_RESERVED(IovSyntaxMember, 10)
    OVHOST_RESERVED(IovSyntaxMember, 11)
    OVHOST_RESERVED(IovSyntaxMember, 12)
    OVHOST_RESERVED(IovSyntaxMember, 13)
    OVHOST_RESERVED(IovSyntaxMember, 14)
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override;
    HRESULT STDMETHODCALLTYPE put_Name(BSTR name) override;
    HRESULT STDMETHODCALLTYPE get_Arguments(IovSyntaxArguments** arguments) override;
    HRESULT STDMETHODCALLTYPE put_Arguments(IovSyntaxArguments* arguments) override;
    HRESULT STDMETHODCALLTYPE get_Owner(IovSyntaxNode** owner) override;
    HRESULT STDMETHODCALLTYPE put_Owner(IovSyntaxNode* owner) override;
    HRESULT STDMETHODCALLTYPE get_MemberFlag(VARIANT_BOOL* flag) override;
    HRESULT STDMETHODCALLTYPE put_MemberFlag(VARIANT_BOOL flag) override;

private:
    ov::Bstr name_;
    ov::ComPtr<IovSyntaxArguments> arguments_;
    ov::ComPtr<IovSyntaxNode> owner_;
    VARIANT_BOOL flag_ = VARIANT_FALSE;
};

class SyntaxArguments : public CoreUser, public IovSyntaxArguments {
public:
    using Interfaces = ov::Interfaces<IovSyntaxArguments>;
    using CoreUser::CoreUser;
    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override;
    HRESULT STDMETHODCALLTYPE Add(IovSyntaxArgument* argument) override;
    HRESULT STDMETHODCALLTYPE get_Item(LONG index, IovSyntaxArgument** argument) override;
    // The arguments' texts joined with ", " (not counted).
    std::wstring Text() const;

private:
    std::vector<ov::ComPtr<IovSyntaxArgument>> items_;
};

class SyntaxArgument : public CoreUser, public IovSyntaxArgument {
public:
    using Interfaces = ov::Interfaces<IovSyntaxArgument, IovSyntaxItem>;
    using CoreUser::CoreUser;
    // The value as script text: strings quoted (with "" for a quote), booleans true/false, numbers as
    // written, empty values "".
    HRESULT STDMETHODCALLTYPE GetText(BSTR* text) override;
    OVHOST_RESERVED(IovSyntaxArgument, 4)
    OVHOST_RESERVED(IovSyntaxArgument, 5)
    OVHOST_RESERVED(IovSyntaxArgument, 6)
    OVHOST_RESERVED(IovSyntaxArgument, 7)
    OVHOST_RESERVED(IovSyntaxArgument, 8)
    OVHOST_RESERVED(IovSyntaxArgument, 9)
    OVHOST_RESERVED(IovSyntaxArgument, 10)
    OVHOST_RESERVED(IovSyntaxArgument, 11)
    OVHOST_RESERVED(IovSyntaxArgument, 12)
    HRESULT STDMETHODCALLTYPE get_Value(VARIANT* value) override;
    HRESULT STDMETHODCALLTYPE put_Value(VARIANT value) override;

private:
    ov::Variant value_;
};

// Records the module's unload notifications (the module calls it from its process detach).
class UnloadListener : public CoreUser, public IbxModuleUnloadListener {
public:
    using Interfaces = ov::Interfaces<IbxModuleUnloadListener>;
    using CoreUser::CoreUser;
    HRESULT STDMETHODCALLTYPE OnModuleUnload(BSTR moduleFileName, IbxModuleIntf* moduleInfo) override;
    const std::vector<std::wstring>& Notifications() const noexcept { return names_; }

private:
    std::vector<std::wstring> names_;
};

// The script text of any syntax item ("" when it has none).
std::wstring SyntaxText(IUnknown* item);

} // namespace ovhost
