'! app: controls.xaml
'! args: --verbose
'! expect: [message] The button was clicked with the left mouse button.
'! expect: [script] holding 9 objects to the end
'! expect: -- the script ran to its end: 2 log entries, no error logged
'! expect: -- alive after the run: 0 automation objects still referenced, 0 host and 0 application objects
' Automation objects of every kind, a log entry and a .NET object, kept in variables until the script
' ends: the host lets go of all of them, and nothing of the run outlives it.
Dim kept(8), names, i, entry
names = Array("mainWindow", "ok", "repeat", "toggle", "check", "red", "fancy")
For i = 0 To 6
    Set kept(i) = App.Find(names(i))
Next
kept(1).ClickButton
Set kept(7) = Log(0)
Set kept(8) = App.Element("check")
Set entry = kept(7)
Log.Message "holding " & (UBound(kept) + 1) & " objects to the end"
