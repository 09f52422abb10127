//! app: controls.xaml
//! exit: 2
//! expect: [script] before
//! expect: [script error] line 9, column 1: 'undefinedThing' is undefined
//! expect:     > var total = undefinedThing + 1;
//! expect: -- the script failed
// A runtime error of the engine: its words, the line and column, and the line's text.
Log.Message("before");
var total = undefinedThing + 1;
Log.Message("never runs");
