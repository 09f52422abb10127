'! app: lists.xaml
'! args: --verbose
'! exit: 1
'! expect: [message] The listbox item 'Cherry' was clicked with the left mouse button.
'! expect:     A click with the Shift key pressed.
'! expect: [message] The listbox item '0' was double-clicked with the right mouse button.
'! expect:     A click with no key pressed.
'! expect: [script] focus: 0, item 1: Banana
'! expect: [error] The control item 'Date' not found.
'! expect:     Total number of items: 3.
'! expect: [script] colors: 2 Red|Green
'! expect: -- the script ran to its end: 5 log entries, 1 error logged
'! expect: -- alive after the run: 0 automation objects still referenced, 0 host and 0 application objects
' The list box and the combo box from VBScript, whose variables arrive by reference: items and keys held
' in variables, the click family's messages and remarks, and the failures.
Dim fruit, item, keys
Set fruit = App.Find("fruit")
item = "Cher*"
keys = 8192
fruit.ClickItem item, keys
item = 0
fruit.DblClickItemR item
Log.Message "focus: " & fruit.wFocus & ", item 1: " & fruit.wItem(1)
item = "Date"
fruit.ClickItemXY item, 2, 3
Dim colors
Set colors = App.Find("colors")
Log.Message "colors: " & colors.wItemCount & " " & colors.wItemList
