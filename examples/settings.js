// The demo: a user goes through the settings window of settings.xaml. Run it from the source tree with
//   tools/ovhost run examples/settings.xaml examples/settings.js
// Every action of the module ends in the log; Log.Message adds the script's own lines.

// What the module makes of the window's elements: kind (WPFControlType) and .NET class.
var names = ["settingsWindow", "sections", "generalBorder", "heading", "remember", "darkMode", "startLast",
             "zoomIn", "okButton", "zoomReset"];
for (var i = 0; i < names.length; i++)
    Log.Message(names[i] + ": kind " + App.Kind(names[i]) + ", " + App.ClassName(names[i]));
if (App.Find("generalBorder") === null)
    Log.Message("A border is a decoration: the module makes no automation object for it.");

// Check boxes: a two-state one and a three-state one that starts grayed.
var remember = App.Find("remember");
remember.ClickButton(cbUnChecked);
remember.ClickButton(false); // already unchecked: a notice, nothing is clicked
var updates = App.Find("updates");
Log.Message("'Check for updates' starts in state " + updates.wState + " (cbGrayed = " + cbGrayed + ")");
updates.ClickButton(cbChecked);
App.Find("darkMode").ClickButton(true);

// Radio buttons of one group.
App.Find("startLast").ClickButton();
Log.Message("'Open a blank page' is checked: " + App.Find("startBlank").wChecked);

// A repeat button clicked three times.
App.Find("zoomIn").ClickButton(3);

// The user class SettingsDemo.ResetButton behaves as a button, but only class names decide the kind:
// until the button kind lists it, it is a plain control (kind 100).
Host.SetClassNames(ctrlWPFButton, Host.DefaultClassNames(ctrlWPFButton).split("|").concat(["SettingsDemo.*"]));
Log.Message("zoomReset is now of kind " + App.Kind("zoomReset") + "; the button kind takes " +
            Host.ClassNames(ctrlWPFButton));
App.Find("zoomReset").ClickButton();

// The deliberate failure: "Send usage data" is disabled. With ErrorReportMode 2 the module raises the
// error to the script, which expects it and goes on; nothing lands in the log as an error.
Host.ErrorReportMode = 2;
try {
    App.Find("telemetry").ClickButton(cbChecked);
    Log.Message("Unexpected: the disabled check box took the click.");
} catch (e) {
    Log.Message("As expected, the disabled check box refused: " + e.message.split("\r\n\r\n")[0]);
}
Host.ErrorReportMode = 1;

// The toolbar: "Word wrap" lives in its overflow panel, which opens for the click.
var editBar = App.Find("editBar");
editBar.ClickItem("Undo");
Log.Message("'Word wrap' is on the bar: " + editBar.wVisible("Word wrap") + "; a check button: " +
            editBar.wIsCheckButton("Word wrap"));
editBar.ClickItem("Word wrap");
editBar.CheckItem("Word wrap", cbUnChecked);
editBar.CheckItem("Word wrap", true);

// The main menu: each submenu on a path opens on the way, a click on an item closes the menus again.
var menu = App.Find("mainMenu").WPFMenu;
var tops = [];
for (var m = 0; m < menu.Count; m++) tops.push(menu.Items(m).Caption);
Log.Message("The main menu: " + tops.join(", ") + "; View holds " + menu.Items(2).SubMenu.Count + " items");
menu.Check("View|Word wrap", true);
menu.Check("View|Word wrap", false);
menu.Click("View|Zoom|Presets|[1]"); // "100 %", by its index
menu.Click("F*|Save");               // "File" by a wildcard
// A failure the demo expects as well: "Paste" is disabled. The menu object takes the report mode of the
// control it came from.
Host.ErrorReportMode = 2;
var strictMenu = App.Find("mainMenu").WPFMenu;
try {
    strictMenu.Click("Edit|Paste");
    Log.Message("Unexpected: the disabled menu item took the click.");
} catch (e) {
    Log.Message("As expected, the disabled menu item refused: " + e.message.split("\r\n\r\n")[0]);
}
strictMenu.Close(); // a failed walk leaves the Edit submenu open
Host.ErrorReportMode = 1;

// The second half of the window: a tab control with an editor page and an about page.
var moreTabs = App.Find("moreTabs");
Log.Message("The tab control has " + moreTabs.wTabCount + " pages: '" + moreTabs.wTabCaption(0) + "' and '" +
            moreTabs.wTabCaption(1) + "'; page " + moreTabs.wFocusedTab + " is shown");
moreTabs.ClickTab("Editor");

// An edit with a length limit, a password box, a slider with ticks.
var userName = App.Find("userName");
userName.wText = "alice";
Log.Message("The user name is '" + userName.wText + "', at most " + userName.wLimit + " characters");
// One more failure a test expects: a name longer than the limit is cut by the edit.
Host.ErrorReportMode = 2;
try {
    App.Find("userName").wText = "alexandrina";
    Log.Message("Unexpected: the edit took a name longer than its limit.");
} catch (e) {
    Log.Message("As expected, the name was cut: " + e.message.split("\r\n\r\n")[0]);
}
Host.ErrorReportMode = 1;
var password = App.Find("password");
password.wText = "s3cret!";
Log.Message("The password box shows '" + password.wPasswordChar + "' for each of its " +
            password.wText.length + " characters");
var fontSize = App.Find("fontSize");
var ticks = [];
for (var t = 0; t < fontSize.wNumTics; t++) ticks.push(fontSize.wTicPosition(t));
Log.Message("Font size " + fontSize.wPosition + " in " + fontSize.wMin + ".." + fontSize.wMax + ", ticks at " +
            ticks.join(", "));
fontSize.wPosition = 16;

// A combo box, and a list of 200 recent files of which only the rows in view have containers (WPF
// virtualizes them): a far item is brought into view before it is clicked.
var theme = App.Find("theme");
Log.Message("Themes: " + theme.wItemList + "; the current one is '" + theme.wText + "'");
theme.ClickItem("Dark");   // by name
theme.ClickItem(3);        // by index
theme.ClickItem("High*");  // by wildcard
Log.Message("The theme is now '" + theme.wText + "', item " + theme.wSelectedItem);
var files = App.Find("recentFiles");
Log.Message("Recent files: " + files.wItemCount + " items, '" + files.wItem(0) + "' to '" +
            files.wItem(files.wItemCount - 1) + "'");
files.ClickItem(150);
files.SelectItem("document-007.txt");
files.SelectItem("document-19?.txt");
files.MultiSelect([3, "document-120.txt"]);
files.MultiSelect("document-001.txt|document-002.txt");
Log.Message("Selected: " + files.wSelectedItems + " (the focus is on item " + files.wFocus + ")");
// The list's context menu opens with a right click, as a user opens it; closed, its items are not on screen.
var recentMenu = files.PopupMenu;
User.RightClick("recentFiles");
Log.Message("The context menu of the recent files: " + recentMenu.Count + " items, the first '" +
            recentMenu.Items(0).Caption + "'");
recentMenu.Click("Open folder");

// The about page: an expander with the licence in a scroll viewer, read to its end.
moreTabs.ClickTab(1);
var licence = App.Find("licence");
licence.Expand();
var scroll = App.Find("licenceText").VScroll;
scroll.Pos = scroll.Max;
Log.Message("The licence was scrolled to " + scroll.Pos + " of " + scroll.Min + ".." + scroll.Max);
licence.Collapse();

// The folders page: a tree walked by name and by index, its nodes expanded, collapsed and clicked. The
// strings under Projects get their nodes on screen only once Projects is expanded.
moreTabs.ClickTab("Folders");
var folders = App.Find("folders");
var projects = folders.wItems.Item("Documents|Projects");
Log.Message("Documents|Projects holds " + projects.Items.Count + " items, the first '" +
            folders.wItems.Item("[0]|[0]|[0]").Text + "'; expanded: " + projects.Expanded);
projects.Expand();
folders.ClickItem("|Documents|Projects|Budget");
Log.Message("Budget selected: " + folders.wItems.Item("Documents|Projects|Budget").Selected);
folders.ExpandItem("Music");
folders.wItems.Item("Music").Items.Item(1).Click();
folders.CollapseItem("Documents");
folders.CollapseItem("Documents");
Log.Message("Documents expanded: " + folders.wItems.Item(0).Expanded + ", Rock selected: " +
            folders.wItems.Item("Music|Rock").Selected);
moreTabs.ClickTab("Editor");

App.Find("okButton").ClickButton();

// What the application holds now, read from its own objects.
Log.Message("remember=" + App.Element("remember").IsChecked + ", updates=" + App.Element("updates").IsChecked +
            ", darkMode=" + App.Element("darkMode").IsChecked +
            ", wordWrap=" + App.Element("wordWrap").IsChecked + ", startLast=" + App.Element("startLast").IsChecked +
            ", userName=" + App.Element("userName").Text + ", fontSize=" + App.Element("fontSize").Value);
Log.Message(Log.Count + " log entries so far; the first: " + Log.Item(0).Kind + " \"" + Log.Item(0).Text + "\"");
