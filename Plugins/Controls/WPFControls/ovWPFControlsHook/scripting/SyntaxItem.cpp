#include "SyntaxItem.h"

#include "../dispatch/InvokeException.h"
#include "../frame/HostServices.h"

HRESULT CovSyntaxItem::get_ErrorReportMode(LONG* mode) {
    if (!mode) return E_POINTER;
    *mode = errorReportMode_;
    return S_OK;
}

HRESULT CovSyntaxItem::put_ErrorReportMode(LONG mode) {
    errorReportMode_ = mode;
    return S_OK;
}

HRESULT CovSyntaxItem::get_MessageReportMode(LONG* mode) {
    if (!mode) return E_POINTER;
    *mode = messageReportMode_;
    return S_OK;
}

HRESULT CovSyntaxItem::put_MessageReportMode(LONG mode) {
    messageReportMode_ = mode;
    return S_OK;
}

HRESULT CovSyntaxItem::GetSyntax(IovSyntaxItem** syntax, LONG) {
    if (!syntax) return E_POINTER;
    *syntax = nullptr;
    return S_OK;
}

HRESULT CovSyntaxItem::GetHostObject(IUnknown** hostObject) {
    if (!hostObject) return E_POINTER;
    *hostObject = nullptr;
    return S_OK;
}

HRESULT CovSysNodeSyntaxItem::GetSyntax(IovSyntaxItem** syntax, LONG flag) {
    if (!syntax) return E_POINTER;
    return (flag != 0 ? secondSyntax_ : firstSyntax_).CopyTo(syntax);
}

HRESULT CovSysNodeSyntaxItem::GetHostObject(IUnknown** hostObject) {
    if (!hostObject) return E_POINTER;
    *hostObject = nullptr;
    return ov::Guard([&] { *hostObject = FindHostObject().Detach(); });
}

ov::ComPtr<IUnknown> CovSysNodeSyntaxItem::FindHostObject() const {
    ov::ComPtr<IUnknown> result;
    if (ov::ComPtr<IovObjectService> service = ov::HostServices::ObjectService())
        service->FindHostObject(nullptr, &elementId_, result.Put());
    return result;
}

namespace ov {

ComPtr<IovSyntaxItem> CreateMemberSyntax(IovCtrlBase* owner, LONG ownerFlag, const wchar_t* member, LONG flag,
                                         std::vector<Variant>& arguments) {
    struct EmptyOnExit {
        std::vector<Variant>& list;
        ~EmptyOnExit() { list.clear(); }
    } emptyOnExit{arguments};

    ComPtr<IovObjectService> service = HostServices::ObjectService();
    if (!service || !owner) return nullptr;
    auto create = [&](const IID& iid) {
        ComPtr<IUnknown> made;
        service->CreateObject(&iid, nullptr, made.Put());
        return made;
    };
    ComPtr<IovSyntaxMember> memberSyntax = create(__uuidof(IovSyntaxMember)).As<IovSyntaxMember>();
    if (!memberSyntax) return nullptr;

    ComPtr<IovSyntaxItem> ownerSyntax;
    owner->GetSyntax(ownerSyntax.Put(), ownerFlag);
    if (!ownerSyntax) return nullptr;
    ComPtr<IovSyntaxNode> ownerNode = ownerSyntax.As<IovSyntaxNode>();

    memberSyntax->put_MemberFlag(flag > 0 ? VARIANT_TRUE : VARIANT_FALSE);
    Bstr name(member);
    memberSyntax->put_Name(name.Get());
    memberSyntax->put_Owner(ownerNode.Get());

    if (!arguments.empty()) {
        ComPtr<IovSyntaxArguments> list = create(__uuidof(IovSyntaxArguments)).As<IovSyntaxArguments>();
        memberSyntax->put_Arguments(list.Get());
        for (Variant& value : arguments) {
            ComPtr<IovSyntaxArgument> argument = create(__uuidof(IovSyntaxArgument)).As<IovSyntaxArgument>();
            if (!argument || !list) continue;
            argument->put_Value(value);
            list->Add(argument.Get());
        }
    }
    return memberSyntax.As<IovSyntaxItem>();
}

} // namespace ov
