// The combo box, list box and list view wrappers as the host drives them: what is clicked where and in
// which order, the messages and remarks of every member, the waits of the drop-down list, the host's
// table view, and the calls each click costs.
#include "ControlFixture.h"

#include "controls/Lists.h"
#include "wpfsim/ComboBox.h"
#include "wpfsim/ListBox.h"

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

class ListsTest : public ControlFixture {
protected:
    static LogEntry Message(const std::wstring& text, const std::wstring& remark = L"") {
        return {LogMessage, text, remark};
    }
    static LogEntry Error(const std::wstring& text, const std::wstring& details = L"") {
        return {LogError, text, details};
    }
};

// --- combo box -----------------------------------------------------------------------------------------

class ComboBoxTest : public ListsTest {
protected:
    void SetUp() override {
        ListsTest::SetUp();
        combo_ = &App().Add<wpfsim::ComboBox>(&MainWindow(), L"System.Windows.Controls.ComboBox", L"combo");
        combo_->SetBounds({10, 10, 200, 32});
        for (const wchar_t* text : {L"Red", L"Green", L"Blue"})
            App()
                .Add<wpfsim::ItemContainer>(combo_, L"System.Windows.Controls.ComboBoxItem",
                                            std::wstring(text) + L"Item")
                .SetContent(text);
        Attach();
    }
    ov::ComPtr<IDispatch> Wrapper() { return WrapElement<CovWPFCtrlComboBox>(*combo_).As<IDispatch>(); }
    bool IsOpen() { return combo_->DropDown().IsOpen(); }

    wpfsim::ComboBox* combo_ = nullptr;
};

TEST_F(ComboBoxTest, ClickItemOpensTheListClicksTheContainerInThePopupAndWaitsForTheListToClose) {
    auto wrapper = Wrapper();
    Reset();
    ASSERT_EQ(Call(wrapper.Get(), L"ClickItem", {Str(L"Gr*")}).hr, S_OK);
    EXPECT_EQ(TakeLog(), Log{Message(L"Selected 'Green' from the combo box.")});
    ASSERT_EQ(Clicks().size(), 1u);
    const ovhost::ActionRecord click = Clicks()[0];
    EXPECT_EQ(click.targetName, L"GreenItem");
    EXPECT_EQ(click.button, wpfsim::MouseButton::Left);
    EXPECT_FALSE(click.doubleClick);
    EXPECT_EQ(click.shift, 0);
    EXPECT_EQ(click.x, -1);
    EXPECT_EQ(click.y, -1);
    EXPECT_FALSE(IsOpen());
    EXPECT_EQ(combo_->SelectedIndex(), 1);
    // Focused twice before the list opens; one set of "IsDropDownOpen", none to close it: the click did.
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
        {"IovHostObject::GetChildCount", 15},
        {"IovHostObject::GetChild", 16},
        {"IovHostObject::GetExtender", 24},
        {"IovObject::GetNativeObject", 24},
        {"IovHostObject::GetExtension", 1},
        {"IovMouseActions::Click", 1},
        {"IovHostLog::AddEntry", 1},
    };
    EXPECT_EQ(Host().Calls().Snapshot(), expected);
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

    // A list that stays open after the click: the wait fails, and so does the clean-up's closing.
    combo_->DropDown().SetNeverCloses(true);
    Reset();
    ASSERT_EQ(Call(wrapper.Get(), L"ClickItem", {ov::Variant::Int(0)}).hr, S_OK);
    EXPECT_EQ(TakeLog(), Log{Error(L"The combo box drop down list cannot be closed.")});
    EXPECT_EQ(ClickedNames(), std::vector<std::wstring>{L"RedItem"});
    EXPECT_EQ(App().Calls(L"IsDropDownOpen").invokes, 2) << "opened, then the clean-up's closing";
}

TEST_F(ComboBoxTest, TheListStateIsReadOnceAndAtMostOnceMoreAfterAPause) {
    auto wrapper = Wrapper();
    // A list that follows "IsDropDownOpen" at once passes at the first read of the popup's state.
    for (const wchar_t* member : {L"DropDown", L"CloseUp"}) {
        Reset();
        ASSERT_EQ(Call(wrapper.Get(), member).hr, S_OK);
        EXPECT_EQ(App().Calls(L"IsDropDownOpen").invokes, 1);
        EXPECT_EQ(App().Calls(L"IsOpen").invokes, 1);
    }
    combo_->DropDown().SetNeverOpens(true);
    for (const wchar_t* member : {L"DropDown", L"ClickItem"}) {
        Reset();
        std::vector<ov::Variant> args;
        if (std::wstring_view(member) == L"ClickItem") args.push_back(ov::Variant::Int(0));
        ASSERT_EQ(Call(wrapper.Get(), member, args).hr, S_OK);
        EXPECT_EQ(TakeLog(), Log{Error(L"The combo box drop down list cannot be opened.")});
        EXPECT_LE(App().Calls(L"IsOpen").invokes, 2) << "the first read and at most one after the pause";
        // Nothing is undone when the list did not open.
        EXPECT_EQ(App().Calls(L"IsDropDownOpen").invokes, 1);
        EXPECT_TRUE(Clicks().empty());
    }
}

// Captions, cells and E_INVALIDARG are the scripts' (App.Table); here what a script cannot pass.
TEST_F(ComboBoxTest, TheTableRefusesNullOutPointersAndPassesOnTheFailuresOfWItem) {
    auto wrapper = Wrapper();
    ov::ComPtr<IovCtrlTableDataSource> table = wrapper.As<IovCtrlTableDataSource>();
    ASSERT_TRUE(table);
    EXPECT_EQ(table->GetColumnCount(nullptr), E_POINTER);
    EXPECT_EQ(table->GetColumnCaption(0, nullptr), E_POINTER);
    EXPECT_EQ(table->GetCellValue(0, 0, nullptr), E_POINTER);
    EXPECT_EQ(table->Reserved7(), S_OK);
    EXPECT_EQ(table->Reserved8(), S_OK);
    ov::Variant cell;
    ASSERT_EQ(ov::QueryAs<IovCtrlBase>(wrapper.Get())->put_ErrorReportMode(2), S_OK);
    EXPECT_TRUE(FAILED(table->GetCellValue(3, 0, cell.Put())));
    EXPECT_EQ(cell.vt, VT_EMPTY);
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
    ov::ComPtr<IDispatch> ListWrapper() { return WrapElement<CovWPFCtrlListBox>(*list_).As<IDispatch>(); }
    ov::ComPtr<IDispatch> ViewWrapper() { return WrapElement<CovWPFCtrlListView>(*view_).As<IDispatch>(); }

    wpfsim::ListBox* list_ = nullptr;
    wpfsim::ListBox* view_ = nullptr;
};

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
        const auto expected = ovtest::AndOneClick({
            // The list's host object, found once and kept; its native object for "IsEnabled".
            {"IovObjectService::FindHostObject", 1},
            // The host catches up with the container the panel brought into view.
            {"IovHostObject::RefreshChildren", 1},
            // The search for the container below the list: every object visited up to the third item.
            {"IovHostObject::GetChildCount", 16},
            {"IovHostObject::GetChild", 16},
            {"IovHostObject::GetExtender", 19},
            {"IovObject::GetNativeObject", 19},
        });
        EXPECT_EQ(Host().Calls().Snapshot(), expected);
        EXPECT_EQ(App().Calls(L"get_ItemsHost").invokes, 1);
        EXPECT_EQ(App().Calls(L"BringIndexIntoView").invokes, 1);
        EXPECT_EQ(App().Calls(L"ElementAt").invokes, 1);
        EXPECT_EQ(App().Calls(L"IsEnabled").invokes, 1);
        // Nothing is read back after the click.
        EXPECT_EQ(App().Calls(L"ItemGetIsSelected").invokes, 0);
    }
}

TEST_F(ListBoxTest, AnItemFarDownALongListIsClickedOnceTheHostRefreshedWhatThePanelBroughtIntoView) {
    auto& big = App().Add<wpfsim::ListBox>(&MainWindow(), L"System.Windows.Controls.ListBox", L"big");
    big.SetBounds({10, 160, 200, 260});
    for (int i = 0; i < 1000; ++i)
        big.AddDataItem(ov::Variant::String(L"Row " + std::to_wstring(i)), L"System.String");
    Attach();
    App().UpdateLayout();
    ASSERT_EQ(big.ContainerAt(900, false), nullptr) << "the panel makes containers only for the rows in view";
    auto wrapper = WrapElement<CovWPFCtrlListBox>(big).As<IDispatch>();

    // Without the host's refresh the new container has no host object yet.
    Host().IgnoreRefresh(true);
    Reset();
    ASSERT_EQ(Call(wrapper.Get(), L"ClickItem", {ov::Variant::Int(900)}).hr, S_OK);
    EXPECT_EQ(TakeLog(), Log{Error(L"The control item '900' is not visible on screen.")});
    EXPECT_NE(big.ContainerAt(900, false), nullptr) << "in view, but not among the host's objects";
    EXPECT_TRUE(Clicks().empty());

    Host().IgnoreRefresh(false);
    Reset();
    ASSERT_EQ(Call(wrapper.Get(), L"ClickItem", {ov::Variant::Int(900)}).hr, S_OK);
    EXPECT_EQ(TakeLog(), Log{Message(L"The listbox item '900' was clicked with the left mouse button.",
                                     L"A click with no key pressed.")});
    ASSERT_EQ(Clicks().size(), 1u);
    EXPECT_TRUE(IsEqualGUID(Clicks()[0].target, big.ContainerAt(900, false)->Id()));
    EXPECT_EQ(HostCalls("IovHostObject::RefreshChildren"), 1);
    EXPECT_EQ(big.SelectedIndex(), 900);
}

TEST_F(ListBoxTest, ItemsThatCannotBeReachedFailBeforeAnyClick) {
    auto& data = App().Add<wpfsim::ListBox>(&MainWindow(), L"System.Windows.Controls.ListBox", L"data");
    data.SetNeverGenerates(true);
    SetSelectionMode(data, L"Extended");
    data.AddDataItem(Str(L"A"), L"System.String");
    data.AddDataItem(Str(L"B"), L"System.String");
    Attach();
    auto dataWrapper = WrapElement<CovWPFCtrlListBox>(data).As<IDispatch>();
    for (const wchar_t* member : {L"ClickItem", L"SelectItem", L"MultiSelect"}) {
        Reset();
        ASSERT_EQ(Call(dataWrapper.Get(), member,
                       {std::wstring_view(member) == L"MultiSelect" ? Str(L"B") : ov::Variant::Int(1)})
                      .hr,
                  S_OK);
        EXPECT_EQ(TakeLog(), Log{Error(L"The control item '1' is not visible on screen.")});
        EXPECT_TRUE(Clicks().empty());
    }
    // A wrapper for the .NET object alone has no host object to click through.
    auto objectWrapper = WrapObject<CovWPFCtrlListBox>(*list_).As<IDispatch>();
    Reset();
    ASSERT_EQ(Call(objectWrapper.Get(), L"ClickItem", {ov::Variant::Int(0)}).hr, S_OK);
    EXPECT_EQ(TakeLog(), Log{Error(L"An error occurred.", ov::texts::Reasons)});
}

// SelectItem, MultiSelect and their messages are the scripts' (select.js, select.vbs); here the failures that
// no script reaches.
TEST_F(ListBoxTest, ABadListOrItemSelectsNothing) {
    auto wrapper = ListWrapper();
    // A string that converts to -1 is every item, as the number is.
    Reset();
    ASSERT_EQ(Call(wrapper.Get(), L"SelectItem", {Str(L"-1")}).hr, S_OK);
    EXPECT_EQ(App().Calls(L"SelectAll").invokes, 1);
    EXPECT_TRUE(Clicks().empty());
    const std::pair<ov::Variant, LogEntry> failures[] = {
        {ov::Variant::Int(1), Error(ov::texts::InvalidItemList, ov::texts::ItemListFormats)},
        {Str(L"Apple|Date"), Error(L"The control item 'Date' not found.", L"Total number of items: 3.")},
    };
    for (const auto& [items, expected] : failures) {
        Reset();
        ASSERT_EQ(Call(wrapper.Get(), L"MultiSelect", {items}).hr, S_OK);
        EXPECT_EQ(TakeLog(), Log{expected});
        EXPECT_TRUE(Clicks().empty());
    }
    // Report mode 2: the error reaches an IDispatch caller as its exception.
    SetSelectionMode(*list_, L"Single");
    ASSERT_EQ(ov::QueryAs<IovCtrlBase>(wrapper.Get())->put_ErrorReportMode(2), S_OK);
    Reset();
    Result r = Call(wrapper.Get(), L"SelectItem", {ov::Variant::Int(-1)});
    EXPECT_EQ(r.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(r.description, L"The listbox does not support multiple selection.\r\n\r\nThe listbox's "
                             L"SelectionMode property is not set to Multiple or Extended.");
    EXPECT_TRUE(TakeLog().empty());
}

TEST_F(ListBoxTest, AListViewAnswersBothDispinterfacesAndActsAsAListBox) {
    ov::ComPtr<CovWPFCtrlListView> view = WrapElement<CovWPFCtrlListView>(*view_);
    ov::ComPtr<IUnknown> unknown = view.As<IUnknown>();
    for (const IID& iid : {__uuidof(IovWPFListView), __uuidof(IovWPFListBox), __uuidof(IovWPFScrollHelper),
                           __uuidof(IovCtrlTableDataSource), __uuidof(IovWPFControl)}) {
        ov::ComPtr<IUnknown> answered;
        EXPECT_EQ(unknown->QueryInterface(iid, reinterpret_cast<void**>(answered.Put())), S_OK);
    }
    // Both dispinterfaces lead to the same list box members.
    ov::Bstr viaOwn, viaBase;
    EXPECT_EQ(view.As<IovWPFListView>()->get_wItemList(viaOwn.Put()), S_OK);
    EXPECT_EQ(view.As<IovWPFListBox>()->get_wItemList(viaBase.Put()), S_OK);
    EXPECT_EQ(viaOwn.View(), L"Apple|Banana|Cherry");
    EXPECT_EQ(viaBase.View(), viaOwn.View());
}

} // namespace
