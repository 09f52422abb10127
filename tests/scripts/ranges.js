//! app: ranges.xaml
//! exit: 1
//! expect: [script] hbar: pos 10, min 0, max 50
//! expect: [script] hbar after 25: 25
//! expect: [error] Failed to set the scroll position to 80.000000. 50.000000 was set instead of it.
//! expect:     Minimum: 0.000000 maximum: 50.000000.
//! expect: [script] hbar after 80: 50
//! expect: [error] Failed to set the scroll position to -5.000000. 0.000000 was set instead of it.
//! expect:     Minimum: 0.000000 maximum: 50.000000.
//! expect: [script] lockedBar after 20: 20
//! expect: [error] The control is disabled. The action cannot be executed.
//! expect: [script] lockedBar after 30: 20
//! expect: [script] stepped: pos 4, 0..10, ticks 4, tick 3 at 9, selection 2..7
//! expect: [error] Tick 4 not found.
//! expect:     Total number of ticks: 4.
//! expect: [script] stepped after 7.5: 7.5
//! expect: [error] Failed to set the track bar position to 11.000000. 10.000000 was set instead of it.
//! expect:     Minimum: 0.000000 Maximum: 10.000000.
//! expect: [script] ticked: 5 ticks at 0 2 4 6 8
//! expect: [script] plain: 0 ticks
//! expect: [error] Tick 0 not found.
//! expect:     Total number of ticks: 0.
//! expect: [script] viewer: H 0..800 at 0, V 0..140 at 0
//! expect: [script] viewer after scrolling: H 100, V 30, element 100/30
//! expect: [error] Failed to set the scroll position to 1000.000000. 140.000000 was set instead of it.
//! expect:     Minimum: 0.000000 maximum: 140.000000.
//! expect: [script] viewer V after 1000: 140
//! expect: [script] flow (25): V 0..60 at 10, H max 0
//! expect: [script] reader (27): V 0..48 at 10, H max 0
//! expect: [script] pages (26): V 0..630 at 10, H max 0
//! expect: [error] Failed to set the scroll position to 500.000000. 60.000000 was set instead of it.
//! expect:     Minimum: 0.000000 maximum: 60.000000.
//! expect: [script] helper made in mode 2, used in mode 0: -2147467259 Failed to set the scroll position to 999.000000. 800.000000 was set instead of it.||Minimum: 0.000000 maximum: 800.000000.
//! expect: [script] VScroll.Pos in mode 2: -2147467259 Failed to set the scroll position to 999.000000. 140.000000 was set instead of it.||Minimum: 0.000000 maximum: 140.000000.
//! expect: -- the script ran to its end: 25 log entries, 8 errors logged
// Scroll bars, track bars, scroll viewers and their scroll helpers, errors reported to the log (mode 1).
var hbar = App.Find("hbar");
Log.Message("hbar: pos " + hbar.wPosition + ", min " + hbar.wMin + ", max " + hbar.wMax);
hbar.wPosition = 25;
Log.Message("hbar after 25: " + hbar.wPosition);
hbar.wPosition = 80;
Log.Message("hbar after 80: " + hbar.wPosition);
hbar.wPosition = -5;

var locked = App.Find("lockedBar");
locked.wPosition = 20;
Log.Message("lockedBar after 20: " + locked.wPosition);
locked.wPosition = 30;
Log.Message("lockedBar after 30: " + locked.wPosition);

var stepped = App.Find("stepped");
Log.Message("stepped: pos " + stepped.wPosition + ", " + stepped.wMin + ".." + stepped.wMax + ", ticks " +
            stepped.wNumTics + ", tick 3 at " + stepped.wTicPosition(3) + ", selection " +
            stepped.wSelectionStart + ".." + stepped.wSelectionEnd);
var missing = stepped.wTicPosition(4);
stepped.wPosition = 7.5;
Log.Message("stepped after 7.5: " + stepped.wPosition);
stepped.wPosition = 11;

var ticked = App.Find("ticked");
var positions = [];
for (var i = 0; i < ticked.wNumTics; i++) positions.push(ticked.wTicPosition(i));
Log.Message("ticked: " + ticked.wNumTics + " ticks at " + positions.join(" "));

var plain = App.Find("plain");
Log.Message("plain: " + plain.wNumTics + " ticks");
missing = plain.wTicPosition(0);

var viewer = App.Find("viewer");
var h = viewer.HScroll, v = viewer.VScroll;
Log.Message("viewer: H " + h.Min + ".." + h.Max + " at " + h.Pos + ", V " + v.Min + ".." + v.Max + " at " + v.Pos);
v.Pos = 30;
h.Pos = 100;
Log.Message("viewer after scrolling: H " + h.Pos + ", V " + v.Pos + ", element " +
            App.Element("viewer").HorizontalOffset + "/" + App.Element("viewer").VerticalOffset);
v.Pos = 1000;
Log.Message("viewer V after 1000: " + v.Pos);

var names = ["flow", "reader", "pages"];
for (var n = 0; n < names.length; n++) {
    var scroller = App.Find(names[n]);
    var down = scroller.VScroll;
    down.Pos = 10;
    Log.Message(names[n] + " (" + App.Kind(names[n]) + "): V " + down.Min + ".." + down.Max + " at " + down.Pos +
                ", H max " + scroller.HScroll.Max);
}
App.Find("flow").VScroll.Pos = 500;

// A scroll helper takes the host's report modes when the script gets it, as the control does, and keeps
// them (the modes themselves: modes.js).
function attempt(what, action) {
    try {
        action();
        Log.Message(what + ": no script error");
    } catch (e) {
        Log.Message(what + ": " + e.number + " " + e.message.replace(/\r\n/g, "|"));
    }
}
Host.ErrorReportMode = 2;
var helper = App.Find("viewer").HScroll;
Host.ErrorReportMode = 0;
attempt("helper made in mode 2, used in mode 0", function () { helper.Pos = 999; });
Host.ErrorReportMode = 2;
attempt("VScroll.Pos in mode 2", function () { App.Find("viewer").VScroll.Pos = 999; });
