// One IDispatch over several dispinterfaces: names resolve from the most derived interface, calls reach
// the members of every interface.
#include "com/ComObject.h"
#include "dispatch/MemberInvoke.h"
#include "dispatch/MultiDispatch.h"
#include "dispatch/TypeLibCache.h"
#include "com/OleTypes.h"
#include "ovWPFControlsLib.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

// A dual interface that no loaded library describes.
MIDL_INTERFACE("5B0C3D6E-8F11-4C55-9A3B-2E71C0D4A9F8")
ITestUndescribed : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Undescribed() = 0;
};
__CRT_UUID_DECL(ITestUndescribed, 0x5b0c3d6e, 0x8f11, 0x4c55, 0x9a, 0x3b, 0x2e, 0x71, 0xc0, 0xd4, 0xa9, 0xf8)

namespace {

using ov::ComPtr;
using TestLiveCount = ov::LiveCount<struct TestTag>;
using Calls = std::vector<std::wstring>;

Calls journal;              // the members' calls, in order
IDispatch* popup = nullptr; // what PopupMenu hands out (with a new reference)

class ControlPart : public ov::IDispatchMultiImpl<IovWPFControl> {
public:
    HRESULT STDMETHODCALLTYPE get_PopupMenu(IDispatch** value) override {
        journal.push_back(L"Control.PopupMenu");
        if (popup) popup->AddRef();
        *value = popup;
        return S_OK;
    }
};
class ButtonPart : public ov::IDispatchMultiImpl<IovWPFButton> {
public:
    HRESULT STDMETHODCALLTYPE ClickButton() override {
        journal.push_back(L"Button.ClickButton");
        return S_OK;
    }
};
class RepeatButtonPart : public ov::IDispatchMultiImpl<IovWPFRepeatButton> {
public:
    HRESULT STDMETHODCALLTYPE ClickButton(LONG count) override {
        journal.push_back(L"RepeatButton.ClickButton(" + std::to_wstring(count) + L")");
        return S_OK;
    }
};
template <class Is, class... Parts> class Object : public Parts... {
public:
    using Interfaces = Is;
    using LiveCounter = TestLiveCount;
};
template <class... I> using Is = ov::Interfaces<I...>;
// As the wrappers make it: IovWPFControl registers first, IovWPFButton is the most derived.
using TestButton =
    Object<Is<IovWPFButton, IovWPFControl, ov::Via<IDispatch, IovWPFButton>>, ControlPart, ButtonPart>;
using ButtonWithoutControl =
    Object<Is<IovWPFButton, ov::Via<IDispatch, IovWPFButton>>, ControlPart, ButtonPart>;
using ButtonThenRepeat = Object<Is<IovWPFRepeatButton, IovWPFButton, ov::Via<IDispatch, IovWPFRepeatButton>>,
                                ButtonPart, RepeatButtonPart>;
using RepeatThenButton = Object<Is<IovWPFButton, IovWPFRepeatButton, ov::Via<IDispatch, IovWPFButton>>,
                                RepeatButtonPart, ButtonPart>;
class OnlyUndescribed : public ov::IDispatchMultiImpl<ITestUndescribed> {
public:
    using Interfaces = ov::Interfaces<ITestUndescribed, ov::Via<IDispatch, ITestUndescribed>>;
    using LiveCounter = TestLiveCount;
    HRESULT STDMETHODCALLTYPE Undescribed() override { return S_OK; }
};

GUID GuidOf(ITypeInfo* info) {
    TYPEATTR* attr = nullptr;
    if (FAILED(info->GetTypeAttr(&attr))) return GUID_NULL;
    GUID g = attr->guid;
    info->ReleaseTypeAttr(attr);
    return g;
}

std::pair<HRESULT, DISPID> IdOf(IDispatch* object, const wchar_t* name) {
    DISPID id = 0x7777;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    return {object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), id};
}

HRESULT Call(IDispatch* object, DISPID id, WORD flags, std::vector<ov::Variant> args = {},
             VARIANT* result = nullptr) {
    DISPPARAMS params{args.empty() ? nullptr : args.data(), nullptr, static_cast<UINT>(args.size()), 0};
    EXCEPINFO excep{};
    UINT argErr = 0;
    ov::Variant ignored;
    return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result ? result : &ignored,
                          &excep, &argErr);
}

class MultiDispatchTest : public testing::Test {
protected:
    void SetUp() override { ovtest::LoadTypeLibraries(); }
    void TearDown() override { EXPECT_EQ(TestLiveCount::Get(), 0) << "test objects left alive"; }
};

TEST_F(MultiDispatchTest, ChainListsTheMostDerivedInterfaceFirstAndLeavesOutUndescribedOnes) {
    ComPtr<TestButton> button = ov::Create<TestButton>();
    ComPtr<IDispatch> undescribed = ov::Create<OnlyUndescribed>().As<IDispatch>();
    const GUID buttonIid = __uuidof(IovWPFButton), controlIid = __uuidof(IovWPFControl);
    // Every interface of the object leads to the same chain.
    const std::pair<IDispatch*, std::vector<GUID>> objects[] = {
        {static_cast<IovWPFButton*>(button.Get()), {buttonIid, controlIid}},
        {static_cast<IovWPFControl*>(button.Get()), {buttonIid, controlIid}},
        {undescribed.Get(), {}}};
    for (const auto& [dispatch, chain] : objects) {
        UINT count = 99;
        EXPECT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
        EXPECT_EQ(count, chain.size());
        for (UINT index : {0u, 1u, 2u, 0xFFFFFFFFu}) {
            ITypeInfo* info = reinterpret_cast<ITypeInfo*>(1); // must be overwritten
            const bool inChain = index < chain.size();
            EXPECT_EQ(dispatch->GetTypeInfo(index, LOCALE_USER_DEFAULT, &info),
                      inChain ? S_OK : DISP_E_BADINDEX);
            if (!inChain) {
                EXPECT_EQ(info, nullptr) << index;
                continue;
            }
            ComPtr<ITypeInfo> held = ComPtr<ITypeInfo>::Adopt(info);
            EXPECT_TRUE(IsEqualGUID(GuidOf(info), chain[index])) << index;
        }
        EXPECT_EQ(dispatch->GetTypeInfoCount(nullptr), E_INVALIDARG);
        EXPECT_EQ(dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, nullptr), E_INVALIDARG);
    }
    // An empty chain answers success and leaves the DISPIDs alone.
    EXPECT_EQ(IdOf(undescribed.Get(), L"Undescribed"), std::make_pair(S_OK, DISPID(0x7777)));
    EXPECT_EQ(Call(undescribed.Get(), 1, DISPATCH_METHOD), S_OK);
}

TEST_F(MultiDispatchTest, NamesResolveFromTheMostDerivedInterface) {
    ComPtr<IDispatch> button = ov::Create<TestButton>().As<IDispatch>();
    ComPtr<IDispatch> buttonThenRepeat = ov::Create<ButtonThenRepeat>().As<IDispatch>();
    ComPtr<IDispatch> repeatThenButton = ov::Create<RepeatThenButton>().As<IDispatch>();
    const std::tuple<const char*, IDispatch*, const wchar_t*, HRESULT, DISPID> cases[] = {
        {"own member", button.Get(), L"ClickButton", S_OK, 0x3506000},
        // Found only by the last interface of the chain: an unknown name moves the search on.
        {"member of the base interface", button.Get(), L"PopupMenu", S_OK, 0x3500000},
        {"any case", button.Get(), L"popupmenu", S_OK, 0x3500000},
        {"unknown to every interface", button.Get(), L"wState", DISP_E_UNKNOWNNAME, DISPID_UNKNOWN},
        {"in both, repeat button most derived", buttonThenRepeat.Get(), L"ClickButton", S_OK, 0x3507000},
        {"in both, button most derived", repeatThenButton.Get(), L"ClickButton", S_OK, 0x3506000},
    };
    for (const auto& [what, object, name, hr, id] : cases)
        EXPECT_EQ(IdOf(object, name), std::make_pair(hr, id)) << what;
}

TEST_F(MultiDispatchTest, InvokeReachesTheMembersOfEveryInterface) {
    journal.clear();
    ComPtr<IDispatch> button = ov::Create<TestButton>().As<IDispatch>();
    EXPECT_EQ(Call(button.Get(), 0x3506000, DISPATCH_METHOD), S_OK);
    ov::Variant menu = ov::Variant::Int(5);
    EXPECT_EQ(Call(button.Get(), 0x3500000, DISPATCH_PROPERTYGET, {}, &menu), S_OK);
    EXPECT_EQ(menu.vt, VT_DISPATCH);
    EXPECT_EQ(menu.pdispVal, nullptr);
    EXPECT_EQ(Call(button.Get(), 0x3599999, DISPATCH_METHOD), DISP_E_MEMBERNOTFOUND);

    // The same name told apart by DISPID.
    ComPtr<IDispatch> both = ov::Create<ButtonThenRepeat>().As<IDispatch>();
    EXPECT_EQ(Call(both.Get(), 0x3506000, DISPATCH_METHOD), S_OK);
    EXPECT_EQ(Call(both.Get(), 0x3507000, DISPATCH_METHOD, {ov::Variant::Int(3)}), S_OK);
    EXPECT_EQ(Call(both.Get(), 0x3507000, DISPATCH_METHOD), S_OK) << "the count is optional";

    // An interface of the chain that QueryInterface does not give ends the search with its failure.
    ComPtr<IDispatch> partial = ov::Create<ButtonWithoutControl>().As<IDispatch>();
    EXPECT_EQ(Call(partial.Get(), 0x3506000, DISPATCH_METHOD), S_OK);
    EXPECT_EQ(Call(partial.Get(), 0x3500000, DISPATCH_PROPERTYGET), E_NOINTERFACE);

    EXPECT_EQ(journal,
              (Calls{L"Button.ClickButton", L"Control.PopupMenu", L"Button.ClickButton",
                     L"RepeatButton.ClickButton(3)", L"RepeatButton.ClickButton(1)", L"Button.ClickButton"}));
}

// What lets the dispatch skip an interface: only a member that DispInvoke would not find there.
TEST_F(MultiDispatchTest, AnInterfaceLacksOnlyTheMembersThatDispInvokeWouldNotFindInIt) {
    auto info = [](REFIID iid) {
        ComPtr<ITypeInfo> t;
        EXPECT_EQ(ov::TypeLibCache::GetTypeInfoOfGuid(iid, t.Put()), S_OK);
        return t;
    };
    ComPtr<ITypeInfo> button = info(__uuidof(IovWPFButton)), control = info(__uuidof(IovWPFControl)),
                      bar = info(__uuidof(IovWPFScrollBar));
    const WORD call = DISPATCH_METHOD | DISPATCH_PROPERTYGET; // as a script engine asks
    const struct {
        const char* what;
        ITypeInfo* type;
        DISPID id;
        WORD flags;
        bool lacks;
    } cases[] = {
        {"a method of the type", button.Get(), 0x3506000, DISPATCH_METHOD, false},
        {"a method, asked as a script asks", button.Get(), 0x3506000, call, false},
        {"a method put", button.Get(), 0x3506000, DISPATCH_PROPERTYPUT, true},
        {"another type's member", button.Get(), 0x3500000, call, true},
        {"a read-only property read", control.Get(), 0x3500000, DISPATCH_PROPERTYGET, false},
        {"a read-only property put", control.Get(), 0x3500000, DISPATCH_PROPERTYPUT, true},
        {"a property put", bar.Get(), 0x3501000, DISPATCH_PROPERTYPUT, false},
        {"a property read", bar.Get(), 0x3501000, DISPATCH_PROPERTYGET, false},
        {"an id of no type", bar.Get(), 0x3599999, call, true},
    };
    for (int pass = 0; pass < 2; ++pass) // the second answer is the remembered one
        for (const auto& c : cases)
            EXPECT_EQ(ov::LacksMember(c.type, c.id, c.flags), c.lacks) << c.what << ", pass " << pass;
    ov::ClearMemberShapes();
}

TEST_F(MultiDispatchTest, ArgumentsBeyondTheMembersOwnGoToTheDefaultMemberOfTheObjectItReturns) {
    ComPtr<IDispatch> button = ov::Create<TestButton>().As<IDispatch>();
    ComPtr<IDispatch> other = ov::Create<TestButton>().As<IDispatch>();
    const struct {
        const char* what;
        IDispatch* popup;
        DISPID id;
        WORD flags;
        HRESULT hr;
        Calls calls;
    } cases[] = {
        {"null object",
         nullptr,
         0x3500000,
         DISPATCH_PROPERTYGET,
         DISP_E_BADPARAMCOUNT,
         {L"Control.PopupMenu"}},
        {"as a method too",
         nullptr,
         0x3500000,
         DISPATCH_METHOD | DISPATCH_PROPERTYGET,
         DISP_E_BADPARAMCOUNT,
         {L"Control.PopupMenu"}},
        // The test button has no default member: the call got as far as the object.
        {"an object",
         other.Get(),
         0x3500000,
         DISPATCH_PROPERTYGET,
         DISP_E_MEMBERNOTFOUND,
         {L"Control.PopupMenu"}},
        {"no object result: refused before the call",
         nullptr,
         0x3506000,
         DISPATCH_METHOD,
         DISP_E_BADPARAMCOUNT,
         {}},
    };
    for (const auto& c : cases) {
        journal.clear();
        popup = c.popup;
        ov::Variant result = ov::Variant::Int(5);
        EXPECT_EQ(Call(button.Get(), c.id, c.flags, {ov::Variant::Int(1), ov::Variant::Int(2)}, &result),
                  c.hr)
            << c.what;
        EXPECT_EQ(journal, c.calls) << c.what;
    }
    popup = nullptr;
}

} // namespace
