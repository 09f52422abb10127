'! app: user.xaml
'! expect: [script] file open True at a point, then False
'! expect: [script] list menu open True, selected 1, then False after Copy
'! expect: [script] leaf menu open True, then False after a click elsewhere
'! expect: [script] tree: root selected True, check after a double click False, list selected 2
'! expect: [script] User.ClickItem: 'list' has no item 3 (3 items).
'! expect: [script] User.RightClick expects the point as two numbers, x and y, or no point at all.
'! expect: -- the script ran to its end: 6 log entries, no error logged
' The user at the mouse from VBScript, each member once (the cases: user.js): the points and indexes arrive
' as VBScript's integers, the errors in Err.
User.Click "file", 3, 3
Dim first: first = App.Element("file").IsSubmenuOpen
User.Click "file"
Log.Message "file open " & first & " at a point, then " & App.Element("file").IsSubmenuOpen

User.RightClickItem "list", 1
Dim listMenu: Set listMenu = App.Element("listMenu")
Dim listOpen: listOpen = listMenu.IsOpen
User.ClickItem "listMenu", 0
Log.Message "list menu open " & listOpen & ", selected " & App.Element("list").SelectedIndex & ", then " & _
            listMenu.IsOpen & " after Copy"

User.RightClick "leaf"
Dim leafOpen: leafOpen = App.Element("leafMenu").IsOpen
User.Click "ok"
Log.Message "leaf menu open " & leafOpen & ", then " & App.Element("leafMenu").IsOpen & " after a click elsewhere"

User.ClickItem "tree", 0
User.DoubleClick "check"
User.DoubleClickItem "list", 2
Log.Message "tree: root selected " & App.Element("root").IsSelected & ", check after a double click " & _
            App.Element("check").IsChecked & ", list selected " & App.Element("list").SelectedIndex

On Error Resume Next
User.ClickItem "list", 3
Log.Message Err.Description
Err.Clear
User.RightClick "ok", 1
Log.Message Err.Description
On Error GoTo 0
