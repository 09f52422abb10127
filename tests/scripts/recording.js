//! app: recording.xaml
//! expect: [script] 0 8 0 fruits | App.Find("fruits").ClickItem(0);
//! expect: [script] 1 8 Banana fruits | App.Find("fruits").ClickItem("Banana");
//! expect: [script] 2 8 2 fruits | App.Find("fruits").ClickItem(2);
//! expect: [script] 3 8 Banana fruits | App.Find("fruits").ClickItem("Banana", skwCtrl);
//! expect: [script] 4 3 none  | App.Find("theme").DropDown();
//! expect: [script] 5 4 Dark theme | App.Find("theme").ClickItem("Dark");
//! expect: [script] 6 100 none  | User.Click("userCombo", 192, 11);
//! expect: [script] 7 4 none  | User.Click("userItem", 192, 8);
//! expect: [script] 8 24 |Root|Child|Leaf tree | App.Find("tree").ClickItem("|Root|Child|Leaf");
//! expect: [script] 9 24 |Root|Child tree | App.Find("tree").DblClickItem("|Root|Child");
//! expect: [script] 10 50 none framed | App.Find("framed").ClickButton();
//! expect: [script] 11 2 Italic bar | App.Find("bar").ClickItem("Italic");
//! expect: [script] 12 18 File menu | App.Find("menu").WPFMenu.Click("File");
//! expect: [script] 13 18 File|Word wrap menu | App.Find("menu").WPFMenu.Check("File|Word wrap", true);
//! expect: [script] 14 8 0 fruits | App.Find("fruits").ClickItemR(0);
//! expect: [script] 15 18 Copy fruits | App.Find("fruits").PopupMenu.Click("Copy");
//! expect: [script] 16 12 Advanced tabs | App.Find("tabs").ClickTab("Advanced");
//! expect: [script] 17 5 none  | App.Find("notes").wText = "typed";
//! expect: [script] 18 2 Italic bar | App.Find("bar").ClickItem("Italic");
//! expect: [script] 19 1 none  | User.Click("ok", 192, 11);
//! expect: [script] 20 5 none  | App.Find("scroller").VScroll.Pos = 30;
//! expect:     User.Click("notes", 183, 60);
//! expect: [script] the border pressed on itself: visual path '', class System.Windows.Controls.Border
//! expect: [script] the disabled button: enabled false
//! expect: [script] after Stop: 21 events, script of 22 lines
//! expect: -- the script ran to its end: 24 log entries, no error logged
// Recording from a script: what the module attached to each event and the statement the host wrote.
Recorder.Start();
User.ClickItem("fruits", 0);                  // 0
User.ClickItem("fruits", 1);                  // 1
User.ClickItem("fruits", 2);                  // 2: "apple" repeats "Apple" but for the case: its index
User.ClickItem("fruits", 1, skwCtrl);         // 3
User.Click("theme");                          // 4 opens the list ...
User.ClickItem("theme", 1);                   // 5 whose item is chosen
User.Click("userCombo");                      // 6 a user class: its items have no combo-box owner
User.ClickItem("userCombo", 0);               // 7
User.ClickItem("child", 0);                   // 8 two levels deep
User.DoubleClickItem("root", 0);              // 9
User.Click("frame");                          // 10 a border inside a button, pressed on itself
User.ClickItem("bar", 1);                     // 11
User.ClickItem("menu", 0);                    // 12 opens File
User.Click("wrap");                           // 13
User.RightClickItem("fruits", 0);             // 14 opens the context menu
User.ClickItem("fruitMenu", 0);               // 15
User.ClickItem("tabs", 1);                    // 16
User.Type("notes", "typed");                  // 17
User.ClickItem("bar", 1);                     // 18
App.Element("ok").IsEnabled = false;
User.Click("ok");                             // 19 a disabled button: recorded as the press it was
// A scroll position that changed since the recorder last saw it is set before the action.
App.Element("scroller").ScrollToVerticalOffset(30);
User.Click("notes");                          // 20
for (var i = 0; i < Recorder.Count; i++) {
    var e = Recorder.Event(i);
    Log.Message(i + " " + e.Kind + " " + (e.Designator === undefined ? "none" : e.Designator) + " " + e.Owner +
                " | " + e.Statement);
}
Log.Message("the border pressed on itself: visual path '" + Recorder.Event(10).VisualPath + "', class " +
            Recorder.Event(10).ClassName);
Log.Message("the disabled button: enabled " + Recorder.Event(19).Enabled);
Recorder.Stop();
User.Click("framed");
Log.Message("after Stop: " + Recorder.Count + " events, script of " + (Recorder.Script.split("\r\n").length - 1) + " lines");
