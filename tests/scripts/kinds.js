//! app: controls.xaml
//! args: --verbose
//! expect: [script] mainWindow: 100 System.Windows.Window object
//! expect: [script] stack: 50 System.Windows.Controls.StackPanel null
//! expect: [script] border: 50 System.Windows.Controls.Border null
//! expect: [script] label: 50 System.Windows.Controls.TextBlock null
//! expect: [script] wrap: 50 System.Windows.Controls.WrapPanel null
//! expect: [script] ok: 1 System.Windows.Controls.Button object
//! expect: [script] repeat: 15 System.Windows.Controls.Primitives.RepeatButton object
//! expect: [script] toggle: 14 System.Windows.Controls.Primitives.ToggleButton object
//! expect: [script] grid: 50 System.Windows.Controls.Grid null
//! expect: [script] check: 2 System.Windows.Controls.CheckBox object
//! expect: [script] dock: 50 System.Windows.Controls.DockPanel null
//! expect: [script] red: 9 System.Windows.Controls.RadioButton object
//! expect: [script] canvas: 50 System.Windows.Controls.Canvas null
//! expect: [script] fancy: 100 ScriptTests.Controls.FancyButton object
//! expect: [script] fancyCheck: 100 ScriptTests.Controls.FancyCheck object
//! expect: [script] scrollBar: 10 System.Windows.Controls.Primitives.ScrollBar object
//! expect: [script] slider: 13 System.Windows.Controls.Slider object
//! expect: [script] viewer: 16 System.Windows.Controls.ScrollViewer object
//! expect: [script] flow: 25 System.Windows.Controls.FlowDocumentScrollViewer object
//! expect: [script] reader: 27 MS.Internal.Documents.ReaderScrollViewer object
//! expect: [script] pages: 26 System.Windows.Controls.DocumentViewer object
//! expect: [script] edit: 5 System.Windows.Controls.TextBox object
//! expect: [script] secret: 28 System.Windows.Controls.PasswordBox object
//! expect: [script] tabs: 11 System.Windows.Controls.TabControl object
//! expect: [script] expander: 6 System.Windows.Controls.Expander object
//! expect: [script] constants: 1 2 9 14 15 50 100 0 1 2 8192 16384 32768
//! expect: [script] after SetClassNames: fancy 1, ok 100, button kind ScriptTests.Controls.Fancy*
//! expect: [script] defaults kept: System.Windows.Controls.Button
//! expect: [message] The button was clicked with the left mouse button.
//! expect: [script] fancy is a button now: [message] The button was clicked with the left mouse button.
//! expect: [script] SetClassNames(50): Host.SetClassNames: kind 50 has no key of its own, so the options cannot address it.
//! expect: [script] SetClassNames(77): Host.SetClassNames: the module has no control kind 77.
//! expect: -- the script ran to its end: 32 log entries, no error logged
//! expect: -- alive after the run: 0 automation objects still referenced, 0 host and 0 application objects
// Classification and App.Find for every kind there is so far: buttons, range and text controls, the tab
// control and the expander, decorations and layout (no object), the base kind (windows and user classes);
// then the class-name options. The objects, a log entry and a .NET object stay in a global variable to
// the end: nothing of the run outlives it.
var kept = [];
var names = ["mainWindow", "stack", "border", "label", "wrap", "ok", "repeat", "toggle", "grid", "check", "dock",
             "red", "canvas", "fancy", "fancyCheck", "scrollBar", "slider", "viewer", "flow", "reader", "pages",
             "edit", "secret", "tabs", "expander"];
for (var i = 0; i < names.length; i++) {
    var object = App.Find(names[i]);
    kept.push(object);
    Log.Message(names[i] + ": " + App.Kind(names[i]) + " " + App.ClassName(names[i]) +
                (object === null ? " null" : " object"));
}
Log.Message("constants: " + [ctrlWPFButton, ctrlWPFCheckBox, ctrlWPFRadioButton, ctrlWPFToggleButton,
            ctrlWPFRepeatButton, ctrlWPFActTransparent, ctrlWPFBaseCtrl, cbUnChecked, cbChecked, cbGrayed,
            skwShift, skwCtrl, skwAlt].join(" "));

Host.SetClassNames(ctrlWPFButton, ["ScriptTests.Controls.Fancy*"]);
Log.Message("after SetClassNames: fancy " + App.Kind("fancy") + ", ok " + App.Kind("ok") + ", button kind " +
            Host.ClassNames(ctrlWPFButton));
Log.Message("defaults kept: " + Host.DefaultClassNames(ctrlWPFButton));
App.Find("fancy").ClickButton();
kept.push(Log.Item(Log.Count - 1), App.Element("check"));
Log.Message("fancy is a button now: [" + kept[kept.length - 2].Kind + "] " + kept[kept.length - 2].Text);

var kinds = [ctrlWPFActTransparent, 77];
for (var k = 0; k < kinds.length; k++) {
    try {
        Host.SetClassNames(kinds[k], ["X"]);
        Log.Message("SetClassNames(" + kinds[k] + ") took the names");
    } catch (e) {
        Log.Message("SetClassNames(" + kinds[k] + "): " + e.message);
    }
}
