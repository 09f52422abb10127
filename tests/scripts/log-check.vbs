'! app: controls.xaml
'! exit: 1
'! expect: [check] ok is a button  (line 17)
'! expect: [error] Check failed: ok is a check box  (line 18)
'! expect:     a button is no check box
'! expect: [script] Log.Check: the condition is undefined (a misspelt name, or a property that does not exist?); give true or false (a comparison).  (line 21)
'! expect: [script] Log.Check: the condition is an object (a .NET value is read with .OleValue); give true or false (a comparison).  (line 23)
'! expect: [error] the script's own error  (line 24)
'! expect: [message] The button was clicked with the left mouse button.  (ok, ctrlWPFButton, line 25)
'! expect: [script] in Helper  (line 27)
'! expect: [check] the helper's entry is at line 27  (line 29)
'! expect: -- the script ran to its end: 8 log entries, 2 errors logged
' Log.Check and Log.Error in VBScript: a check's condition must be True or False (a misspelt variable is
' Empty and refused), entries carry the script's line and the element that acted.
Dim ok: Set ok = App.Find("ok")

Log.Check App.Kind("ok") = ctrlWPFButton, "ok is a button"
Log.Check App.Kind("ok") = ctrlWPFCheckBox, "ok is a check box", "a button is no check box"
On Error Resume Next
Log.Check okk, "never logged"
Log.Message Err.Description: Err.Clear
Log.Check ok, "never logged"
Log.Message Err.Description: Err.Clear
Log.Error "the script's own error"
ok.ClickButton
Sub Helper
    Log.Message "in Helper"
End Sub
Helper: Log.Check Log.Item(Log.Count - 1).Line = 27, "the helper's entry is at line 27"
