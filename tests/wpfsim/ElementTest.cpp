// Elements: the tree as callers see it, effective states, focus, host clicks, the application's lookups.
#include "SimCall.h"

#include <stdexcept>

using namespace simtest;
using wpfsim::Element;
using wpfsim::MouseButton;
using wpfsim::MouseClick;

namespace {

// A control kind in miniature: a member of its own and a reaction to clicks.
class Toggle : public Element {
public:
    Toggle(wpfsim::Application& app, std::wstring cls, std::wstring name, bool initial)
        : Element(app, std::move(cls), std::move(name)), on_(initial) {
        AddProperty(L"IsChecked", [this] { return ov::Variant::Bool(on_); });
    }
    bool On() const { return on_; }

protected:
    void OnClick(const MouseClick& click) override {
        if (click.button == MouseButton::Left) on_ = !on_;
    }

private:
    bool on_;
};

class ElementTest : public SimTest {
protected:
    void SetUp() override {
        window = &app->Add(nullptr, L"System.Windows.Window", L"mainWindow");
        panel = &app->Add(window, L"System.Windows.Controls.StackPanel", L"panel");
        first = &app->Add<Toggle>(panel, L"System.Windows.Controls.CheckBox", L"first", false);
        second = &app->Add<Toggle>(panel, L"System.Windows.Controls.CheckBox", L"second", true);
    }
    // The object behind a VT_DISPATCH result.
    static wpfsim::ClrObject* Behind(const Result& r) {
        EXPECT_EQ(r.hr, S_OK);
        return r.value.vt == VT_DISPATCH ? wpfsim::ObjectOf(r.value.pdispVal).Get() : nullptr;
    }

    Element* window = nullptr;
    Element* panel = nullptr;
    Toggle* first = nullptr;
    Toggle* second = nullptr;
};

TEST_F(ElementTest, TreeReadsThroughParentAndChildMembers) {
    auto d = first->NewDispatch();
    for (const wchar_t* member : {L"Parent", L"get_Parent", L"get_LogicalParent", L"get_VisualParent"})
        EXPECT_EQ(Behind(Get(d.Get(), member)), panel);
    EXPECT_EQ(Text(Get(d.Get(), L"ClrFullClassName").value), L"System.Windows.Controls.CheckBox");
    EXPECT_EQ(Text(Get(d.Get(), L"Name").value), L"first");

    auto p = panel->NewDispatch();
    EXPECT_EQ(Get(p.Get(), L"get_VisualChildrenCount").value.lVal, 2);
    EXPECT_EQ(Behind(Call(p.Get(), L"GetVisualChild", {ov::Variant::Int(1)})), second);
    EXPECT_EQ(Call(p.Get(), L"GetVisualChild", {ov::Variant::Int(-1)}).hr, DISP_E_EXCEPTION);

    // Items hosted elsewhere keep their logical parent.
    second->SetLogicalParent(window);
    auto s = second->NewDispatch();
    EXPECT_EQ(Behind(Get(s.Get(), L"get_LogicalParent")), window);
    EXPECT_EQ(Behind(Get(s.Get(), L"Parent")), window);
    EXPECT_EQ(Behind(Get(s.Get(), L"get_VisualParent")), panel);
}

TEST_F(ElementTest, EnabledAndVisibleFollowTheAncestors) {
    auto d = first->NewDispatch();
    EXPECT_EQ(Put(panel->NewDispatch().Get(), L"IsEnabled", ov::Variant::Bool(false)).hr, S_OK);
    EXPECT_EQ(Get(d.Get(), L"IsEnabled").value.boolVal, VARIANT_FALSE);
    EXPECT_FALSE(first->IsEnabled());
    panel->SetEnabled(true);
    EXPECT_EQ(Get(d.Get(), L"IsEnabled").value.boolVal, VARIANT_TRUE);

    window->SetVisible(false);
    EXPECT_EQ(Get(d.Get(), L"IsVisible").value.boolVal, VARIANT_FALSE);
    EXPECT_EQ(Call(d.Get(), L"Focus").value.boolVal, VARIANT_FALSE);
    window->SetVisible(true);
    EXPECT_EQ(Call(d.Get(), L"Focus").value.boolVal, VARIANT_TRUE);
    EXPECT_EQ(app->FocusedElement(), first);
    EXPECT_EQ(Get(d.Get(), L"IsKeyboardFocused").value.boolVal, VARIANT_TRUE);
    EXPECT_TRUE(second->Focus());
    EXPECT_EQ(Get(d.Get(), L"IsFocused").value.boolVal, VARIANT_FALSE);
    first->SetFocusable(false);
    EXPECT_FALSE(first->Focus());
}

TEST_F(ElementTest, OnlyAClickableElementReactsToHostClicks) {
    struct Case {
        const char* what;
        std::function<void()> arrange;
        bool reacts;
    } cases[] = {
        {"enabled", [] {}, true},
        {"disabled itself", [&] { first->SetEnabled(false); }, false},
        {"disabled parent", [&] { panel->SetEnabled(false); }, false},
        {"hidden window", [&] { window->SetVisible(false); }, false},
        {"clicks change nothing", [&] { first->SetIgnoresClicks(true); }, false},
        {"not responding", [&] { app->StopResponding(); }, false},
    };
    for (auto& c : cases) {
        first->SetEnabled(true);
        panel->SetEnabled(true);
        window->SetVisible(true);
        first->SetIgnoresClicks(false);
        app->Resume();
        c.arrange();
        bool before = first->On();
        size_t clicks = first->Clicks().size();
        EXPECT_EQ(first->HostClick({}), c.reacts) << c.what;
        EXPECT_EQ(first->On() != before, c.reacts) << c.what;
        EXPECT_EQ(first->Clicks().size(), clicks + (c.reacts ? 1 : 0)) << c.what;
    }
    app->Resume();
    MouseClick rightDouble{MouseButton::Right, true, wpfsim::shift::Ctrl};
    ASSERT_TRUE(second->HostClick(rightDouble));
    EXPECT_EQ(second->Clicks().back(), rightDouble);
    EXPECT_TRUE(second->On()) << "the toggle reacts to the left button only";
}

TEST_F(ElementTest, ApplicationFindsElementsByNameIdentifierAndPoint) {
    EXPECT_NE(memcmp(&first->Id(), &second->Id(), sizeof(GUID)), 0);
    EXPECT_EQ(app->FindById(second->Id()), second);
    EXPECT_EQ(app->Find(L"second"), second);
    EXPECT_EQ(app->Find(L"Second"), nullptr);

    window->SetBounds({0, 0, 400, 300});
    panel->SetBounds({10, 10, 210, 110});
    first->SetBounds({10, 10, 110, 40});
    second->SetBounds({60, 20, 160, 50}); // overlaps first and lies on top
    EXPECT_EQ(app->ElementAt({20, 15}), first);
    EXPECT_EQ(app->ElementAt({70, 30}), second);
    EXPECT_EQ(app->ElementAt({200, 100}), panel);
    EXPECT_EQ(app->ElementAt({300, 200}), window);
    EXPECT_EQ(app->ElementAt({500, 500}), nullptr);
    second->SetVisible(false);
    EXPECT_EQ(app->ElementAt({70, 30}), first);
    EXPECT_DOUBLE_EQ(Get(first->NewDispatch().Get(), L"ActualWidth").value.dblVal, 100.0);
}

TEST_F(ElementTest, RemovedSubtreeLeavesTheTreeAndTheFocus) {
    ASSERT_TRUE(first->Focus());
    app->Remove(*panel);
    EXPECT_EQ(app->Find(L"first"), nullptr);
    EXPECT_EQ(app->FocusedElement(), nullptr);
    EXPECT_EQ(window->Children().size(), 0u);
    EXPECT_EQ(Behind(Get(panel->NewDispatch().Get(), L"Parent")), nullptr);
    EXPECT_EQ(Behind(Get(first->NewDispatch().Get(), L"Parent")), panel) << "the subtree stays whole";

    wpfsim::Application other;
    EXPECT_THROW(other.Add(window, L"System.Windows.Controls.Button", L"foreign"), std::invalid_argument);
}

TEST_F(ElementTest, ReferencesBetweenMembersDoNotOutliveTheApplication) {
    // A by-reference property that holds its own object and a member holding another element: both
    // are cycles until the application drops the members.
    first->AddByRefProperty(L"Self", [this] { return Disp(*first); });
    ov::ComPtr<Element> held(second);
    first->AddProperty(L"Partner", [held] { return Disp(*held); });
    EXPECT_EQ(Get(first->NewDispatch().Get(), L"Self").hr, S_OK);
    EXPECT_EQ(Get(first->NewDispatch().Get(), L"Partner").hr, S_OK);
    held.Reset();
    // The fixture checks that nothing is left once the application is gone.
}

} // namespace
