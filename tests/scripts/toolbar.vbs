'! app: toolbar.xaml
'! exit: 1
'! expect: [script] format: 11 'Cut' 'Copy' '' 'Bold' 'Italic' 'Mixed' 'Left' 'Sticky' '' 'Frozen' 'Wrap'
'! expect: [message] The toolbar button Cut was clicked.
'! expect:     A click with no key pressed.
'! expect: [message] The toolbar button 0 was clicked.
'! expect:     A click with the Shift key pressed.
'! expect: [message] The toolbar item Cut was double-clicked.
'! expect:     A click with the Control key pressed.
'! expect: [message] The toolbar item Cut was double-clicked.
'! expect:     A click with the Alt + Control key pressed.
'! expect: [message] The toolbar button Cut was clicked.
'! expect:     A click with no key pressed.
'! expect: [message] The toolbar button 0 was clicked.
'! expect:     A click with the Shift + Control key pressed.
'! expect: [message] The toolbar button Bold was checked.
'! expect: [notice] The toolbar button Bold is already checked.
'! expect: [message] The toolbar button Bold was unchecked.
'! expect: [error] The toolbar button Bold is not a three-state check button.
'! expect: [error] Invalid state of the toolbar check button.
'! expect:     Only the following values can be used as the check box state: 0, 1, 2, True and False.
'! expect: [error] Invalid state of the toolbar check button.
'! expect:     Only the following values can be used as the check box state: 0, 1, 2, True and False.
'! expect: [error] Invalid state of the toolbar check button.
'! expect:     Only the following values can be used as the check box state: 0, 1, 2, True and False.
'! expect: [notice] The toolbar button Italic is already checked.
'! expect: [message] The toolbar button Mixed was grayed.
'! expect: [script] mixed grayed True, checked False
'! expect: [message] The toolbar button Mixed was unchecked.
'! expect: [script] 1: pos 1, check False, drop-down False, separator False, enabled False, visible True, grayed False
'! expect: [script] 2: pos 2, check False, drop-down False, separator True, enabled True, visible True, grayed False
'! expect: [script] Italic: pos 4, check True, drop-down False, separator False, enabled True, visible True, grayed False
'! expect: [script] 8: pos 8, check False, drop-down True, separator False, enabled True, visible True, grayed False
'! expect: [script] Wrap: pos 10, check True, drop-down False, separator False, enabled True, visible False, grayed False
'! expect: [script] not a check button, mode 2: -2147467259 The toolbar button Left is not a check button.||
'! expect: -- the script ran to its end: 24 log entries, 4 errors logged
' The toolbar script in VBScript: each member once, optional and combined key arguments, the check states
' as VBScript's own Booleans, numbers and constants, an item held in a variable, items from an array and an
' error caught with On Error (the edge cases: toolbar.js).
Dim format, names, i, items, k, item
Set format = App.Find("format")
names = ""
For i = 0 To format.wButtonCount - 1
    names = names & " '" & format.wButtonText(i) & "'"
Next
Log.Message "format: " & format.wButtonCount & names

format.ClickItem "Cut"
format.ClickItemR 0, skwShift
format.DblClickItem "Cu?", skwCtrl
format.DblClickItemR "Cut", skwAlt Or skwCtrl
format.ClickItemXY "Cut", 2, 3
format.ClickItemRXY 0, 2, 3, skwShift Or skwCtrl

item = "Bold"
format.CheckItem item, True
format.CheckItem item, -1
format.CheckItem item, 0
format.CheckItem item, 2
format.CheckItem "Italic", 5
format.CheckItem "Italic", "1"
format.CheckItem "Italic", 1.0
format.CheckItem "Italic", CByte(1)
format.CheckItem "Mixed", cbGrayed
Log.Message "mixed grayed " & format.wGrayed("Mixed") & ", checked " & format.wChecked("Mixed")
format.CheckItem "Mixed", False

Function Flags(item)
    Flags = item & ": pos " & format.wButtonPos(item) & ", check " & format.wIsCheckButton(item) & _
            ", drop-down " & format.wIsDropDownButton(item) & ", separator " & format.wIsSeparatorButton(item) & _
            ", enabled " & format.wEnabled(item) & ", visible " & format.wVisible(item) & _
            ", grayed " & format.wGrayed(item)
End Function
items = Array(1, 2, "Italic", 8, "Wrap")
For k = 0 To UBound(items)
    Log.Message Flags(items(k))
Next

Host.ErrorReportMode = 2
On Error Resume Next
App.Find("format").CheckItem "Left", True
Log.Message "not a check button, mode 2: " & Err.Number & " " & Replace(Err.Description, vbCrLf, "|")
