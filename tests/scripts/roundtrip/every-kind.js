//! expect: [script] 70 actions recorded
//! expect: [script] abortButton: kind 1, enabled false
//! expect: [script] Ap* of fruits: kind 8, designator Ap*, owner fruits
//! expect: [script] a?c of fruits: kind 8, designator a?c, owner fruits
//! expect: [script] Frozen of fruits: kind 8, enabled false
//! expect: [script] _Details of tabs: kind 12, designator _Details, owner tabs
//! expect: [script] Rep* of the tree: kind 24, designator |Projects|Rep*, owner tree
//! expect: [script] c under a|b: kind 24, designator |a|b|c, owner tree
//! expect: [script] Why? of File: kind 18, designator File|Why?, owner mainMenu
//! expect: [script] Last] of [Drafts: kind 18, designator File|[[Drafts|Last], owner mainMenu
//! expect: [script] Grid lines of the toolbar's menu: kind 18, designator Insert|Grid lines, owner toolMenu
//! expect: [script] the headed expander's text: kind 50, owner headed
// A user's session over every control kind of its own application, recorded by check-roundtrip.sh into
// JScript and into VBScript and replayed on fresh applications; then what the module attached to some of
// the events, as a script reads it.
var at = [];
function mark(name) { at[name] = Recorder.Count; }
User.Click("okButton");
mark("abortButton");
User.Click("abortButton");                    // disabled: a press that does nothing
User.Click("frame");                          // a border inside a button
User.Click("more");
User.Click("remember");
User.Click("remember");
User.Click("frozenCheck");                    // disabled
User.Click("darkMode");
User.Click("large");
User.Click("unnamedPanel", 10, 10);           // a check box without a name
User.Click("unnamedPanel", 100, 10);          // a toggle button without a name
User.Type("userName", "alexander");
User.Type("lockedName", "taken?");            // disabled: takes nothing
User.Type("password", "secret");
User.Click("volume", 250, 10);
User.Click("hbar", 250, 8);
User.Click("fine", 280, 8);                   // three small steps: 0.1 + 0.1 + 0.1 is no 0.3
User.Click("fine", 280, 8);
User.Click("fine", 280, 8);
User.Click("details", 10, 8);                 // the expander's header
User.Click("extra");
mark("headedText");
User.Click("headedText");                     // an expander whose header is an element
User.ClickItem("fruits", 0);
mark("Ap*");
User.ClickItem("fruits", 1, skwCtrl);         // "Ap*" would find "Apple"
User.ClickItem("fruits", 3, skwCtrl);         // "Mark *" would find "Mark all"
mark("a?c");
User.ClickItem("fruits", 5, skwCtrl);         // "a?c" would find "abc"
mark("Frozen");
User.ClickItem("fruits", 6);                  // a disabled item
User.RightClickItem("fruits", 2);             // opens the context menu
User.ClickItem("fruitMenu", 1);               // a disabled menu item: the menu stays open
User.ClickItem("fruitMenu", 2);               // opens "Send to"
User.ClickItem("sendTo", 1);
User.ClickItem("files", 2);                   // "t*.txt" would find "two.txt"
User.DoubleClickItem("files", 0);
User.Click("theme");
User.ClickItem("theme", 1);                   // "Li*" would find "Light"
User.Click("theme");
User.Click("okButton");                       // only closes the drop-down
mark("_Details");
User.ClickItem("tabs", 1);
User.ClickItem("tabs", 2);                    // a disabled tab
User.ClickItem("tabs", 4);                    // "T?ols" would find "Tools"
User.ClickItem("tabs", 3);
mark("Rep*");
User.ClickItem("projects", 1);                // "Rep*" would find "Report"
User.ClickItem("projects", 2);                // "[draft]" would read as an index
User.ClickItem("tree", 1);                    // "Pro*" would find "Projects"
User.ClickItem("proStar", 0);
mark("c");
User.ClickItem("aOrB", 0);                    // a level with "|"
User.ClickItem("tree", 3);                    // a disabled node
User.Click("tree", 8, 8);                     // the first node's expander
User.Type("notes", "line one\r\nsaid \"hi\" \\ done");  // a line break, quotes, a backslash
User.Click("scroller", 280, 35);              // the scroll viewer's scroll bar
User.Click("flow", 280, 35);
User.Click("reader", 280, 35);
User.Click("pages", 280, 75);
User.ClickItem("mainMenu", 0);                // opens File
User.ClickItem("fileMenu", 2);                // "Mark *" would find "Mark all"
User.ClickItem("mainMenu", 0);
mark("Why?");
User.ClickItem("fileMenu", 4);                // "Why?" would find "Whys"
User.ClickItem("mainMenu", 0);
User.ClickItem("fileMenu", 5);                // a disabled item: the menu stays open
User.ClickItem("fileMenu", 6);                // opens "[Drafts"
mark("Last]");
User.ClickItem("drafts", 1);                  // a level that starts with "[" in a path that ends with "]"
User.ClickItem("mainMenu", 1);
User.Click("wordWrap");
User.ClickItem("mainMenu", 1);
User.Click("okButton");                       // only closes the menu
User.ClickItem("formatBar", 1);
User.ClickItem("formatBar", 3);               // a disabled button of the toolbar
User.ClickItem("formatBar", 5);               // "Ap*" would find "Apple"
User.ClickItem("toolMenu", 0);                // a menu inside the toolbar
mark("Grid lines");
User.Click("gridLines");
Log.Message(Recorder.Count + " actions recorded");

function fact(what, name, read) {
    var e = Recorder.Event(at[name]);
    Log.Message(what + ": kind " + e.Kind + ", " + read(e));
}
function designated(e) { return "designator " + e.Designator + ", owner " + e.Owner; }
fact("abortButton", "abortButton", function (e) { return "enabled " + e.Enabled; });
fact("Ap* of fruits", "Ap*", designated);
fact("a?c of fruits", "a?c", designated);
fact("Frozen of fruits", "Frozen", function (e) { return "enabled " + e.Enabled; });
fact("_Details of tabs", "_Details", designated);
fact("Rep* of the tree", "Rep*", designated);
fact("c under a|b", "c", designated);
fact("Why? of File", "Why?", designated);
fact("Last] of [Drafts", "Last]", designated);
fact("Grid lines of the toolbar's menu", "Grid lines", designated);
fact("the headed expander's text", "headedText", function (e) { return "owner " + e.Owner; });
