//! app: controls.xaml
//! args: --verbose
//! expect: [message] The button was clicked with the left mouse button.
//! expect: [script] holding 9 objects to the end
//! expect: -- the script ran to its end: 2 log entries, no error logged
//! expect: -- alive after the run: 0 automation objects still referenced, 0 host and 0 application objects
// Automation objects of every kind, a log entry and a .NET object, kept in global variables until the
// script ends: the host lets go of all of them, and nothing of the run outlives it.
var kept = [];
var names = ["mainWindow", "ok", "repeat", "toggle", "check", "red", "fancy"];
for (var i = 0; i < names.length; i++)
    kept.push(App.Find(names[i]));
kept[1].ClickButton();
kept.push(Log.Item(0), App.Element("check"));
var last = kept[kept.length - 1];
Log.Message("holding " + kept.length + " objects to the end");
