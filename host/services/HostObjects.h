// The host's object tree of an attached application:
//
//   ProcessNode      (HostIds::ProcessContainer)   the process; its children follow the top-level windows
//    └ TopLevelNode  (HostIds::TopLevelWindow)     one per top-level element; IovHostWindow, a native window
//       └ WindowNode (HostIds::Window)             the top-level element itself (Window, PopupRoot)
//          └ ElementNode (ElementType)             every element below it
//
// Element and window objects carry the element's native object (IovObject, IovNativeObjectInfo), its
// screen position (IovScreenObject), the handle of the native window they live in (IovNativeWindow; the
// top-level object does not answer it, so a walk up the objects that do ends at the window to activate),
// mouse actions as extensions, and the extension objects that the module's extenders give them. A tree
// view's nodes have no objects: the tree view's object answers IovInternalObjects for them.
//
// The children of element and window objects are taken when the object is made and brought up to date
// only by RefreshChildren (which refreshes the whole subtree); the process object follows the application's
// top-level windows at every enumeration, as the host watches windows appear.
#pragma once

#include "HostCore.h"

#include "com/HostIdentifiers.h"

namespace ovhost {

// The type of objects of elements that own no native window (host-only; callers need not know it).
inline constexpr GUID ElementType = {
    0xc495d01f, 0xb8c7, 0x4589, {0x90, 0x3e, 0x26, 0xbd, 0x5d, 0x98, 0xf2, 0xb9}};

// Which extensions answer IovMouseActions on an object.
enum class MouseExtensions { None = 0, OnScreen = 1, Window = 2, Both = 3 };

class HostNode : public CoreUser, public IovHostObject, public IovObjectInternal {
public:
    using Interfaces = ov::Interfaces<IovHostObject, IovObjectInternal>;
    HostNode(std::shared_ptr<HostCore> core, const GUID& id, const GUID& type, HostNode* parent);
    ~HostNode();

    // IovHostObject
    HRESULT STDMETHODCALLTYPE GetElementId(GUID* id) override;
    HRESULT STDMETHODCALLTYPE GetParent(IovHostObject** parent) override;
    HRESULT STDMETHODCALLTYPE GetObjectType(GUID* type) override;
    HRESULT STDMETHODCALLTYPE GetChildCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE GetChild(LONG index, IovHostObject** child) override;
    OVHOST_RESERVED(IovHostObject, 8)
    HRESULT STDMETHODCALLTYPE GetOptionStore(IovOptionStore** store, VARIANT_BOOL* found) override;
    HRESULT STDMETHODCALLTYPE GetExtender(const GUID* iid, IUnknown** extender, VARIANT_BOOL* found) override;
    OVHOST_RESERVED(IovHostObject, 11)
    OVHOST_RESERVED(IovHostObject, 12)
    OVHOST_RESERVED(IovHostObject, 13)
    OVHOST_RESERVED(IovHostObject, 14)
    OVHOST_RESERVED(IovHostObject, 15)
    OVHOST_RESERVED(IovHostObject, 16)
    OVHOST_RESERVED(IovHostObject, 17)
    OVHOST_RESERVED(IovHostObject, 18)
    OVHOST_RESERVED(IovHostObject, 19)
    OVHOST_RESERVED(IovHostObject, 20)
    OVHOST_RESERVED(IovHostObject, 21)
    OVHOST_RESERVED(IovHostObject, 22)
    OVHOST_RESERVED(IovHostObject, 23)
    OVHOST_RESERVED(IovHostObject, 24)
    OVHOST_RESERVED(IovHostObject, 25)
    OVHOST_RESERVED(IovHostObject, 26)
    OVHOST_RESERVED(IovHostObject, 27)
    OVHOST_RESERVED(IovHostObject, 28)
    OVHOST_RESERVED(IovHostObject, 29)
    HRESULT STDMETHODCALLTYPE RefreshChildren() override;
    OVHOST_RESERVED(IovHostObject, 31)
    OVHOST_RESERVED(IovHostObject, 32)
    HRESULT STDMETHODCALLTYPE GetExtension(const GUID* iid, IUnknown** extension) override;

    // IovObjectInternal
    HRESULT STDMETHODCALLTYPE GetOwner(IUnknown** owner) override;

    // The C++ side, for the host and the tests (not counted).
    const GUID& Id() const noexcept { return id_; }
    const GUID& Type() const noexcept { return type_; }
    HostNode* Parent() const noexcept { return parent_.Get(); }
    // The children as they stand (after the enumeration rules above).
    const std::vector<ov::ComPtr<HostNode>>& Children();
    // Brings the children up to date; deep: the whole subtree.
    virtual void Sync(bool deep) = 0;
    // Takes the object out of the tree: unregistered, children dropped, extensions released.
    virtual void Drop() noexcept;
    bool Dropped() const noexcept { return dropped_; }
    virtual std::wstring FullName() const = 0;
    virtual wpfsim::Element* Element() const noexcept { return nullptr; }
    // The object as the IUnknown that callers compare (its IovHostObject).
    IUnknown* Identity() noexcept { return static_cast<IovHostObject*>(this); }
    IovHostObject* AsHostObject() noexcept { return this; }

protected:
    virtual bool ChildrenFollowTree() const noexcept { return false; }
    virtual ov::ComPtr<IUnknown> Extender(const GUID& iid) { return nullptr; }
    virtual ov::ComPtr<IUnknown> Extension(const GUID& iid) { return nullptr; }
    // Replaces the children by `next`, dropping those that are no longer there.
    void ReplaceChildren(std::vector<ov::ComPtr<HostNode>> next);

    std::vector<ov::ComPtr<HostNode>> children_;

private:
    GUID id_;
    GUID type_;
    ov::ComPtr<HostNode> parent_;
    ov::ComPtr<IUnknown> owner_;
    bool dropped_ = false;
};

class ProcessNode : public HostNode {
public:
    explicit ProcessNode(std::shared_ptr<HostCore> core);

    void Sync(bool deep) override;
    std::wstring FullName() const override;
    ov::ComPtr<TopLevelNode> TopLevelOf(const wpfsim::Element& root);

protected:
    bool ChildrenFollowTree() const noexcept override { return true; }
};

class ElementActions;

// The object of an element: native object, screen position, window handle, actions, extensions.
class ElementNode : public DualDispatch<ElementNode, IovObject, IovScreenObject>,
                    public HostNode,
                    public IovNativeObjectInfo,
                    public IovNativeWindow,
                    public IovExtensionList,
                    public IovInternalObjects,
                    public IovPointHitTest {
public:
    using Interfaces = ov::Interfaces<IovHostObject, IovObjectInternal, IovObject,
                                      ov::Via<IDispatch, IovObject>, IovScreenObject, IovNativeObjectInfo,
                                      IovNativeWindow, IovExtensionList, IovPointHitTest>;
    // IovInternalObjects, answered only by the objects of elements whose parts have none (tree views).
    HRESULT QueryInterfaceExtra(REFIID riid, void** ppv);
    ElementNode(std::shared_ptr<HostCore> core, wpfsim::Element& element, HostNode* parent, const GUID& type);
    using HostNode::Core;

    // IovObject
    HRESULT STDMETHODCALLTYPE GetSourceObject(IDispatch** source) override;
    HRESULT STDMETHODCALLTYPE GetNativeObject(IDispatch** native) override;
    HRESULT STDMETHODCALLTYPE GetNativeKind(BSTR* kind) override;
    HRESULT STDMETHODCALLTYPE IsValid(VARIANT_BOOL* valid) override;
    HRESULT STDMETHODCALLTYPE GetFullName(BSTR* fullName) override;
    HRESULT STDMETHODCALLTYPE GetSerialNumber(LONG* serial) override;
    // IovScreenObject
    OVHOST_RESERVED(IovScreenObject, 7)
    OVHOST_RESERVED(IovScreenObject, 8)
    OVHOST_RESERVED(IovScreenObject, 9)
    OVHOST_RESERVED(IovScreenObject, 10)
    OVHOST_RESERVED(IovScreenObject, 11)
    HRESULT STDMETHODCALLTYPE get_ScreenLeft(LONG* value) override;
    HRESULT STDMETHODCALLTYPE get_ScreenTop(LONG* value) override;
    HRESULT STDMETHODCALLTYPE get_Width(LONG* value) override;
    HRESULT STDMETHODCALLTYPE get_Height(LONG* value) override;
    // IovNativeObjectInfo
    OVHOST_RESERVED(IovNativeObjectInfo, 3)
    HRESULT STDMETHODCALLTYPE GetTechnology(BSTR* technology) override;
    // IovNativeWindow
    HRESULT STDMETHODCALLTYPE GetWindowHandle(HWND* window) override;
    // IovExtensionList
    HRESULT STDMETHODCALLTYPE GetCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE GetExtensionObject(LONG index, IUnknown** extensionObject) override;
    // IovInternalObjects
    HRESULT STDMETHODCALLTYPE GetHelper(IDispatch** helper) override;
    // IovPointHitTest (the native object extender is the object itself): the innermost visible element at
    // the screen point in the layout that clicks use, topmost window first; null over nothing.
    HRESULT STDMETHODCALLTYPE GetObjectAtPoint(LONG x, LONG y, IDispatch** native) override;

    wpfsim::Element* Element() const noexcept override { return element_.Get(); }
    void Sync(bool deep) override;
    void Drop() noexcept override;
    std::wstring FullName() const override;
    // Whether the element is still in the application and the object in the tree.
    bool Valid() const noexcept;
    HWND WindowHandle() const noexcept;

    // The extension objects of the module's extenders, asked for when first needed and again when the
    // registrations changed or one of them reports itself invalid.
    const std::vector<ov::ComPtr<IUnknown>>& Extensions();
    void DropExtensions() noexcept { extensions_.clear(); }

    void SetMouseExtensions(MouseExtensions which) noexcept { mouseExtensions_ = which; }
    // The IovActionOptions of the element's mouse actions (kept by the object, so that a caller's change
    // outlives the extension object it made it through).
    LONG actionMode = InitialActionMode;
    LONG actionFlags = InitialActionFlags;

protected:
    ov::ComPtr<IUnknown> Extender(const GUID& iid) override;
    ov::ComPtr<IUnknown> Extension(const GUID& iid) override;

private:
    HRESULT ScreenValue(const char* operation, LONG* value, LONG (*pick)(const RECT&));

    ov::ComPtr<wpfsim::Element> element_;
    long serial_;
    MouseExtensions mouseExtensions_;
    std::vector<ov::ComPtr<IUnknown>> extensions_;
    bool extensionsBuilt_ = false;
    unsigned extensionsGeneration_ = 0;
};

// The object of a top-level element: its mouse actions come under the window extension.
class WindowNode : public ElementNode {
public:
    WindowNode(std::shared_ptr<HostCore> core, wpfsim::Element& element, HostNode* parent);
};

// A top-level window: activation, and a native window handle of its own (a message-only window).
class TopLevelNode : public DualDispatch<TopLevelNode, IovHostWindow>,
                     public HostNode,
                     public IovActionOptions,
                     public ISupportErrorInfo {
public:
    using Interfaces = ov::Interfaces<IovHostObject, IovObjectInternal, IovHostWindow,
                                      ov::Via<IDispatch, IovHostWindow>, IovActionOptions, ISupportErrorInfo>;
    TopLevelNode(std::shared_ptr<HostCore> core, wpfsim::Element& root, HostNode* parent);
    ~TopLevelNode();
    using HostNode::Core;

    // IovHostWindow
    HRESULT STDMETHODCALLTYPE Activate() override;
    // IovActionOptions
    HRESULT STDMETHODCALLTYPE get_ActionMode(LONG* mode) override;
    HRESULT STDMETHODCALLTYPE put_ActionMode(LONG mode) override;
    HRESULT STDMETHODCALLTYPE get_ActionFlags(LONG* flags) override;
    HRESULT STDMETHODCALLTYPE put_ActionFlags(LONG flags) override;
    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

    void Sync(bool deep) override;
    void Drop() noexcept override;
    std::wstring FullName() const override;
    wpfsim::Element* Element() const noexcept override { return root_.Get(); }
    HWND WindowHandle() const noexcept { return window_; }

protected:
    ov::ComPtr<IUnknown> Extension(const GUID& iid) override;

private:
    ov::ComPtr<wpfsim::Element> root_;
    HWND window_ = nullptr;
    LONG actionMode_ = InitialActionMode;
    LONG actionFlags_ = InitialActionFlags;
};

// The object of the element's node in the tree: made for every element of the tree.
ov::ComPtr<HostNode> MakeElementNode(const std::shared_ptr<HostCore>& core, wpfsim::Element& element,
                                     HostNode* parent);

} // namespace ovhost
