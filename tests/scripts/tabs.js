//! app: tabs.xaml
//! exit: 1
//! expect: [script] tabs: 6 'General' 'Advanced' 'Network' 'Locked' 'Hidden' '', selected 0, apply visible false
//! expect: [message] The tab control page '2' was selected.
//! expect: [script] after ClickTab(2): 2
//! expect: [message] The tab control page 'Advanced' was selected.
//! expect: [script] after 'Adv*': 1, apply visible true
//! expect: [message] The tab control page 'Advanced' was selected.
//! expect: [script] after 'Advanced' again: 1
//! expect: [message] The tab control page 'Hidden' was selected.
//! expect: [script] after the collapsed 'Hidden': 4
//! expect: [error] The control item 'Locked' is disabled.
//! expect: [error] The control item '3' is disabled.
//! expect: [error] The control item 'Nowhere' not found.
//! expect:     Total number of items: 6.
//! expect: [error] The control item 'general' not found.
//! expect:     Total number of items: 6.
//! expect: [error] The control item '6' not found.
//! expect:     Total number of items: 6.
//! expect: [error] The control item '-1' not found.
//! expect:     Total number of items: 6.
//! expect: [error] An error occurred.
//! expect-reasons: 346 0x80020009 ()
//! expect:     mscorlib 0
//! expect:     Specified argument was out of the range of valid values.
//! expect:     Parameter name: index
//! expect: [script] after the failures: 4
//! expect: [error] The control is disabled. The action cannot be executed.
//! expect: [script] disabledTabs: 2 tabs, selected 0, caption 1 'Two'
//! expect: [script] more: false, details visible false
//! expect: [message] The control was expanded.
//! expect: [message] The control was expanded.
//! expect: [script] more: true, details visible true
//! expect: [message] The control was collapsed.
//! expect: [script] more: false, details visible false
//! expect: [script] more after wExpanded = true: true
//! expect: [error] The control is disabled. The action cannot be executed.
//! expect: [error] The control is disabled. The action cannot be executed.
//! expect: [script] frozen: true, then after wExpanded = false: false
//! expect: -- the script ran to its end: 29 log entries, 10 errors logged
// The tab control and the expander, errors reported to the log (mode 1; the other modes: modes.js).
var tabs = App.Find("tabs");
var captions = [];
for (var i = 0; i < tabs.wTabCount; i++) captions.push("'" + tabs.wTabCaption(i) + "'");
Log.Message("tabs: " + tabs.wTabCount + " " + captions.join(" ") + ", selected " + tabs.wFocusedTab +
            ", apply visible " + App.Element("apply").IsVisible);
tabs.ClickTab(2);
Log.Message("after ClickTab(2): " + tabs.wFocusedTab);
tabs.ClickTab("Adv*");
Log.Message("after 'Adv*': " + tabs.wFocusedTab + ", apply visible " + App.Element("apply").IsVisible);
tabs.ClickTab("Advanced");
Log.Message("after 'Advanced' again: " + tabs.wFocusedTab);
// A collapsed tab has no header on screen: the page is selected through "SelectedIndex".
tabs.ClickTab("Hidden");
Log.Message("after the collapsed 'Hidden': " + tabs.wFocusedTab);
tabs.ClickTab("Locked");
tabs.ClickTab(3);
tabs.ClickTab("Nowhere");
tabs.ClickTab("general");
tabs.ClickTab(6);
tabs.ClickTab(-1);
var outside = tabs.wTabCaption(6);
Log.Message("after the failures: " + tabs.wFocusedTab);

var disabledTabs = App.Find("disabledTabs");
disabledTabs.ClickTab(1);
Log.Message("disabledTabs: " + disabledTabs.wTabCount + " tabs, selected " + disabledTabs.wFocusedTab +
            ", caption 1 '" + disabledTabs.wTabCaption(1) + "'");

var more = App.Find("more");
function showMore() {
    Log.Message("more: " + more.wExpanded + ", details visible " + App.Element("details").IsVisible);
}
showMore();
more.Expand();
more.Expand();
showMore();
more.Collapse();
showMore();
more.wExpanded = true;
Log.Message("more after wExpanded = true: " + more.wExpanded);

var frozen = App.Find("frozen");
frozen.Expand();
frozen.Collapse();
var was = frozen.wExpanded;
frozen.wExpanded = false;
Log.Message("frozen: " + was + ", then after wExpanded = false: " + frozen.wExpanded);
