// What a script cannot see of the scroll helpers: that one outlives its owner's last reference, and the
// syntax it records (every member's behaviour: tests/members/ranges.table).
#include "ControlFixture.h"

#include "controls/Ranges.h"
#include "host/services/Services.h"
#include "wpfsim/Ranges.h"

namespace {

using namespace ovtest;

class RangesTest : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        viewer_ = &App().Add<wpfsim::ScrollViewer>(&MainWindow(), L"System.Windows.Controls.ScrollViewer",
                                                   L"viewer");
        viewer_->SetBounds({10, 40, 110, 100});
        auto& content = App().Create<wpfsim::Border>(L"System.Windows.Controls.Border", L"");
        content.Layout().width = 100;
        content.Layout().height = 300;
        viewer_->SetContentElement(&content);
        Attach();
    }

    wpfsim::ScrollViewer* viewer_ = nullptr;
};

TEST_F(RangesTest, ScrollHelperKeepsItsOwnerAliveAndGoesWithTheLastReference) {
    ov::ComPtr<IDispatch> helper;
    {
        auto wrapper = WrapObject<CovWPFCtrlScrollViewer>(*viewer_).As<IDispatch>();
        const long withWrapper = ov::ModuleLiveCount::Get();
        Result got = Get(wrapper.Get(), L"VScroll");
        ASSERT_EQ(got.hr, S_OK);
        ASSERT_EQ(got.value.vt, VT_DISPATCH);
        helper = got.value.pdispVal;
        EXPECT_EQ(ov::ModuleLiveCount::Get(), withWrapper + 1);
        // Every request makes a helper of its own.
        Result again = Get(wrapper.Get(), L"VScroll");
        ASSERT_EQ(again.value.vt, VT_DISPATCH);
        EXPECT_NE(again.value.pdispVal, helper.Get());
    }
    // The wrapper is the helper's owner: still alive, and the helper works through it.
    EXPECT_EQ(ov::ModuleLiveCount::Get(), 2);
    EXPECT_EQ(Put(helper.Get(), L"Pos", ov::Variant::Double(50)).hr, S_OK);
    EXPECT_EQ(viewer_->VerticalOffset(), 50);
    Result max = Get(helper.Get(), L"Max");
    EXPECT_EQ(max.value.vt, VT_R8);
    EXPECT_EQ(max.value.dblVal, viewer_->Scrollable().height);
    helper.Reset();
    EXPECT_EQ(ov::ModuleLiveCount::Get(), 0);
}

TEST_F(RangesTest, HelperSyntaxIsTheOwnersWithTheMemberOfItsDirectionAndItsModesItsOwn) {
    auto wrapper = WrapElement<CovWPFCtrlScrollViewer>(*viewer_);
    wrapper->put_ErrorReportMode(2);
    wrapper->put_MessageReportMode(0);
    for (const wchar_t* member : {L"HScroll", L"VScroll"}) {
        Result made = Get(wrapper.As<IDispatch>().Get(), member);
        ASSERT_EQ(made.value.vt, VT_DISPATCH);
        auto helper = ov::QueryAs<IovCtrlBase>(made.value.pdispVal);
        ASSERT_TRUE(helper);
        EXPECT_EQ(ReportModes(helper.Get()), kModesAtCreation);
        // Without a syntax of its owner the helper has none either.
        ov::ComPtr<IovSyntaxItem> syntax;
        EXPECT_EQ(helper->GetSyntax(syntax.Put(), 0), S_OK);
        EXPECT_FALSE(syntax);
        wrapper->SetSyntax(Host().MakeSyntaxRoot(L"App.Find(\"viewer\")").As<IovSyntaxItem>().Get(), nullptr);
        EXPECT_EQ(helper->GetSyntax(syntax.Put(), 0), S_OK);
        EXPECT_EQ(ovhost::SyntaxText(syntax.Get()), std::wstring(L"App.Find(\"viewer\").") + member);
        wrapper->SetSyntax(nullptr, nullptr);
    }
}

} // namespace
