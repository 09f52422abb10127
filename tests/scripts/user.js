//! app: user.xaml
//! expect: [script] file open true, menu mode true
//! expect: [script] wrap checked true, file open false
//! expect: [script] at a point: file open true, then false
//! expect: [script] list menu open true, selected 1, placed on list
//! expect: [script] Copy clicked: list menu open false
//! expect: [script] leaf menu open true, then false after a click elsewhere
//! expect: [script] tree: root selected true, leaf expanded false
//! expect: [script] check after a double click false, after a click on its row true
//! expect: [script] list: Banana selected by a double click 1
//! expect: [script] User.ClickItem: 'list' has no item 3 (3 items).
//! expect: [script] User.ClickItem: the container of item 7 of 'far' is not on screen.
//! expect: [script] User.Click: 'hidden' is not on screen.
//! expect: [script] User.ClickItem: 'ok' is not an items control.
//! expect: [script] User.RightClick expects the point as two numbers, x and y, or no point at all.
//! expect: [script] User.Click: the application has no element named 'nobody'.
//! expect: -- the script ran to its end: 15 log entries, no error logged
// The user at the mouse: clicks of every kind on elements, at points, on items, with context menus opening
// on a right click; the module is not called, so nothing but the script's own lines is logged.
function open(name) { return App.Element(name).IsSubmenuOpen; }

User.Click("file");
Log.Message("file open " + open("file") + ", menu mode " + App.Element("menu").IsMenuMode);
User.Click("wrap");
Log.Message("wrap checked " + App.Element("wrap").IsChecked + ", file open " + open("file"));
User.Click("file", 3, 3);
var first = open("file");
User.Click("file", 3, 3);
Log.Message("at a point: file open " + first + ", then " + open("file"));

User.RightClickItem("list", 1);
var listMenu = App.Element("listMenu");
Log.Message("list menu open " + listMenu.IsOpen + ", selected " + App.Element("list").SelectedIndex +
            ", placed on " + listMenu.PlacementTarget.Name);
User.ClickItem("listMenu", 0);
Log.Message("Copy clicked: list menu open " + listMenu.IsOpen);

User.RightClick("leaf");
var leafOpen = App.Element("leafMenu").IsOpen;
User.Click("ok");
Log.Message("leaf menu open " + leafOpen + ", then " + App.Element("leafMenu").IsOpen +
            " after a click elsewhere");
User.ClickItem("tree", 0);
Log.Message("tree: root selected " + App.Element("root").IsSelected + ", leaf expanded " +
            App.Element("leaf").IsExpanded);

User.DoubleClick("check");
var afterDouble = App.Element("check").IsChecked;
User.Click("row", 4, 4); // the check box lies there: the innermost element takes the click
Log.Message("check after a double click " + afterDouble + ", after a click on its row " +
            App.Element("check").IsChecked);
User.DoubleClickItem("list", 1);
Log.Message("list: Banana selected by a double click " + App.Element("list").SelectedIndex);

var wrong = [function () { User.ClickItem("list", 3); }, function () { User.ClickItem("far", 7); },
             function () { User.Click("hidden"); }, function () { User.ClickItem("ok", 0); },
             function () { User.RightClick("ok", 1); }, function () { User.Click("nobody"); }];
for (var i = 0; i < wrong.length; i++) {
    try {
        wrong[i]();
        Log.Message("Unexpected: no error");
    } catch (e) {
        Log.Message(e.message);
    }
}
