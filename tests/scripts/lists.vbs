'! app: lists.xaml
'! expect: [message] The listbox item 'Cherry' was clicked with the left mouse button.
'! expect:     A click with the Shift key pressed.
'! expect: [message] The listbox item '0' was double-clicked with the right mouse button.
'! expect:     A click with no key pressed.
'! expect: [script] focus: 0, item 1: Banana
'! expect: -- the script ran to its end: 3 log entries, no error logged
' The list box from VBScript (every member and its edge cases: tests/members/lists.table): an item and the keys
' held in variables arrive by reference.
Dim fruit, item, keys
Set fruit = App.Find("fruit")
item = "Cher*"
keys = 8192
fruit.ClickItem item, keys
item = 0
fruit.DblClickItemR item
Log.Message "focus: " & fruit.wFocus & ", item 1: " & fruit.wItem(1)
