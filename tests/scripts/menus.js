//! app: menus.xaml
//! exit: 1
//! expect: [script] WPFMenu: 4 items, a new object each time true
//! expect: [script] File: caption File, id 4, index 0, enabled true
//! expect: [script] separator true '', New false
//! expect: [script] flags of New: default false, radio false, owner draw false
//! expect: [script] submenus: File 5, Presets 2 at index 2, New none true
//! expect: [script] Status bar checked true, Ruler enabled false
//! expect: [script] captions: 'Input||Output' '[[Draft]' ''
//! expect: [error] Cannot find the menu item '-1'.
//! expect: [error] Cannot find the menu item '4'.
//! expect: [message] The menu item 'File|New' was clicked.
//! expect: [message] The menu item 'View|Zoom|Presets|100 %' was clicked.
//! expect: [message] The menu item '[2|3|2|0]' was clicked.
//! expect: [message] The menu item 'V*|Z*|P*|1*' was clicked.
//! expect: [message] The menu item 'Edit|Mark *' was checked.
//! expect: [script] 'Mark *' took 'Mark all': true false
//! expect: [message] The menu item 'Edit|Mark **' was checked.
//! expect: [script] 'Mark **' took 'Mark *': true
//! expect: [message] The menu item 'Edit|Input||Output' was clicked.
//! expect: [message] The menu item 'Edit|[[Draft]' was clicked.
//! expect: [message] The menu item 'Edit|[4]' was clicked.
//! expect: [error] Cannot find the menu item 'Help'.
//! expect: [message] The menu item '[3]|About' was clicked.
//! expect: [message] The menu item 'View|Zoom|Presets' was selected.
//! expect: [script] after Select: Zoom open true, Presets open true, menu mode true
//! expect: [message] The menu was closed.
//! expect: [script] after Close: View open false, menu mode false
//! expect: [message] The menu item 'View|Word wrap' was checked.
//! expect: [menu notice] The menu item 'Word wrap' is already checked.
//! expect: [message] The menu item 'View|Word wrap' was unchecked.
//! expect: [menu notice] The menu item 'Word wrap' is already unchecked.
//! expect: [script] Word wrap checked false
//! expect: [error] The menu item 'New' cannot be checked or unchecked.
//! expect: [error] The menu item 'Ruler' is disabled.
//! expect: [error] The menu item 'Paste' is disabled.
//! expect: [error] The menu item 'Recent' is disabled.
//! expect: [error] Cannot find the submenu for the 'New' menu item.
//! expect: [error] Cannot obtain the popup menu for item 'Panels'.
//! expect: [error] Cannot find the menu item 'Tools'.
//! expect: [error] Cannot find the menu item '[4]'.
//! expect: [error] Cannot find the menu item '[9]'.
//! expect: [script] raised -2147467259: Cannot find the menu item 'Nowhere'.\r\n\r\n
//! expect: [script] raised -2147467259: The menu item 'Exit' cannot be checked or unchecked.\r\n\r\n
//! expect: [script] the failed walk left File open: true; Status bar checked true
//! expect: [message] The menu was closed.
//! expect: [script] PopupMenu: 4 items, 'Open', a new object each time true
//! expect: [error] The control item 'Open' is not visible on screen.
//! expect: [error] Cannot obtain the popup menu for item 'Open'.
//! expect: [message] The menu item 'Open' was clicked.
//! expect: [script] after the click: open false
//! expect: [message] The menu item 'Open with|Editor' was selected.
//! expect: [script] after Select: Open with open true
//! expect: [message] The menu was closed.
//! expect: [script] after Close: open false
//! expect: [script] no context menu: true
//! expect: -- the script ran to its end: 54 log entries, 14 errors logged
// The main menu and a context menu from a script: every member of the menu and menu item objects, paths
// by caption, access key, wildcard and index, every failure of a walk, and a context menu closed and open.
function el(name) { return App.Element(name); }
var main = App.Find("mainMenu");
var menu = main.WPFMenu;

// The menu object: a new one at each request, its items and their members.
Log.Message("WPFMenu: " + menu.Count + " items, a new object each time " + (menu != main.WPFMenu));
var file = menu.Items(0), edit = menu.Items(1), view = menu.Items(2);
Log.Message("File: caption " + file.Caption + ", id " + file.Id + ", index " + file.Index + ", enabled " +
            file.Enabled);
var fileNew = file.SubMenu.Items(0), line = file.SubMenu.Items(2), presets = view.SubMenu.Items(3).SubMenu.Items(2);
Log.Message("separator " + line.Separator + " '" + line.Caption + "', New " + fileNew.Separator);
Log.Message("flags of New: default " + fileNew.Default + ", radio " + fileNew.RadioCheck + ", owner draw " +
            fileNew.OwnerDraw);
Log.Message("submenus: File " + file.SubMenu.Count + ", Presets " + presets.SubMenu.Count + " at index " +
            presets.Index + ", New none " + (fileNew.SubMenu == null));
Log.Message("Status bar checked " + view.SubMenu.Items(1).Checked + ", Ruler enabled " +
            view.SubMenu.Items(2).Enabled);
// "|" doubled, a leading "[" doubled, a header that is an element has no caption.
Log.Message("captions: '" + edit.SubMenu.Items(2).Caption + "' '" + edit.SubMenu.Items(5).Caption + "' '" +
            menu.Items(3).Caption + "'");
var none = menu.Items(-1) || menu.Items(4);

// Paths: a top item and a subitem, access keys, three levels, whole-path brackets, wildcards.
menu.Click("File|New");
menu.Click("View|Zoom|Presets|100 %");
menu.Click("[2|3|2|0]");
menu.Click("V*|Z*|P*|1*");
menu.Check("Edit|Mark *", true);
Log.Message("'Mark *' took 'Mark all': " + el("markAll").IsChecked + " " + el("markStar").IsChecked);
menu.Check("Edit|Mark **", true);
Log.Message("'Mark **' took 'Mark *': " + el("markStar").IsChecked);
menu.Click("Edit|Input||Output");
menu.Click("Edit|[[Draft]");
menu.Click("Edit|[4]"); // the second "Find"
menu.Click("Help|About");
menu.Click("[3]|About");

// Select hovers: the submenus on the way open and stay open, Close closes them.
menu.Select("View|Zoom|Presets");
Log.Message("after Select: Zoom open " + el("zoom").IsSubmenuOpen + ", Presets open " + el("presets").IsSubmenuOpen +
            ", menu mode " + el("mainMenu").IsMenuMode);
menu.Close();
Log.Message("after Close: View open " + el("view").IsSubmenuOpen + ", menu mode " + el("mainMenu").IsMenuMode);

// Check and uncheck.
menu.Check("View|Word wrap", true);
menu.Check("View|Word wrap", true);
menu.Check("View|Word wrap", false);
menu.Check("View|Word wrap", false);
Log.Message("Word wrap checked " + el("wordWrap").IsChecked);

// Failures.
menu.Check("File|New", true);
menu.Check("View|Ruler", true);
menu.Click("Edit|Paste");
menu.Click("File|Recent|notes.txt");
menu.Click("File|New|Deeper");
menu.Click("View|Panels|Left");
menu.Click("Tools|Options");
menu.Click("[4]");
menu.Click("[1|9]");

// Report mode 2: the notice raises no script error, an error does, also from an object a menu hands out.
Host.ErrorReportMode = 2;
try {
    App.Find("mainMenu").WPFMenu.Items(0).SubMenu.Click("Nowhere");
} catch (e) {
    Log.Message("raised " + e.number + ": " + e.message.replace(/\r\n/g, "\\r\\n"));
}
var strict = App.Find("mainMenu").WPFMenu;
strict.Check("View|Status bar", true);
try {
    strict.Check("File|Exit", true);
} catch (e) {
    Log.Message("raised " + e.number + ": " + e.message.replace(/\r\n/g, "\\r\\n"));
}
Log.Message("the failed walk left File open: " + el("file").IsSubmenuOpen + "; Status bar checked " +
            el("statusBar").IsChecked);
strict.Close();
Host.ErrorReportMode = 1;

// The context menu: closed, its items are not on screen; a right click opens it.
var popup = App.Find("files").PopupMenu;
Log.Message("PopupMenu: " + popup.Count + " items, '" + popup.Items(0).Caption + "', a new object each time " +
            (popup != App.Find("files").PopupMenu));
popup.Click("Open");
popup.Select("Open");
User.RightClick("files");
popup.Click("Open");
Log.Message("after the click: open " + el("filesMenu").IsOpen);
User.RightClick("files");
popup.Select("Open with|Editor");
Log.Message("after Select: Open with open " + el("openWith").IsSubmenuOpen);
popup.Close();
Log.Message("after Close: open " + el("filesMenu").IsOpen);
Log.Message("no context menu: " + (App.Find("plain").PopupMenu == null));
