//! app: ranges.xaml
//! exit: 1
//! expect: [script] scroll bar, mode 0: 0 new log entries, no script error
//! expect: [error] Failed to set the scroll position to 99.000000. 50.000000 was set instead of it.
//! expect:     Minimum: 0.000000 maximum: 50.000000.
//! expect: [script] scroll bar, mode 1: 1 new log entries, no script error
//! expect: [script] scroll bar, mode 2: -2147467259 Failed to set the scroll position to 99.000000. 50.000000 was set instead of it.||Minimum: 0.000000 maximum: 50.000000.
//! expect: [script] track bar, mode 0: 0 new log entries, no script error
//! expect: [error] Tick 4 not found.
//! expect:     Total number of ticks: 4.
//! expect: [script] track bar, mode 1: 1 new log entries, no script error
//! expect: [script] track bar, mode 2: -2147467259 Tick 4 not found.||Total number of ticks: 4.
//! expect: [script] scroll helper, mode 0: 0 new log entries, no script error
//! expect: [error] Failed to set the scroll position to 999.000000. 800.000000 was set instead of it.
//! expect:     Minimum: 0.000000 maximum: 800.000000.
//! expect: [script] scroll helper, mode 1: 1 new log entries, no script error
//! expect: [script] scroll helper, mode 2: -2147467259 Failed to set the scroll position to 999.000000. 800.000000 was set instead of it.||Minimum: 0.000000 maximum: 800.000000.
//! expect: [script] edit, mode 0: 0 new log entries, no script error
//! expect: [error] Failed to set the text 'abcdefgh'. 'abcde' was set instead of it.
//! expect:     Limit: 5.
//! expect: [script] edit, mode 1: 1 new log entries, no script error
//! expect: [script] edit, mode 2: -2147467259 Failed to set the text 'abcdefgh'. 'abcde' was set instead of it.||Limit: 5.
//! expect: [script] helper made in mode 2, used in mode 0: -2147467259 Failed to set the scroll position to 999.000000. 800.000000 was set instead of it.||Minimum: 0.000000 maximum: 800.000000.
// The report modes of one failing member of each family as a script sees them. A scroll helper starts with
// the modes of the control that made it, and keeps its own afterwards.
function attempt(what, action) {
    var before = Log.Count;
    try {
        action();
        Log.Message(what + ": " + (Log.Count - before) + " new log entries, no script error");
    } catch (e) {
        Log.Message(what + ": " + e.number + " " + e.message.replace(/\r\n/g, "|"));
    }
    Log.Clear();
}
var cases = [
    ["scroll bar", function () { App.Find("hbar").wPosition = 99; }],
    ["track bar", function () { var t = App.Find("stepped").wTicPosition(4); }],
    ["scroll helper", function () { App.Find("viewer").HScroll.Pos = 999; }],
    ["edit", function () { App.Find("name").wText = "abcdefgh"; }]
];
for (var i = 0; i < cases.length; i++)
    for (var mode = 0; mode <= 2; mode++) {
        Host.ErrorReportMode = mode;
        attempt(cases[i][0] + ", mode " + mode, cases[i][1]);
    }
Host.ErrorReportMode = 2;
var helper = App.Find("viewer").HScroll;
Host.ErrorReportMode = 0;
attempt("helper made in mode 2, used in mode 0", function () { helper.Pos = 999; });
