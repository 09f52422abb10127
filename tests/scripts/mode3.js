//! app: controls.xaml
//! expect: [script] mode 3: -2147467259 Invalid state of the check-box.||Cannot change the state of the check-box. The cbGrayed state is valid only for those controls that have the IsThreeState property set to True.
//! expect: [script] mode 3, notice: no script error
//! expect: [script] mode 3: 0 log entries before this one
//! reject: [error]
//! reject: [notice]
// ErrorReportMode 3 passes the error on to a caller inside the module. A script is no such caller: no C++
// exception crosses COM, so the script sees what mode 2 shows it (an error raised to the script, notices
// passing silently), and the log stays empty.
Host.ErrorReportMode = 3;
var check = App.Find("check");
try {
    check.ClickButton(cbGrayed);
    Log.Message("mode 3: no script error");
} catch (e) {
    Log.Message("mode 3: " + e.number + " " + e.message.replace(/\r\n/g, "|"));
}
try {
    check.ClickButton(cbUnChecked);
    Log.Message("mode 3, notice: no script error");
} catch (e) {
    Log.Message("mode 3, notice: " + e.message);
}
Log.Message("mode 3: " + (Log.Count - 2) + " log entries before this one");
