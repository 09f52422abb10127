// One IDispatch over several dispinterfaces: the chain built from the bases, name resolution from the
// most derived interface, and calls routed through a plain IDispatch to the members of every interface.
#include "dispatch/ComObject.h"
#include "dispatch/MultiDispatch.h"
#include "dispatch/OleTypes.h"
#include "ovWPFControlsLib.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
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

// Members of each interface record their calls.
class ControlPart : public ov::IDispatchMultiImpl<IovWPFControl> {
public:
    HRESULT STDMETHODCALLTYPE get_PopupMenu(IDispatch** value) override {
        calls.push_back(L"Control.PopupMenu");
        *value = nullptr;
        return S_OK;
    }
    Calls calls;
};

class ButtonPart : public ov::IDispatchMultiImpl<IovWPFButton> {
public:
    HRESULT STDMETHODCALLTYPE ClickButton() override {
        log.push_back(L"Button.ClickButton");
        return S_OK;
    }
    Calls log;
};

class RepeatButtonPart : public ov::IDispatchMultiImpl<IovWPFRepeatButton> {
public:
    HRESULT STDMETHODCALLTYPE ClickButton(LONG count) override {
        repeatLog.push_back(L"RepeatButton.ClickButton(" + std::to_wstring(count) + L")");
        return S_OK;
    }
    Calls repeatLog;
};

class UndescribedPart : public ov::IDispatchMultiImpl<ITestUndescribed> {
public:
    HRESULT STDMETHODCALLTYPE Undescribed() override { return S_OK; }
};

// A button as the wrappers make it: IovWPFControl registers first, IovWPFButton is the most derived.
class TestButton : public ControlPart, public ButtonPart {
public:
    using Interfaces = ov::Interfaces<IovWPFButton, IovWPFControl, ov::Via<IDispatch, IovWPFButton>>;
    using LiveCounter = TestLiveCount;
    Calls All() const {
        Calls all = calls;
        all.insert(all.end(), log.begin(), log.end());
        return all;
    }
};

// The same bases, but QueryInterface does not give IovWPFControl.
class ButtonWithoutControl : public ControlPart, public ButtonPart {
public:
    using Interfaces = ov::Interfaces<IovWPFButton, ov::Via<IDispatch, IovWPFButton>>;
    using LiveCounter = TestLiveCount;
};

// Two interfaces that both have "ClickButton", in both orders.
class ButtonThenRepeat : public ButtonPart, public RepeatButtonPart {
public:
    using Interfaces =
        ov::Interfaces<IovWPFRepeatButton, IovWPFButton, ov::Via<IDispatch, IovWPFRepeatButton>>;
    using LiveCounter = TestLiveCount;
};
class RepeatThenButton : public RepeatButtonPart, public ButtonPart {
public:
    using Interfaces = ov::Interfaces<IovWPFButton, IovWPFRepeatButton, ov::Via<IDispatch, IovWPFButton>>;
    using LiveCounter = TestLiveCount;
};

class OnlyUndescribed : public UndescribedPart {
public:
    using Interfaces = ov::Interfaces<ITestUndescribed, ov::Via<IDispatch, ITestUndescribed>>;
    using LiveCounter = TestLiveCount;
};
class UndescribedAndButton : public UndescribedPart, public ButtonPart {
public:
    using Interfaces = ov::Interfaces<IovWPFButton, ITestUndescribed, ov::Via<IDispatch, IovWPFButton>>;
    using LiveCounter = TestLiveCount;
};

template <class T> ComPtr<IDispatch> DispatchOf(const ComPtr<T>& object) {
    return object.template As<IDispatch>();
}

GUID GuidOf(ITypeInfo* info) {
    TYPEATTR* attr = nullptr;
    if (!info || FAILED(info->GetTypeAttr(&attr))) return GUID_NULL;
    GUID g = attr->guid;
    info->ReleaseTypeAttr(attr);
    return g;
}

struct Lookup {
    HRESULT hr;
    DISPID id;
};

Lookup IdOf(IDispatch* object, const wchar_t* name) {
    Lookup r{E_UNEXPECTED, 0x7777};
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    r.hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &r.id);
    return r;
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

TEST_F(MultiDispatchTest, ChainListsTheMostDerivedInterfaceFirst) {
    ComPtr<TestButton> button = ov::Create<TestButton>();
    ComPtr<IDispatch> dispatch = DispatchOf(button);
    UINT count = 0;
    ASSERT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 2u);

    struct Case {
        UINT index;
        HRESULT hr;
        GUID guid;
    } cases[] = {
        {0, S_OK, __uuidof(IovWPFButton)},
        {1, S_OK, __uuidof(IovWPFControl)},
        {2, DISP_E_BADINDEX, GUID_NULL},
        {0xFFFFFFFF, DISP_E_BADINDEX, GUID_NULL},
    };
    for (const Case& c : cases) {
        ITypeInfo* info = reinterpret_cast<ITypeInfo*>(1); // must be overwritten
        EXPECT_EQ(dispatch->GetTypeInfo(c.index, LOCALE_USER_DEFAULT, &info), c.hr) << c.index;
        if (FAILED(c.hr)) {
            EXPECT_EQ(info, nullptr) << c.index;
            continue;
        }
        ComPtr<ITypeInfo> held = ComPtr<ITypeInfo>::Adopt(info);
        EXPECT_TRUE(IsEqualGUID(GuidOf(info), c.guid)) << c.index;
    }
    EXPECT_EQ(dispatch->GetTypeInfoCount(nullptr), E_INVALIDARG);
    EXPECT_EQ(dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, nullptr), E_INVALIDARG);
}

TEST_F(MultiDispatchTest, EveryInterfaceOfTheObjectLeadsToTheSameDispatch) {
    ComPtr<TestButton> button = ov::Create<TestButton>();
    UINT viaButton = 0, viaControl = 0;
    EXPECT_EQ(static_cast<IovWPFButton*>(button.Get())->GetTypeInfoCount(&viaButton), S_OK);
    EXPECT_EQ(static_cast<IovWPFControl*>(button.Get())->GetTypeInfoCount(&viaControl), S_OK);
    EXPECT_EQ(viaButton, 2u);
    EXPECT_EQ(viaControl, 2u);
    EXPECT_EQ(IdOf(static_cast<IovWPFControl*>(button.Get()), L"ClickButton").id, 0x3506000);
}

TEST_F(MultiDispatchTest, NamesResolveFromTheMostDerivedInterface) {
    ComPtr<TestButton> button = ov::Create<TestButton>();
    ComPtr<ButtonThenRepeat> buttonThenRepeat = ov::Create<ButtonThenRepeat>();
    ComPtr<RepeatThenButton> repeatThenButton = ov::Create<RepeatThenButton>();
    struct Case {
        const char* what;
        IDispatch* object;
        const wchar_t* name;
        HRESULT hr;
        DISPID id;
    } cases[] = {
        {"own member", DispatchOf(button).Get(), L"ClickButton", S_OK, 0x3506000},
        {"member of the base interface", DispatchOf(button).Get(), L"PopupMenu", S_OK, 0x3500000},
        {"any case", DispatchOf(button).Get(), L"popupmenu", S_OK, 0x3500000},
        // Known to neither interface: both are asked, and the last answer stands.
        {"unknown name", DispatchOf(button).Get(), L"wState", DISP_E_UNKNOWNNAME, 0},
        {"name in both, repeat button registered last", DispatchOf(buttonThenRepeat).Get(), L"ClickButton",
         S_OK, 0x3507000},
        {"name in both, button registered last", DispatchOf(repeatThenButton).Get(), L"ClickButton", S_OK,
         0x3506000},
    };
    for (const Case& c : cases) {
        Lookup r = IdOf(c.object, c.name);
        EXPECT_EQ(r.hr, c.hr) << c.what;
        if (c.hr == S_OK) EXPECT_EQ(r.id, c.id) << c.what;
    }
}

TEST_F(MultiDispatchTest, InvokeReachesTheMembersOfEveryInterface) {
    ComPtr<TestButton> button = ov::Create<TestButton>();
    ComPtr<IDispatch> dispatch = DispatchOf(button);

    EXPECT_EQ(Call(dispatch.Get(), IdOf(dispatch.Get(), L"ClickButton").id, DISPATCH_METHOD), S_OK);
    ov::Variant menu = ov::Variant::Int(5);
    EXPECT_EQ(Call(dispatch.Get(), IdOf(dispatch.Get(), L"PopupMenu").id, DISPATCH_PROPERTYGET, {}, &menu),
              S_OK);
    EXPECT_EQ(menu.vt, VT_DISPATCH);
    EXPECT_EQ(menu.pdispVal, nullptr);
    EXPECT_EQ(button->All(), (Calls{L"Control.PopupMenu", L"Button.ClickButton"}));

    EXPECT_EQ(Call(dispatch.Get(), 0x3599999, DISPATCH_METHOD), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(button->All().size(), 2u);
}

TEST_F(MultiDispatchTest, InvokeTellsTheSameNameApartByDispid) {
    ComPtr<ButtonThenRepeat> object = ov::Create<ButtonThenRepeat>();
    ComPtr<IDispatch> dispatch = DispatchOf(object);
    EXPECT_EQ(Call(dispatch.Get(), 0x3506000, DISPATCH_METHOD), S_OK);
    EXPECT_EQ(Call(dispatch.Get(), 0x3507000, DISPATCH_METHOD, {ov::Variant::Int(3)}), S_OK);
    EXPECT_EQ(Call(dispatch.Get(), 0x3507000, DISPATCH_METHOD), S_OK) << "the count is optional";
    EXPECT_EQ(object->log, Calls{L"Button.ClickButton"});
    EXPECT_EQ(object->repeatLog, (Calls{L"RepeatButton.ClickButton(3)", L"RepeatButton.ClickButton(1)"}));
}

TEST_F(MultiDispatchTest, InvokeStopsWhenTheObjectDoesNotGiveAnInterfaceOfTheChain) {
    ComPtr<ButtonWithoutControl> object = ov::Create<ButtonWithoutControl>();
    ComPtr<IDispatch> dispatch = DispatchOf(object);
    EXPECT_EQ(Call(dispatch.Get(), 0x3506000, DISPATCH_METHOD), S_OK) << "found before the missing interface";
    EXPECT_EQ(Call(dispatch.Get(), 0x3500000, DISPATCH_PROPERTYGET), E_NOINTERFACE);
    EXPECT_TRUE(object->calls.empty());
}

TEST_F(MultiDispatchTest, InterfacesNoLibraryDescribesAreLeftOut) {
    ComPtr<OnlyUndescribed> empty = ov::Create<OnlyUndescribed>();
    ComPtr<IDispatch> dispatch = DispatchOf(empty);
    UINT count = 99;
    EXPECT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 0u);
    ITypeInfo* info = nullptr;
    EXPECT_EQ(dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info), DISP_E_BADINDEX);
    // An empty chain answers success and leaves the DISPIDs alone.
    Lookup r = IdOf(dispatch.Get(), L"Undescribed");
    EXPECT_EQ(r.hr, S_OK);
    EXPECT_EQ(r.id, 0x7777);
    EXPECT_EQ(Call(dispatch.Get(), 1, DISPATCH_METHOD), S_OK);

    ComPtr<UndescribedAndButton> mixed = ov::Create<UndescribedAndButton>();
    ComPtr<IDispatch> mixedDispatch = DispatchOf(mixed);
    EXPECT_EQ(mixedDispatch->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(IdOf(mixedDispatch.Get(), L"Undescribed").hr, DISP_E_UNKNOWNNAME);
    EXPECT_EQ(IdOf(mixedDispatch.Get(), L"ClickButton").id, 0x3506000);
}

} // namespace
