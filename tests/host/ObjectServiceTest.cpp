// The object service's mouse move (position 9) and window at a point (position 85), over a menu whose
// submenu lives in a popup window of its own: both follow the layout that the clicks use.
#include "HostFixture.h"

#include "host/app/Xaml.h"
#include "wpfsim/Menus.h"

using namespace hosttest;

namespace {

class ObjectServiceTest : public testing::Test {
protected:
    void SetUp() override {
        app = ovhost::ParseXaml(R"(<Window xmlns="http://schemas.microsoft.com/winfx/2006/xaml/presentation"
            xmlns:x="http://schemas.microsoft.com/winfx/2006/xaml" x:Name="mainWindow">
          <StackPanel>
            <Menu x:Name="menu">
              <MenuItem x:Name="file" Header="_File"><MenuItem x:Name="open" Header="Open"/></MenuItem>
              <MenuItem x:Name="edit" Header="_Edit"><MenuItem x:Name="copy" Header="Copy"/></MenuItem>
            </Menu>
            <Button x:Name="ok" Content="OK" Width="300" Height="80"/>
          </StackPanel></Window>)");
        host = std::make_unique<ovhost::Host>(ovtest::BinFolder());
        host->Attach(*app);
    }
    void TearDown() override {
        host.reset();
        app.reset();
    }
    wpfsim::MenuItem& Item(const wchar_t* name) { return dynamic_cast<wpfsim::MenuItem&>(*app->Find(name)); }
    POINT Centre(const wchar_t* name) {
        const RECT& r = app->Find(name)->Bounds();
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    HRESULT Move(POINT at, UINT message = WM_MOUSEMOVE) {
        MSG record{};
        record.message = message;
        record.pt = at;
        return host->ObjectService()->PlayMouseMessage(&record);
    }
    HWND WindowOf(const wchar_t* name) {
        HWND window = nullptr;
        auto object = host->HostObjectOf(*app->Find(name));
        EXPECT_TRUE(object) << "no host object";
        if (object) object.As<IovNativeWindow>()->GetWindowHandle(&window);
        return window;
    }
    HWND WindowAt(POINT at) {
        HWND window = reinterpret_cast<HWND>(1);
        EXPECT_EQ(host->ObjectService()->GetWindowAtPoint(at.x, at.y, &window), S_OK);
        return window;
    }

    std::unique_ptr<wpfsim::Application> app;
    std::unique_ptr<ovhost::Host> host;
};

TEST_F(ObjectServiceTest, AMouseMoveHoversWhatLiesUnderThePointAndInMenuModeMovesTheOpenSubmenu) {
    const struct {
        const wchar_t* to;
        bool menuMode; // File's submenu opened by a click first
        const char* open;
    } cases[] = {
        {L"edit", false, ""},
        {L"edit", true, "edit"},
        {L"ok", true, "file"}, // outside the menu the submenu stays
        {L"open", true, "file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.to)) + (c.menuMode ? " in menu mode" : ""));
        if (c.menuMode) app->Click(Centre(L"file"), {});
        ASSERT_EQ(Move(Centre(c.to)), S_OK);
        const ovhost::ActionRecord& record = host->Actions().back();
        EXPECT_EQ(record.kind, ovhost::ActionKind::MouseMove);
        EXPECT_TRUE(app->Find(c.to)->IsMouseOver());
        EXPECT_EQ((std::vector<LONG>{record.screen.x, record.screen.y}),
                  (std::vector<LONG>{Centre(c.to).x, Centre(c.to).y}));
        std::string open = Item(L"file").IsSubmenuOpen() ? "file" : "";
        if (Item(L"edit").IsSubmenuOpen()) open += "edit";
        EXPECT_EQ(open, c.open);
        Item(L"file").SetSubmenuOpen(false);
        Item(L"edit").SetSubmenuOpen(false);
    }
    EXPECT_EQ(Move(Centre(L"ok"), WM_LBUTTONDOWN), E_INVALIDARG);
    EXPECT_EQ(host->ObjectService()->PlayMouseMessage(nullptr), E_POINTER);
}

TEST_F(ObjectServiceTest, TheWindowAtAPointIsTheTopmostWindowThereAsTheItemsObjectReportsIt) {
    app->Click(Centre(L"file"), {});
    const HWND main = WindowOf(L"ok"), popup = WindowOf(L"open");
    EXPECT_NE(main, popup);
    EXPECT_EQ(WindowAt(Centre(L"ok")), main);
    EXPECT_EQ(WindowAt(Centre(L"open")), popup) << "the submenu's window lies over the main window";
    EXPECT_EQ(WindowAt({5000, 5000}), nullptr);
    app->Click(Centre(L"file"), {});
    EXPECT_EQ(WindowAt(Centre(L"ok")), main);
    HWND* none = nullptr;
    EXPECT_EQ(host->ObjectService()->GetWindowAtPoint(0, 0, none), E_POINTER);
}

} // namespace
