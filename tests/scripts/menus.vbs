'! app: menus.xaml
'! exit: 1
'! expect: [script] WPFMenu: 4 items, another object True, File's submenu Nothing False, New's True
'! expect: [script] File: caption File, id 4, index 0, enabled True, checked False
'! expect: [script] Open...: separator False, default False, radio False, owner draw False; [2] separator True
'! expect: [error] Cannot find the menu item '-1'.
'! expect: [message] The menu item 'File|New' was clicked.
'! expect: [message] The menu item '[2|3|2|1]' was clicked.
'! expect: [message] The menu item 'Edit|Mark **' was checked.
'! expect: [message] The menu item 'View|Zoom' was selected.
'! expect: [script] Zoom open True
'! expect: [message] The menu was closed.
'! expect: [message] The menu item 'View|Word wrap' was checked.
'! expect: [menu notice] The menu item 'Word wrap' is already checked.
'! expect: [error] The menu item 'New' cannot be checked or unchecked.
'! expect: [script] Err 0 after an item already checked, with mode 2
'! expect: [script] Err -2147467259 'The menu item 'Paste' is disabled.' (38 characters)
'! expect: [message] The menu was closed.
'! expect: [script] PopupMenu: 4 items
'! expect: [error] The control item 'Open' is not visible on screen.
'! expect: [message] The menu item 'Open' was clicked.
'! expect: [script] no context menu: True
'! expect: -- the script ran to its end: 20 log entries, 3 errors logged
' The menus of menus.js from VBScript: each member once, and what differs: Set and Nothing, calls without
' parentheses, Booleans, and Err in place of catch.
Dim main, menu, file
Set main = App.Find("mainMenu")
Set menu = main.WPFMenu
Set file = menu.Items(0)
Log.Message "WPFMenu: " & menu.Count & " items, another object " & (Not menu Is main.WPFMenu) & _
            ", File's submenu Nothing " & (file.SubMenu Is Nothing) & ", New's " & _
            (file.SubMenu.Items(0).SubMenu Is Nothing)
Log.Message "File: caption " & file.Caption & ", id " & file.Id & ", index " & file.Index & ", enabled " & _
            file.Enabled & ", checked " & file.Checked
With file.SubMenu.Items(1)
    Log.Message .Caption & ": separator " & .Separator & ", default " & .Default & ", radio " & .RadioCheck & _
                ", owner draw " & .OwnerDraw & "; [2] separator " & file.SubMenu.Items(2).Separator
End With
Dim none: Set none = menu.Items(-1)

menu.Click "File|New"
menu.Click "[2|3|2|1]"
menu.Check "Edit|Mark **", True
menu.Select "View|Zoom"
Log.Message "Zoom open " & App.Element("zoom").IsSubmenuOpen
menu.Close
menu.Check "View|Word wrap", True
menu.Check "View|Word wrap", True
menu.Check "File|New", True

Host.ErrorReportMode = 2
Dim strict: Set strict = App.Find("mainMenu").WPFMenu
On Error Resume Next
strict.Check "View|Word wrap", True
Log.Message "Err " & Err.Number & " after an item already checked, with mode 2"
strict.Click "Edit|Paste"
Log.Message "Err " & Err.Number & " '" & Replace(Err.Description, vbCrLf, "") & "' (" & Len(Err.Description) & _
            " characters)"
On Error GoTo 0
strict.Close
Host.ErrorReportMode = 1

Dim popup: Set popup = App.Find("files").PopupMenu
Log.Message "PopupMenu: " & popup.Count & " items"
popup.Click "Open"
User.RightClick "files"
popup.Click "Open"
Log.Message "no context menu: " & (App.Find("plain").PopupMenu Is Nothing)
