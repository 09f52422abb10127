//! app: controls.xaml
//! args: --timeout soon
//! exit: 64
//! expect-err: OVHookX64 run: --timeout takes a whole number of seconds from 0 (no limit) to 86400, not 'soon'.
// The time limit is a whole number of seconds.
Log.Message("never runs");
