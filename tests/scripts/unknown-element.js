//! app: unknown-element.xaml
//! exit: 3
//! expect-err: OVHookX64 run: the application could not be loaded: unknown-element.xaml, line 5, column 6: unknown element 'Sparkline'.
// An element that WPF's XAML does not have (or the host does not know yet) is an error, never dropped.
Log.Message("never runs");
