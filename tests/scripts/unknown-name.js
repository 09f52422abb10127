//! app: controls.xaml
//! exit: 2
//! expect: [script] caught: App.Find: the application has no element named 'nosuch'.
//! expect: [script] caught: App.Element: the element name must be a string.
//! expect: [script error] line 15, column 1: App.Kind: the application has no element named 'OK'.
//! expect:     > App.Kind("OK");
//! expect: -- the script failed
// Element names are the application's and compare with case; a name that no element has is a script error.
try {
    App.Find("nosuch");
} catch (e) {
    Log.Message("caught: " + e.message);
}
try { App.Element(null); } catch (e) { Log.Message("caught: " + e.message); }
App.Kind("OK");
Log.Message("not reached");
