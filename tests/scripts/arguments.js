//! app: controls.xaml
//! exit: 2
//! expect: [script] App.Find expects one argument: the element's name.
//! expect: [script] App.Find expects one argument: the element's name.
//! expect: [script] Log.Message expects one or two arguments: the text and, if wanted, the details.
//! expect: [script] Log.Count is read-only.
//! expect: [script] Log.Clear is a method and takes no value.
//! expect: [script] Host.ErrorReportMode is a property and takes no arguments.
//! expect: [script error] line 22, column 1: Log.Item expects one argument: the index of the entry, from 0.
//! expect:     > Log.Item();
//! expect: -- the script failed
// The object model's own members say in words what they take; uncaught, the words come with the line.
var wrong = [
    function () { App.Find(); },
    function () { App.Find("ok", "cancel"); },
    function () { Log.Message(); },
    function () { Log.Count = 3; },
    function () { Log.Clear = 1; },
    function () { Host.ErrorReportMode(1); }
];
for (var i = 0; i < wrong.length; ++i) try { wrong[i](); } catch (e) { Log.Message(e.message); }
Log.Item();
Log.Message("never runs");
