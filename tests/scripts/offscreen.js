//! app: offscreen.xaml
//! expect: [script] App.Find: 'hiddenButton' is not shown: its Visibility is Hidden.
//! expect: [script] App.Find: 'collapsedButton' is not shown: its Visibility is Collapsed.
//! expect: [script] App.Find: 'inCollapsed' is not shown: it is inside 'collapsedPanel', which is collapsed.
//! expect: [script] App.Find: 'inHidden' is not shown: it is inside a Border, which is hidden.
//! expect: [script] App.Find: 'inExpander' is not shown: it is inside the expander 'details', which is not expanded.
//! expect: [script] App.Find: 'QuantitySlider' is not shown: it is on the tab page 'Details' of 'settingsTabs', which is not selected.
//! expect: [script] App.Find: 'comboItem' is not shown: it is in the drop-down of 'combo', which is closed.
//! expect: [script] App.Find: 'openItem' is not shown: it is in the submenu of 'fileMenu', which is closed.
//! expect: [script] App.Find: 'overflowCheck' is not shown: it is in the overflow panel of 'bar', which is closed.
//! expect: [script] App.Find: 'ownerMenu' is not shown: it is in the context menu of 'owner', which is not open.
//! expect: [script] App.Find: 'ownerItem' is not shown: it is in the context menu of 'owner', which is not open.
//! expect: [script] App.Find: 'farItem' is not shown: it is item 8 of 'longList', which has generated no container for it (the item is out of view).
//! expect: [script] App.Find: 'documents' is a node of the tree view 'folders': tree nodes have no objects of their own, the tree view's object reaches them by their paths.
//! expect: [script] App.Find: 'beyondEdge' is not shown: it lies outside its window.
//! expect: [script] shown: onGeneral
//! expect: [message] The tab control page 'Details' was selected.  (settingsTabs, ctrlWPFTabControl, line 31)
//! expect: [script] shown: QuantitySlider  (line 32)
//! expect: -- the script ran to its end: 17 log entries, no error logged
// App.Find of an element that exists but is not shown says why, naming the first reason up from it.
var names = ["hiddenButton", "collapsedButton", "inCollapsed", "inHidden", "inExpander", "QuantitySlider", "comboItem",
             "openItem", "overflowCheck", "ownerMenu", "ownerItem", "farItem", "documents", "beyondEdge",
             "onGeneral"];
for (var i = 0; i < names.length; i++) {
    try {
        if (App.Find(names[i])) Log.Message("shown: " + names[i]);
    } catch (e) {
        Log.Message(e.message);
    }
}
App.Find("settingsTabs").ClickTab("Details");
if (App.Find("QuantitySlider")) Log.Message("shown: QuantitySlider");
