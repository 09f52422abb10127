//! app: malformed.xaml
//! exit: 3
//! expect-err: OVHookX64 run: the application could not be loaded: malformed.xaml, line 5: malformed XML: the end tag does not match the start tag (0xC00CEE3B).
// The Button of malformed.xaml is never closed: the application is not loaded and the script never runs.
Log.Message("never runs");
