// The combo box, list box and list view wrappers as the host drives them: what is clicked where and in
// which order, the messages and remarks of every member, the waits of the drop-down list, the host's
// table view, and the calls each click costs.
#include "ControlFixture.h"

#include "controls/Lists.h"
#include "recognition/Recognizer.h"
#include "wpfsim/Buttons.h"
#include "wpfsim/Items.h"

#include <chrono>
#include <map>
#include <string>

namespace {

using namespace ovtest;
using ovhost::LogEntry;
using ovhost::LogError;
using ovhost::LogMessage;
using simtest::Text;
using Log = std::vector<LogEntry>;

const wchar_t* const kListBoxItemClass = L"System.Windows.Controls.ListBoxItem";

ov::Variant Str(const wchar_t* s) {
    return ov::Variant::String(s);
}

// A script's array of VARIANTs.
ov::Variant Array(std::vector<ov::Variant> items) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, static_cast<ULONG>(items.size()));
    for (LONG i = 0; i < static_cast<LONG>(items.size()); ++i)
        SafeArrayPutElement(array, &i, &items[static_cast<size_t>(i)]);
    ov::Variant v;
    v.vt = VT_ARRAY | VT_VARIANT;
    v.parray = array;
    return v;
}

class ListsTest : public ControlFixture {
protected:
    // The host's clicks; window activations and mouse moves left out.
    const std::vector<ovhost::ActionRecord>& Clicks() {
        clicks_.clear();
        for (const ovhost::ActionRecord& action : Host().Actions())
            if (action.kind == ovhost::ActionKind::Click) clicks_.push_back(action);
        return clicks_;
    }
    std::vector<std::wstring> ClickedNames() {
        std::vector<std::wstring> names;
        for (const ovhost::ActionRecord& action : Clicks())
            names.push_back(action.targetName);
        return names;
    }
    static LogEntry Message(const std::wstring& text, const std::wstring& remark = L"") {
        return {LogMessage, text, remark};
    }
    static LogEntry Error(const std::wstring& text, const std::wstring& details = L"") {
        return {LogError, text, details};
    }

private:
    std::vector<ovhost::ActionRecord> clicks_;
};

// --- combo box -----------------------------------------------------------------------------------------

class ComboBoxTest : public ListsTest {
protected:
    void SetUp() override {
        ListsTest::SetUp();
        combo_ = &App().Add<wpfsim::ComboBox>(&MainWindow(), L"System.Windows.Controls.ComboBox", L"combo");
        combo_->SetBounds({10, 10, 200, 32});
        // The framework's field that holds the template's popup, as the bridge names it.
        wpfsim::Popup* popup = &combo_->DropDown();
        combo_->AddProperty(L"field__dropDownPopup",
                            [popup] { return ov::Variant::Dispatch(popup->NewDispatch().Get()); });
        // Items whose own click handlers close the list, as an item template with buttons does.
        for (const wchar_t* text : {L"Red", L"Green", L"Blue"}) {
            auto& item = App().Add<wpfsim::Button>(combo_, L"System.Windows.Controls.Button",
                                                   std::wstring(text) + L"Item");
            item.SetContent(text);
            item.SetClickHandler([this](wpfsim::ButtonBase&) { combo_->DropDown().SetIsOpen(false); });
        }
        Attach();
    }
    ov::ComPtr<IDispatch> Wrapper() { return WrapElement<CovWPFCtrlComboBox>(*combo_).As<IDispatch>(); }
    bool IsOpen() { return combo_->DropDown().IsOpen(); }

    wpfsim::ComboBox* combo_ = nullptr;
};

TEST_F(ComboBoxTest, ClickItemOpensTheListClicksTheContainerInThePopupAndWaitsForTheListToClose) {
    auto wrapper = Wrapper();
    for (int round = 0; round < 2; ++round) {
        // The second round selects the same item again: the same path, the same message.
        Reset();
        ASSERT_EQ(Call(wrapper.Get(), L"ClickItem", {Str(L"Gr*")}).hr, S_OK);
        EXPECT_EQ(TakeLog(), Log{Message(L"Selected 'Green' from the combo box.")});
        EXPECT_EQ(ClickedNames(), std::vector<std::wstring>{L"GreenItem"});
        ASSERT_EQ(Clicks().size(), 1u);
        const ovhost::ActionRecord& click = Clicks()[0];
        EXPECT_EQ(click.button, wpfsim::MouseButton::Left);
        EXPECT_FALSE(click.doubleClick);
        EXPECT_EQ(click.shift, 0);
        EXPECT_EQ(click.x, -1);
        EXPECT_EQ(click.y, -1);
        EXPECT_FALSE(IsOpen());
        // Focused twice before the list opens; one set of "IsDropDownOpen", none to close it.
        EXPECT_EQ(App().Calls(L"Focus").invokes, 2);
        EXPECT_EQ(App().Calls(L"IsDropDownOpen").invokes, 1);
        EXPECT_EQ(App().Calls(L"BringIntoView").invokes, 1);
        const std::map<std::string, long, std::less<>> expected = {
            // The combo box's host object, found once and kept; its native object for every element read.
            {"IovObjectService::FindHostObject", 1},
            // Two activations of the window (the focus steps), then the click: each under the options.
            {"IovHostWindow::Activate", 2},
            {"IovActionOptions::get_ActionMode", 3},
            {"IovActionOptions::get_ActionFlags", 3},
            {"IovActionOptions::put_ActionMode", 6},
            {"IovActionOptions::put_ActionFlags", 6},
            // Up to the process, through its windows to the popup root, refreshed, and down to the item.
            {"IovHostObject::GetParent", 5},
            {"IovHostObject::GetObjectType", 6},
            {"IovHostObject::RefreshChildren", 1},
            {"IovHostObject::GetChildCount", 14},
            // Children are asked for one by one: the search stops at the item, its later siblings untouched.
            {"IovHostObject::GetChild", 15},
            {"IovHostObject::GetExtender", 23},
            {"IovObject::GetNativeObject", 23},
            {"IovHostObject::GetExtension", 1},
            {"IovMouseActions::Click", 1},
            {"IovHostLog::AddEntry", 1},
        };
        // The host objects found in the first round are kept for the second.
        if (round == 0) EXPECT_EQ(Host().Calls().Snapshot(), expected);
    }
    Reset();
    ASSERT_EQ(Call(wrapper.Get(), L"ClickItem", {ov::Variant::Int(2)}).hr, S_OK);
    EXPECT_EQ(TakeLog(), Log{Message(L"Selected '2' from the combo box.")});
    EXPECT_EQ(ClickedNames(), std::vector<std::wstring>{L"BlueItem"});
}

TEST_F(ComboBoxTest, AFailureAfterTheListOpenedClosesItAgain) {
    auto wrapper = Wrapper();
    // An item without an object on screen.
    combo_->ContainerAt(1, true)->SetVisibility(wpfsim::Visibility::Collapsed);
    Reset();
    ASSERT_EQ(Call(wrapper.Get(), L"ClickItem", {Str(L"Green")}).hr, S_OK);
    EXPECT_EQ(TakeLog(), Log{Error(L"The combo box item 'Green' is not visible on screen.")});
    EXPECT_TRUE(Clicks().empty());
    EXPECT_FALSE(IsOpen());
    EXPECT_EQ(App().Calls(L"IsDropDownOpen").invokes, 2) << "opened, then closed";

    // A click that leaves the list open: the wait for closing fails, and the list is closed all the same.
    combo_->ContainerAt(1, true)->SetVisibility(wpfsim::Visibility::Visible);
    static_cast<wpfsim::Button&>(*combo_->ContainerAt(0, true)).SetClickHandler({});
    Reset();
    ASSERT_EQ(Call(wrapper.Get(), L"ClickItem", {ov::Variant::Int(0)}).hr, S_OK);
    EXPECT_EQ(TakeLog(), Log{Error(L"The combo box drop down list cannot be closed.")});
    EXPECT_EQ(ClickedNames(), std::vector<std::wstring>{L"RedItem"});
    EXPECT_FALSE(IsOpen());

    // An item that is not there fails before the list is touched.
    Reset();
    ASSERT_EQ(Call(wrapper.Get(), L"ClickItem", {Str(L"Black")}).hr, S_OK);
    EXPECT_EQ(TakeLog(), Log{Error(L"The control item 'Black' not found.", L"Total number of items: 3.")});
    EXPECT_EQ(App().Calls(L"IsDropDownOpen").invokes, 0);
}

TEST_F(ComboBoxTest, DropDownAndCloseUpSetTheStateWhateverItWasAndReportIt) {
    auto wrapper = Wrapper();
    const struct {
        const wchar_t* member;
        bool open;
        const wchar_t* message;
    } steps[] = {{L"DropDown", true, L"The combo box list was displayed."},
                 {L"DropDown", true, L"The combo box list was displayed."},
                 {L"CloseUp", false, L"The combo box list was closed."},
                 {L"CloseUp", false, L"The combo box list was closed."}};
    for (const auto& step : steps) {
        Reset();
        ASSERT_EQ(Call(wrapper.Get(), step.member).hr, S_OK);
        EXPECT_EQ(TakeLog(), Log{Message(step.message)}) << testing::PrintToString(std::wstring(step.member));
        EXPECT_EQ(IsOpen(), step.open);
        EXPECT_EQ(App().Calls(L"IsDropDownOpen").invokes, 1);
        // The list follows at once: one read of the popup's state, no pause.
        EXPECT_EQ(App().Calls(L"IsOpen").invokes, 1);
        Result opened = Get(wrapper.Get(), L"wIsDropDownListOpened");
        EXPECT_EQ(opened.value.vt, VT_BOOL);
        EXPECT_EQ(opened.value.boolVal != VARIANT_FALSE, step.open);
    }
}

TEST_F(ComboBoxTest, AListThatNeverOpensFailsAfterOnePause) {
    auto wrapper = Wrapper();
    combo_->DropDown().SetNeverOpens(true);
    for (const wchar_t* member : {L"DropDown", L"ClickItem"}) {
        Reset();
        const auto start = std::chrono::steady_clock::now();
        std::vector<ov::Variant> args;
        if (std::wstring_view(member) == L"ClickItem") args.push_back(ov::Variant::Int(0));
        ASSERT_EQ(Call(wrapper.Get(), member, args).hr, S_OK);
        const auto elapsed = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(TakeLog(), Log{Error(L"The combo box drop down list cannot be opened.")});
        EXPECT_LT(elapsed, std::chrono::milliseconds(400)) << "one pause of 40 ms, not a poll loop";
        EXPECT_LE(App().Calls(L"IsOpen").invokes, 2) << "the first read and at most one after the pause";
        // Nothing is undone when the list did not open.
        EXPECT_EQ(App().Calls(L"IsDropDownOpen").invokes, 1);
        EXPECT_TRUE(Clicks().empty());
    }
}

TEST_F(ComboBoxTest, TheOpenStateComesFromThePopupFieldElseFromIsDropDownOpen) {
    auto wrapper = Wrapper();
    combo_->DropDown().SetIsOpen(true);
    // The other name of the field wins when present; a null popup falls back to "IsDropDownOpen".
    combo_->AddProperty(L"zdropDownPopup", [] { return ov::Variant::Dispatch(nullptr); });
    Reset();
    Result open = Get(wrapper.Get(), L"wIsDropDownListOpened");
    EXPECT_EQ(open.value.boolVal, VARIANT_TRUE);
    EXPECT_EQ(App().Calls(L"IsDropDownOpen").invokes, 1);
    EXPECT_EQ(App().Calls(L"IsOpen").invokes, 0);
    EXPECT_EQ(App().Calls(L"field__dropDownPopup").invokes, 0);

    // Without either field the state cannot be read.
    combo_->RemoveMember(L"zdropDownPopup");
    combo_->RemoveMember(L"field__dropDownPopup");
    Reset();
    ASSERT_EQ(Get(wrapper.Get(), L"wIsDropDownListOpened").hr, S_OK);
    Log log = TakeLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].text, L"An error occurred.");
}

TEST_F(ComboBoxTest, ItemsByIndexAreRangeCheckedAndTheTableHasOneColumn) {
    auto wrapper = Wrapper();
    Reset();
    for (LONG index : {-1L, 3L}) {
        ASSERT_EQ(
            simtest::InvokeName(wrapper.Get(), L"wItem", DISPATCH_PROPERTYGET, {ov::Variant::Int(index)}).hr,
            S_OK);
        EXPECT_EQ(TakeLog(), Log{Error(L"The control item '" + std::to_wstring(index) + L"' not found.",
                                       L"Total number of items: 3.")});
    }
    EXPECT_EQ(
        Text(simtest::InvokeName(wrapper.Get(), L"wItem", DISPATCH_PROPERTYGET, {ov::Variant::Int(2)}).value),
        L"Blue");
    EXPECT_EQ(Text(Get(wrapper.Get(), L"wItemList").value), L"Red|Green|Blue");
    ASSERT_EQ(Put(wrapper.Get(), L"wListSeparator", Str(L", ")).hr, S_OK);
    EXPECT_EQ(Text(Get(wrapper.Get(), L"wItemList").value), L"Red, Green, Blue");
    EXPECT_EQ(Text(Get(wrapper.Get(), L"wListSeparator").value), L", ");

    ov::ComPtr<IovCtrlTableDataSource> table = wrapper.As<IovCtrlTableDataSource>();
    ASSERT_TRUE(table);
    LONG rows = 0, columns = 0;
    EXPECT_EQ(table->GetRowCount(&rows), S_OK);
    EXPECT_EQ(rows, 3);
    EXPECT_EQ(table->GetColumnCount(&columns), S_OK);
    EXPECT_EQ(columns, 1);
    ov::Bstr caption;
    EXPECT_EQ(table->GetColumnCaption(0, caption.Put()), S_OK);
    EXPECT_EQ(caption.View(), L"Items");
    EXPECT_EQ(table->GetColumnCaption(1, caption.Put()), E_INVALIDARG);
    EXPECT_EQ(table->GetColumnCaption(0, nullptr), E_POINTER);
    ov::Variant cell;
    EXPECT_EQ(table->GetCellValue(1, 0, cell.Put()), S_OK);
    EXPECT_EQ(cell.vt, VT_BSTR);
    EXPECT_EQ(Text(cell), L"Green");
    EXPECT_EQ(table->GetCellValue(1, 1, cell.Put()), E_INVALIDARG);
    EXPECT_EQ(table->GetCellValue(0, 0, nullptr), E_POINTER);
    // A row outside the items fails as wItem does, here by the wrapper's report mode.
    ASSERT_EQ(ov::QueryAs<IovCtrlBase>(wrapper.Get())->put_ErrorReportMode(2), S_OK);
    EXPECT_TRUE(FAILED(table->GetCellValue(3, 0, cell.Put())));
}

TEST_F(ComboBoxTest, ADisabledComboBoxActsOnNothingButReadsItsItems) {
    auto wrapper = Wrapper();
    combo_->SetEnabled(false);
    for (const wchar_t* member : {L"ClickItem", L"DropDown", L"CloseUp"}) {
        Reset();
        std::vector<ov::Variant> args;
        if (std::wstring_view(member) == L"ClickItem") args.push_back(ov::Variant::Int(0));
        ASSERT_EQ(Call(wrapper.Get(), member, args).hr, S_OK);
        EXPECT_EQ(TakeLog(), Log{Error(L"The control is disabled. The action cannot be executed.")});
        EXPECT_EQ(App().Calls(L"IsDropDownOpen").invokes, 0);
    }
    EXPECT_EQ(Get(wrapper.Get(), L"wItemCount").value.lVal, 3);
    EXPECT_TRUE(Clicks().empty());
}

// --- list box and list view ----------------------------------------------------------------------------

void SetSelectionMode(wpfsim::ListBox& list, std::wstring_view mode) {
    using Mode = wpfsim::Selector::Mode;
    list.SetSelectionMode(mode == L"Single"     ? Mode::Single
                          : mode == L"Multiple" ? Mode::Multiple
                                                : Mode::Extended);
}

class ListBoxTest : public ListsTest {
protected:
    void SetUp() override {
        ListsTest::SetUp();
        list_ = &AddList(L"System.Windows.Controls.ListBox", L"list", kListBoxItemClass);
        view_ =
            &AddList(L"System.Windows.Controls.ListView", L"view", L"System.Windows.Controls.ListViewItem");
        view_->SetBounds({210, 10, 390, 150});
        Attach();
    }
    wpfsim::ListBox& AddList(const wchar_t* cls, const wchar_t* name, const wchar_t* itemClass) {
        auto& list = App().Add<wpfsim::ListBox>(&MainWindow(), cls, name, itemClass);
        list.SetBounds({10, 10, 200, 150});
        for (const wchar_t* text : {L"Apple", L"Banana", L"Cherry"}) {
            auto& item = App().Add<wpfsim::ItemContainer>(&list, itemClass, std::wstring(name) + text);
            item.SetContent(text);
        }
        SetSelectionMode(list, L"Extended");
        return list;
    }
    wpfsim::ItemContainer& Item(wpfsim::ListBox& list, size_t i) {
        return static_cast<wpfsim::ItemContainer&>(*list.ContainerAt(i, true));
    }
    ov::ComPtr<IDispatch> ListWrapper() { return WrapElement<CovWPFCtrlListBox>(*list_).As<IDispatch>(); }
    ov::ComPtr<IDispatch> ViewWrapper() { return WrapElement<CovWPFCtrlListView>(*view_).As<IDispatch>(); }

    wpfsim::ListBox* list_ = nullptr;
    wpfsim::ListBox* view_ = nullptr;
};

TEST_F(ListBoxTest, TheClickFamilyClicksTheItemsContainerWithItsPointButtonAndKeys) {
    const struct {
        const wchar_t* member;
        bool xy;
        wpfsim::MouseButton button;
        bool dbl;
        const wchar_t* message;
    } rows[] = {
        {L"ClickItem", false, wpfsim::MouseButton::Left, false, L"clicked with the left"},
        {L"ClickItemR", false, wpfsim::MouseButton::Right, false, L"clicked with the right"},
        {L"DblClickItem", false, wpfsim::MouseButton::Left, true, L"double-clicked with the left"},
        {L"DblClickItemR", false, wpfsim::MouseButton::Right, true, L"double-clicked with the right"},
        {L"ClickItemXY", true, wpfsim::MouseButton::Left, false, L"clicked with the left"},
        {L"DblClickItemXY", true, wpfsim::MouseButton::Left, true, L"double-clicked with the left"},
        {L"ClickItemRXY", true, wpfsim::MouseButton::Right, false, L"clicked with the right"},
        {L"DblClickItemRXY", true, wpfsim::MouseButton::Right, true, L"double-clicked with the right"},
    };
    auto wrapper = ListWrapper();
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(row.member)));
        // Without keys, and with Shift and Control passed on as given.
        const std::pair<LONG, const wchar_t*> keys[] = {
            {0, L"A click with no key pressed."},
            {skwShift, L"A click with the Shift key pressed."},
            {skwShift | skwCtrl, L"A click with the Shift + Control key pressed."}};
        for (const auto& [shift, remark] : keys) {
            Reset();
            std::vector<ov::Variant> args{Str(L"Ban*")};
            if (row.xy) {
                args.push_back(ov::Variant::Int(5));
                args.push_back(ov::Variant::Int(7));
            }
            if (shift) args.push_back(ov::Variant::Int(shift));
            ASSERT_EQ(Call(wrapper.Get(), row.member, args).hr, S_OK);
            EXPECT_EQ(TakeLog(), Log{Message(L"The listbox item 'Banana' was " + std::wstring(row.message) +
                                                 L" mouse button.",
                                             remark)});
            ASSERT_EQ(Clicks().size(), 1u);
            const ovhost::ActionRecord& click = Clicks()[0];
            EXPECT_EQ(click.targetName, L"listBanana");
            EXPECT_EQ(click.button, row.button);
            EXPECT_EQ(click.doubleClick, row.dbl);
            EXPECT_EQ(click.shift, shift);
            EXPECT_EQ(click.x, row.xy ? 5 : -1);
            EXPECT_EQ(click.y, row.xy ? 7 : -1);
        }
    }
    // The item already selected is clicked and reported like any other.
    list_->SetItemSelected(1, true);
    Reset();
    ASSERT_EQ(Call(wrapper.Get(), L"ClickItem", {ov::Variant::Int(1)}).hr, S_OK);
    EXPECT_EQ(TakeLog(), Log{Message(L"The listbox item '1' was clicked with the left mouse button.",
                                     L"A click with no key pressed.")});
    EXPECT_EQ(ClickedNames(), std::vector<std::wstring>{L"listBanana"});
}

TEST_F(ListBoxTest, AClickCostsTheSameHostAndApplicationCallsInBothLists) {
    const struct {
        const wchar_t* name;
        ov::ComPtr<IDispatch> wrapper;
        const wchar_t* target;
    } lists[] = {{L"list box", ListWrapper(), L"listCherry"}, {L"list view", ViewWrapper(), L"viewCherry"}};
    for (const auto& list : lists) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(list.name)));
        Reset();
        ASSERT_EQ(Call(list.wrapper.Get(), L"ClickItem", {ov::Variant::Int(2)}).hr, S_OK);
        // The list view speaks of a listbox item too.
        EXPECT_EQ(TakeLog(), Log{Message(L"The listbox item '2' was clicked with the left mouse button.",
                                         L"A click with no key pressed.")});
        EXPECT_EQ(ClickedNames(), std::vector<std::wstring>{list.target});
        const std::map<std::string, long, std::less<>> expected = {
            // The list's host object, found once and kept; its native object for "IsEnabled".
            {"IovObjectService::FindHostObject", 1},
            // The host catches up with the container the panel brought into view.
            {"IovHostObject::RefreshChildren", 1},
            // The search for the container below the list: every object visited up to the third item.
            {"IovHostObject::GetChildCount", 15},
            {"IovHostObject::GetChild", 15},
            {"IovHostObject::GetExtender", 18},
            {"IovObject::GetNativeObject", 18},
            // The click under the action options 2 and 0, restored afterwards.
            {"IovHostObject::GetExtension", 1},
            {"IovActionOptions::get_ActionMode", 1},
            {"IovActionOptions::get_ActionFlags", 1},
            {"IovActionOptions::put_ActionMode", 2},
            {"IovActionOptions::put_ActionFlags", 2},
            {"IovMouseActions::Click", 1},
            {"IovHostLog::AddEntry", 1},
        };
        EXPECT_EQ(Host().Calls().Snapshot(), expected);
        EXPECT_EQ(App().Calls(L"get_ItemsHost").invokes, 1);
        EXPECT_EQ(App().Calls(L"BringIndexIntoView").invokes, 1);
        EXPECT_EQ(App().Calls(L"ElementAt").invokes, 1);
        EXPECT_EQ(App().Calls(L"IsEnabled").invokes, 1);
        // Nothing is read back after the click.
        EXPECT_EQ(App().Calls(L"ItemGetIsSelected").invokes, 0);
    }
}

TEST_F(ListBoxTest, AnItemFarDownALongListIsBroughtIntoViewBeforeItIsClicked) {
    auto& big = App().Add<wpfsim::ListBox>(&MainWindow(), L"System.Windows.Controls.ListBox", L"big");
    big.SetBounds({10, 160, 200, 260});
    for (int i = 0; i < 1000; ++i)
        big.AddDataItem(ov::Variant::String(L"Row " + std::to_wstring(i)), L"System.String");
    Attach();
    App().UpdateLayout();
    ASSERT_EQ(big.ContainerAt(900, false), nullptr) << "the panel makes containers only for the rows in view";

    auto wrapper = WrapElement<CovWPFCtrlListBox>(big).As<IDispatch>();
    Reset();
    ASSERT_EQ(Call(wrapper.Get(), L"ClickItem", {Str(L"Row 900")}).hr, S_OK);
    EXPECT_EQ(TakeLog(), Log{Message(L"The listbox item 'Row 900' was clicked with the left mouse button.",
                                     L"A click with no key pressed.")});
    wpfsim::Element* container = big.ContainerAt(900, false);
    ASSERT_NE(container, nullptr);
    ASSERT_EQ(Clicks().size(), 1u);
    EXPECT_TRUE(IsEqualGUID(Clicks()[0].target, container->Id()));
    EXPECT_EQ(HostCalls("IovHostObject::RefreshChildren"), 1);
    EXPECT_EQ(App().Calls(L"BringIndexIntoView").invokes, 1);
}

TEST_F(ListBoxTest, ItemsThatCannotBeReachedFailBeforeAnyClick) {
    auto wrapper = ListWrapper();
    auto& data = App().Add<wpfsim::ListBox>(&MainWindow(), L"System.Windows.Controls.ListBox", L"data");
    data.SetNeverGenerates(true);
    data.AddDataItem(Str(L"A"), L"System.String");
    data.AddDataItem(Str(L"B"), L"System.String");
    Attach();
    auto dataWrapper = WrapElement<CovWPFCtrlListBox>(data).As<IDispatch>();
    list_->SetEnabled(false);
    const struct {
        IDispatch* wrapper;
        const wchar_t* member;
        ov::Variant item;
        LogEntry expected;
    } cases[] = {
        {dataWrapper.Get(), L"ClickItem", Str(L"B"),
         Error(L"The control item '1' is not visible on screen.")},
        {dataWrapper.Get(), L"DblClickItemR", ov::Variant::Int(0),
         Error(L"The control item '0' is not visible on screen.")},
        {dataWrapper.Get(), L"ClickItem", Str(L"C"),
         Error(L"The control item 'C' not found.", L"Total number of items: 2.")},
        {wrapper.Get(), L"ClickItem", ov::Variant::Int(0),
         Error(L"The control is disabled. The action cannot be executed.")},
        {wrapper.Get(), L"SelectItem", ov::Variant::Int(0),
         Error(L"The control is disabled. The action cannot be executed.")},
        {wrapper.Get(), L"MultiSelect", Str(L"Apple"),
         Error(L"The control is disabled. The action cannot be executed.")},
    };
    for (const auto& c : cases) {
        Reset();
        ASSERT_EQ(Call(c.wrapper, c.member, {c.item}).hr, S_OK);
        EXPECT_EQ(TakeLog(), Log{c.expected}) << testing::PrintToString(std::wstring(c.member));
        EXPECT_TRUE(Clicks().empty());
    }
    // A wrapper for the .NET object alone has no host object to click through.
    list_->SetEnabled(true);
    auto objectWrapper = WrapObject<CovWPFCtrlListBox>(*list_).As<IDispatch>();
    Reset();
    ASSERT_EQ(Call(objectWrapper.Get(), L"ClickItem", {ov::Variant::Int(0)}).hr, S_OK);
    EXPECT_EQ(TakeLog(), Log{Error(L"An error occurred.", ov::texts::Reasons)});
}

TEST_F(ListBoxTest, SelectItemCtrlClicksOnlyItemsNotInTheWantedState) {
    auto wrapper = ListWrapper();
    list_->SetItemSelected(1, true);
    const struct {
        ov::Variant item;
        std::optional<bool> select;
        std::optional<LogEntry> expected;
        const wchar_t* clicked;
    } cases[] = {
        {Str(L"Banana"), true, std::nullopt, nullptr},
        {ov::Variant::Int(0), false, std::nullopt, nullptr},
        {ov::Variant::Int(0), std::nullopt, Message(L"The listbox item '0' was selected."), L"listApple"},
        {Str(L"B*"), false, Message(L"The listbox item 'Banana' was unselected."), L"listBanana"},
    };
    for (const auto& c : cases) {
        Reset();
        std::vector<ov::Variant> args{c.item};
        if (c.select) args.push_back(ov::Variant::Bool(*c.select));
        ASSERT_EQ(Call(wrapper.Get(), L"SelectItem", args).hr, S_OK);
        EXPECT_EQ(TakeLog(), c.expected ? Log{*c.expected} : Log{});
        if (!c.clicked) {
            EXPECT_TRUE(Clicks().empty());
            continue;
        }
        ASSERT_EQ(Clicks().size(), 1u);
        EXPECT_EQ(Clicks()[0].targetName, c.clicked);
        EXPECT_EQ(Clicks()[0].shift, skwCtrl);
        EXPECT_EQ(Clicks()[0].button, wpfsim::MouseButton::Left);
        EXPECT_FALSE(Clicks()[0].doubleClick);
        EXPECT_EQ(Clicks()[0].x, -1);
    }
}

TEST_F(ListBoxTest, SelectItemOfMinusOneMeansEveryItem) {
    auto wrapper = ListWrapper();
    const struct {
        ov::Variant item;
        std::optional<bool> select;
        const wchar_t* mode;
        LogEntry expected;
        const wchar_t* called;
    } cases[] = {
        {ov::Variant::Int(-1), std::nullopt, L"Extended", Message(L"All listbox items were selected."),
         L"SelectAll"},
        {ov::Variant::Bool(true), std::nullopt, L"Multiple", Message(L"All listbox items were selected."),
         L"SelectAll"},
        {Str(L"-1"), true, L"Extended", Message(L"All listbox items were selected."), L"SelectAll"},
        {ov::Variant::Int(-1), false, L"Single", Message(L"All listbox items were unselected."),
         L"UnselectAll"},
        {ov::Variant::Int(-1), true, L"Single",
         Error(L"The listbox does not support multiple selection.",
               L"The listbox's SelectionMode property is not set to Multiple or Extended."),
         nullptr},
    };
    for (const auto& c : cases) {
        SetSelectionMode(*list_, c.mode);
        Reset();
        std::vector<ov::Variant> args{c.item};
        if (c.select) args.push_back(ov::Variant::Bool(*c.select));
        ASSERT_EQ(Call(wrapper.Get(), L"SelectItem", args).hr, S_OK);
        EXPECT_EQ(TakeLog(), Log{c.expected}) << testing::PrintToString(std::wstring(c.mode));
        const std::wstring called = c.called ? c.called : L"";
        EXPECT_EQ(App().Calls(L"SelectAll").invokes, called == L"SelectAll" ? 1 : 0);
        EXPECT_EQ(App().Calls(L"UnselectAll").invokes, called == L"UnselectAll" ? 1 : 0);
        EXPECT_TRUE(Clicks().empty());
    }
}

TEST_F(ListBoxTest, MultiSelectCtrlClicksTheUnselectedItemsInTheOrderGiven) {
    auto wrapper = ListWrapper();
    Reset();
    ASSERT_EQ(Call(wrapper.Get(), L"MultiSelect", {Array({ov::Variant::Int(2), ov::Variant::Int(0)})}).hr,
              S_OK);
    EXPECT_EQ(TakeLog(), Log{Message(L"The number of selected items has changed (see details).",
                                     L"The list of selected items:\r\nCherry\r\nApple.")});
    EXPECT_EQ(ClickedNames(), (std::vector<std::wstring>{L"listCherry", L"listApple"}));
    for (const ovhost::ActionRecord& click : Clicks()) {
        EXPECT_EQ(click.shift, skwCtrl);
        EXPECT_EQ(click.button, wpfsim::MouseButton::Left);
        EXPECT_FALSE(click.doubleClick);
    }

    // Items selected already are skipped; naming only those still reports, with an empty list.
    list_->SetItemSelected(0, true);
    list_->SetItemSelected(2, true);
    Reset();
    ASSERT_EQ(Call(wrapper.Get(), L"MultiSelect", {Str(L"Cherry|Banana|Apple")}).hr, S_OK);
    EXPECT_EQ(TakeLog(), Log{Message(L"The number of selected items has changed (see details).",
                                     L"The list of selected items:\r\nBanana.")});
    EXPECT_EQ(ClickedNames(), std::vector<std::wstring>{L"listBanana"});
    list_->SetItemSelected(1, true);
    Reset();
    ASSERT_EQ(Call(wrapper.Get(), L"MultiSelect", {Str(L"Apple")}).hr, S_OK);
    EXPECT_EQ(TakeLog(), Log{Message(L"The number of selected items has changed (see details).",
                                     L"The list of selected items:.")});
    EXPECT_TRUE(Clicks().empty());

    // The selection mode is tested before the list is read; a bad list or item selects nothing.
    const struct {
        const wchar_t* mode;
        ov::Variant items;
        LogEntry expected;
    } failures[] = {
        {L"Single", ov::Variant::Int(1),
         Error(L"The listbox does not support multiple selection.",
               L"The listbox's SelectionMode property is not set to Multiple or Extended.")},
        {L"Multiple", ov::Variant::Int(1), Error(ov::texts::InvalidItemList, ov::texts::ItemListFormats)},
        {L"Multiple", Str(L"Apple|Date"),
         Error(L"The control item 'Date' not found.", L"Total number of items: 3.")},
    };
    list_->SetFocusedContainer(nullptr);
    for (size_t i = 0; i < 3; ++i)
        list_->SetItemSelected(i, false);
    for (const auto& f : failures) {
        SetSelectionMode(*list_, f.mode);
        Reset();
        ASSERT_EQ(Call(wrapper.Get(), L"MultiSelect", {f.items}).hr, S_OK);
        EXPECT_EQ(TakeLog(), Log{f.expected});
        EXPECT_TRUE(Clicks().empty());
    }
}

TEST_F(ListBoxTest, SelectionAndFocusAreReadFromTheList) {
    auto wrapper = ListWrapper();
    Reset();
    EXPECT_EQ(Text(Get(wrapper.Get(), L"wSelectedItems").value), L"");
    EXPECT_EQ(Get(wrapper.Get(), L"wFocus").value.lVal, -1);
    EXPECT_TRUE(TakeLog().empty());

    list_->SetItemSelected(0, true);
    list_->SetItemSelected(2, true);
    EXPECT_EQ(Text(Get(wrapper.Get(), L"wSelectedItems").value), L"Apple|Cherry");
    ASSERT_EQ(Put(wrapper.Get(), L"wListSeparator", Str(L", ")).hr, S_OK);
    EXPECT_EQ(Text(Get(wrapper.Get(), L"wSelectedItems").value), L"Apple, Cherry");
    const std::pair<ov::Variant, bool> selected[] = {
        {Str(L"Apple"), true}, {ov::Variant::Int(1), false}, {Str(L"Ch*"), true}};
    for (const auto& [item, expected] : selected) {
        Result r = simtest::InvokeName(wrapper.Get(), L"wSelected", DISPATCH_PROPERTYGET, {item});
        EXPECT_EQ(r.value.vt, VT_BOOL);
        EXPECT_EQ(r.value.boolVal != VARIANT_FALSE, expected);
    }

    // The focused item is the one clicked last.
    ASSERT_EQ(Call(wrapper.Get(), L"ClickItem", {ov::Variant::Int(1)}).hr, S_OK);
    EXPECT_EQ(Get(wrapper.Get(), L"wFocus").value.lVal, 1);

    // wItem has no range check of its own: the list's "get_Item" refuses.
    Reset();
    EXPECT_EQ(
        Text(simtest::InvokeName(wrapper.Get(), L"wItem", DISPATCH_PROPERTYGET, {ov::Variant::Int(2)}).value),
        L"Cherry");
    ASSERT_EQ(simtest::InvokeName(wrapper.Get(), L"wItem", DISPATCH_PROPERTYGET, {ov::Variant::Int(3)}).hr,
              S_OK);
    Log log = TakeLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].text, L"An error occurred.");
    EXPECT_NE(log[0].details.find(L"Parameter name: index"), std::wstring::npos);
}

TEST_F(ListBoxTest, ReportModesDecideWhatTheCallerSeesOfMessagesAndErrors) {
    auto wrapper = ListWrapper();
    SetSelectionMode(*list_, L"Single");
    ov::ComPtr<IovCtrlBase> modes = ov::QueryAs<IovCtrlBase>(wrapper.Get());
    const std::wstring message = L"The listbox does not support multiple selection.";
    const std::wstring details = L"The listbox's SelectionMode property is not set to Multiple or Extended.";
    const struct {
        LONG errorMode;
        HRESULT hr;
        Log log;
        const wchar_t* errorInfo;
    } errors[] = {
        {0, S_OK, {}, nullptr},
        {1, S_OK, {Error(message, details)}, nullptr},
        {2,
         DISP_E_EXCEPTION,
         {},
         L"The listbox does not support multiple selection.\r\n\r\nThe listbox's SelectionMode "
         L"property is not set to Multiple or Extended."},
    };
    for (const auto& e : errors) {
        ASSERT_EQ(modes->put_ErrorReportMode(e.errorMode), S_OK);
        Reset();
        // Through IDispatch the error information of mode 2 arrives as the exception of the call.
        Result r = Call(wrapper.Get(), L"SelectItem", {ov::Variant::Int(-1)});
        EXPECT_EQ(r.hr, e.hr) << e.errorMode;
        EXPECT_EQ(TakeLog(), e.log) << e.errorMode;
        EXPECT_EQ(r.description, e.errorInfo ? e.errorInfo : L"") << e.errorMode;
        EXPECT_TRUE(Clicks().empty());
    }

    // Messages and remarks reach the log only in message mode 1; the click happens either way.
    for (LONG messageMode : {0L, 1L}) {
        ASSERT_EQ(modes->put_MessageReportMode(messageMode), S_OK);
        Reset();
        ASSERT_EQ(Call(wrapper.Get(), L"ClickItemR", {ov::Variant::Int(0), ov::Variant::Int(skwAlt)}).hr,
                  S_OK);
        EXPECT_EQ(TakeLog(),
                  messageMode ? Log{Message(L"The listbox item '0' was clicked with the right mouse button.",
                                            L"A click with the Alt key pressed.")}
                              : Log{});
        EXPECT_EQ(ClickedNames(), std::vector<std::wstring>{L"listApple"});
    }
}

TEST_F(ListBoxTest, AListViewAnswersItsOwnInterfaceFirstAndActsAsAListBox) {
    ov::ComPtr<CovWPFCtrlListView> view = WrapElement<CovWPFCtrlListView>(*view_);
    ov::ComPtr<IDispatch> dispatch = view.As<IDispatch>();
    EXPECT_TRUE(view.As<IovWPFListView>());
    EXPECT_TRUE(view.As<IovWPFListBox>());
    EXPECT_TRUE(view.As<IovWPFScrollHelper>());
    EXPECT_TRUE(view.As<IovCtrlTableDataSource>());
    EXPECT_TRUE(view.As<IovWPFControl>());
    // Both dispinterfaces lead to the same list box members.
    ov::ComPtr<IovWPFListView> own = view.As<IovWPFListView>();
    ov::ComPtr<IovWPFListBox> base = view.As<IovWPFListBox>();
    ov::Bstr viaOwn, viaBase;
    EXPECT_EQ(own->get_wItemList(viaOwn.Put()), S_OK);
    EXPECT_EQ(base->get_wItemList(viaBase.Put()), S_OK);
    EXPECT_EQ(viaOwn.View(), L"Apple|Banana|Cherry");
    EXPECT_EQ(viaBase.View(), viaOwn.View());

    ov::ComPtr<IovCtrlTableDataSource> table = view.As<IovCtrlTableDataSource>();
    LONG rows = 0;
    EXPECT_EQ(table->GetRowCount(&rows), S_OK);
    EXPECT_EQ(rows, 3);
    ov::Variant cell;
    EXPECT_EQ(table->GetCellValue(2, 0, cell.Put()), S_OK);
    EXPECT_EQ(Text(cell), L"Cherry");
    ov::Bstr caption;
    EXPECT_EQ(table->GetColumnCaption(0, caption.Put()), S_OK);
    EXPECT_EQ(caption.View(), L"Items");
    EXPECT_EQ(table->GetColumnCaption(-1, caption.Put()), E_INVALIDARG);

    // The scroll helpers work on the list's own scroll viewer.
    Result vertical = Get(dispatch.Get(), L"VScroll");
    ASSERT_EQ(vertical.value.vt, VT_DISPATCH);
    ASSERT_NE(vertical.value.pdispVal, nullptr);
    EXPECT_EQ(Get(vertical.value.pdispVal, L"Pos").hr, S_OK);
    EXPECT_EQ(App().Calls(L"get_ScrollHost").invokes, 1);
}

TEST_F(ListBoxTest, TheKindTableMakesTheWrappersOfTheListKinds) {
    ov::ComPtr<CovWPFControlsRecognizer> recognizer = ov::Create<CovWPFControlsRecognizer>();
    auto& combo = App().Add<wpfsim::ComboBox>(&MainWindow(), L"System.Windows.Controls.ComboBox", L"combo");
    const std::pair<wpfsim::Element*, IID> cases[] = {{list_, __uuidof(IovWPFListBox)},
                                                      {view_, __uuidof(IovWPFListView)},
                                                      {&combo, __uuidof(IovWPFComboBox)}};
    for (const auto& [element, iid] : cases) {
        ov::ComPtr<IDispatch> wrapper =
            recognizer->CreateElementWrapper(CovDispDriver(element->NewDispatch().Get()));
        ASSERT_TRUE(wrapper);
        ov::ComPtr<IUnknown> own;
        EXPECT_EQ(wrapper->QueryInterface(iid, reinterpret_cast<void**>(own.Put())), S_OK);
    }
}

} // namespace
