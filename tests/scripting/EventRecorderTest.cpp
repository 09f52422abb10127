// The event recorder and the element tree walks over the recording application, with the host's event
// objects: what each kind of element attaches, and what the recorder declines.
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

TEST_F(EventRecorderTest, KindClassNameEnabledAndAnEmptyVisualPathOnTheElementItself) {
    auto event = Record(L"notes", ov::EventKinds::Keyboard);
    EXPECT_TRUE(handled);
    EXPECT_EQ(event->Property(keys::ControlType).lVal, ctrlWPFEdit);
    EXPECT_EQ(Text(event->Property(keys::ClassName)), L"System.Windows.Controls.TextBox");
    EXPECT_EQ(event->Property(keys::Enabled).vt, VT_BOOL);
    EXPECT_FALSE(event->HasProperty(keys::VisualPath)) << "a keyboard event has no visual path";

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

TEST_F(EventRecorderTest, VisualPathListsTheClassesUnderTheMouseUpToTheElement) {
    // The press lands on the button's text inside its template.
    auto event = Record(L"ok");
    const std::wstring path = Text(event->Property(keys::VisualPath));
    EXPECT_NE(path, L"<not a string>");
    EXPECT_EQ(path.find(L"System.Windows.Controls.Button"), std::wstring::npos) << path;
    // A point on the element itself (its margin area inside it has no child): the decorated button's
    // border is the innermost there, the button is the element.
    auto onFrame = Record(ovhost::NearestNode(host->Core(), E(L"frame"))->AsHostObject(), E(L"frame"));
    EXPECT_EQ(Text(onFrame->Property(keys::VisualPath)), L"");
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
}

struct ItemCase {
    const wchar_t* element;
    const wchar_t* owner;   // null: no owner recorded
    ov::Variant designator; // VT_EMPTY: none
    const wchar_t* open;    // an element to open first (IsDropDownOpen)
};

TEST_F(EventRecorderTest, ItemWalksRecordOwnerAndDesignator) {
    const ItemCase cases[] = {
        {L"banana", L"fruits", ov::Variant::String(L"Banana"), nullptr},
        {L"apple2", L"fruits", ov::Variant::Int(2), nullptr}, // its text repeats but for the case
        {L"dark", L"theme", ov::Variant::String(L"Dark"), L"theme"},
        {L"userItem", nullptr, ov::Variant(), L"userCombo"}, // the owner is no combo box
        {L"advanced", L"tabs", ov::Variant::String(L"Advanced"), nullptr},
        {L"leaf", L"tree", ov::Variant::String(L"|Root|Child|Leaf"), nullptr},
        {L"child", L"tree", ov::Variant::String(L"|Root|Child"), nullptr},
    };
    for (const ItemCase& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.element, c.element + wcslen(c.element)));
        if (c.open) Set(c.open, L"IsDropDownOpen", ov::Variant::Bool(true));
        host->ClearLog();
        auto event = Record(c.element);
        EXPECT_TRUE(handled);
        for (const auto& entry : host->Log())
            ADD_FAILURE() << std::string(entry.text.begin(), entry.text.end());
        auto owner = event->Identifier(keys::ItemOwner);
        EXPECT_EQ(owner.has_value(), c.owner != nullptr);
        if (c.owner && owner) {
            EXPECT_TRUE(IsEqualGUID(*owner, IdOf(c.owner)));
            EXPECT_FALSE(event->Objects().empty());
        }
        ov::Variant designator = event->Property(keys::ItemDesignator);
        EXPECT_EQ(designator.vt, c.designator.vt);
        if (designator.vt == VT_BSTR && c.designator.vt == VT_BSTR) {
            EXPECT_EQ(Text(designator), Text(c.designator));
        } else if (designator.vt == VT_I4 && c.designator.vt == VT_I4) {
            EXPECT_EQ(designator.lVal, c.designator.lVal);
        }
        if (c.open) Set(c.open, L"IsDropDownOpen", ov::Variant::Bool(false));
    }
}

TEST_F(EventRecorderTest, ToolBarButtonsUseTheirOwnKeysAndOtherButtonsNone) {
    auto event = Record(L"italic");
    auto owner = event->Identifier(keys::ToolBarOwner);
    ASSERT_TRUE(owner);
    EXPECT_TRUE(IsEqualGUID(*owner, IdOf(L"bar")));
    EXPECT_EQ(Text(event->Property(keys::ToolBarDesignator)), L"Italic");
    EXPECT_FALSE(event->HasProperty(keys::ItemOwner));

    auto plain = Record(L"ok");
    EXPECT_FALSE(plain->Identifier(keys::ToolBarOwner));
    EXPECT_FALSE(plain->HasProperty(keys::ToolBarDesignator));
}

TEST_F(EventRecorderTest, DecorationHandsOverTheControlWithOffsets) {
    // The border of the button's template, pressed in its padding.
    wpfsim::Element& border = *E(L"framed").Children().at(0);
    auto event = Record(ovhost::NearestNode(host->Core(), border)->AsHostObject(), border,
                        ov::EventKinds::Mouse, POINT{border.Bounds().left + 1, border.Bounds().top + 1});
    EXPECT_EQ(event->Property(keys::ControlType).lVal, ctrlWPFActTransparent);
    auto owner = event->Identifier(keys::TransparentOwner);
    ASSERT_TRUE(owner);
    EXPECT_TRUE(IsEqualGUID(*owner, IdOf(L"framed")));
    EXPECT_EQ(Text(event->Property(keys::TransparentClassName)), L"System.Windows.Controls.Button");
    EXPECT_EQ(event->Property(keys::TransparentOffsetX).lVal,
              E(L"framed").Bounds().left - border.Bounds().left);
    EXPECT_EQ(event->Property(keys::TransparentOffsetY).lVal,
              E(L"framed").Bounds().top - border.Bounds().top);
    EXPECT_EQ(event->Property(keys::TransparentKind).lVal, ctrlWPFButton);
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

TEST_F(EventRecorderTest, MenuItemsRecordPathSubmenuStateAfterTheClickAndTheirTopMenu) {
    Set(L"file", L"IsSubmenuOpen", ov::Variant::Bool(true));
    auto wrap = Record(L"wrap");
    EXPECT_EQ(Text(wrap->Property(keys::MenuPath)), L"File|Word wrap");
    EXPECT_EQ(wrap->Property(keys::MenuHasSubmenu).boolVal, VARIANT_FALSE);
    EXPECT_EQ(wrap->Property(keys::MenuCheckedAfter).boolVal, VARIANT_TRUE);
    EXPECT_EQ(wrap->Property(keys::MenuTopKind).lVal, ctrlWPFMenu);
    auto top = wrap->Identifier(keys::MenuOwner);
    ASSERT_TRUE(top);
    EXPECT_TRUE(IsEqualGUID(*top, IdOf(L"menu")));

    auto file = Record(L"file");
    EXPECT_EQ(Text(file->Property(keys::MenuPath)), L"File");
    EXPECT_EQ(file->Property(keys::MenuHasSubmenu).boolVal, VARIANT_TRUE);
    EXPECT_FALSE(file->HasProperty(keys::MenuCheckedAfter));
    EXPECT_FALSE(Record(L"wrap", ov::EventKinds::Keyboard)->HasProperty(keys::MenuPath));
    Set(L"file", L"IsSubmenuOpen", ov::Variant::Bool(false));

    // A context menu's item: its owner is the element whose "ContextMenu" it is.
    Set(L"fruitMenu", L"IsOpen", ov::Variant::Bool(true));
    auto copy = Record(L"copy");
    EXPECT_EQ(Text(copy->Property(keys::MenuPath)), L"Copy");
    EXPECT_EQ(copy->Property(keys::MenuTopKind).lVal, ctrlWPFContextMenu);
    auto owner = copy->Identifier(keys::MenuOwner);
    ASSERT_TRUE(owner);
    EXPECT_TRUE(IsEqualGUID(*owner, IdOf(L"fruits")));
    Set(L"fruitMenu", L"IsOpen", ov::Variant::Bool(false));
}

// The menu an item belongs to is found up the items' logical parents, which menu items alone have: through
// a menu item of a user class (no kind of the module's) as through any, and not beyond a menu that is itself
// an item of a toolbar.
TEST_F(EventRecorderTest, MenuItemsFindTheirMenuThroughEveryMenuItemAndNoFurther) {
    const struct {
        const wchar_t *header, *item, *path, *menu;
    } cases[] = {{L"fancy", L"plain", L"Fancy|Plain", L"menu"},
                 {L"insert", L"table", L"Insert|Table", L"barMenu"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.path)));
        Set(c.header, L"IsSubmenuOpen", ov::Variant::Bool(true));
        auto event = Record(c.item);
        EXPECT_EQ(Text(event->Property(keys::MenuPath)), c.path);
        EXPECT_EQ(event->Property(keys::MenuTopKind).lVal, ctrlWPFMenu);
        auto owner = event->Identifier(keys::MenuOwner);
        ASSERT_TRUE(owner);
        EXPECT_TRUE(IsEqualGUID(*owner, IdOf(c.menu)));
        Set(c.header, L"IsSubmenuOpen", ov::Variant::Bool(false));
    }
}

TEST_F(EventRecorderTest, RepeatButtonPressedStateAndOptionsReachTheRecordersRecognizer) {
    auto event = Record(L"repeat");
    EXPECT_EQ(event->Property(keys::Pressed).vt, VT_BOOL);
    // Taking ComboBox out of the combo-box kind: the recorder's recognizer sees the theme box as kind 0.
    VARIANT_BOOL changed = VARIANT_FALSE;
    const GUID comboKey = __uuidof(IovWPFComboBox);
    SAFEARRAYBOUND bounds[2] = {{1, 0}, {1, 0}};
    ov::Variant list;
    list.vt = VT_ARRAY | VT_VARIANT;
    list.parray = SafeArrayCreate(VT_VARIANT, 2, bounds);
    LONG at[2] = {0, 0};
    ov::Variant name = ov::Variant::String(L"Nothing.Matches");
    SafeArrayPutElement(list.parray, at, &name);
    ASSERT_EQ(recorder->OnOptionChanged(&comboKey, &list, &changed), S_OK);
    EXPECT_TRUE(changed);
    EXPECT_NE(recorder->Recognizer().GetElementKind(CovDispDriver(E(L"theme").NewDispatch().Get())),
              ctrlWPFComboBox);
}

} // namespace
