'! app: toolbar.xaml
'! exit: 1
'! expect: [message] The toolbar button Cut was clicked.
'! expect:     A click with no key pressed.
'! expect: [message] The toolbar button 0 was clicked.
'! expect:     A click with the Shift + Control key pressed.
'! expect: [message] The toolbar button Bold was checked.
'! expect: [error] Invalid state of the toolbar check button.
'! expect:     Only the following values can be used as the check box state: 0, 1, 2, True and False.
'! expect: [error] Invalid state of the toolbar check button.
'! expect:     Only the following values can be used as the check box state: 0, 1, 2, True and False.
'! expect: [notice] The toolbar button Italic is already checked.
'! expect: [script] Bold: check True, Italic checked True
'! expect: [script] not a check button, mode 2: -2147467259 The toolbar button Left is not a check button.||
'! expect: -- the script ran to its end: 8 log entries, 2 errors logged
' The toolbar from VBScript, what the language changes (every member and its edge cases: tests/members/toolbar.table): calls
' without parentheses, keys combined with Or, an item held in a variable (passed by reference), states of
' VBScript's own types (a Double and a string refused, a Byte taken), and an error raised in mode 2.
Dim format, item
Set format = App.Find("format")
format.ClickItem "Cut"
format.ClickItemRXY 0, 2, 3, skwShift Or skwCtrl
item = "Bold"
format.CheckItem item, True
format.CheckItem "Italic", 1.0
format.CheckItem "Italic", "1"
format.CheckItem "Italic", CByte(1)
Log.Message item & ": check " & format.wIsCheckButton(item) & ", Italic checked " & format.wChecked("Italic")
Host.ErrorReportMode = 2
On Error Resume Next
App.Find("format").CheckItem "Left", True
Log.Message "not a check button, mode 2: " & Err.Number & " " & Replace(Err.Description, vbCrLf, "|")
