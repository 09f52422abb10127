//! app: framework48.xaml
//! exit: 1
//! expect: [message] The listbox item 'Banana' was clicked with the left mouse button.
//! expect:     A click with no key pressed.
//! expect: [script] selected: Banana
//! expect: [error] An error occurred.
//! expect-reasons: 96 0x80020006 () FocusedItem
//! expect: [script] focus: -1
//! expect: [error] An error occurred.
//! expect-reasons: 96 0x80020006 () ItemGetIsSelected
//! expect: [script] Banana selected: false
//! expect: [error] An error occurred.
//! expect-reasons: 96 0x80020006 () ItemGetIsSelected
//! expect: [error] An error occurred.
//! expect-reasons: 96 0x80020006 () ItemGetIsSelected
//! expect: [message] All listbox items were selected.
//! expect: [script] selected: Banana|Apple|Cherry
//! expect: -- the script ran to its end: 10 log entries, 4 errors logged
// On .NET Framework 4.5 and later the internal members "FocusedItem" and "ItemGetIsSelected" are gone:
// the list box members that read them fail, the others work.
var fruit = App.Find("fruit");
fruit.ClickItem("Banana");
Log.Message("selected: " + fruit.wSelectedItems);
Log.Message("focus: " + fruit.wFocus);
Log.Message("Banana selected: " + fruit.wSelected("Banana"));
fruit.SelectItem("Cherry");
fruit.MultiSelect("Apple|Cherry");
fruit.SelectItem(-1);
Log.Message("selected: " + fruit.wSelectedItems);
