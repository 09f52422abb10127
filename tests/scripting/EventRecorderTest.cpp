// What the event recorder attaches that the host's statement writer never shows a script (the members table
// recorder.table pins the rest): the events it declines, the values under the host's keys, the byte block of
// the scroll context, and a failing .NET call.
#include "scripting/EventRecorder.h"

#include "com/RecordIdentifiers.h"
#include "frame/HostServices.h"
#include "recognition/ElementNavigation.h"
#include "host/services/Host.h"
#include "host/recording/Recording.h"
#include "host/cli/Run.h"
#include "wpfsim/Application.h"
#include "wpfsim/Element.h"

#include "TestSupport.h"
#include "../wpfsim/SimCall.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

namespace keys = ov::RecordKeys;
using ov::ComPtr;

class EventRecorderTest : public testing::Test {
protected:
    void SetUp() override {
        const std::wstring path = std::wstring(OV_SOURCE_DIR) + L"\\tests\\scripts\\recording.xaml";
        ASSERT_EQ(ovhost::LoadApplication(path, app), L"");
        host = std::make_unique<ovhost::Host>(ovtest::BinFolder());
        ASSERT_EQ(ovhost::StartHost(*host, *app, path, ovtest::BinFolder()), L"");
        ov::HostServices::Set(host->ObjectService().Get(), host->LogService().Get());
        recorder = ov::Create<CovWPFEventRecorder>();
    }
    void TearDown() override {
        recorder.Reset();
        ov::HostServices::Clear();
        host.reset();
        app.reset();
        EXPECT_EQ(ov::ModuleLiveCount::Get(), 0) << "module objects left alive";
    }

    wpfsim::Element& E(const wchar_t* name) {
        wpfsim::Element* e = app->Find(name);
        if (!e) throw std::runtime_error("no element");
        return *e;
    }
    void Set(const wchar_t* name, const wchar_t* member, ov::Variant value) {
        simtest::Put(E(name).NewDispatch().Get(), member, value);
        app->UpdateLayout();
    }
    // An event of `kind` on the element's object, a mouse event at its centre (or at `at`).
    ComPtr<ovhost::RecordedEvent> Record(IUnknown* object, const wpfsim::Element& element,
                                         const GUID& kind = ov::EventKinds::Mouse,
                                         std::optional<POINT> at = {}) {
        const RECT& r = element.Bounds();
        const POINT point = at.value_or(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        auto event = ov::Create<ovhost::RecordedEvent>(host->Core().shared_from_this(), kind,
                                                       ovhost::RecordedEvent::MouseData(point, 0, 1, 0));
        ComPtr<IovHostObject> context =
            ovhost::WindowContextOf(host->Core(), const_cast<wpfsim::Element&>(element));
        handled = VARIANT_FALSE;
        EXPECT_EQ(recorder->RecordEvent(context.Get(), event.Get(), object, &handled), S_OK);
        return event;
    }
    ComPtr<ovhost::RecordedEvent> Record(const wchar_t* name, const GUID& kind = ov::EventKinds::Mouse) {
        bool transient = false;
        ComPtr<ovhost::ElementNode> node = ovhost::EventNode(host->Core(), E(name), transient);
        EXPECT_TRUE(node) << "no host object";
        auto event = Record(node->AsHostObject(), E(name), kind);
        ovhost::DropEventNode(*node, transient);
        return event;
    }
    GUID IdOf(const wchar_t* name) { return E(name).Id(); }
    static std::wstring Text(const ov::Variant& v) { return v.vt == VT_BSTR ? v.bstrVal : L"<not a string>"; }

    std::unique_ptr<wpfsim::Application> app;
    std::unique_ptr<ovhost::Host> host;
    ComPtr<CovWPFEventRecorder> recorder;
    VARIANT_BOOL handled = VARIANT_FALSE;
};

TEST_F(EventRecorderTest, DeclinedKindsAndObjectsWithoutNativeObjectAttachNothing) {
    for (const GUID& kind : {ov::EventKinds::MouseMove, ov::EventKinds::WindowActivation}) {
        auto event = Record(L"ok", kind);
        EXPECT_FALSE(handled);
        EXPECT_FALSE(event->HasProperty(keys::ControlType));
    }
    // The top-level window object has no native object extender.
    ComPtr<IovHostObject> top = ovhost::WindowContextOf(host->Core(), E(L"ok"));
    auto event = Record(top.Get(), E(L"ok"));
    EXPECT_FALSE(handled);
    EXPECT_FALSE(event->HasProperty(keys::ControlType));
    EXPECT_TRUE(event->Objects().empty());
}

// Elements that lack members every WPF element has: no script can make them.
TEST_F(EventRecorderTest, KindZeroAndElementsWithoutIsEnabledGetOnlyWhatTheyHave) {
    // An element that no kind takes (not even the base kind, which wants a "ContextMenu"): class name and
    // kind only.
    E(L"mainWindow").RemoveMember(L"ContextMenu");
    host->NodeOf(E(L"mainWindow"))->DropExtensions();
    auto window = Record(L"mainWindow");
    EXPECT_EQ(window->Property(keys::ControlType).lVal, 0);
    EXPECT_EQ(Text(window->Property(keys::ClassName)), L"System.Windows.Window");
    EXPECT_FALSE(window->HasProperty(keys::Enabled));
    EXPECT_FALSE(window->HasProperty(keys::VisualPath));

    // Without "IsEnabled" there is no enabled property, the rest stays.
    E(L"ok").RemoveMember(L"IsEnabled");
    auto button = Record(L"ok");
    EXPECT_EQ(button->Property(keys::ControlType).lVal, ctrlWPFButton);
    EXPECT_FALSE(button->HasProperty(keys::Enabled));
}

TEST_F(EventRecorderTest, FailingDotNetCallStillCountsAsDealtWith) {
    E(L"ok").ThrowOn(L"IsEnabled", wpfsim::ClrException{L"PresentationFramework", 0, L"boom", E_FAIL});
    host->ClearLog();
    auto event = Record(L"ok");
    EXPECT_TRUE(handled);
    EXPECT_EQ(event->Property(keys::ControlType).lVal, ctrlWPFButton) << "attached before the failure";
    EXPECT_FALSE(event->HasProperty(keys::Enabled));
    ASSERT_FALSE(host->Log().empty());
    EXPECT_NE(host->Log().back().text.find(L"\n"), std::wstring::npos) << "message and details on two lines";
    EXPECT_EQ(host->Log().back().kind, ovhost::LogError) << "logged as the error it is";
}

TEST_F(EventRecorderTest, DecorationHandsOverTheControlWithOffsets) {
    // The chrome of the button's template, on the button's own rectangle; the border that is its content,
    // inside the content presenter that holds it (the nearest element that is no decoration).
    wpfsim::Element& chrome = *E(L"framed").Children().at(0);
    wpfsim::Element& frame = E(L"frame");
    const struct {
        wpfsim::Element* pressed;
        wpfsim::Element* owner;
        const wchar_t* className;
        LONG kind;
    } cases[] = {
        {&chrome, &E(L"framed"), L"System.Windows.Controls.Button", ctrlWPFButton},
        {&frame, frame.Parent(), L"System.Windows.Controls.ContentPresenter", ctrlWPFBaseCtrl},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.className);
        wpfsim::Element& pressed = *c.pressed;
        auto event =
            Record(ovhost::NearestNode(host->Core(), pressed)->AsHostObject(), pressed, ov::EventKinds::Mouse,
                   POINT{pressed.Bounds().left + 1, pressed.Bounds().top + 1});
        EXPECT_EQ(event->Property(keys::ControlType).lVal, ctrlWPFActTransparent);
        auto owner = event->Identifier(keys::TransparentOwner);
        ASSERT_TRUE(owner);
        EXPECT_TRUE(IsEqualGUID(*owner, c.owner->Id()));
        EXPECT_EQ(Text(event->Property(keys::TransparentClassName)), c.className);
        EXPECT_EQ(event->Property(keys::TransparentOffsetX).lVal,
                  c.owner->Bounds().left - pressed.Bounds().left);
        EXPECT_EQ(event->Property(keys::TransparentOffsetY).lVal,
                  c.owner->Bounds().top - pressed.Bounds().top);
        EXPECT_EQ(event->Property(keys::TransparentKind).lVal, c.kind);
    }
    EXPECT_NE(frame.Parent()->Bounds().left, frame.Bounds().left) << "the case's premise";
    EXPECT_NE(frame.Parent()->Bounds().top, frame.Bounds().top) << "the case's premise";
}

TEST_F(EventRecorderTest, ScrollContextHasOneEntryPerScrollableObjectInnermostFirst) {
    Set(L"scroller", L"VerticalOffset", ov::Variant::Double(0));
    simtest::Call(E(L"scroller").NewDispatch().Get(), L"ScrollToVerticalOffset", {ov::Variant::Double(30)});
    app->UpdateLayout();
    auto event = Record(L"notes", ov::EventKinds::Keyboard);
    ov::Variant count = event->Property(keys::ScrollCount);
    ASSERT_EQ(count.vt, VT_UI8);
    const std::vector<BYTE>* bytes = event->Bytes(keys::ScrollState);
    ASSERT_TRUE(bytes);
    ASSERT_EQ(bytes->size(), 40 * count.ullVal);
    std::vector<ov::ScrollEntry> entries(count.ullVal);
    std::memcpy(entries.data(), bytes->data(), bytes->size());
    ASSERT_EQ(entries.size(), 2u)
        << "the edit and the scroll viewer; panels and the window have no scroll bars";
    EXPECT_TRUE(IsEqualGUID(entries[0].object, IdOf(L"notes")));
    EXPECT_TRUE(IsEqualGUID(entries[1].object, IdOf(L"scroller")));
    EXPECT_EQ(entries[1].hasVertical, 1);
    EXPECT_EQ(entries[1].vertical, 30.0);
    EXPECT_EQ(event->Objects().size(), entries.size());
}

// What the host's statement writer does not use: a script never sees these values.
TEST_F(EventRecorderTest, RepeatButtonsRecordTheirPressedStateAndPopupRootsTheKindOfTheirPopupsOwner) {
    auto event = Record(L"repeat");
    EXPECT_EQ(event->Property(keys::Pressed).vt, VT_BOOL);

    Set(L"theme", L"IsDropDownOpen", ov::Variant::Bool(true));
    wpfsim::Element* root = &E(L"light");
    while (root->Parent())
        root = root->Parent();
    auto popupRoot = Record(ovhost::NearestNode(host->Core(), *root)->AsHostObject(), *root);
    EXPECT_EQ(popupRoot->Property(keys::ControlType).lVal, ctrlWPFPopupRoot);
    EXPECT_EQ(popupRoot->Property(keys::PopupOwnerKind).lVal, ctrlWPFComboBox);
    Set(L"theme", L"IsDropDownOpen", ov::Variant::Bool(false));
}

} // namespace
