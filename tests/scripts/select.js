//! app: select.xaml
//! args: --verbose
//! exit: 1
//! expect: [script] fruit at the start: selected '', focus -1
//! expect: [message] All listbox items were selected.
//! expect: [script] selected in the application: 4
//! expect: [message] All listbox items were unselected.
//! expect: [script] selected in the application: 0
//! expect: [message] All listbox items were selected.
//! expect: [script] selected in the application: 4
//! expect: [message] All listbox items were unselected.
//! expect: [error] The listbox does not support multiple selection.
//! expect:     The listbox's SelectionMode property is not set to Multiple or Extended.
//! expect: [message] All listbox items were unselected.
//! expect: [script] single: SelectedIndex -1
//! expect: [message] The listbox item 'Banana' was selected.
//! expect: [script] items in the wanted state already: 0 new log entries, selected 'Banana'
//! expect: [message] The listbox item 'Banana' was unselected.
//! expect: [script] selected ''
//! expect: [message] The number of selected items has changed (see details).
//! expect:     The list of selected items:
//! expect:     Cherry
//! expect:     Apple.
//! expect: [script] selected 'Cherry|Apple', Cherry true, Banana false, focus 0
//! expect: [message] The number of selected items has changed (see details).
//! expect:     The list of selected items:.
//! expect: [message] The number of selected items has changed (see details).
//! expect:     The list of selected items:
//! expect:     Banana
//! expect:     Date.
//! expect: [script] selected 'Cherry|Apple|Banana|Date'
//! expect: [error] The listbox does not support multiple selection.
//! expect:     The listbox's SelectionMode property is not set to Multiple or Extended.
//! expect: [message] The listbox item '2' was selected.
//! expect: [script] single: SelectedIndex 2
//! expect: [message] The listbox item 'Banana' was clicked with the left mouse button.
//! expect:     A click with no key pressed.
//! expect: [message] The listbox item 'Date' was clicked with the left mouse button.
//! expect:     A click with the Shift key pressed.
//! expect: [script] after Shift: 'Banana|Cherry|Date'
//! expect: [message] The listbox item 'Apple' was clicked with the left mouse button.
//! expect:     A click with no key pressed.
//! expect: [script] 25 pixels below Apple's top: 'Banana', focus 1
//! expect: [message] The listbox item '0' was double-clicked with the right mouse button.
//! expect:     A click with no key pressed.
//! expect: [message] The listbox item '1' was double-clicked with the right mouse button.
//! expect:     A click with the Control key pressed.
//! expect: [script] after the right clicks: 'Apple'
//! expect: [message] The listbox item 'Bob' was selected.
//! expect: [message] The number of selected items has changed (see details).
//! expect:     The list of selected items:
//! expect:     Ann
//! expect:     Eve.
//! expect: [script] people: 'Bob|Ann|Eve'
//! expect: [message] All listbox items were unselected.
//! expect: [script] months: vertical 0 in 0..5, horizontal 0 in 0..15
//! expect: [script] months scrolled to 5
//! expect: [message] The listbox item 'June' was clicked with the left mouse button.
//! expect:     A click with no key pressed.
//! expect: -- the script ran to its end: 38 log entries, 2 errors logged
//! expect: -- alive after the run: 0 automation objects still referenced, 0 host and 0 application objects
// Selection from JScript: SelectItem of single items and of all of them (-1, True), items already in the
// wanted state, MultiSelect with an array and with a string, the selection modes, the XY clicks with
// their points and keys, the list view (it speaks of listbox items too) and the scroll helpers. The
// application's own "SelectedItems" shows that each Ctrl-click did what WPF does.
var fruit = App.Find("fruit"), fruitElement = App.Element("fruit");
function Selected() { return "selected in the application: " + fruitElement.SelectedItems.Count; }
Log.Message("fruit at the start: selected '" + fruit.wSelectedItems + "', focus " + fruit.wFocus);
fruit.SelectItem(-1);
Log.Message(Selected());
fruit.SelectItem(-1, false);
Log.Message(Selected());
fruit.SelectItem(true); // True converts to -1
Log.Message(Selected());
fruit.SelectItem(-1, false);

var single = App.Find("single");
single.SelectItem(-1);
App.Element("single").SelectedIndex = 1;
single.SelectItem(-1, false); // no mode check
Log.Message("single: SelectedIndex " + App.Element("single").SelectedIndex);

fruit.SelectItem("Banana");
var before = Log.Count;
fruit.SelectItem("Banana");
fruit.SelectItem(0, false);
Log.Message("items in the wanted state already: " + (Log.Count - before) + " new log entries, selected '" +
            fruit.wSelectedItems + "'");
fruit.SelectItem("Ban*", false);
Log.Message("selected '" + fruit.wSelectedItems + "'");

fruit.MultiSelect([2, 0]); // clicked in this order; the selection keeps it
Log.Message("selected '" + fruit.wSelectedItems + "', Cherry " + fruit.wSelected("Cherry") + ", Banana " +
            fruit.wSelected(1) + ", focus " + fruit.wFocus);
fruit.MultiSelect("Apple|Cherry"); // selected already: nothing clicked, an empty list
fruit.MultiSelect("Banana|Date");
Log.Message("selected '" + fruit.wSelectedItems + "'");
single.MultiSelect([0]);
single.SelectItem(2);
Log.Message("single: SelectedIndex " + App.Element("single").SelectedIndex);

// The XY forms pass the point and the keys on unchanged: Shift selects the range from the anchor, and a
// point below the item's own rows lands on the next item, as the user's click would.
fruit.ClickItem("Banana");
fruit.ClickItemXY("Date", 2, 3, skwShift);
Log.Message("after Shift: '" + fruit.wSelectedItems + "'");
fruit.ClickItemXY("Apple", 2, 25);
Log.Message("25 pixels below Apple's top: '" + fruit.wSelectedItems + "', focus " + fruit.wFocus);
fruit.DblClickItemR(0);
fruit.DblClickItemRXY(1, 1, 1, skwCtrl);
Log.Message("after the right clicks: '" + fruit.wSelectedItems + "'");

var people = App.Find("people");
people.SelectItem("Bob");
people.MultiSelect(["Ann", "Eve"]);
Log.Message("people: '" + people.wSelectedItems + "'");
people.SelectItem(-1, false);

var months = App.Find("months"), vertical = months.VScroll, horizontal = months.HScroll;
Log.Message("months: vertical " + vertical.Pos + " in " + vertical.Min + ".." + vertical.Max + ", horizontal " +
            horizontal.Pos + " in " + horizontal.Min + ".." + horizontal.Max);
vertical.Pos = vertical.Max;
Log.Message("months scrolled to " + vertical.Pos);
months.ClickItem("June");
