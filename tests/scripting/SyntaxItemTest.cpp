// The syntax item bases against the host stand-in's object service and syntax objects.
#include "scripting/SyntaxItem.h"

#include "frame/HostServices.h"
#include "host/HostObjects.h"
#include "host/Services.h"
#include "wpfsim/Application.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

using ov::ComPtr;

class TestItem : public CovSyntaxItem {};
class TestNode : public CovSysNodeSyntaxItem {};

IUnknown* IdentityOf(IUnknown* p) {
    return p ? ov::QueryAs<IUnknown>(p).Get() : nullptr;
}

ULONG References(IUnknown* p) {
    p->AddRef();
    return p->Release();
}

class SyntaxItemTest : public testing::Test {
protected:
    void SetUp() override { ov::HostServices::Attach(static_cast<IovOpenAppHook*>(hook.Get())); }
    void TearDown() override {
        ov::HostServices::Clear();
        core->Detach();
        hook.Reset();
        core.reset();
        EXPECT_EQ(ovhost::LiveObjects(), 0) << "host objects left alive";
    }

    ComPtr<ovhost::SyntaxNode> Syntax(const wchar_t* text) {
        return ov::Create<ovhost::SyntaxNode>(core, text);
    }
    ComPtr<TestNode> Node(IovSyntaxItem* first, IovSyntaxItem* second) {
        ComPtr<TestNode> node = ov::Create<TestNode>();
        node->SetSyntax(first, second);
        return node;
    }
    long Calls(const char* operation) const { return core->Calls().Of(operation); }

    std::shared_ptr<ovhost::HostCore> core = std::make_shared<ovhost::HostCore>(ovtest::BinFolder());
    ComPtr<ovhost::HookObject> hook = ov::Create<ovhost::HookObject>(core);
};

TEST_F(SyntaxItemTest, ReportModesStartAtOneAndStoreAnyValue) {
    ComPtr<TestItem> item = ov::Create<TestItem>();
    ComPtr<TestNode> node = ov::Create<TestNode>();
    for (IovCtrlBase* object :
         {static_cast<IovCtrlBase*>(item.Get()), static_cast<IovCtrlBase*>(node.Get())}) {
        LONG error = 0, message = 0;
        EXPECT_EQ(object->get_ErrorReportMode(&error), S_OK);
        EXPECT_EQ(object->get_MessageReportMode(&message), S_OK);
        EXPECT_EQ(std::make_pair(error, message), std::make_pair(1L, 1L));
        for (LONG value : {0L, 3L, -1L, LONG_MAX, LONG_MIN}) {
            EXPECT_EQ(object->put_ErrorReportMode(value), S_OK);
            EXPECT_EQ(object->put_MessageReportMode(-value / 2), S_OK);
            object->get_ErrorReportMode(&error);
            object->get_MessageReportMode(&message);
            EXPECT_EQ(std::make_pair(error, message), std::make_pair(value, -value / 2))
                << "the modes are apart";
        }
    }
    EXPECT_EQ(item->ErrorMode(), LONG_MIN);
    EXPECT_EQ(item->MessageMode(), -(LONG_MIN / 2));
}

TEST_F(SyntaxItemTest, GetSyntaxGivesTheFirstForFlagZeroAndTheSecondOtherwise) {
    ComPtr<ovhost::SyntaxNode> first = Syntax(L"App.First"), second = Syntax(L"App.Second");
    ComPtr<TestNode> both = Node(first.Get(), second.Get()), onlySecond = Node(nullptr, second.Get());
    ComPtr<TestNode> none = Node(nullptr, nullptr);
    ComPtr<TestItem> item = ov::Create<TestItem>();
    const std::tuple<const char*, IovCtrlBase*, LONG, IUnknown*> cases[] = {
        {"both", both.Get(), 0, IdentityOf(first.Get())},
        {"both", both.Get(), 5, IdentityOf(second.Get())},
        {"both", both.Get(), 1, IdentityOf(second.Get())},
        {"both", both.Get(), -1, IdentityOf(second.Get())},
        {"only the second", onlySecond.Get(), 0, nullptr},
        {"none", none.Get(), 0, nullptr},
        {"none", none.Get(), 5, nullptr},
        {"plain item", item.Get(), 0, nullptr},
        {"plain item", item.Get(), 5, nullptr},
    };
    for (const auto& [what, object, flag, expected] : cases) {
        const ULONG before = expected ? References(expected) : 0;
        IovSyntaxItem* syntax = reinterpret_cast<IovSyntaxItem*>(1);
        EXPECT_EQ(object->GetSyntax(&syntax, flag), S_OK) << what << " " << flag;
        ComPtr<IovSyntaxItem> held = ComPtr<IovSyntaxItem>::Adopt(syntax);
        EXPECT_EQ(IdentityOf(syntax), expected) << what << " " << flag;
        EXPECT_EQ(expected ? References(expected) - before : 1u, 1u) << "a reference for the caller";
    }
}

TEST_F(SyntaxItemTest, GetHostObjectAsksTheObjectServiceForTheBoundElement) {
    wpfsim::Application app;
    wpfsim::Element& window = app.Add(nullptr, L"System.Windows.Window", L"main");
    wpfsim::Element& button = app.Add(&window, L"System.Windows.Controls.Button", L"ok");
    core->Attach(app, L"App.exe");
    ComPtr<ovhost::HostNode> buttonNode = core->NodeFor(button);
    ASSERT_TRUE(buttonNode);
    ComPtr<TestNode> bound = ov::Create<TestNode>(), unknown = ov::Create<TestNode>();
    ComPtr<TestNode> unbound = ov::Create<TestNode>(), toObject = ov::Create<TestNode>();
    bound->BindToNode(button.Id());
    unknown->BindToNode({0x0badf00d, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8}});
    toObject->BindToNode(button.Id());
    toObject->BindToObject(CovDispDriver(button.NewDispatch().Get())); // forgets the element
    EXPECT_TRUE(IsEqualGUID(toObject->ElementId(), GUID_NULL));

    const std::tuple<const char*, TestNode*, IUnknown*> cases[] = {
        {"bound to the button", bound.Get(), buttonNode->Identity()},
        {"bound to an element the host does not know", unknown.Get(), nullptr},
        {"not bound", unbound.Get(), nullptr},
        {"bound to a .NET object", toObject.Get(), nullptr},
    };
    for (const auto& [what, node, expected] : cases) {
        const long before = Calls("IovObjectService::FindHostObject");
        IUnknown* host = reinterpret_cast<IUnknown*>(1);
        EXPECT_EQ(node->GetHostObject(&host), S_OK) << what;
        ComPtr<IUnknown> held = ComPtr<IUnknown>::Adopt(host);
        EXPECT_EQ(IdentityOf(host), expected) << what;
        EXPECT_EQ(Calls("IovObjectService::FindHostObject"), before + 1) << what;
    }
    ov::HostServices::Clear();
    IUnknown* host = reinterpret_cast<IUnknown*>(1);
    EXPECT_EQ(bound->GetHostObject(&host), S_OK);
    EXPECT_EQ(host, nullptr) << "no object service, no host object";
    buttonNode.Reset();
    core->Detach();
}

TEST_F(SyntaxItemTest, MemberSyntaxFollowsTheOwnersSyntax) {
    ComPtr<ovhost::SyntaxNode> first = Syntax(L"App.List"), second = Syntax(L"App.List2");
    ComPtr<TestNode> owner = Node(first.Get(), second.Get());
    using V = ov::Variant;
    const std::tuple<LONG, const wchar_t*, LONG, std::vector<V>, VARIANT_BOOL, const wchar_t*> cases[] = {
        {0, L"HScroll", 0, {}, VARIANT_FALSE, L"App.List.HScroll"},
        {5, L"VScroll", 0, {}, VARIANT_FALSE, L"App.List2.VScroll"},
        {0,
         L"Items",
         0,
         {V::Int(3), V::String(L"File|Open"), V::Bool(true)},
         VARIANT_FALSE,
         L"App.List.Items(3, \"File|Open\", true)"},
        {0, L"wItems", 1, {}, VARIANT_TRUE, L"App.List.wItems"},
        {0, L"wItems", -4, {}, VARIANT_FALSE, L"App.List.wItems"},
    };
    for (auto [ownerFlag, member, flag, arguments, expectedFlag, text] : cases) {
        const long count = static_cast<long>(arguments.size());
        core->Calls().Reset();
        ComPtr<IovSyntaxItem> syntax =
            ov::CreateMemberSyntax(owner.Get(), ownerFlag, member, flag, arguments);
        ASSERT_TRUE(syntax) << text;
        EXPECT_EQ(ovhost::SyntaxText(syntax.Get()), text);
        EXPECT_TRUE(arguments.empty()) << text << ": the argument list is taken over";
        VARIANT_BOOL memberFlag = 7;
        ov::QueryAs<IovSyntaxMember>(syntax.Get())->get_MemberFlag(&memberFlag);
        EXPECT_EQ(memberFlag, expectedFlag) << text;
        // One member, one list and one object per argument, each made through the object service.
        EXPECT_EQ(Calls("IovObjectService::CreateObject"), 1 + (count ? 1 + count : 0)) << text;
        EXPECT_EQ(Calls("IovSyntaxArgument::put_Value"), count) << text;
        EXPECT_EQ(Calls("IovSyntaxArguments::Add"), count) << text;
        EXPECT_EQ(Calls("IovSyntaxMember::put_Arguments"), count ? 1 : 0) << text;
        for (const char* setter :
             {"IovSyntaxMember::put_Name", "IovSyntaxMember::put_Owner", "IovSyntaxMember::put_MemberFlag"})
            EXPECT_EQ(Calls(setter), 1) << text << " " << setter;
    }
}

TEST_F(SyntaxItemTest, MemberSyntaxIsNullWithoutTheOwnersSyntaxOrTheObjectService) {
    ComPtr<ovhost::SyntaxNode> first = Syntax(L"App.List");
    ComPtr<TestNode> withoutSyntax = Node(nullptr, nullptr), firstOnly = Node(first.Get(), nullptr);
    const std::tuple<const char*, IovCtrlBase*, LONG, bool> cases[] = {
        {"owner without syntax", withoutSyntax.Get(), 0, true},
        {"owner without the second syntax", firstOnly.Get(), 5, true},
        {"no owner", nullptr, 0, true},
        {"no object service", firstOnly.Get(), 0, false},
    };
    for (const auto& [what, owner, ownerFlag, service] : cases) {
        if (!service) ov::HostServices::Clear();
        std::vector<ov::Variant> arguments{ov::Variant::Int(1), ov::Variant::String(L"x")};
        EXPECT_FALSE(ov::CreateMemberSyntax(owner, ownerFlag, L"HScroll", 0, arguments)) << what;
        EXPECT_TRUE(arguments.empty()) << what << ": the argument list is emptied on every path";
    }
}

TEST_F(SyntaxItemTest, NullOutPointersAreRefused) {
    ComPtr<ovhost::SyntaxNode> first = Syntax(L"App.List");
    ComPtr<TestNode> node = Node(first.Get(), first.Get());
    node->BindToNode({0x0badf00d, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8}});
    ComPtr<TestItem> item = ov::Create<TestItem>();
    for (IovCtrlBase* object :
         {static_cast<IovCtrlBase*>(item.Get()), static_cast<IovCtrlBase*>(node.Get())}) {
        EXPECT_EQ(object->get_ErrorReportMode(nullptr), E_POINTER);
        EXPECT_EQ(object->get_MessageReportMode(nullptr), E_POINTER);
        EXPECT_EQ(object->GetSyntax(nullptr, 0), E_POINTER);
        EXPECT_EQ(object->GetSyntax(nullptr, 5), E_POINTER);
        EXPECT_EQ(object->GetHostObject(nullptr), E_POINTER);
    }
}

} // namespace
