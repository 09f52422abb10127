//! app: controls.xaml
//! args: --log log-refused.js
//! exit: 64
//! expect-err: OVHookX64 run: the log file log-refused.js is one of the run's inputs; it would be overwritten.
// --log naming the script (or the application) would overwrite it: a wrong command line, and the file stays.
Log.Message("never runs");
