// What a script cannot reach of the menu objects (the members table menus.table pins the members): their
// dispatch over the host's registered library, the host's menu interface of the menu wrapper, the items'
// names in the host's syntax, and the references they hold.
#include "../controls/ControlFixture.h"

#include "dispatch/HostDispatch.h"
#include "host/cli/CommandLine.h"
#include "menus/MenuControl.h"

#include <string>
#include <vector>

namespace {

using namespace ovtest;

const char* const kMenus = R"(<Window xmlns="http://schemas.microsoft.com/winfx/2006/xaml/presentation"
        xmlns:x="http://schemas.microsoft.com/winfx/2006/xaml" xmlns:sim="urn:ovwpf-sim"
        xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006" mc:Ignorable="sim"
        x:Name="mainWindow" Width="400" Height="300">
  <DockPanel x:Name="dock">
    <DockPanel.ContextMenu><ContextMenu><MenuItem Header="Copy"/></ContextMenu></DockPanel.ContextMenu>
    <Menu x:Name="menu" DockPanel.Dock="Top">
      <MenuItem Header="_File">
        <MenuItem Header="_Open"/>
        <MenuItem Header="Save"/>
        <MenuItem Header="Save"/>
        <Separator/>
        <MenuItem Header="a|b"/>
        <MenuItem Header="[x]"/>
        <MenuItem Header="Op*"/>
      </MenuItem>
      <MenuItem x:Name="view" Header="View">
        <MenuItem x:Name="zoom" Header="Zoom"><MenuItem x:Name="hundred" Header="100 %"/></MenuItem>
      </MenuItem>
      <MenuItem x:Name="stuck" Header="Stuck" sim:NeverOpens="True"><MenuItem Header="Inside"/></MenuItem>
    </Menu>
  </DockPanel>
</Window>)";

class MenusTest : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        ASSERT_EQ(ovhost::RegisterHostTypeLibrary(BinFolder() + L"\\OVHookX64.exe"), S_OK);
        LoadXaml(kMenus);
        menu_ = App().Find(L"menu");
    }

    ov::ComPtr<IDispatch> MainMenu(const ov::ComPtr<CovWPFCtrlMenu>& wrapper) {
        Result made = Get(wrapper.As<IDispatch>().Get(), L"WPFMenu");
        EXPECT_EQ(made.value.vt, VT_DISPATCH);
        return ov::ComPtr<IDispatch>(made.value.vt == VT_DISPATCH ? made.value.pdispVal : nullptr);
    }
    // The item object at a path of indexes from the menu, through the items' submenus.
    static ov::ComPtr<IDispatch> ItemAt(ov::ComPtr<IDispatch> menu, const std::vector<LONG>& path) {
        ov::ComPtr<IDispatch> item;
        for (LONG index : path) {
            if (item) menu = AsObject(Get(item.Get(), L"SubMenu"));
            if (!menu) return nullptr;
            item = AsObject(
                simtest::InvokeName(menu.Get(), L"Items", DISPATCH_PROPERTYGET, {ov::Variant::Int(index)}));
        }
        return item;
    }
    static ov::ComPtr<IDispatch> AsObject(const Result& r) {
        return ov::ComPtr<IDispatch>(r.hr == S_OK && r.value.vt == VT_DISPATCH ? r.value.pdispVal : nullptr);
    }
    ov::ComPtr<CovWPFCtrlMenu> NamedWrapper() {
        auto wrapper = WrapElement<CovWPFCtrlMenu>(*menu_);
        wrapper->SetSyntax(Host().MakeSyntaxRoot(L"App.Menu").As<IovSyntaxItem>().Get(), nullptr);
        return wrapper;
    }
    static std::wstring SyntaxOf(IDispatch* object) {
        ov::ComPtr<IovSyntaxItem> syntax;
        auto base = ov::QueryAs<IovCtrlBase>(object);
        if (!base || FAILED(base->GetSyntax(syntax.Put(), 0))) return L"(none)";
        return ovhost::SyntaxText(syntax.Get());
    }

    wpfsim::Element* menu_ = nullptr;
};

TEST_F(MenusTest, TheHostsLibraryIsLoadedOnceForAllMenuAndItemObjects) {
    ov::HostTypeLib::Clear();
    const long loads = ov::HostTypeLib::LoadCount();
    auto wrapper = WrapElement<CovWPFCtrlMenu>(*menu_);
    for (int round = 0; round < 3; ++round) {
        ov::ComPtr<IDispatch> menu = MainMenu(wrapper);
        ASSERT_TRUE(menu);
        EXPECT_EQ(Get(menu.Get(), L"Count").value.lVal, 3);
        ov::ComPtr<IDispatch> item = ItemAt(menu.Get(), {1, 0});
        ASSERT_TRUE(item);
        EXPECT_EQ(simtest::Text(Get(item.Get(), L"Caption").value), L"Zoom");
    }
    EXPECT_EQ(ov::HostTypeLib::LoadCount(), loads + 1);
}

// Unregisters the host's library for a scope and registers it again, as the host does at its start.
class Unregistered {
public:
    Unregistered() {
        ov::ComPtr<ITypeLib> library;
        if (FAILED(LoadRegTypeLib(LIBID_Orvane, 6, 0, LOCALE_NEUTRAL, library.Put()))) return;
        TLIBATTR* attr = nullptr;
        if (FAILED(library->GetLibAttr(&attr))) return;
        const TLIBATTR copy = *attr;
        library->ReleaseTLibAttr(attr);
        library.Reset();
        done_ = SUCCEEDED(
            UnRegisterTypeLib(copy.guid, copy.wMajorVerNum, copy.wMinorVerNum, copy.lcid, copy.syskind));
        ov::HostTypeLib::Clear();
    }
    ~Unregistered() {
        ovhost::RegisterHostTypeLibrary(BinFolder() + L"\\OVHookX64.exe");
        ov::HostTypeLib::Clear();
    }
    bool Done() const { return done_; }

private:
    bool done_ = false;
};

TEST_F(MenusTest, WithoutTheHostsLibraryRegisteredAMenuCallFailsAndTheNextOneTriesAgain) {
    auto wrapper = WrapElement<CovWPFCtrlMenu>(*menu_);
    ov::ComPtr<IDispatch> menu = MainMenu(wrapper);
    ov::ComPtr<IDispatch> item = ItemAt(menu.Get(), {0});
    ASSERT_TRUE(item);
    {
        Unregistered unregistered;
        ASSERT_TRUE(unregistered.Done());
        ov::ComPtr<ITypeLib> none;
        ASSERT_TRUE(FAILED(LoadRegTypeLib(LIBID_Orvane, 6, 0, LOCALE_NEUTRAL, none.Put())));
        const long loads = ov::HostTypeLib::LoadCount();
        ov::ComPtr<ITypeInfo> info;
        EXPECT_TRUE(FAILED(menu->GetTypeInfo(0, 0, info.Put())));
        EXPECT_FALSE(info);
        for (IDispatch* object : {menu.Get(), item.Get()}) {
            DISPID id = 0;
            EXPECT_TRUE(FAILED(simtest::Lookup(object, L"Count", &id)));
            // Called by the DISPID the host knows (Count; Caption), without a name lookup.
            Result r = simtest::InvokeId(object, object == menu.Get() ? 0x0D010005 : 0x0D020001,
                                         DISPATCH_PROPERTYGET);
            EXPECT_TRUE(FAILED(r.hr));
            EXPECT_EQ(r.value.vt, VT_EMPTY);
        }
        EXPECT_EQ(ov::HostTypeLib::LoadCount(), loads + 5) << "a failed load is not remembered";
        EXPECT_TRUE(Host().Log().empty());
    }
    EXPECT_EQ(Get(menu.Get(), L"Count").value.lVal, 3);
}

TEST_F(MenusTest, TheMenuWrappersHostInterfaceActivatesItsWindowOrFailsWithErrorInformationInEveryMode) {
    const std::wstring generic = std::wstring(L"An error occurred.\r\n\r\n") + ov::texts::Reasons;
    const struct {
        const char* what;
        bool bound;   // to the host's identifier (else to the .NET object)
        bool refused; // the host refuses the activation
        HRESULT (STDMETHODCALLTYPE IovCtrlsMenuInternal::*operation)();
        const wchar_t* error; // the error information's description, null for S_OK
    } cases[] = {
        {"the menu's window", true, false, &IovCtrlsMenuInternal::ActivateMenuOwner, nullptr},
        {"no window above", false, false, &IovCtrlsMenuInternal::ActivateMenuOwner, generic.c_str()},
        {"activation refused", true, true, &IovCtrlsMenuInternal::ActivateMenuOwner,
         L"Activation refused.\r\n\r\nThe window is gone."},
        {"the top-level window", true, false, &IovCtrlsMenuInternal::ActivateTopLevelWindow, nullptr},
        {"no top-level window above", false, false, &IovCtrlsMenuInternal::ActivateTopLevelWindow,
         generic.c_str()},
    };
    ov::ComPtr<IovHostObject> top;
    Host().HostObjectOf(MainWindow())->GetParent(top.Put());
    auto options = top.As<IovActionOptions>();
    for (const auto& c : cases)
        for (LONG mode : {0, 1, 2, 3}) {
            SCOPED_TRACE(std::string(c.what) + ", mode " + std::to_string(mode));
            ov::ComPtr<CovWPFCtrlMenu> wrapper =
                c.bound ? WrapElement<CovWPFCtrlMenu>(*menu_) : WrapObject<CovWPFCtrlMenu>(*menu_);
            wrapper->put_ErrorReportMode(mode);
            Reset();
            if (c.refused) Host().FailActions({E_FAIL, L"Activation refused.\r\n\r\nThe window is gone.", 1});
            options->put_ActionMode(5);
            options->put_ActionFlags(6);
            SetErrorInfo(0, nullptr);
            auto internal = wrapper.As<IovCtrlsMenuInternal>();
            const HRESULT hr = (internal.Get()->*c.operation)();
            Host().ClearActionFailure();
            ov::ComPtr<IErrorInfo> info;
            ov::Bstr description;
            if (GetErrorInfo(0, info.Put()) == S_OK) info->GetDescription(description.Put());
            EXPECT_EQ(hr, c.error ? E_FAIL : S_OK);
            EXPECT_EQ(description.View(), c.error ? c.error : L"");
            EXPECT_TRUE(TakeLog().empty());
            LONG restored[2] = {};
            options->get_ActionMode(&restored[0]);
            options->get_ActionFlags(&restored[1]);
            EXPECT_EQ((std::vector<LONG>{restored[0], restored[1]}), (std::vector<LONG>{5, 6}));
            if (c.error) continue;
            EXPECT_EQ(Host().ActiveWindow(), &MainWindow());
            ASSERT_EQ(Host().Actions().size(), 1u);
            EXPECT_EQ(Host().Actions()[0].kind, ovhost::ActionKind::Activate);
            // The menu's owner is activated with the settings of a script's own action, the top-level window
            // with the caller's.
            const bool owner = c.operation == &IovCtrlsMenuInternal::ActivateMenuOwner;
            EXPECT_EQ((std::vector<LONG>{Host().Actions()[0].actionMode, Host().Actions()[0].actionFlags}),
                      (owner ? std::vector<LONG>{2, 0} : std::vector<LONG>{5, 6}));
        }
}

TEST_F(MenusTest, AnItemIsNamedByItsEscapedCaptionOrByItsIndexInTheHostsSyntaxAndInItsPathText) {
    auto wrapper = NamedWrapper();
    // The objects start with their own report modes, not with the wrapper's.
    wrapper->put_ErrorReportMode(2);
    wrapper->put_MessageReportMode(0);
    ov::ComPtr<IDispatch> menu = MainMenu(wrapper);
    EXPECT_EQ(ReportModes(menu.Get()), kModesAtCreation);
    EXPECT_EQ(ReportModes(AsObject(Get(ItemAt(menu, {1}).Get(), L"SubMenu")).Get()), kModesAtCreation);
    const std::wstring file = L"App.Menu.WPFMenu.Items(\"File\")";
    const struct {
        std::vector<LONG> at;
        std::wstring syntax, path;
    } cases[] = {
        {{0}, file, L"File"},
        // "_Open" without its access key, matched by the pattern "Op*" of another item.
        {{0, 0}, file + L".SubMenu.Items(\"[0]\")", L"File|[0]"},
        // A caption twice: both by index.
        {{0, 1}, file + L".SubMenu.Items(\"[1]\")", L"File|[1]"},
        {{0, 2}, file + L".SubMenu.Items(\"[2]\")", L"File|[2]"},
        // No caption (a separator), a caption with "|".
        {{0, 3}, file + L".SubMenu.Items(\"[3]\")", L"File|[3]"},
        {{0, 4}, file + L".SubMenu.Items(\"[4]\")", L"File|[4]"},
        // A leading "[" doubled, so that the name is no index.
        {{0, 5}, file + L".SubMenu.Items(\"[[x]\")", L"File|[[x]"},
        {{0, 6}, file + L".SubMenu.Items(\"Op*\")", L"File|Op*"},
        {{1, 0, 0},
         L"App.Menu.WPFMenu.Items(\"View\").SubMenu.Items(\"Zoom\").SubMenu.Items(\"100 %\")",
         L"View|Zoom|100 %"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.path));
        ov::ComPtr<IDispatch> item = ItemAt(menu, c.at);
        ASSERT_TRUE(item);
        EXPECT_EQ(SyntaxOf(item.Get()), c.syntax);
        EXPECT_EQ(ReportModes(item.Get()), kModesAtCreation);
        auto* helper = dynamic_cast<CovMenuItemHelper*>(item.Get());
        ASSERT_TRUE(helper);
        EXPECT_EQ(helper->PathText().View(), c.path);
    }
    EXPECT_EQ(SyntaxOf(menu.Get()), L"App.Menu.WPFMenu");
}

// What a script sees as PopupMenu the host's syntax names so too, not by WPF's property.
TEST_F(MenusTest, AContextMenuIsPopupMenuInTheHostsSyntax) {
    auto wrapper = WrapElement<CovWPFCtrl>(*App().Find(L"dock"));
    wrapper->SetSyntax(Host().MakeSyntaxRoot(L"App.Dock").As<IovSyntaxItem>().Get(), nullptr);
    ov::ComPtr<IDispatch> popup = AsObject(Get(wrapper.As<IDispatch>().Get(), L"PopupMenu"));
    ASSERT_TRUE(popup);
    EXPECT_EQ(SyntaxOf(popup.Get()), L"App.Dock.PopupMenu");
}

TEST_F(MenusTest, AnItemKeepsItsMenusTheirParentsAndTheWrapperAliveAndNothingMore) {
    ov::ComPtr<IDispatch> item = ItemAt(MainMenu(NamedWrapper()), {1, 0, 0});
    ASSERT_TRUE(item);
    // The wrapper, the main menu, "View" and its submenu, "Zoom" and its submenu, the item.
    EXPECT_EQ(ov::ModuleLiveCount::Get(), 7);
    EXPECT_EQ(SyntaxOf(item.Get()),
              L"App.Menu.WPFMenu.Items(\"View\").SubMenu.Items(\"Zoom\").SubMenu.Items(\"100 %\")");
    item.Reset();
    EXPECT_EQ(ov::ModuleLiveCount::Get(), 0);
}

} // namespace
