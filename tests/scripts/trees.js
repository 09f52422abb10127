//! app: trees.xaml
//! exit: 1
//! expect: [script] top level: 4
//! expect: [script] Root|Child|Leaf: 'Leaf' expanded false, selected false, children none
//! expect: [script] [1]|[0]: 'First of second' expanded false, selected false, children none
//! expect: [script] 1: 'Second' expanded false, selected false, children 1
//! expect: [script] [x]: 'Root' expanded true, selected false, children 2
//! expect: [script] Col*: 'Colours' expanded false, selected false, children 2
//! expect: [script] Empty: 'Empty' expanded false, selected false, children none
//! expect: [message] The tree item was clicked with the left mouse button.
//! expect: [script] after Click: 'Leaf' expanded false, selected true, children none
//! expect: [message] The tree item was clicked with the left mouse button.
//! expect: [script] Child after ClickItem |Root|Child: 'Child' expanded true, selected true, children 2
//! expect: [script] Leaf then: 'Leaf' expanded false, selected false, children none
//! expect: [message] The tree item was clicked with the center mouse button.
//! expect: [message] The tree item was clicked with the right mouse button.
//! expect: [script] Leaf after the middle and right clicks: 'Leaf' expanded false, selected false, children none
//! expect: [message] The tree item was double-clicked with the left mouse button.
//! expect: [script] Second after DblClickItem: 'Second' expanded true, selected true, children 1
//! expect: [message] The tree item was double-clicked with the right mouse button.
//! expect: [message] The tree item was double-clicked with the center mouse button.
//! expect: [message] The tree item was double-clicked with the left mouse button.
//! expect: [script] Second after DblClick: 'Second' expanded false, selected true, children 1
//! expect: [message] The tree item was clicked with the right mouse button.
//! expect: [message] The tree item was clicked with the center mouse button.
//! expect: [message] The tree item was double-clicked with the right mouse button.
//! expect: [message] The tree item was double-clicked with the center mouse button.
//! expect: [script] Other leaf: 'Other leaf' expanded false, selected false, children none
//! expect: [message] The tree item was expanded.
//! expect: [notice] The tree item is already expanded.
//! expect: [message] The tree item was collapsed.
//! expect: [notice] The tree item is already collapsed.
//! expect: [notice] The tree item is already collapsed.
//! expect: [message] The tree item was expanded.
//! expect: [message] The tree item was collapsed.
//! expect: [notice] The tree item is already collapsed.
//! expect: [message] The tree item was expanded.
//! expect: [script] Second: 'Second' expanded true, selected true, children 1
//! expect: [script] Colours|Red: 'Red' expanded false, selected false, children none
//! expect: [message] The tree item was clicked with the left mouse button.
//! expect: [error] An error occurred.
//! expect-reasons: 96 0x80020006 () IsExpanded
//! expect: [message] The tree item was expanded.
//! expect: [script] Colours|Red once Colours is expanded: 'Red' expanded false, selected false, children none
//! expect: [message] The tree item was clicked with the left mouse button.
//! expect: [script] Colours|Green: 'Green' expanded false, selected true, children none
//! expect: [script] Red held from before: 'Red' expanded false, selected false, children none
//! expect: [message] The tree item was clicked with the left mouse button.
//! expect: [script] Red clicked now: 'Red' expanded false, selected true, children none
//! expect: [error] The control item 'Nowhere' not found.
//! expect:     Total number of items: 2.
//! expect: [error] The control item 'Nothing' not found.
//! expect:     Total number of items: 0.
//! expect: [error] The control item 'Deeper' not found.
//! expect:     Total number of items: 0.
//! expect: [error] The control item '9' not found.
//! expect:     Total number of items: 4.
//! expect: [error] The control item '' not found.
//! expect:     Total number of items: 4.
//! expect: [error] The control item '' not found.
//! expect:     Total number of items: 4.
//! expect: [error] The control item '4' not found.
//! expect:     Total number of items: 4.
//! expect: [script] after the failures: true
//! expect: [error] The control is disabled. The action cannot be executed.
//! expect: [error] The control is disabled. The action cannot be executed.
//! expect: [script] Frozen root: 'Frozen root' expanded false, selected false, children 1
//! expect: [script] items made in mode 2, used in mode 0: -2147467259 The control item 'Nowhere' not found.||Total number of items: 4.
//! expect: [script] node made in mode 2, used in mode 0: -2147467259 The control is disabled. The action cannot be executed.||
//! expect: [script] a node in mode 2: -2147467259 The control is disabled. The action cannot be executed.||
//! expect: -- the script ran to its end: 60 log entries, 10 errors logged

// The tree view from JScript: nodes by path, name and index, the clicks with each button, expanding and
// collapsing with their notices, the node's reads, a level whose containers do not exist yet, failures;
// then the report modes of the objects a tree view hands out.
var tree = App.Find("tree");
var top = tree.wItems;
function show(what, node) {
    Log.Message(what + ": '" + node.Text + "' expanded " + node.Expanded + ", selected " + node.Selected +
                ", children " + (node.Items == null ? "none" : node.Items.Count));
}
Log.Message("top level: " + top.Count);
show("Root|Child|Leaf", top.Item("Root|Child|Leaf"));
show("[1]|[0]", top.Item("[1]|[0]"));
show("1", top.Item(1));
show("[x]", top.Item("[x]"));
show("Col*", top.Item("Col*"));
show("Empty", top.Item("Empty"));

// The clicks act on the node's header: a left click selects it, a double click toggles it.
var leaf = top.Item("Root|Child|Leaf");
leaf.Click();
show("after Click", leaf);
tree.ClickItem("|Root|Child");
show("Child after ClickItem |Root|Child", top.Item("Root|Child"));
show("Leaf then", leaf);
tree.ClickItemM("Root|Child|Leaf");
tree.ClickItemR("Root|Child|Leaf", skwCtrl);
show("Leaf after the middle and right clicks", leaf);
tree.DblClickItem("Second");
show("Second after DblClickItem", top.Item("Second"));
tree.DblClickItemR("Second");
tree.DblClickItemM("Second");
top.Item("Second").DblClick();
show("Second after DblClick", top.Item("Second"));
var other = top.Item("Root|Child|Other leaf");
other.ClickR();
other.ClickM();
other.DblClickR();
other.DblClickM();
show("Other leaf", other);

// Expanding and collapsing: once each, then the notices.
var second = top.Item("Second");
second.Expand();
second.Expand();
second.Collapse();
second.Collapse();
second.Expand(false);
second.Expand(true);
tree.CollapseItem("Second");
tree.CollapseItem("Second");
tree.ExpandItem("[1]");
show("Second", second);

// Colours is collapsed: its strings have no containers yet. The path reaches them through their data
// items; they cannot be expanded, and a click finds no header to place (the host clicks nothing).
var red = top.Item("Colours|Red");
show("Colours|Red", red);
red.Click();
red.Expand();
top.Item("Colours").Expand();
show("Colours|Red once Colours is expanded", top.Item("Colours|Red"));
tree.ClickItem("Colours|Green");
show("Colours|Green", top.Item("Colours|Green"));
show("Red held from before", red);
red.Click();
show("Red clicked now", red);

// Failures: the item-addressing errors of the level that could not be resolved.
var found = top.Item("Root|Nowhere");
found = top.Item("Empty|Nothing");
found = top.Item("Root|Child|Leaf|Deeper");
found = top.Item("[9]");
found = top.Item("||Root");
tree.ClickItem("||Root|Child");
tree.ExpandItem(4);
Log.Message("after the failures: " + (found == null));
App.Find("frozen").ClickItem("Frozen root");
App.Find("frozen").wItems.Item("Frozen root").Expand();
show("Frozen root", App.Find("frozen").wItems.Item(0));

// The objects a tree view hands out take the host's report modes when the script gets them and keep them
// (the modes: modes.js).
Host.ErrorReportMode = 2;
var items = App.Find("tree").wItems;
var frozenRoot = App.Find("frozen").wItems.Item("Frozen root");
Host.ErrorReportMode = 0;
function attempt(what, action) {
    try {
        action();
        Log.Message(what + ": no script error");
    } catch (e) {
        Log.Message(what + ": " + e.number + " " + e.message.replace(/\r\n/g, "|"));
    }
}
attempt("items made in mode 2, used in mode 0", function () { var n = items.Item("Nowhere"); });
attempt("node made in mode 2, used in mode 0", function () { frozenRoot.Expand(); });
Host.ErrorReportMode = 2;
attempt("a node in mode 2", function () { App.Find("frozen").wItems.Item("Frozen root").Expand(); });
