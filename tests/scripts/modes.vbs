'! app: controls.xaml
'! exit: 1
'! expect: [script] mode 0: 0 new log entries, no script error
'! expect: [error] Invalid state of the toggle button.
'! expect:     Only the following values can be used as the toggle button state: 0, 1, 2, True, False.
'! expect: [script] mode 1: no script error
'! expect: [script] mode 2: -2147467259 Invalid state of the toggle button.||Only the following values can be used as the toggle button state: 0, 1, 2, True, False.
'! expect: [script] mode 2, empty details: -2147467259 The control is disabled. The action cannot be executed.||
'! expect: [script] mode 2, notice: 0 new log entries, no script error
'! expect: [script] made in mode 2, used in mode 0: -2147467259 Invalid state of the toggle button.||Only the following values can be used as the toggle button state: 0, 1, 2, True, False.
'! expect: [script] message mode 0: 0 new log entries
'! expect: [message] The button was clicked with the left mouse button.
'! expect: -- the script ran to its end: 9 log entries, 1 error logged
'! reject: [notice]
' The report modes as a script sees them. Each object starts with the modes the host has when it is made.
Dim toggle, before

Sub Report(what, before)
    If Err.Number = 0 Then
        Log.Message what & ": " & (Log.Count - before) & " new log entries, no script error"
    Else
        Log.Message what & ": " & Err.Number & " " & Replace(Err.Description, vbCrLf, "|")
    End If
    Err.Clear
End Sub

On Error Resume Next
Host.ErrorReportMode = 0
before = Log.Count
App.Find("toggle").ClickButton 7
Report "mode 0", before

Host.ErrorReportMode = 1
App.Find("toggle").ClickButton 7
If Err.Number = 0 Then Log.Message "mode 1: no script error"

Host.ErrorReportMode = 2
Set toggle = App.Find("toggle")
before = Log.Count
toggle.ClickButton 7
Report "mode 2", before
before = Log.Count
App.Find("disabled").ClickButton
Report "mode 2, empty details", before
before = Log.Count
toggle.ClickButton cbUnChecked
Report "mode 2, notice", before

Host.ErrorReportMode = 0
before = Log.Count
toggle.ClickButton 7
Report "made in mode 2, used in mode 0", before
On Error GoTo 0

Host.ErrorReportMode = 1
Host.MessageReportMode = 0
before = Log.Count
App.Find("ok").ClickButton
Log.Message "message mode 0: " & (Log.Count - before) & " new log entries"
Host.MessageReportMode = 1
App.Find("ok").ClickButton
