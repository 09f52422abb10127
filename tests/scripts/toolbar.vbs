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
'! expect: [message] The toolbar button Copy was clicked.
'! expect:     A click with no key pressed.
'! expect: [message] The toolbar button Frozen was clicked.
'! expect:     A click with no key pressed.
'! expect: [error] The toolbar button Frozen is disabled.
'! expect: [script] frozen: False
'! expect: [script] wrap visible False, overflow open False
'! expect: [message] The toolbar button Wrap was clicked.
'! expect:     A click with no key pressed.
'! expect: [script] wrap checked True, overflow open False
'! expect: [message] The toolbar button Wrap was unchecked.
'! expect: [script] wrap checked False, overflow open False
'! expect: [message] The toolbar button Bold was checked.
'! expect: [notice] The toolbar button Bold is already checked.
'! expect: [message] The toolbar button Bold was unchecked.
'! expect: [error] The toolbar button Bold is not a three-state check button.
'! expect: [notice] The toolbar button Italic is already checked.
'! expect: [error] Invalid state of the toolbar check button.
'! expect:     Only the following values can be used as the check box state: 0, 1, 2, True and False.
'! expect: [error] Invalid state of the toolbar check button.
'! expect:     Only the following values can be used as the check box state: 0, 1, 2, True and False.
'! expect: [error] Invalid state of the toolbar check button.
'! expect:     Only the following values can be used as the check box state: 0, 1, 2, True and False.
'! expect: [notice] The toolbar button Italic is already checked.
'! expect: [message] The toolbar button Mixed was grayed.
'! expect: [script] mixed grayed True, checked False
'! expect: [message] The toolbar button Mixed was checked.
'! expect: [message] The toolbar button Mixed was unchecked.
'! expect: [notice] The toolbar button Mixed is already unchecked.
'! expect: [error] The toolbar button Left is not a check button.
'! expect: [error] The toolbar button Sticky is not a check button.
'! expect: [error] The toolbar button Cut is not a check button.
'! expect: [error] The control item 'Nothing' not found.
'! expect:     Total number of items: 11.
'! expect: [script] 0: pos 0, check False, drop-down False, separator False, enabled True, visible True, grayed False
'! expect: [script] 1: pos 1, check False, drop-down False, separator False, enabled False, visible True, grayed False
'! expect: [script] 2: pos 2, check False, drop-down False, separator True, enabled True, visible True, grayed False
'! expect: [script] Bold: pos 3, check True, drop-down False, separator False, enabled True, visible True, grayed False
'! expect: [script] Italic: pos 4, check True, drop-down False, separator False, enabled True, visible True, grayed False
'! expect: [script] Mixed: pos 5, check True, drop-down False, separator False, enabled True, visible True, grayed False
'! expect: [script] Left: pos 6, check False, drop-down False, separator False, enabled True, visible True, grayed False
'! expect: [script] Sticky: pos 7, check False, drop-down False, separator False, enabled True, visible True, grayed False
'! expect: [script] 8: pos 8, check False, drop-down True, separator False, enabled True, visible True, grayed False
'! expect: [script] Frozen: pos 9, check True, drop-down False, separator False, enabled False, visible True, grayed False
'! expect: [script] Wrap: pos 10, check True, drop-down False, separator False, enabled True, visible False, grayed False
'! expect: [script] checked: cut False, italic True
'! expect: [error] An error occurred.
'! expect:     Possible reasons:
'! expect:     1. The application stopped responding.
'! expect:     2. The application was compiled incorrectly (see the Open Applications topic in the help system).
'! expect:     3. An error occurred in Orvane.
'! expect: [script] narrow: Open True, Save True, Print False, Help True
'! expect: [message] The toolbar button Print was clicked.
'! expect:     A click with no key pressed.
'! expect: [error] The control is disabled. The action cannot be executed.
'! expect: [error] The control is disabled. The action cannot be executed.
'! expect: [script] already checked, mode 0: 0 new log entries, no script error
'! expect: [notice] The toolbar button Italic is already checked.
'! expect: [script] already checked, mode 1: 1 new log entries, no script error
'! expect: [script] already checked, mode 2: 0 new log entries, no script error
'! expect: [script] not a check button, mode 0: 0 new log entries, no script error
'! expect: [error] The toolbar button Left is not a check button.
'! expect: [script] not a check button, mode 1: 1 new log entries, no script error
'! expect: [script] not a check button, mode 2: -2147467259 The toolbar button Left is not a check button.||
' The toolbar script in VBScript: the same members, the same log; the check states also as VBScript's
' own Booleans and constants, and an item held in a variable.
Dim format, names, i, items, k, plain, narrow, shown, n, mode, before, item
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

format.ClickItem "Copy"
format.ClickItem "Frozen"
format.CheckItem "Frozen", True
Log.Message "frozen: " & App.Element("frozen").IsChecked

Log.Message "wrap visible " & format.wVisible("Wrap") & ", overflow open " & App.Element("format").IsOverflowOpen
format.ClickItem "Wrap"
Log.Message "wrap checked " & App.Element("wrap").IsChecked & ", overflow open " & App.Element("format").IsOverflowOpen
format.CheckItem "Wrap", False
Log.Message "wrap checked " & App.Element("wrap").IsChecked & ", overflow open " & App.Element("format").IsOverflowOpen

item = "Bold"
format.CheckItem item, True
format.CheckItem item, -1
format.CheckItem item, 0
format.CheckItem item, 2
format.CheckItem "Italic", True
format.CheckItem "Italic", 5
format.CheckItem "Italic", "1"
format.CheckItem "Italic", 1.0
format.CheckItem "Italic", CByte(1)
format.CheckItem "Mixed", cbGrayed
Log.Message "mixed grayed " & format.wGrayed("Mixed") & ", checked " & format.wChecked("Mixed")
format.CheckItem "Mixed", cbChecked
format.CheckItem "Mixed", cbUnChecked
format.CheckItem "Mixed", False
format.CheckItem "Left", True
format.CheckItem "Sticky", True
format.CheckItem "Cut", True
format.CheckItem "Nothing", True

Function Flags(item)
    Flags = item & ": pos " & format.wButtonPos(item) & ", check " & format.wIsCheckButton(item) & _
            ", drop-down " & format.wIsDropDownButton(item) & ", separator " & format.wIsSeparatorButton(item) & _
            ", enabled " & format.wEnabled(item) & ", visible " & format.wVisible(item) & _
            ", grayed " & format.wGrayed(item)
End Function
items = Array(0, 1, 2, "Bold", "Italic", "Mixed", "Left", "Sticky", 8, "Frozen", "Wrap")
For k = 0 To UBound(items)
    Log.Message Flags(items(k))
Next
Log.Message "checked: cut " & format.wChecked("Cut") & ", italic " & format.wChecked("Italic")
plain = format.wChecked("Bold")

Set narrow = App.Find("narrow")
shown = ""
For n = 0 To narrow.wButtonCount - 1
    If n > 0 Then shown = shown & ", "
    shown = shown & narrow.wButtonText(n) & " " & narrow.wVisible(n)
Next
Log.Message "narrow: " & shown
narrow.ClickItem "Print"

App.Find("locked").ClickItem 0
App.Find("locked").CheckItem 0, True

Sub Report(what)
    If Err.Number = 0 Then
        Log.Message what & ": " & (Log.Count - before) & " new log entries, no script error"
    Else
        Log.Message what & ": " & Err.Number & " " & Replace(Err.Description, vbCrLf, "|")
    End If
    Err.Clear
    Log.Clear
End Sub
On Error Resume Next
For mode = 0 To 2
    Host.ErrorReportMode = mode
    before = Log.Count: App.Find("format").CheckItem "Italic", True: Report "already checked, mode " & mode
Next
For mode = 0 To 2
    Host.ErrorReportMode = mode
    before = Log.Count: App.Find("format").CheckItem "Left", True: Report "not a check button, mode " & mode
Next
