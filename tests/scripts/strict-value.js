//! app: strict.xaml
//! exit: 3
//! expect-err: OVHookX64 run: the application could not be loaded: strict.xaml, line 5, column 40: 'banana' is no valid value of FontSize: a length above 0 and up to 35791 expected.
// WPF refuses a font size that is no length, although the simulation shows no fonts: so does the host.
Log.Message("never runs");
