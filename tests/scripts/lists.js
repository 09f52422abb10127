//! app: lists.xaml
//! args: --verbose
//! exit: 1
//! expect: [script] fruit: 3 Apple|Banana|Cherry, focus -1
//! expect: [message] The listbox item 'Banana' was clicked with the left mouse button.
//! expect:     A click with no key pressed.
//! expect: [script] focus after the click: 1
//! expect: [message] The listbox item '0' was clicked with the right mouse button.
//! expect:     A click with the Shift key pressed.
//! expect: [message] The listbox item 'Cherry' was double-clicked with the left mouse button.
//! expect:     A click with the Alt + Control key pressed.
//! expect: [error] The control item 'banana' not found.
//! expect:     Total number of items: 3.
//! expect: [error] The control item '3' not found.
//! expect:     Total number of items: 3.
//! expect: [error] An error occurred.
//! expect-reasons: 346 0x80020009 ()
//! expect:     mscorlib 0
//! expect:     Specified argument was out of the range of valid values.
//! expect:     Parameter name: index
//! expect: [script] fruit with ', ': Apple, Banana, Cherry, item 2 Cherry
//! expect: [message] The listbox item 'Seven' was clicked with the left mouse button.
//! expect:     A click with no key pressed.
//! expect: [script] numbers: 8
//! expect: [message] The listbox item '1' was double-clicked with the left mouse button.
//! expect:     A click with no key pressed.
//! expect: [message] The listbox item 'Ann' was clicked with the right mouse button.
//! expect:     A click with no key pressed.
//! expect: [error] The control is disabled. The action cannot be executed.
//! expect: [error] The control is disabled. The action cannot be executed.
//! expect: [script] colors: 2 Red|Green, item 1 Green
//! expect: [error] The control item '2' not found.
//! expect:     Total number of items: 2.
//! expect: -- the script ran to its end: 17 log entries, 6 errors logged
//! expect: -- alive after the run: 0 automation objects still referenced, 0 host and 0 application objects
// The list box, the list view and the combo box from a script: the click family with its messages and
// remarks, an item far down a list brought into view, the failures and the items' reads.
var fruit = App.Find("fruit");
Log.Message("fruit: " + fruit.wItemCount + " " + fruit.wItemList + ", focus " + fruit.wFocus);
fruit.ClickItem("Ban*");
Log.Message("focus after the click: " + fruit.wFocus);
fruit.ClickItemR(0, 8192);
fruit.DblClickItemXY("Cherry", 3, 4, 16384 + 32768);
fruit.ClickItem("banana");
fruit.ClickItem(3);
var outside = fruit.wItem(3);
fruit.wListSeparator = ", ";
Log.Message("fruit with ', ': " + fruit.wItemList + ", item 2 " + fruit.wItem(2));

var numbers = App.Find("numbers");
numbers.ClickItem("Seven");
Log.Message("numbers: " + numbers.wItemCount);

var people = App.Find("people");
people.DblClickItem(1);
people.ClickItemRXY("Ann", 1, 2);

App.Find("frozen").ClickItem(0);
App.Find("frozen").MultiSelect("Ice");

var colors = App.Find("colors");
Log.Message("colors: " + colors.wItemCount + " " + colors.wItemList + ", item 1 " + colors.wItem(1));
var none = colors.wItem(2);
