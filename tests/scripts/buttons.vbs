'! app: controls.xaml
'! expect: [message] The repeat button was clicked with the left mouse button 3 times.
'! expect: [message] The check box was clicked with the left mouse button.
'! expect:     The control state has been changed to 'checked'.
'! expect: [message] The toggle button was clicked with the left mouse button.
'! expect:     The control state has been changed to 'grayed'.
'! expect: [script] toggle3: state 2, IsChecked is Null: True
'! expect: -- the script ran to its end: 4 log entries, no error logged
' The buttons from VBScript, what the language changes (every member and its edge cases: tests/members/buttons.table): a
' count and a state as VBScript's Integers, calls without parentheses, and a three-state Null.
Dim toggle3
App.Find("repeat").ClickButton 3
App.Find("check").ClickButton -1
Set toggle3 = App.Find("toggle3")
toggle3.ClickButton cbGrayed
Log.Message "toggle3: state " & toggle3.wState & ", IsChecked is Null: " & IsNull(App.Element("toggle3").IsChecked)
