//! app: framework40.xaml
//! expect: [message] The listbox item '1' was clicked with the left mouse button.
//! expect:     A click with no key pressed.
//! expect: [script] in view: selected true, items Item 1
//! expect: [script] scrolled away: selected false, items Item 1, focus 1
//! expect: [message] The listbox item '1' was selected.
//! expect: [script] after SelectItem: items 
//! expect: -- the script ran to its end: 5 log entries, no error logged
// On .NET Framework 4.0 "ItemGetIsSelected" asks the item's container: a selected item scrolled out of a
// virtualized list reads as not selected, and the members that read it act on that:
// SelectItem clicks the item again with Ctrl held, which unselects it. "FocusedItem" outlives the container.
var list = App.Find("list");
list.ClickItem(1);
Log.Message("in view: selected " + list.wSelected(1) + ", items " + list.wSelectedItems);
list.VScroll.Pos = list.VScroll.Max;
Log.Message("scrolled away: selected " + list.wSelected(1) + ", items " + list.wSelectedItems + ", focus " +
            list.wFocus);
list.SelectItem(1);
Log.Message("after SelectItem: items " + list.wSelectedItems);
