// Bases of every automation object: report modes, binding to a host element or a .NET object, and the
// object's place in the host's script object model.
#pragma once

#include "com/ComObject.h"
#include "../dispatch/DispDriver.h"
#include "com/OleTypes.h"
#include "ovHostIntf.h"

#include <vector>

class CovSyntaxItem : public IovCtrlBase {
public:
    using RefCountModel = ov::LockedRefCount;
    using Interfaces = ov::Interfaces<IovCtrlBase>;

    LONG ErrorMode() const noexcept { return errorReportMode_; }
    LONG MessageMode() const noexcept { return messageReportMode_; }

    // IovCtrlBase
    HRESULT STDMETHODCALLTYPE get_ErrorReportMode(LONG* mode) override;
    HRESULT STDMETHODCALLTYPE put_ErrorReportMode(LONG mode) override;
    HRESULT STDMETHODCALLTYPE get_MessageReportMode(LONG* mode) override;
    HRESULT STDMETHODCALLTYPE put_MessageReportMode(LONG mode) override;
    HRESULT STDMETHODCALLTYPE GetSyntax(IovSyntaxItem** syntax, LONG flag) override;
    HRESULT STDMETHODCALLTYPE GetHostObject(IUnknown** hostObject) override;

protected:
    CovSyntaxItem() = default;

private:
    LONG errorReportMode_ = 1;
    LONG messageReportMode_ = 1;
};

class CovSysNodeSyntaxItem : public CovSyntaxItem {
public:
    HRESULT STDMETHODCALLTYPE GetSyntax(IovSyntaxItem** syntax, LONG flag) override;
    HRESULT STDMETHODCALLTYPE GetHostObject(IUnknown** hostObject) override;

    // The host's two syntax objects of this node (either may be null). No COM operation sets them: how
    // the host hands them over is still open, so only C++ code of the module (and tests) calls this.
    void SetSyntax(IovSyntaxItem* first, IovSyntaxItem* second) noexcept {
        firstSyntax_ = first;
        secondSyntax_ = second;
    }
    void BindToNode(const GUID& elementId) noexcept { elementId_ = elementId; }
    void BindToObject(const CovDispDriver& native) {
        elementId_ = GUID{};
        native_ = native;
    }
    const GUID& ElementId() const noexcept { return elementId_; }
    const CovDispDriver& BoundObject() const noexcept { return native_; }
    // The host's object of the bound element (null when unbound or unknown to the host).
    ov::ComPtr<IUnknown> FindHostObject() const;

protected:
    CovSysNodeSyntaxItem() = default;

private:
    ov::ComPtr<IovSyntaxItem> firstSyntax_;
    ov::ComPtr<IovSyntaxItem> secondSyntax_;
    GUID elementId_{};
    LONG reserved_ = 0;
    // The wrapper's own driver over the element's native object, set when bound to an object.
    CovDispDriver native_;
};

namespace ov {

// The syntax of a member of `owner` (e.g. its "HScroll"), built through the host's object service.
// `arguments` are taken over and emptied. Null when the owner has no syntax or the host cannot make one.
ComPtr<IovSyntaxItem> CreateMemberSyntax(IovCtrlBase* owner, LONG ownerFlag, const wchar_t* member, LONG flag,
                                         std::vector<Variant>& arguments);

} // namespace ov
