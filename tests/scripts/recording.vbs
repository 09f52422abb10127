'! app: recording.xaml
'! expect: [script] 0 8 | App.Find("fruits").ClickItem 2, skwCtrl Or skwShift
'! expect: [script] 1 24 | App.Find("tree").ClickItem "|Root|Child|Leaf"
'! expect: [script] 2 18 | App.Find("menu").WPFMenu.Click "File"
'! expect: [script] 3 18 | App.Find("menu").WPFMenu.Check "File|Word wrap", True
'! expect: [script] 4 5 | App.Find("notes").wText = "say ""hi"""
'! expect: [script] 5 2 | App.Find("bar").ClickItem "Italic"
'! expect: [script] 6 50 | App.Find("framed").ClickButton
'! expect: -- the script ran to its end: 7 log entries, no error logged
' Recorded statements in VBScript: arguments without parentheses, keys joined with Or, quotes doubled.
Recorder.Start
User.ClickItem "fruits", 2, skwCtrl Or skwShift
User.ClickItem "child", 0
User.ClickItem "menu", 0
User.Click "wrap"
User.Type "notes", "say ""hi"""
User.ClickItem "bar", 1
User.Click "framed"
Recorder.Stop
For i = 0 To Recorder.Count - 1
    Set e = Recorder.Event(i)
    Log.Message i & " " & e.Kind & " | " & e.Statement
Next
