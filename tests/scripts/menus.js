//! app: ../../examples/settings.xaml
//! exit: 1
//! expect: [script] top items: 3, a new object each time: true
//! expect: [message] The menu item 'View|Zoom|Presets|100 %' was clicked.
//! expect: [message] The menu item 'View|Word wrap' was checked.
//! expect: [menu notice] The menu item 'Word wrap' is already checked.
//! expect: [error] The menu item 'Paste' is disabled.
//! expect: [error] Cannot find the menu item '[3]'.
//! expect: [error] Cannot find the menu item '-1'.
//! expect: [script] recent: 4 items, first 'Open'
//! expect: [error] The control item 'Open' is not visible on screen.
//! expect: [script] no context menu: true
// The main menu and a context menu from a script: paths with access keys, a three-level submenu, a
// checkable item checked twice (a menu notice), a disabled item, index errors, and a closed context menu.
var menuWrapper = App.Find("mainMenu");
var menu = menuWrapper.WPFMenu;
Log.Message("top items: " + menu.Count + ", a new object each time: " + (menu != menuWrapper.WPFMenu));
menu.Click("View|Zoom|Presets|100 %");
menu.Check("View|Word wrap", true);
menu.Check("V*|Word wrap", true);
menu.Click("Edit|Paste");
menu.Close();
menu.Click("[3]");
var none = menu.Items(-1);
var recent = App.Find("recentFiles").PopupMenu;
Log.Message("recent: " + recent.Count + " items, first '" + recent.Items(0).Caption + "'");
recent.Click("Open");
Log.Message("no context menu: " + (App.Find("mainMenu").PopupMenu == null));
