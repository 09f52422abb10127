//! app: toolbar.xaml
//! exit: 1
//! expect: [script] format: 11 'Cut' 'Copy' '' 'Bold' 'Italic' 'Mixed' 'Left' 'Sticky' '' 'Frozen' 'Wrap'
//! expect: [message] The toolbar button Cut was clicked.
//! expect:     A click with no key pressed.
//! expect: [message] The toolbar button 0 was clicked.
//! expect:     A click with the Shift key pressed.
//! expect: [message] The toolbar item Cut was double-clicked.
//! expect:     A click with the Control key pressed.
//! expect: [message] The toolbar item Cut was double-clicked.
//! expect:     A click with the Alt + Control key pressed.
//! expect: [message] The toolbar button Cut was clicked.
//! expect:     A click with no key pressed.
//! expect: [message] The toolbar button 0 was clicked.
//! expect:     A click with the Shift + Control key pressed.
//! expect: [message] The toolbar button Copy was clicked.
//! expect:     A click with no key pressed.
//! expect: [message] The toolbar button Frozen was clicked.
//! expect:     A click with no key pressed.
//! expect: [error] The toolbar button Frozen is disabled.
//! expect: [script] frozen: false
//! expect: [script] wrap visible false, overflow open false
//! expect: [message] The toolbar button Wrap was clicked.
//! expect:     A click with no key pressed.
//! expect: [script] wrap checked true, overflow open false
//! expect: [message] The toolbar button Wrap was unchecked.
//! expect: [script] wrap checked false, overflow open false
//! expect: [message] The toolbar button Bold was checked.
//! expect: [notice] The toolbar button Bold is already checked.
//! expect: [message] The toolbar button Bold was unchecked.
//! expect: [error] The toolbar button Bold is not a three-state check button.
//! expect: [notice] The toolbar button Italic is already checked.
//! expect: [error] Invalid state of the toolbar check button.
//! expect:     Only the following values can be used as the check box state: 0, 1, 2, True and False.
//! expect: [error] Invalid state of the toolbar check button.
//! expect:     Only the following values can be used as the check box state: 0, 1, 2, True and False.
//! expect: [notice] The toolbar button Italic is already checked.
//! expect: [message] The toolbar button Mixed was grayed.
//! expect: [script] mixed grayed true, checked false
//! expect: [message] The toolbar button Mixed was checked.
//! expect: [message] The toolbar button Mixed was unchecked.
//! expect: [notice] The toolbar button Mixed is already unchecked.
//! expect: [error] The toolbar button Left is not a check button.
//! expect: [error] The toolbar button Sticky is not a check button.
//! expect: [error] The toolbar button Cut is not a check button.
//! expect: [error] The control item 'Nothing' not found.
//! expect:     Total number of items: 11.
//! expect: [script] 0: pos 0, check false, drop-down false, separator false, enabled true, visible true, grayed false
//! expect: [script] 1: pos 1, check false, drop-down false, separator false, enabled false, visible true, grayed false
//! expect: [script] 2: pos 2, check false, drop-down false, separator true, enabled true, visible true, grayed false
//! expect: [script] Bold: pos 3, check true, drop-down false, separator false, enabled true, visible true, grayed false
//! expect: [script] Italic: pos 4, check true, drop-down false, separator false, enabled true, visible true, grayed false
//! expect: [script] Mixed: pos 5, check true, drop-down false, separator false, enabled true, visible true, grayed false
//! expect: [script] Left: pos 6, check false, drop-down false, separator false, enabled true, visible true, grayed false
//! expect: [script] Sticky: pos 7, check false, drop-down false, separator false, enabled true, visible true, grayed false
//! expect: [script] 8: pos 8, check false, drop-down true, separator false, enabled true, visible true, grayed false
//! expect: [script] Frozen: pos 9, check true, drop-down false, separator false, enabled false, visible true, grayed false
//! expect: [script] Wrap: pos 10, check true, drop-down false, separator false, enabled true, visible false, grayed false
//! expect: [script] checked: cut false, italic true
//! expect: [error] An error occurred.
//! expect-reasons:
//! expect: [script] narrow: Open true, Save true, Print false, Help true
//! expect: [message] The toolbar button Print was clicked.
//! expect:     A click with no key pressed.
//! expect: [error] The control is disabled. The action cannot be executed.
//! expect: [error] The control is disabled. The action cannot be executed.
//! expect: -- the script ran to its end: 50 log entries, 11 errors logged
// Every member of the toolbar: the clicks with their remarks, an item of the overflow panel (opened first,
// closed again by the button's own click), check buttons set by one or two clicks, every failure, and
// the item reads.
var format = App.Find("format");
var names = [];
for (var i = 0; i < format.wButtonCount; i++) names.push("'" + format.wButtonText(i) + "'");
Log.Message("format: " + format.wButtonCount + " " + names.join(" "));

format.ClickItem("Cut");
format.ClickItemR(0, skwShift);
format.DblClickItem("Cu?", skwCtrl);
format.DblClickItemR("Cut", skwAlt | skwCtrl);
format.ClickItemXY("Cut", 2, 3);
format.ClickItemRXY(0, 2, 3, skwShift | skwCtrl);

// A disabled item is clicked all the same (WPF ignores the click); CheckItem refuses it.
format.ClickItem("Copy");
format.ClickItem("Frozen");
format.CheckItem("Frozen", true);
Log.Message("frozen: " + App.Element("frozen").IsChecked);

// The item that lives in the overflow panel.
Log.Message("wrap visible " + format.wVisible("Wrap") + ", overflow open " + App.Element("format").IsOverflowOpen);
format.ClickItem("Wrap");
Log.Message("wrap checked " + App.Element("wrap").IsChecked + ", overflow open " + App.Element("format").IsOverflowOpen);
format.CheckItem("Wrap", false);
Log.Message("wrap checked " + App.Element("wrap").IsChecked + ", overflow open " + App.Element("format").IsOverflowOpen);

// Check buttons.
format.CheckItem("Bold", true);
format.CheckItem("Bold", -1);
format.CheckItem("Bold", 0);
format.CheckItem("Bold", 2);
format.CheckItem("Italic", true);
format.CheckItem("Italic", 5);
format.CheckItem("Italic", "1");
format.CheckItem("Italic", 1.0);
format.CheckItem("Mixed", 2);
Log.Message("mixed grayed " + format.wGrayed("Mixed") + ", checked " + format.wChecked("Mixed"));
format.CheckItem("Mixed", 1);
format.CheckItem("Mixed", cbUnChecked);
format.CheckItem("Mixed", false);
format.CheckItem("Left", true);
format.CheckItem("Sticky", true);
format.CheckItem("Cut", true);
format.CheckItem("Nothing", true);

function flags(item) {
    return item + ": pos " + format.wButtonPos(item) + ", check " + format.wIsCheckButton(item) +
           ", drop-down " + format.wIsDropDownButton(item) + ", separator " + format.wIsSeparatorButton(item) +
           ", enabled " + format.wEnabled(item) + ", visible " + format.wVisible(item) +
           ", grayed " + format.wGrayed(item);
}
var items = [0, 1, 2, "Bold", "Italic", "Mixed", "Left", "Sticky", 8, "Frozen", "Wrap"];
for (var k = 0; k < items.length; k++) Log.Message(flags(items[k]));
Log.Message("checked: cut " + format.wChecked("Cut") + ", italic " + format.wChecked("Italic"));
// "IsChecked" as a plain Boolean is not the boxed value that wChecked reads.
var plain = format.wChecked("Bold");

var narrow = App.Find("narrow");
var shown = [];
for (var n = 0; n < narrow.wButtonCount; n++) shown.push(narrow.wButtonText(n) + " " + narrow.wVisible(n));
Log.Message("narrow: " + shown.join(", "));
narrow.ClickItem("Print");

App.Find("locked").ClickItem(0);
App.Find("locked").CheckItem(0, true);
