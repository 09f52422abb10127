// app: ../controls.xaml
// Checks that hold: each is a testcase of its own in the JUnit report.
var ok = App.Find("ok");
ok.ClickButton();
Log.Check(Log.Item(0).Element == "ok", "the click names the button");
Log.Check(App.Kind("tabs") == ctrlWPFTabControl, "tabs is a tab control");
