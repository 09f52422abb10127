// What only a native test sees of the range and viewer wrappers: the host's and the application's calls of
// a position set, and the lifetime of the scroll helpers (the log lines of every member: tests/scripts).
#include "ControlFixture.h"

#include "controls/Ranges.h"
#include "host/services/Services.h"
#include "wpfsim/Ranges.h"

#include <map>

namespace {

using namespace ovtest;

class RangesTest : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        bar_ = &App().Add<wpfsim::ScrollBar>(&MainWindow(), L"System.Windows.Controls.Primitives.ScrollBar",
                                             L"bar");
        bar_->SetBounds({10, 10, 200, 27});
        bar_->SetMaximum(50);
        viewer_ = &App().Add<wpfsim::ScrollViewer>(&MainWindow(), L"System.Windows.Controls.ScrollViewer",
                                                   L"viewer");
        viewer_->SetBounds({10, 40, 110, 100});
        auto& content = App().Create<wpfsim::Border>(L"System.Windows.Controls.Border", L"");
        content.Layout().width = 100;
        content.Layout().height = 300;
        viewer_->SetContentElement(&content);
        Attach();
    }

    wpfsim::ScrollBar* bar_ = nullptr;
    wpfsim::ScrollViewer* viewer_ = nullptr;
};

TEST_F(RangesTest, PositionSetMakesTheReadsTheCheckTheSetAndTheReadBackOnly) {
    auto wrapper = WrapElement<CovWPFCtrlScrollBar>(*bar_).As<IDispatch>();
    Host().Calls().Reset();
    App().ResetCalls();
    EXPECT_EQ(Put(wrapper.Get(), L"wPosition", ov::Variant::Double(20)).hr, S_OK);
    EXPECT_EQ(bar_->Value(), 20);
    EXPECT_TRUE(TakeLog().empty());
    const std::map<std::string, long, std::less<>> expected = {
        // The host object once (then cached); its native object for the member frame and the enabled check.
        {"IovObjectService::FindHostObject", 1},
        {"IovHostObject::GetExtender", 2},
        {"IovObject::GetNativeObject", 2},
    };
    EXPECT_EQ(Host().Calls().Snapshot(), expected);
    // "Value" read, "IsEnabled", "Value" set, "Value" read back: one lookup and one call each.
    EXPECT_EQ(App().Calls(L"Value"), (wpfsim::CallCount{3, 3, 3}));
    EXPECT_EQ(App().Calls(L"IsEnabled"), (wpfsim::CallCount{1, 1, 1}));
    EXPECT_EQ(App().Calls(), (wpfsim::CallCount{4, 4, 4}));

    // The value it has already: one read, nothing else.
    App().ResetCalls();
    EXPECT_EQ(Put(wrapper.Get(), L"wPosition", ov::Variant::Double(20)).hr, S_OK);
    EXPECT_EQ(App().Calls(), (wpfsim::CallCount{1, 1, 1}));
}

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

TEST_F(RangesTest, HelperSetMakesNoEnabledCheckAndOneScrollCall) {
    auto wrapper = WrapObject<CovWPFCtrlScrollViewer>(*viewer_).As<IDispatch>();
    Result made = Get(wrapper.Get(), L"HScroll");
    ASSERT_EQ(made.value.vt, VT_DISPATCH);
    ov::ComPtr<IDispatch> helper(made.value.pdispVal);
    MainWindow().SetEnabled(false);
    App().ResetCalls();
    // Nothing to scroll sideways: the offset stays 0, read back, and the extent read for the details.
    EXPECT_EQ(Put(helper.Get(), L"Pos", ov::Variant::Double(5)).hr, S_OK);
    EXPECT_EQ(App().Calls(L"ScrollToHorizontalOffset"), (wpfsim::CallCount{1, 1, 1}));
    EXPECT_EQ(App().Calls(L"HorizontalOffset"), (wpfsim::CallCount{1, 1, 1}));
    EXPECT_EQ(App().Calls(L"ScrollableWidth"), (wpfsim::CallCount{1, 1, 1}));
    EXPECT_EQ(App().Calls(), (wpfsim::CallCount{3, 3, 3}));
    EXPECT_EQ(TakeLog(),
              (std::vector<ovhost::LogEntry>{
                  {ovhost::LogError,
                   L"Failed to set the scroll position to 5.000000. 0.000000 was set instead of it.",
                   L"Minimum: 0.000000 maximum: 0.000000."}}));
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
