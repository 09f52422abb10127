'! app: select.xaml
'! args: --verbose
'! exit: 1
'! expect: [message] All listbox items were selected.
'! expect: [message] All listbox items were unselected.
'! expect: [error] The listbox does not support multiple selection.
'! expect:     The listbox's SelectionMode property is not set to Multiple or Extended.
'! expect: [message] The listbox item 'Cherry' was selected.
'! expect: [message] The number of selected items has changed (see details).
'! expect:     The list of selected items:
'! expect:     Date
'! expect:     Apple.
'! expect: [script] fruit: 'Cherry; Date; Apple', Date True, focus 0, 4 items: Apple; Banana; Cherry; Date
'! expect: [message] The number of selected items has changed (see details).
'! expect:     The list of selected items:
'! expect:     Banana.
'! expect: [message] The listbox item '0' was clicked with the right mouse button.
'! expect:     A click with no key pressed.
'! expect: [message] The listbox item 'Banana' was double-clicked with the left mouse button.
'! expect:     A click with no key pressed.
'! expect: [message] The listbox item '2' was double-clicked with the left mouse button.
'! expect:     A click with the Control key pressed.
'! expect: [message] The listbox item 'Date' was clicked with the right mouse button.
'! expect:     A click with no key pressed.
'! expect: [message] The listbox item 'Date' was double-clicked with the right mouse button.
'! expect:     A click with the Alt key pressed.
'! expect: [script] single: 'Three', months at 2 of 4, horizontal 0
'! expect: [message] The listbox item 'Ann' was selected.
'! expect: -- the script ran to its end: 14 log entries, 1 error logged
'! expect: -- alive after the run: 0 automation objects still referenced, 0 host and 0 application objects
' Selection from VBScript: every list member, items and arrays held in variables (they arrive by reference)
' and a string of names with a separator of the script's own.
Dim fruit, items, item
Set fruit = App.Find("fruit")
item = -1
fruit.SelectItem item
fruit.SelectItem item, False
App.Find("single").SelectItem True
item = "Ch*"
fruit.SelectItem item
items = Array("Date", 0)
fruit.MultiSelect items
fruit.wListSeparator = "; "
Log.Message "fruit: '" & fruit.wSelectedItems & "', Date " & fruit.wSelected("Date") & ", focus " & _
            fruit.wFocus & ", " & fruit.wItemCount & " items: " & fruit.wItemList
fruit.MultiSelect "Banana; Cherry"
fruit.ClickItemR 0
fruit.DblClickItem "Banana"
fruit.DblClickItemXY 2, 1, 1, skwCtrl
fruit.ClickItemRXY "Date", 1, 1
fruit.DblClickItemRXY "Date", 1, 1, skwAlt

Dim single, months, scroll
Set single = App.Find("single")
Set months = App.Find("months")
Set scroll = months.VScroll
scroll.Pos = 2
Log.Message "single: '" & single.wItem(2) & "', months at " & scroll.Pos & " of " & scroll.Max & _
            ", horizontal " & months.HScroll.Pos
App.Find("people").SelectItem "Ann"
