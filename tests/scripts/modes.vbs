'! app: controls.xaml
'! exit: 2
'! expect: [script] mode 0: 0 new log entries, no script error
'! expect: [error] Invalid state of the toggle button.
'! expect:     Only the following values can be used as the toggle button state: 0, 1, 2, True, False.
'! expect: [script] mode 1: 1 new log entries, no script error
'! expect: [script] mode 2: -2147467259 Invalid state of the toggle button.||Only the following values can be used as the toggle button state: 0, 1, 2, True, False.
'! expect: [script] mode 2, empty details: -2147467259 The control is disabled. The action cannot be executed.||
'! expect: [script] mode 2, notice: 0 new log entries, no script error
'! expect: [script] made in mode 2, used in mode 0: -2147467259 Invalid state of the toggle button.||Only the following values can be used as the toggle button state: 0, 1, 2, True, False.
'! expect: [script] mode 3: -2147467259 Invalid state of the check-box.||Cannot change the state of the check-box. The cbGrayed state is valid only for those controls that have the IsThreeState property set to True.
'! expect: [script] mode 3, notice: 0 new log entries, no script error
'! expect: [script] message mode 0: 0 new log entries, no script error
'! expect: [message] The button was clicked with the left mouse button.
'! expect: [script error] line 52, column 1: Invalid state of the check-box.
'! expect:     Cannot change the state of the check-box. The cbGrayed state is valid only for those controls that have the IsThreeState property set to True.
'! expect: -- the script failed
'! reject: [notice]
'! reject: not reached
' The report modes as a script sees them (see modes.js).
Dim toggle, before
Sub Report(what)
    If Err.Number = 0 Then
        Log.Message what & ": " & (Log.Count - before) & " new log entries, no script error"
    Else
        Log.Message what & ": " & Err.Number & " " & Replace(Err.Description, vbCrLf, "|")
    End If
    Err.Clear
End Sub
On Error Resume Next
Host.ErrorReportMode = 0
before = Log.Count: App.Find("toggle").ClickButton 7: Report "mode 0"
Host.ErrorReportMode = 1
before = Log.Count: App.Find("toggle").ClickButton 7: Report "mode 1"
Host.ErrorReportMode = 2
Set toggle = App.Find("toggle")
before = Log.Count: toggle.ClickButton 7: Report "mode 2"
before = Log.Count: App.Find("disabled").ClickButton: Report "mode 2, empty details"
before = Log.Count: toggle.ClickButton cbUnChecked: Report "mode 2, notice"
Host.ErrorReportMode = 0
before = Log.Count: toggle.ClickButton 7: Report "made in mode 2, used in mode 0"
Host.ErrorReportMode = 3
before = Log.Count: App.Find("check").ClickButton cbGrayed: Report "mode 3"
before = Log.Count: App.Find("check").ClickButton cbUnChecked: Report "mode 3, notice"
Host.ErrorReportMode = 1
Host.MessageReportMode = 0
before = Log.Count: App.Find("ok").ClickButton: Report "message mode 0"
On Error GoTo 0
Host.MessageReportMode = 1
App.Find("ok").ClickButton
Host.ErrorReportMode = 2
App.Find("check").ClickButton cbGrayed
Log.Message "not reached"
