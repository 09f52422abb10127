//! app: controls.xaml
//! exit: 2
//! expect: [script] mode 0: 0 new log entries, no script error
//! expect: [error] Invalid state of the toggle button.
//! expect:     Only the following values can be used as the toggle button state: 0, 1, 2, True, False.
//! expect: [script] mode 1: 1 new log entries, no script error
//! expect: [script] mode 2: -2147467259 Invalid state of the toggle button.||Only the following values can be used as the toggle button state: 0, 1, 2, True, False.
//! expect: [script] mode 2, empty details: -2147467259 The control is disabled. The action cannot be executed.||
//! expect: [script] mode 2, notice: 0 new log entries, no script error
//! expect: [script] made in mode 2, used in mode 0: -2147467259 Invalid state of the toggle button.||Only the following values can be used as the toggle button state: 0, 1, 2, True, False.
//! expect: [script] mode 3: -2147467259 Invalid state of the check-box.||Cannot change the state of the check-box. The cbGrayed state is valid only for those controls that have the IsThreeState property set to True.
//! expect: [script] mode 3, notice: 0 new log entries, no script error
//! expect: [script] message mode 0: 0 new log entries, no script error
//! expect: [message] The button was clicked with the left mouse button.
//! expect: [script error] line 51, column 1: Invalid state of the check-box.
//! expect:     > App.Find("check").ClickButton(cbGrayed);
//! expect:     Cannot change the state of the check-box. The cbGrayed state is valid only for those controls that have the IsThreeState property set to True.
//! expect: -- the script failed
// The report modes as a script sees them; each object starts with the modes the host has when it is made.
// Mode 3 hands the error to a caller inside the module; a script is none, and no C++ exception crosses COM:
// the script sees what mode 2 shows it. At the end, an error the script does not catch ends it (exit 2).
function attempt(what, action) {
    var before = Log.Count;
    try {
        action();
        Log.Message(what + ": " + (Log.Count - before) + " new log entries, no script error");
    } catch (e) {
        Log.Message(what + ": " + e.number + " " + e.message.replace(/\r\n/g, "|"));
    }
}
var toggle;
Host.ErrorReportMode = 0;
attempt("mode 0", function () { App.Find("toggle").ClickButton(7); });
Host.ErrorReportMode = 1;
attempt("mode 1", function () { App.Find("toggle").ClickButton(7); });
Host.ErrorReportMode = 2;
attempt("mode 2", function () { toggle = App.Find("toggle"); toggle.ClickButton(7); });
attempt("mode 2, empty details", function () { App.Find("disabled").ClickButton(); });
attempt("mode 2, notice", function () { toggle.ClickButton(cbUnChecked); });
Host.ErrorReportMode = 0;
attempt("made in mode 2, used in mode 0", function () { toggle.ClickButton(7); });
Host.ErrorReportMode = 3;
attempt("mode 3", function () { App.Find("check").ClickButton(cbGrayed); });
attempt("mode 3, notice", function () { App.Find("check").ClickButton(cbUnChecked); });
Host.ErrorReportMode = 1;
Host.MessageReportMode = 0;
attempt("message mode 0", function () { App.Find("ok").ClickButton(); });
Host.MessageReportMode = 1;
App.Find("ok").ClickButton();
Host.ErrorReportMode = 2;
App.Find("check").ClickButton(cbGrayed);
Log.Message("not reached");
