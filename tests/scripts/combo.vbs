'! app: combo.xaml
'! args: --verbose
'! exit: 0
'! expect: [script] colors: 4 Red|Green|Blue|Black, 'Green' 1, open False
'! expect: [message] Selected 'Red' from the combo box.
'! expect: [script] the application: SelectedIndex 0, IsDropDownOpen False
'! expect: [message] The combo box list was displayed.
'! expect: [script] open: True
'! expect: [message] The combo box list was closed.
'! expect: [script] colors with ', ': Red, Green, Blue, Black; item 2 Blue
'! expect: [script] table: 4 x 1 'Items', row 3 Black
'! expect: [script] Table.Cell: the module answered 0x80070057.
'! expect: -- the script ran to its end: 9 log entries, no error logged
'! expect: -- alive after the run: 0 automation objects still referenced, 0 host and 0 application objects
' The combo box from VBScript: every member, the item held in a variable (it arrives by reference) and the
' host's table of the items with On Error (the edge cases: combo.js).
Dim colors, item
Set colors = App.Find("colors")
Log.Message "colors: " & colors.wItemCount & " " & colors.wItemList & ", '" & colors.wText & "' " & _
            colors.wSelectedItem & ", open " & colors.wIsDropDownListOpened
item = "R*"
colors.ClickItem item
Log.Message "the application: SelectedIndex " & App.Element("colors").SelectedIndex & ", IsDropDownOpen " & _
            App.Element("colors").IsDropDownOpen
colors.DropDown
Log.Message "open: " & colors.wIsDropDownListOpened
colors.CloseUp
colors.wListSeparator = ", "
Log.Message "colors with '" & colors.wListSeparator & "': " & colors.wItemList & "; item 2 " & colors.wItem(2)

Dim table
Set table = App.Table("colors")
Log.Message "table: " & table.RowCount & " x " & table.ColumnCount & " '" & table.Caption(0) & "', row 3 " & _
            table.Cell(3, 0)
On Error Resume Next
table.Cell 0, 1
Log.Message Err.Description
Err.Clear
On Error GoTo 0
