//! app: controls.xaml
//! args: --timeout 1
//! exit: 4
//! expect: [script] before the loop
//! expect-start: [script error] the script was stopped at its time limit of 1 second
//! expect: -- the script was stopped at its time limit (1 second)
// A script that never ends stops at its time limit, with exit 4 and its summary line.
Log.Message("before the loop");
for (;;) {}
Log.Message("never runs");
