//! app: ../host/standalone/Compiled.xaml
//! expect: [script] OK
//! expect-err: OVHookX64 run: note: ../host/standalone/Compiled.xaml, line 4: the resource 'accent' is not in this file and no App.xaml of the project is beside it: what names it keeps its default.
// A compiled window without its project's App.xaml loads; what it leaves out is said on the error output.
Log.Message(App.Element("ok").Content.OleValue);
