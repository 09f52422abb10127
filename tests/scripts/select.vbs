'! app: select.xaml
'! expect: [message] All listbox items were unselected.
'! expect: [message] The listbox item 'Cherry' was selected.
'! expect: [message] The number of selected items has changed (see details).
'! expect:     The list of selected items:
'! expect:     Date
'! expect:     Apple.
'! expect: [message] The number of selected items has changed (see details).
'! expect:     The list of selected items:
'! expect:     Banana.
'! expect: [script] fruit: 'Cherry; Date; Apple; Banana', focus 1
'! expect: -- the script ran to its end: 5 log entries, no error logged
' Selection from VBScript, what the language changes (every member and its edge cases: tests/members/lists.table): an item
' and an Array held in variables (they arrive by reference), and a string of names joined by a separator of
' the script's own.
Dim fruit, items, item
Set fruit = App.Find("fruit")
item = -1
fruit.SelectItem item, False
item = "Ch*"
fruit.SelectItem item
items = Array("Date", 0)
fruit.MultiSelect items
fruit.wListSeparator = "; "
fruit.MultiSelect "Banana; Cherry"
Log.Message "fruit: '" & fruit.wSelectedItems & "', focus " & fruit.wFocus
