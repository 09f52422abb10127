//! app: controls.xaml
//! exit: 2
//! expect: [script error] line 7, column 36: Syntax error
//! expect:     > Log.Message("never runs"); var x = ;
//! expect: -- the script failed
// A script that does not parse runs not at all.
Log.Message("never runs"); var x = ;
