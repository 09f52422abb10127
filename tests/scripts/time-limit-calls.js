//! app: controls.xaml
//! args: --timeout 1 --verbose
//! exit: 4
//! expect: [script] calling
//! expect: [script error] the script was stopped at its time limit of 1 second, in line 12
//! expect: -- the script was stopped at its time limit (1 second)
//! expect: -- alive after the run: 0 automation objects still referenced, 0 host and 0 application objects
// A script that keeps calling the host ends at its time limit even where the engine cannot be interrupted:
// its next call fails. The run then ends as every run does, and nothing of it outlives it.
Log.Message("calling");
var kept = App.Find("ok");
for (;;) { var found = App.Find("ok"); }
Log.Message("never runs");
