'! app: user.xaml
'! expect: [script] file open true, menu mode true
'! expect: [script] wrap checked true, file open false
'! expect: [script] at a point: file open true, then false
'! expect: [script] list menu open true, selected 1, placed on list
'! expect: [script] Copy clicked: list menu open false
'! expect: [script] leaf menu open true, then false after a click elsewhere
'! expect: [script] tree: root selected true, leaf expanded false
'! expect: [script] check after a double click false, after a click on its row true
'! expect: [script] list: Banana selected by a double click 1
'! expect: [script] User.ClickItem: 'list' has no item 3 (3 items).
'! expect: [script] User.ClickItem: the container of item 7 of 'far' is not on screen.
'! expect: [script] User.Click: 'hidden' is not on screen.
'! expect: [script] User.ClickItem: 'ok' is not an items control.
'! expect: [script] User.RightClick expects the point as two numbers, x and y, or no point at all.
'! expect: [script] User.Click: the application has no element named 'nobody'.
'! reject: [message]
'! reject: [error]
' The user at the mouse, as user.js: the same clicks and errors from VBScript.
Function IsOpen(name)
    IsOpen = LCase(CStr(App.Element(name).IsSubmenuOpen))
End Function
Function B(value)
    B = LCase(CStr(value))
End Function

User.Click "file"
Log.Message "file open " & IsOpen("file") & ", menu mode " & B(App.Element("menu").IsMenuMode)
User.Click "wrap"
Log.Message "wrap checked " & B(App.Element("wrap").IsChecked) & ", file open " & IsOpen("file")
User.Click "file", 3, 3
Dim first: first = IsOpen("file")
User.Click "file", 3, 3
Log.Message "at a point: file open " & first & ", then " & IsOpen("file")

User.RightClickItem "list", 1
Dim listMenu: Set listMenu = App.Element("listMenu")
Log.Message "list menu open " & B(listMenu.IsOpen) & ", selected " & App.Element("list").SelectedIndex & _
            ", placed on " & listMenu.PlacementTarget.Name
User.ClickItem "listMenu", 0
Log.Message "Copy clicked: list menu open " & B(listMenu.IsOpen)

User.RightClick "leaf"
Dim leafOpen: leafOpen = B(App.Element("leafMenu").IsOpen)
User.Click "ok"
Log.Message "leaf menu open " & leafOpen & ", then " & B(App.Element("leafMenu").IsOpen) & _
            " after a click elsewhere"
User.ClickItem "tree", 0
Log.Message "tree: root selected " & B(App.Element("root").IsSelected) & ", leaf expanded " & _
            B(App.Element("leaf").IsExpanded)

User.DoubleClick "check"
Dim afterDouble: afterDouble = B(App.Element("check").IsChecked)
User.Click "row", 4, 4
Log.Message "check after a double click " & afterDouble & ", after a click on its row " & _
            B(App.Element("check").IsChecked)
User.DoubleClickItem "list", 1
Log.Message "list: Banana selected by a double click " & App.Element("list").SelectedIndex

On Error Resume Next
Dim i
For i = 0 To 5
    Err.Clear
    Select Case i
    Case 0: User.ClickItem "list", 3
    Case 1: User.ClickItem "far", 7
    Case 2: User.Click "hidden"
    Case 3: User.ClickItem "ok", 0
    Case 4: User.RightClick "ok", 1
    Case 5: User.Click "nobody"
    End Select
    If Err.Number = 0 Then Log.Message "Unexpected: no error" Else Log.Message Err.Description
Next
On Error GoTo 0
