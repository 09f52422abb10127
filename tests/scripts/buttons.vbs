'! app: controls.xaml
'! exit: 1
'! expect: [message] The button was clicked with the left mouse button.
'! expect: [message] The repeat button was clicked with the left mouse button.
'! expect: [message] The repeat button was clicked with the left mouse button 3 times.
'! expect: [message] The toggle button was clicked with the left mouse button.
'! expect:     The control state has been changed to 'checked'.
'! expect: [error] Invalid state of the toggle button.
'! expect:     Only the following values can be used as the toggle button state: 0, 1, 2, True, False.
'! expect: [script] toggle: state 1, IsChecked True
'! expect: [message] The toggle button was clicked with the left mouse button.
'! expect:     The control state has been changed to 'grayed'.
'! expect: [script] toggle3: state 2, IsChecked is Null: True
'! expect: [script] toggle3 after wState = 0: state 0
'! expect: [message] The check box was clicked with the left mouse button.
'! expect:     The control state has been changed to 'checked'.
'! expect: [error] Invalid state of the check-box.
'! expect:     Only the following values can be used as the check-box state: 0, 1, 2, True and False.
'! expect: [message] The check box was clicked with the left mouse button.
'! expect:     The control state has been changed to 'unchecked'.
'! expect: [message] The radio button was clicked with the left mouse button.
'! expect:     The control state has been changed to 'checked'.
'! expect: [script] red checked: False, green checked: True
'! expect: -- the script ran to its end: 14 log entries, 2 errors logged
' The buttons in VBScript: each member once, the optional count left out, the states as VBScript's own
' Booleans, strings, numbers and constants, and a Null state (the edge cases: buttons.js).
Dim repeat, toggle, toggle3, check, green
App.Find("ok").ClickButton

Set repeat = App.Find("repeat")
repeat.ClickButton
repeat.ClickButton 3

Set toggle = App.Find("toggle")
toggle.ClickButton True
toggle.ClickButton "1"
Log.Message "toggle: state " & toggle.wState & ", IsChecked " & App.Element("toggle").IsChecked

Set toggle3 = App.Find("toggle3")
toggle3.ClickButton cbGrayed
Log.Message "toggle3: state " & toggle3.wState & ", IsChecked is Null: " & IsNull(App.Element("toggle3").IsChecked)
toggle3.wState = cbUnChecked
Log.Message "toggle3 after wState = 0: state " & toggle3.wState

Set check = App.Find("check")
check.ClickButton -1
check.ClickButton 1.5
check.ClickButton False

Set green = App.Find("green")
green.ClickButton
Log.Message "red checked: " & App.Find("red").wChecked & ", green checked: " & green.wChecked
