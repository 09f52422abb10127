//! app: combo.xaml
//! args: --verbose
//! exit: 1
//! expect: [script] colors: 4 Red|Green|Blue|Black, text 'Green', selected 1, open false
//! expect: [message] Selected 'Blue' from the combo box.
//! expect: [script] the application: SelectedIndex 2, Text 'Blue', IsDropDownOpen false
//! expect: [message] Selected '2' from the combo box.
//! expect: [message] The combo box list was displayed.
//! expect: [script] open: true
//! expect: [message] The combo box list was displayed.
//! expect: [message] The combo box list was closed.
//! expect: [script] open: false
//! expect: [error] The combo box item 'Black' is not visible on screen.
//! expect: [script] after the failure: open false, still 'Blue'
//! expect: [error] The control item 'White' not found.
//! expect:     Total number of items: 4.
//! expect: [error] The control item '-1' not found.
//! expect:     Total number of items: 4.
//! expect: [error] The control item '4' not found.
//! expect:     Total number of items: 4.
//! expect: [script] colors with ' / ': Red / Green / Blue / Black, item 3 'Black'
//! expect: [script] table: 4 rows, 1 column 'Items', cells Red|Green|Blue|Black
//! expect: [script] Table.Caption: the module answered 0x80070057.
//! expect: [script] Table.Cell: the module answered 0x80070057.
//! expect: [error] The control item '4' not found.
//! expect:     Total number of items: 4.
//! expect: [script] Table.Cell: the module answered 0x80004005. The control item '4' not found.
//! expect: [message] The combo box list was displayed.
//! expect: [script] sizes (zdropDownPopup): false, true after DropDown
//! expect: [message] Selected 'Large' from the combo box.
//! expect: [script] sizes: 'Large' 2, open false
//! expect: [message] The combo box list was displayed.
//! expect: [script] unset (a null field): false, true after DropDown
//! expect: [message] The combo box list was closed.
//! expect: [error] An error occurred.
//! expect-reasons: 96 0x80020006 () field__dropDownPopup
//! expect: [error] The combo box drop down list cannot be opened.
//! expect: [error] The combo box drop down list cannot be opened.
//! expect: [script] stuck: selected -1, open false
//! expect: [script] editable: 'Courier' -1
//! expect: [message] Selected 'Verdana' from the combo box.
//! expect: [script] editable: 'Verdana' 1
//! expect: [error] The control is disabled. The action cannot be executed.
//! expect: [error] The control is disabled. The action cannot be executed.
//! expect: [error] The control is disabled. The action cannot be executed.
//! expect: [script] off: 1 item, text ''
//! expect: [error] The combo box drop down list cannot be closed.
//! expect: [script] sticky: 'Two' selected, open true
//! expect: -- the script ran to its end: 40 log entries, 12 errors logged
//! expect: -- alive after the run: 0 automation objects still referenced, 0 host and 0 application objects
// The combo box from JScript: every member with its messages, the drop-down's open state through each
// name of the popup field, drop-downs that never open or never close, and the host's table of the items.
var colors = App.Find("colors"), element = App.Element("colors");
Log.Message("colors: " + colors.wItemCount + " " + colors.wItemList + ", text '" + colors.wText + "', selected " +
            colors.wSelectedItem + ", open " + colors.wIsDropDownListOpened);
colors.ClickItem("Bl*");
Log.Message("the application: SelectedIndex " + element.SelectedIndex + ", Text '" + element.Text +
            "', IsDropDownOpen " + element.IsDropDownOpen);
colors.ClickItem(2); // the selected item: the same path, the same message
colors.DropDown();
Log.Message("open: " + colors.wIsDropDownListOpened);
colors.DropDown(); // open already
colors.CloseUp();
Log.Message("open: " + colors.wIsDropDownListOpened);
// Black is collapsed: its container has no object on screen, and the list is closed again.
colors.ClickItem("Black");
Log.Message("after the failure: open " + element.IsDropDownOpen + ", still '" + colors.wText + "'");
colors.ClickItem("White");
var outside = colors.wItem(-1);
outside = colors.wItem(colors.wItemCount);
colors.wListSeparator = " / ";
Log.Message("colors with '" + colors.wListSeparator + "': " + colors.wItemList + ", item 3 '" + colors.wItem(3) + "'");

// The table the host reads: one column, a row per item; column 1 and row 4 are not there.
var table = App.Table("colors"), cells = [];
for (var row = 0; row < table.RowCount; row++) cells.push(table.Cell(row, 0));
Log.Message("table: " + table.RowCount + " rows, " + table.ColumnCount + " column '" + table.Caption(0) +
            "', cells " + cells.join("|"));
try { table.Caption(1); } catch (e) { Log.Message(e.message); }
try { table.Cell(0, 1); } catch (e) { Log.Message(e.message); }
var empty = table.Cell(4, 0); // report mode 1: the error is logged and the cell is empty
Host.ErrorReportMode = 2;
try { App.Table("colors").Cell(4, 0); } catch (e) { Log.Message(e.message.split("\r\n")[0]); }
Host.ErrorReportMode = 1;

// The open state through the other field name, a null field ("IsDropDownOpen" then), and no field at all.
var sizes = App.Find("sizes");
var before = sizes.wIsDropDownListOpened;
sizes.DropDown();
Log.Message("sizes (zdropDownPopup): " + before + ", " + sizes.wIsDropDownListOpened + " after DropDown");
sizes.ClickItem("Large");
Log.Message("sizes: '" + sizes.wText + "' " + sizes.wSelectedItem + ", open " + sizes.wIsDropDownListOpened);
var unset = App.Find("unset");
before = unset.wIsDropDownListOpened;
unset.DropDown();
Log.Message("unset (a null field): " + before + ", " + unset.wIsDropDownListOpened + " after DropDown");
unset.CloseUp();
var unknown = App.Find("fieldless").wIsDropDownListOpened;

// A drop-down that never opens: both members fail after one pause, and nothing is selected.
var stuck = App.Find("stuck");
stuck.DropDown();
stuck.ClickItem(0);
Log.Message("stuck: selected " + stuck.wSelectedItem + ", open " + stuck.wIsDropDownListOpened);

// An editable box shows its own text, which need not be an item.
var editable = App.Find("editable");
App.Element("editable").Text = "Courier";
Log.Message("editable: '" + editable.wText + "' " + editable.wSelectedItem);
editable.ClickItem("Verdana");
Log.Message("editable: '" + editable.wText + "' " + editable.wSelectedItem);

var off = App.Find("off");
off.ClickItem(0);
off.DropDown();
off.CloseUp();
Log.Message("off: " + off.wItemCount + " item, text '" + off.wText + "'");

// A drop-down that never closes: the item is selected, the wait for the closed list fails.
var sticky = App.Find("sticky");
sticky.ClickItem("Two");
Log.Message("sticky: '" + sticky.wText + "' selected, open " + sticky.wIsDropDownListOpened);
