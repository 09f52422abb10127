//! app: controls.xaml
//! exit: 1
//! expect: [script] mode 0: 0 new log entries, no script error
//! expect: [error] Invalid state of the toggle button.
//! expect:     Only the following values can be used as the toggle button state: 0, 1, 2, True, False.
//! expect: [script] mode 1: no script error
//! expect: [script] mode 2: -2147467259 Invalid state of the toggle button.||Only the following values can be used as the toggle button state: 0, 1, 2, True, False.
//! expect: [script] mode 2, empty details: The control is disabled. The action cannot be executed.||
//! expect: [script] mode 2, notice: 0 new log entries, no script error
//! expect: [script] made in mode 2, used in mode 0: Invalid state of the toggle button.||Only the following values can be used as the toggle button state: 0, 1, 2, True, False.
//! expect: [script] message mode 0: 0 new log entries
//! expect: [message] The button was clicked with the left mouse button.
//! expect: -- the script ran to its end: 9 log entries, 1 error logged
//! reject: [notice]
// The report modes as a script sees them. Each object starts with the modes the host has when it is made.
function attempt(what, action) {
    var before = Log.Count;
    try {
        action();
        Log.Message(what + ": " + (Log.Count - before) + " new log entries, no script error");
    } catch (e) {
        Log.Message(what + ": " + e.message.replace(/\r\n/g, "|"));
    }
}

Host.ErrorReportMode = 0;
attempt("mode 0", function () { App.Find("toggle").ClickButton(7); });

Host.ErrorReportMode = 1;
try {
    App.Find("toggle").ClickButton(7);
    Log.Message("mode 1: no script error");
} catch (e) {
    Log.Message("mode 1: " + e.message);
}

Host.ErrorReportMode = 2;
var toggle = App.Find("toggle");
try {
    toggle.ClickButton(7);
} catch (e) {
    Log.Message("mode 2: " + e.number + " " + e.message.replace(/\r\n/g, "|"));
}
attempt("mode 2, empty details", function () { App.Find("disabled").ClickButton(); });
attempt("mode 2, notice", function () { toggle.ClickButton(cbUnChecked); });

Host.ErrorReportMode = 0;
attempt("made in mode 2, used in mode 0", function () { toggle.ClickButton(7); });

Host.ErrorReportMode = 1;
Host.MessageReportMode = 0;
var before = Log.Count;
App.Find("ok").ClickButton();
Log.Message("message mode 0: " + (Log.Count - before) + " new log entries");
Host.MessageReportMode = 1;
App.Find("ok").ClickButton();
