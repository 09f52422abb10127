'! app: controls.xaml
'! exit: 2
'! expect: [script] App.Find expects one argument: the element's name.
'! expect: [script] App.Find expects one argument: the element's name.
'! expect: [script] Log.Message expects one or two arguments: the text and, if wanted, the details.
'! expect: [script] Log.Count is read-only.
'! expect: [script] Host.ErrorReportMode is a property and takes no arguments.
'! expect: [script error] line 25, column 1: Host.SetClassNames expects two arguments: the kind (a WPFControlType) and the class names (an array, or one string with "|" between the names).
'! expect:     > Host.SetClassNames ctrlWPFButton
'! expect: -- the script failed
' The object model's own members say in words what they take; uncaught, the words come with the line.
Dim found
On Error Resume Next
Set found = App.Find()
Log.Message Err.Description : Err.Clear
Set found = App.Find("ok", "cancel")
Log.Message Err.Description : Err.Clear
Log.Message
Log.Message Err.Description : Err.Clear
Log.Count = 3
Log.Message Err.Description : Err.Clear
found = Host.ErrorReportMode(1)
Log.Message Err.Description : Err.Clear
On Error GoTo 0
Host.SetClassNames ctrlWPFButton
Log.Message "never runs"
