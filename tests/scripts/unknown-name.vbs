'! app: controls.xaml
'! exit: 2
'! expect: [script] caught: App.Find: the application has no element named 'nosuch'.
'! expect: [script] caught: Log.Item: the index 99 is outside the log (1 entries).
'! expect: [script error] line 17, column 1: App.ClassName: the application has no element named 'OK'.
'! expect:     > Log.Message App.ClassName("OK")
'! expect: -- the script failed
' Element names are the application's and compare with case; a name that no element has is a script error.
Dim found
On Error Resume Next
Set found = App.Find("nosuch")
Log.Message "caught: " & Err.Description
Err.Clear
found = Log.Item(99).Text
Log.Message "caught: " & Err.Description
On Error GoTo 0
Log.Message App.ClassName("OK")
Log.Message "not reached"
