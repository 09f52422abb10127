' app: ../controls.xaml
' The same in VBScript.
App.Find("ok").ClickButton
Log.Check Log.Item(0).ElementKind = "ctrlWPFButton", "the click names the button's kind"
