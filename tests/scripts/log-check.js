//! app: controls.xaml
//! exit: 1
//! expect: [check] ok is a button  (line 27)
//! expect: [error] Check failed: ok is a check box  (line 28)
//! expect:     a button is no check box
//! expect: [script] Log.Check gave false  (line 29)
//! expect: [script] Log.Check: the condition is undefined (a misspelt name, or a property that does not exist?); give true or false (a comparison).  (line 35)
//! expect: [script] Log.Check: the condition is null; give true or false (a comparison).
//! expect: [script] Log.Check: the condition is an object (a .NET value is read with .OleValue); give true or false (a comparison).
//! expect: [script] Log.Check: the condition is a number or another value that is not true or false; give true or false (a comparison).
//! expect: [script] Log.Check: the condition is a string; give true or false (a comparison).
//! expect: [script] Log.Check expects two or three arguments: the condition (true or false), the text that says what must hold and, if wanted, the details.
//! expect: [error] the script's own error  (line 38)
//! expect:     with its details
//! expect: [message] The button was clicked with the left mouse button.  (ok, ctrlWPFButton, line 41)
//! expect: [error] The control is disabled. The action cannot be executed.  (disabled, ctrlWPFButton, line 42)
//! expect: [message] The check box was clicked with the left mouse button.  (check, ctrlWPFCheckBox, line 45)
//! expect:     The control state has been changed to 'checked'.
//! expect: [script] check: ctrlWPFCheckBox, line 45, true  (line 46)
//! expect: [script] in a helper  (line 49)
//! expect: [check] the helper's line is its own  (line 51)
//! expect: -- the script ran to its end: 4 log entries, 3 errors logged
// Log.Check and Log.Error: the script's own checks and errors, with the script's line; an entry of a member
// names its element and its kind; a check's condition must be true or false, so that a typo cannot pass.
var ok = App.Find("ok");

Log.Check(App.Kind("ok") == ctrlWPFButton, "ok is a button");
var held = Log.Check(App.Kind("ok") == ctrlWPFCheckBox, "ok is a check box", "a button is no check box");
if (!held) Log.Message("Log.Check gave false");

var notTrueOrFalse = [{total: 3}.totl, null, ok, 1, "true"];
for (var i = 0; i < notTrueOrFalse.length; i++) {
    try {
        Log.Check(notTrueOrFalse[i], "never logged");
    } catch (e) { Log.Message(e.message); }
}
try { Log.Check(true); } catch (e) { Log.Message(e.message); }
Log.Error("the script's own error", "with its details");

// The elements that acted, with their kinds.
ok.ClickButton();
App.Find("disabled").ClickButton();
var check = App.Find("check");
Log.Clear();
check.ClickButton(cbChecked);
Log.Message("check: " + Log.Item(0).ElementKind + ", line " + Log.Item(0).Line + ", " + (Log.Item(0).Time > 0));

function helper(text) {
    Log.Message(text);
}
helper("in a helper"); Log.Check(Log.Item(Log.Count - 1).Line == 49, "the helper's line is its own");
