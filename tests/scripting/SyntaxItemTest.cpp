// The syntax item bases against the host stand-in's object service and syntax objects.
#include "scripting/SyntaxItem.h"

#include "frame/HostServices.h"
#include "host/services/HostObjects.h"
#include "host/services/Services.h"
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
    ComPtr<TestNode> Node(const wchar_t* first, const wchar_t* second) {
        ComPtr<TestNode> node = ov::Create<TestNode>();
        node->SetSyntax(first ? ov::Create<ovhost::SyntaxNode>(core, first).Get() : nullptr,
                        second ? ov::Create<ovhost::SyntaxNode>(core, second).Get() : nullptr);
        return node;
    }
    long Calls(const char* operation) const { return core->Calls().Of(operation); }

    std::shared_ptr<ovhost::HostCore> core = std::make_shared<ovhost::HostCore>(ovtest::BinFolder());
    ComPtr<ovhost::HookObject> hook = ov::Create<ovhost::HookObject>(core);
};

TEST_F(SyntaxItemTest, ReportModesStartAtOneAreApartAndOutPointersAreChecked) {
    ComPtr<TestItem> item = ov::Create<TestItem>();
    ComPtr<TestNode> node = Node(L"App.List", L"App.List");
    for (IovCtrlBase* object :
         {static_cast<IovCtrlBase*>(item.Get()), static_cast<IovCtrlBase*>(node.Get())}) {
        LONG error = 0, message = 0;
        object->get_ErrorReportMode(&error);
        object->get_MessageReportMode(&message);
        EXPECT_EQ(std::make_pair(error, message), std::make_pair(1L, 1L));
        EXPECT_EQ(object->put_ErrorReportMode(LONG_MIN), S_OK);
        EXPECT_EQ(object->put_MessageReportMode(3), S_OK);
        object->get_ErrorReportMode(&error);
        object->get_MessageReportMode(&message);
        EXPECT_EQ(std::make_pair(error, message), std::make_pair(LONG_MIN, 3L));
        EXPECT_EQ(object->get_ErrorReportMode(nullptr), E_POINTER);
        EXPECT_EQ(object->get_MessageReportMode(nullptr), E_POINTER);
        EXPECT_EQ(object->GetSyntax(nullptr, 5), E_POINTER);
        EXPECT_EQ(object->GetHostObject(nullptr), E_POINTER);
    }
}

TEST_F(SyntaxItemTest, GetSyntaxGivesTheFirstForFlagZeroAndTheSecondOtherwise) {
    ComPtr<TestNode> both = Node(L"App.First", L"App.Second"), onlySecond = Node(nullptr, L"App.Second");
    ComPtr<TestItem> item = ov::Create<TestItem>();
    const std::tuple<IovCtrlBase*, LONG, const wchar_t*> cases[] = {
        {both.Get(), 0, L"App.First"},  {both.Get(), 5, L"App.Second"}, {both.Get(), -1, L"App.Second"},
        {onlySecond.Get(), 0, nullptr}, {item.Get(), 5, nullptr},
    };
    for (const auto& [object, flag, expected] : cases) {
        IovSyntaxItem* syntax = reinterpret_cast<IovSyntaxItem*>(1);
        EXPECT_EQ(object->GetSyntax(&syntax, flag), S_OK) << flag;
        ComPtr<IovSyntaxItem> held = ComPtr<IovSyntaxItem>::Adopt(syntax);
        if (expected)
            EXPECT_EQ(ovhost::SyntaxText(syntax), expected);
        else
            EXPECT_EQ(syntax, nullptr) << flag;
    }
}

TEST_F(SyntaxItemTest, GetHostObjectAsksTheObjectServiceForTheBoundElement) {
    wpfsim::Application app;
    wpfsim::Element& button = app.Add(nullptr, L"System.Windows.Controls.Button", L"ok");
    core->Attach(app, L"App.exe");
    ComPtr<ovhost::HostNode> buttonNode = core->NodeFor(button);
    ComPtr<TestNode> bound = ov::Create<TestNode>(), unknown = ov::Create<TestNode>();
    ComPtr<TestNode> toObject = ov::Create<TestNode>();
    bound->BindToNode(button.Id());
    unknown->BindToNode({0x0badf00d, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8}});
    toObject->BindToNode(button.Id());
    toObject->BindToObject(CovDispDriver(button.NewDispatch().Get())); // forgets the element
    const std::pair<TestNode*, IUnknown*> cases[] = {
        {bound.Get(), buttonNode->Identity()}, {unknown.Get(), nullptr}, {toObject.Get(), nullptr}};
    for (const auto& [node, expected] : cases) {
        const long before = Calls("IovObjectService::FindHostObject");
        IUnknown* host = reinterpret_cast<IUnknown*>(1);
        EXPECT_EQ(node->GetHostObject(&host), S_OK);
        ComPtr<IUnknown> held = ComPtr<IUnknown>::Adopt(host);
        EXPECT_EQ(host ? ov::QueryAs<IUnknown>(host).Get() : nullptr, expected);
        EXPECT_EQ(Calls("IovObjectService::FindHostObject"), before + 1);
    }
    ov::HostServices::Clear();
    IUnknown* host = reinterpret_cast<IUnknown*>(1);
    EXPECT_EQ(bound->GetHostObject(&host), S_OK);
    EXPECT_EQ(host, nullptr) << "no object service, no host object";
}

TEST_F(SyntaxItemTest, MemberSyntaxFollowsTheOwnersSyntaxOrIsNull) {
    ComPtr<TestNode> owner = Node(L"App.List", L"App.List2");
    using V = ov::Variant;
    const std::tuple<LONG, LONG, std::vector<V>, VARIANT_BOOL, const wchar_t*> cases[] = {
        {5, 0, {}, VARIANT_FALSE, L"App.List2.Items"},
        {0, 1, {V::Int(3), V::String(L"a")}, VARIANT_TRUE, L"App.List.Items(3, \"a\")"},
    };
    for (auto [ownerFlag, flag, arguments, expectedFlag, text] : cases) {
        const long count = static_cast<long>(arguments.size());
        core->Calls().Reset();
        ComPtr<IovSyntaxItem> syntax =
            ov::CreateMemberSyntax(owner.Get(), ownerFlag, L"Items", flag, arguments);
        ASSERT_TRUE(syntax) << text;
        EXPECT_EQ(ovhost::SyntaxText(syntax.Get()), text);
        EXPECT_TRUE(arguments.empty()) << "the argument list is taken over";
        VARIANT_BOOL memberFlag = 7;
        ov::QueryAs<IovSyntaxMember>(syntax.Get())->get_MemberFlag(&memberFlag);
        EXPECT_EQ(memberFlag, expectedFlag) << text;
        // One member, one list and one object per argument, each made through the object service.
        EXPECT_EQ(Calls("IovObjectService::CreateObject"), 1 + (count ? 1 + count : 0)) << text;
        EXPECT_EQ(Calls("IovSyntaxArguments::Add"), count) << text;
    }
    ComPtr<TestNode> firstOnly = Node(L"App.List", nullptr);
    const std::tuple<IovCtrlBase*, LONG, bool> nulls[] = {
        {firstOnly.Get(), 5, true}, {nullptr, 0, true}, {firstOnly.Get(), 0, false}};
    for (const auto& [ownerNode, ownerFlag, service] : nulls) {
        if (!service) ov::HostServices::Clear();
        std::vector<V> arguments{V::Int(1)};
        EXPECT_FALSE(ov::CreateMemberSyntax(ownerNode, ownerFlag, L"HScroll", 0, arguments)) << ownerFlag;
        EXPECT_TRUE(arguments.empty()) << "the argument list is emptied on every path";
    }
}

} // namespace
