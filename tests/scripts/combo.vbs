'! app: combo.xaml
'! expect: [message] Selected 'Red' from the combo box.
'! expect: [script] 'Red' 0, row 3 Black
'! expect: [script] Table.Cell: the module answered 0x80070057.
'! expect: -- the script ran to its end: 3 log entries, no error logged
' The combo box from VBScript, what the language changes (every member and its edge cases: tests/members/combo.table): the
' item held in a variable (it arrives by reference), and the host's table of the items with On Error.
Dim colors, item, table
Set colors = App.Find("colors")
item = "R*"
colors.ClickItem item
Set table = App.Table("colors")
Log.Message "'" & colors.wText & "' " & colors.wSelectedItem & ", row 3 " & table.Cell(3, 0)
On Error Resume Next
table.Cell 0, 1
Log.Message Err.Description
