'! app: menus.xaml
'! expect: [script] WPFMenu: 4 items, another object True, File's submenu Nothing False, New's True, File checked False
'! expect: [message] The menu item 'File|New' was clicked.
'! expect: [message] The menu item 'View|Word wrap' was checked.
'! expect: [script] Err 0 after an item already checked, with mode 2
'! expect: [script] Err -2147467259 'The menu item 'Paste' is disabled.' (38 characters)
'! expect: [message] The menu was closed.
'! expect: [script] no context menu: True
'! expect: -- the script ran to its end: 7 log entries, no error logged
' The menus from VBScript, what the language changes (every member and its edge cases: tests/members/menus.table): Set and
' Nothing, calls without parentheses, and Err in place of catch.
Dim main, menu, file, strict
Set main = App.Find("mainMenu")
Set menu = main.WPFMenu
Set file = menu.Items(0)
Log.Message "WPFMenu: " & menu.Count & " items, another object " & (Not menu Is main.WPFMenu) & _
            ", File's submenu Nothing " & (file.SubMenu Is Nothing) & ", New's " & _
            (file.SubMenu.Items(0).SubMenu Is Nothing) & ", File checked " & file.Checked
menu.Click "File|New"
menu.Check "View|Word wrap", True

Host.ErrorReportMode = 2
Set strict = App.Find("mainMenu").WPFMenu
On Error Resume Next
strict.Check "View|Word wrap", True
Log.Message "Err " & Err.Number & " after an item already checked, with mode 2"
strict.Click "Edit|Paste"
Log.Message "Err " & Err.Number & " '" & Replace(Err.Description, vbCrLf, "") & "' (" & Len(Err.Description) & _
            " characters)"
On Error GoTo 0
strict.Close
Log.Message "no context menu: " & (App.Find("plain").PopupMenu Is Nothing)
