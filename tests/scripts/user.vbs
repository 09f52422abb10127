'! app: user.xaml
'! expect: [script] file open True
'! expect: [script] User.ClickItem: 'list' has no item 3 (3 items).
'! expect: [script] User.RightClick expects the point as two numbers, x and y, or no point at all.
'! expect: -- the script ran to its end: 3 log entries, no error logged
' The user at the mouse from VBScript (the members: user.js): the points and indexes arrive as VBScript's
' Integers, the errors in Err.
User.Click "file", 3, 3
Log.Message "file open " & App.Element("file").IsSubmenuOpen
On Error Resume Next
User.ClickItem "list", 3
Log.Message Err.Description
Err.Clear
User.RightClick "ok", 1
Log.Message Err.Description
