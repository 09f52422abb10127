// What the list table's rows cannot see of the combo box, list box and list view: how often the drop-down's
// state is read while waiting, the table view's null out-pointers, a wrapper made for a .NET object alone,
// and the interfaces a list view answers besides IDispatch.
#include "ControlFixture.h"

#include "controls/Lists.h"
#include "wpfsim/ComboBox.h"
#include "wpfsim/ListBox.h"

namespace {

using namespace ovtest;

class ComboBoxTest : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        combo_ = &App().Add<wpfsim::ComboBox>(&MainWindow(), L"System.Windows.Controls.ComboBox", L"combo");
        combo_->SetBounds({10, 10, 200, 32});
        App()
            .Add<wpfsim::ItemContainer>(combo_, L"System.Windows.Controls.ComboBoxItem", L"redItem")
            .SetContent(L"Red");
        Attach();
    }
    ov::ComPtr<IDispatch> Wrapper() { return WrapElement<CovWPFCtrlComboBox>(*combo_).As<IDispatch>(); }

    wpfsim::ComboBox* combo_ = nullptr;
};

// The wait reads the popup's own state, once and at most once more after its one pause. A row sees only the
// outcome, and in the stand-in "IsDropDownOpen" follows the popup: only the reads tell the two apart.
TEST_F(ComboBoxTest, TheListStateIsReadOnceAndAtMostOnceMoreAfterAPause) {
    auto wrapper = Wrapper();
    for (const wchar_t* member : {L"DropDown", L"CloseUp"}) {
        Reset();
        ASSERT_EQ(Call(wrapper.Get(), member).hr, S_OK);
        EXPECT_EQ(App().Calls(L"IsOpen").invokes, 1) << std::wstring(member);
    }
    combo_->DropDown().SetNeverOpens(true);
    Reset();
    ASSERT_EQ(Call(wrapper.Get(), L"DropDown").hr, S_OK);
    EXPECT_EQ(App().Calls(L"IsOpen").invokes, 2) << "the first read and one after the pause";
}

// No script passes a null out-pointer or calls the two reserved operations.
TEST_F(ComboBoxTest, TheTableRefusesNullOutPointersAndLeavesAFailedCellEmpty) {
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
    EXPECT_TRUE(FAILED(table->GetCellValue(1, 0, cell.Put())));
    EXPECT_EQ(cell.vt, VT_EMPTY);
}

class ListBoxTest : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        view_ = &App().Add<wpfsim::ListBox>(&MainWindow(), L"System.Windows.Controls.ListView", L"view",
                                            L"System.Windows.Controls.ListViewItem");
        view_->SetBounds({10, 10, 200, 150});
        for (const wchar_t* text : {L"Apple", L"Banana"})
            App()
                .Add<wpfsim::ItemContainer>(view_, L"System.Windows.Controls.ListViewItem", text)
                .SetContent(text);
        Attach();
    }
    wpfsim::ListBox* view_ = nullptr;
};

// The recorder's wrappers: only the host makes wrappers by identifier, so no row reaches this one.
TEST_F(ListBoxTest, AWrapperForTheDotNetObjectAloneHasNoHostObjectToClickThrough) {
    auto wrapper = WrapObject<CovWPFCtrlListView>(*view_).As<IDispatch>();
    Reset();
    ASSERT_EQ(Call(wrapper.Get(), L"ClickItem", {ov::Variant::Int(0)}).hr, S_OK);
    EXPECT_EQ(TakeLog(),
              (std::vector<ovhost::LogEntry>{{ovhost::LogError, L"An error occurred.", ov::texts::Reasons}}));
    EXPECT_TRUE(Clicks().empty());
}

TEST_F(ListBoxTest, AListViewAnswersTheListBoxInterfacesToo) {
    ov::ComPtr<IUnknown> unknown = WrapElement<CovWPFCtrlListView>(*view_).As<IUnknown>();
    for (const IID& iid : {__uuidof(IovWPFListView), __uuidof(IovWPFListBox), __uuidof(IovWPFScrollHelper),
                           __uuidof(IovCtrlTableDataSource), __uuidof(IovWPFControl)}) {
        ov::ComPtr<IUnknown> answered;
        EXPECT_EQ(unknown->QueryInterface(iid, reinterpret_cast<void**>(answered.Put())), S_OK);
    }
}

} // namespace
