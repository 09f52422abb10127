// The syntax objects of the object service, built the way the module builds a member syntax: what was set
// can be read back, and the text the host writes for it.
#include "HostFixture.h"

using namespace hosttest;

namespace {

class SyntaxTest : public HostTest {
protected:
    template <class I> ov::ComPtr<I> Make() {
        ov::ComPtr<IUnknown> made;
        EXPECT_EQ(Service()->CreateObject(&__uuidof(I), nullptr, made.Put()), S_OK);
        return made.As<I>();
    }
    ov::ComPtr<IovSyntaxArgument> Argument(ov::Variant value) {
        auto argument = Make<IovSyntaxArgument>();
        EXPECT_EQ(argument->put_Value(value), S_OK);
        return argument;
    }
};

TEST_F(SyntaxTest, CreateObjectMakesEachSyntaxInterfaceAndOnlyWithoutContext) {
    EXPECT_TRUE(Make<IovSyntaxMember>().As<IovSyntaxNode>());
    EXPECT_TRUE(Make<IovSyntaxMember>().As<IovSyntaxItem>());
    EXPECT_TRUE(Make<IovSyntaxArguments>());
    EXPECT_TRUE(Make<IovSyntaxArgument>().As<IovSyntaxItem>());
    EXPECT_FALSE(Make<IovSyntaxArguments>().As<IovSyntaxItem>());

    ov::ComPtr<IUnknown> made;
    EXPECT_EQ(Service()->CreateObject(&__uuidof(IovSyntaxMember), host->Hook().Get(), made.Put()),
              E_INVALIDARG);
    EXPECT_FALSE(made);
    EXPECT_EQ(Calls("IovObjectService::CreateObject"), 6);
}

TEST_F(SyntaxTest, MemberKeepsWhatTheModuleSetAndWritesOwnerNameAndArguments) {
    auto root = host->MakeSyntaxRoot(L"Aliases.App.listBox");
    auto member = Make<IovSyntaxMember>();
    ASSERT_EQ(member->put_MemberFlag(VARIANT_FALSE), S_OK);
    ASSERT_EQ(member->put_Name(ov::Bstr(L"Items").Get()), S_OK);
    ASSERT_EQ(member->put_Owner(root.Get()), S_OK);
    EXPECT_EQ(ovhost::SyntaxText(member.Get()), L"Aliases.App.listBox.Items");

    auto arguments = Make<IovSyntaxArguments>();
    ASSERT_EQ(member->put_Arguments(arguments.Get()), S_OK);
    for (auto& value : {ov::Variant::String(L"say \"hi\""), ov::Variant::Int(3), ov::Variant::Bool(true)})
        ASSERT_EQ(arguments->Add(Argument(value).Get()), S_OK);
    EXPECT_EQ(ovhost::SyntaxText(member.Get()), LR"(Aliases.App.listBox.Items("say ""hi""", 3, true))");

    ov::Bstr name;
    ov::ComPtr<IovSyntaxNode> owner;
    ov::ComPtr<IovSyntaxArguments> readArguments;
    VARIANT_BOOL flag = VARIANT_TRUE;
    member->get_Name(name.Put());
    member->get_Owner(owner.Put());
    member->get_Arguments(readArguments.Put());
    member->get_MemberFlag(&flag);
    EXPECT_EQ(name.View(), L"Items");
    EXPECT_EQ(Identity(owner.Get()), Identity(root.Get()));
    EXPECT_EQ(Identity(readArguments.Get()), Identity(arguments.Get()));
    EXPECT_EQ(flag, VARIANT_FALSE);
    LONG count = 0;
    readArguments->get_Count(&count);
    EXPECT_EQ(count, 3);

    for (const char* op : {"IovSyntaxMember::put_MemberFlag", "IovSyntaxMember::put_Name",
                           "IovSyntaxMember::put_Owner", "IovSyntaxMember::put_Arguments"})
        EXPECT_EQ(Calls(op), 1) << op;
    EXPECT_EQ(Calls("IovSyntaxArguments::Add"), 3);
    EXPECT_EQ(Calls("IovSyntaxArgument::put_Value"), 3);
}

TEST_F(SyntaxTest, ArgumentKeepsItsOwnCopyOfTheValue) {
    ov::Variant target = ov::Variant::String(L"first");
    ov::Variant byRef;
    byRef.vt = VT_BYREF | VT_VARIANT;
    byRef.pvarVal = &target;
    auto argument = Argument(byRef);
    byRef.vt = VT_EMPTY; // not the owner of target
    target = ov::Variant::String(L"changed");

    ov::Variant read;
    ASSERT_EQ(argument->get_Value(&read), S_OK);
    ASSERT_EQ(read.vt, VT_BSTR);
    EXPECT_EQ(std::wstring(read.bstrVal), L"first");
    EXPECT_EQ(ovhost::SyntaxText(Argument(ov::Variant()).Get()), L"");
    EXPECT_EQ(ovhost::SyntaxText(Argument(ov::Variant::Double(2.5)).Get()), L"2.5");
}

} // namespace
