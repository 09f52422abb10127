// The syntax item bases against the host stand-in's object service and syntax objects: report modes,
// syntax objects, binding, the host object of a node and member syntax.
#include "scripting/SyntaxItem.h"

#include "frame/HostServices.h"
#include "host/HostObjects.h"
#include "host/Services.h"
#include "wpfsim/Application.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using ov::ComPtr;
using TestLiveCount = ov::LiveCount<struct TestTag>;

class TestItem : public CovSyntaxItem {};
class TestNode : public CovSysNodeSyntaxItem {};

// A .NET object stand-in for BindToObject: an IDispatch that is never called.
class NativeObject : public IDispatch {
public:
    using Interfaces = ov::Interfaces<IDispatch>;
    using LiveCounter = TestLiveCount;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }
};

IUnknown* IdentityOf(IUnknown* p) {
    return ov::QueryAs<IUnknown>(p).Get();
}

ULONG References(IUnknown* p) {
    p->AddRef();
    return p->Release();
}

class SyntaxItemTest : public testing::Test {
protected:
    void SetUp() override {
        core_ = std::make_shared<ovhost::HostCore>(ovtest::BinFolder());
        hook_ = ov::Create<ovhost::HookObject>(core_);
        ov::HostServices::Attach(static_cast<IovOpenAppHook*>(hook_.Get()));
    }
    void TearDown() override {
        ov::HostServices::Clear();
        core_->Detach();
        hook_.Reset();
        core_.reset();
        EXPECT_EQ(ovhost::LiveObjects(), 0) << "host objects left alive";
        EXPECT_EQ(TestLiveCount::Get(), 0) << "test objects left alive";
    }

    ComPtr<ovhost::SyntaxNode> Syntax(const wchar_t* text) {
        return ov::Create<ovhost::SyntaxNode>(core_, text);
    }
    long Calls(const char* operation) const { return core_->Calls().Of(operation); }

    std::shared_ptr<ovhost::HostCore> core_;
    ComPtr<ovhost::HookObject> hook_;
};

// --- report modes

TEST_F(SyntaxItemTest, ReportModesStartAtOneAndStoreAnyValue) {
    ComPtr<TestItem> item = ov::Create<TestItem>();
    ComPtr<TestNode> node = ov::Create<TestNode>();
    for (IovCtrlBase* object :
         {static_cast<IovCtrlBase*>(item.Get()), static_cast<IovCtrlBase*>(node.Get())}) {
        LONG error = 0, message = 0;
        EXPECT_EQ(object->get_ErrorReportMode(&error), S_OK);
        EXPECT_EQ(object->get_MessageReportMode(&message), S_OK);
        EXPECT_EQ(error, 1);
        EXPECT_EQ(message, 1);
        for (LONG value : {0L, 2L, 3L, -1L, 1000L, LONG_MAX, LONG_MIN}) {
            EXPECT_EQ(object->put_ErrorReportMode(value), S_OK);
            EXPECT_EQ(object->put_MessageReportMode(-value / 2), S_OK);
            EXPECT_EQ(object->get_ErrorReportMode(&error), S_OK);
            EXPECT_EQ(object->get_MessageReportMode(&message), S_OK);
            EXPECT_EQ(error, value) << "the two modes are apart";
            EXPECT_EQ(message, -value / 2);
        }
    }
    EXPECT_EQ(item->ErrorMode(), LONG_MIN);
    EXPECT_EQ(item->MessageMode(), -(LONG_MIN / 2));
}

// --- syntax objects

TEST_F(SyntaxItemTest, GetSyntaxGivesTheFirstForFlagZeroAndTheSecondOtherwise) {
    ComPtr<ovhost::SyntaxNode> first = Syntax(L"App.First"), second = Syntax(L"App.Second");
    ComPtr<TestNode> node = ov::Create<TestNode>();
    node->SetSyntax(first.Get(), second.Get());
    struct Case {
        LONG flag;
        IUnknown* expected;
    } cases[] = {{0, IdentityOf(first.Get())},
                 {5, IdentityOf(second.Get())},
                 {1, IdentityOf(second.Get())},
                 {-1, IdentityOf(second.Get())}};
    for (const Case& c : cases) {
        ULONG before = References(c.expected);
        IovSyntaxItem* syntax = nullptr;
        EXPECT_EQ(node->GetSyntax(&syntax, c.flag), S_OK) << c.flag;
        ComPtr<IovSyntaxItem> held = ComPtr<IovSyntaxItem>::Adopt(syntax);
        EXPECT_EQ(IdentityOf(syntax), c.expected) << c.flag;
        EXPECT_EQ(References(c.expected), before + 1) << "a reference for the caller, flag " << c.flag;
    }
}

TEST_F(SyntaxItemTest, WithoutSyntaxObjectsGetSyntaxGivesNull) {
    ComPtr<TestItem> item = ov::Create<TestItem>();
    ComPtr<TestNode> node = ov::Create<TestNode>();
    ComPtr<ovhost::SyntaxNode> onlySecond = Syntax(L"App.Second");
    ComPtr<TestNode> half = ov::Create<TestNode>();
    half->SetSyntax(nullptr, onlySecond.Get());
    struct Case {
        const char* what;
        IovCtrlBase* object;
        LONG flag;
    } cases[] = {{"plain item", item.Get(), 0},
                 {"plain item", item.Get(), 5},
                 {"node", node.Get(), 0},
                 {"node", node.Get(), 5},
                 {"first missing", half.Get(), 0}};
    for (const Case& c : cases) {
        IovSyntaxItem* syntax = reinterpret_cast<IovSyntaxItem*>(1);
        EXPECT_EQ(c.object->GetSyntax(&syntax, c.flag), S_OK) << c.what << " " << c.flag;
        EXPECT_EQ(syntax, nullptr) << c.what << " " << c.flag;
    }
}

// --- binding and the host object

TEST_F(SyntaxItemTest, BindingToAnObjectZeroesTheElementIdentifier) {
    ComPtr<NativeObject> native = ov::Create<NativeObject>();
    ComPtr<TestNode> node = ov::Create<TestNode>();
    EXPECT_TRUE(IsEqualGUID(node->ElementId(), GUID_NULL)) << "unbound";
    const GUID id = {0x11111111, 0x2222, 0x3333, {0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55}};
    node->BindToNode(id);
    EXPECT_TRUE(IsEqualGUID(node->ElementId(), id));
    node->BindToObject(CovDispDriver(native.Get()));
    EXPECT_TRUE(IsEqualGUID(node->ElementId(), GUID_NULL));
    EXPECT_EQ(node->BoundObject().Get(), static_cast<IDispatch*>(native.Get()));
}

TEST_F(SyntaxItemTest, GetHostObjectAsksTheObjectServiceForTheBoundElement) {
    wpfsim::Application app;
    wpfsim::Element& window = app.Add(nullptr, L"System.Windows.Window", L"main");
    wpfsim::Element& button = app.Add(&window, L"System.Windows.Controls.Button", L"ok");
    core_->Attach(app, L"App.exe");
    ComPtr<ovhost::HostNode> buttonNode = core_->NodeFor(button);
    ASSERT_TRUE(buttonNode);

    ComPtr<TestNode> bound = ov::Create<TestNode>();
    bound->BindToNode(button.Id());
    ComPtr<TestNode> unknownElement = ov::Create<TestNode>();
    unknownElement->BindToNode({0x0badf00d, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8}});
    ComPtr<TestNode> unbound = ov::Create<TestNode>();
    struct Case {
        const char* what;
        TestNode* node;
        IUnknown* expected;
    } cases[] = {{"bound to the button", bound.Get(), buttonNode->Identity()},
                 {"bound to an element the host does not know", unknownElement.Get(), nullptr},
                 {"not bound", unbound.Get(), nullptr}};
    for (const Case& c : cases) {
        long before = Calls("IovObjectService::FindHostObject");
        IUnknown* host = reinterpret_cast<IUnknown*>(1);
        EXPECT_EQ(c.node->GetHostObject(&host), S_OK) << c.what;
        ComPtr<IUnknown> held = ComPtr<IUnknown>::Adopt(host);
        EXPECT_EQ(host ? IdentityOf(host) : nullptr, c.expected) << c.what;
        EXPECT_EQ(Calls("IovObjectService::FindHostObject"), before + 1) << c.what;
    }

    // Without the object service there is no host object.
    ov::HostServices::Clear();
    IUnknown* host = reinterpret_cast<IUnknown*>(1);
    EXPECT_EQ(bound->GetHostObject(&host), S_OK);
    EXPECT_EQ(host, nullptr);
    buttonNode.Reset();
    core_->Detach();
}

// --- member syntax

struct MemberSyntax {
    std::wstring name;
    IUnknown* owner = nullptr;
    VARIANT_BOOL flag = 1;
    std::vector<std::wstring> arguments; // each argument's script text
    bool hasArgumentList = false;
};

MemberSyntax Read(IovSyntaxItem* item) {
    MemberSyntax r;
    auto member = ov::QueryAs<IovSyntaxMember>(item);
    if (!member) return r;
    ov::Bstr name;
    member->get_Name(name.Put());
    r.name = name.View();
    ComPtr<IovSyntaxNode> owner;
    member->get_Owner(owner.Put());
    r.owner = IdentityOf(owner.Get());
    member->get_MemberFlag(&r.flag);
    ComPtr<IovSyntaxArguments> arguments;
    member->get_Arguments(arguments.Put());
    r.hasArgumentList = static_cast<bool>(arguments);
    LONG count = 0;
    if (arguments) arguments->get_Count(&count);
    for (LONG i = 0; i < count; ++i) {
        ComPtr<IovSyntaxArgument> argument;
        arguments->get_Item(i, argument.Put());
        r.arguments.push_back(ovhost::SyntaxText(argument.Get()));
    }
    return r;
}

TEST_F(SyntaxItemTest, MemberSyntaxFollowsTheOwnersSyntax) {
    ComPtr<ovhost::SyntaxNode> first = Syntax(L"App.List"), second = Syntax(L"App.List2");
    ComPtr<TestNode> owner = ov::Create<TestNode>();
    owner->SetSyntax(first.Get(), second.Get());
    struct Case {
        const char* what;
        LONG ownerFlag;
        const wchar_t* member;
        LONG flag;
        std::vector<ov::Variant> arguments;
        IUnknown* expectedOwner;
        VARIANT_BOOL expectedFlag;
        std::vector<std::wstring> expectedArguments;
        std::wstring text;
    } cases[] = {
        {"no arguments",
         0,
         L"HScroll",
         0,
         {},
         IdentityOf(first.Get()),
         VARIANT_FALSE,
         {},
         L"App.List.HScroll"},
        {"the owner's second syntax",
         5,
         L"VScroll",
         0,
         {},
         IdentityOf(second.Get()),
         VARIANT_FALSE,
         {},
         L"App.List2.VScroll"},
        {"arguments in order",
         0,
         L"Items",
         0,
         {ov::Variant::Int(3), ov::Variant::String(L"File|Open"), ov::Variant::Bool(true)},
         IdentityOf(first.Get()),
         VARIANT_FALSE,
         {L"3", L"\"File|Open\"", L"true"},
         L"App.List.Items(3, \"File|Open\", true)"},
        {"positive flag", 0, L"wItems", 1, {}, IdentityOf(first.Get()), VARIANT_TRUE, {}, L"App.List.wItems"},
        {"negative flag",
         0,
         L"wItems",
         -4,
         {},
         IdentityOf(first.Get()),
         VARIANT_FALSE,
         {},
         L"App.List.wItems"},
    };
    for (Case& c : cases) {
        size_t argumentCount = c.arguments.size();
        core_->Calls().Reset();
        ComPtr<IovSyntaxItem> syntax =
            ov::CreateMemberSyntax(owner.Get(), c.ownerFlag, c.member, c.flag, c.arguments);
        ASSERT_TRUE(syntax) << c.what;
        MemberSyntax read = Read(syntax.Get());
        EXPECT_EQ(read.name, c.member) << c.what;
        EXPECT_EQ(read.owner, c.expectedOwner) << c.what;
        EXPECT_EQ(read.flag, c.expectedFlag) << c.what;
        EXPECT_EQ(read.arguments, c.expectedArguments) << c.what;
        EXPECT_EQ(read.hasArgumentList, argumentCount > 0) << c.what;
        EXPECT_EQ(ovhost::SyntaxText(syntax.Get()), c.text) << c.what;
        EXPECT_TRUE(c.arguments.empty()) << c.what << ": the argument list is taken over";
        // One member, one list and one object per argument, each made through the object service.
        EXPECT_EQ(Calls("IovObjectService::CreateObject"),
                  static_cast<long>(1 + (argumentCount ? 1 + argumentCount : 0)))
            << c.what;
        EXPECT_EQ(Calls("IovSyntaxArgument::put_Value"), static_cast<long>(argumentCount)) << c.what;
        EXPECT_EQ(Calls("IovSyntaxArguments::Add"), static_cast<long>(argumentCount)) << c.what;
        for (const char* setter :
             {"IovSyntaxMember::put_Name", "IovSyntaxMember::put_Owner", "IovSyntaxMember::put_MemberFlag"})
            EXPECT_EQ(Calls(setter), 1) << c.what << " " << setter;
        EXPECT_EQ(Calls("IovSyntaxMember::put_Arguments"), argumentCount ? 1 : 0) << c.what;
    }
}

TEST_F(SyntaxItemTest, MemberSyntaxIsNullWithoutTheOwnersSyntaxOrTheObjectService) {
    ComPtr<TestNode> withoutSyntax = ov::Create<TestNode>();
    ComPtr<ovhost::SyntaxNode> onlyFirst = Syntax(L"App.List");
    ComPtr<TestNode> firstOnly = ov::Create<TestNode>();
    firstOnly->SetSyntax(onlyFirst.Get(), nullptr);
    struct Case {
        const char* what;
        IovCtrlBase* owner;
        LONG ownerFlag;
        bool service;
    } cases[] = {
        {"owner without syntax", withoutSyntax.Get(), 0, true},
        {"owner without the second syntax", firstOnly.Get(), 5, true},
        {"no owner", nullptr, 0, true},
        {"no object service", firstOnly.Get(), 0, false},
    };
    for (const Case& c : cases) {
        if (c.service)
            ov::HostServices::Attach(static_cast<IovOpenAppHook*>(hook_.Get()));
        else
            ov::HostServices::Clear();
        std::vector<ov::Variant> arguments{ov::Variant::Int(1), ov::Variant::String(L"x")};
        ComPtr<IovSyntaxItem> syntax = ov::CreateMemberSyntax(c.owner, c.ownerFlag, L"HScroll", 0, arguments);
        EXPECT_FALSE(syntax) << c.what;
        EXPECT_TRUE(arguments.empty()) << c.what << ": the argument list is emptied on every path";
    }
    // What was made for nothing is released (checked by the host's live count at the end).
}

// --- bad input

TEST_F(SyntaxItemTest, NullOutPointersAreRefused) {
    ComPtr<TestItem> item = ov::Create<TestItem>();
    ComPtr<TestNode> node = ov::Create<TestNode>();
    ComPtr<ovhost::SyntaxNode> first = Syntax(L"App.List");
    node->SetSyntax(first.Get(), first.Get());
    node->BindToNode({0x0badf00d, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8}});
    for (IovCtrlBase* object :
         {static_cast<IovCtrlBase*>(item.Get()), static_cast<IovCtrlBase*>(node.Get())}) {
        struct Case {
            const char* what;
            std::function<HRESULT()> call;
        } cases[] = {
            {"ErrorReportMode", [&] { return object->get_ErrorReportMode(nullptr); }},
            {"MessageReportMode", [&] { return object->get_MessageReportMode(nullptr); }},
            {"GetSyntax 0", [&] { return object->GetSyntax(nullptr, 0); }},
            {"GetSyntax 5", [&] { return object->GetSyntax(nullptr, 5); }},
            {"GetHostObject", [&] { return object->GetHostObject(nullptr); }},
        };
        for (const Case& c : cases)
            EXPECT_EQ(c.call(), E_POINTER) << c.what;
    }
}

} // namespace
