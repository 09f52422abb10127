// app: ../controls.xaml
// A check that fails among one that holds, and an error of the script's own: the run ends with exit 1.
Log.Check(App.Kind("ok") == ctrlWPFButton, "ok is a button");
Log.Check(App.Kind("ok") == ctrlWPFCheckBox, "ok is a check box", "a button is no check box");
Log.Error("the test could not go on");
