'! app: controls.xaml
'! exit: 2
'! expect: [script] mode 0: 0 new log entries, no script error
'! expect: [script] mode 2: -2147467259 Invalid state of the toggle button.||Only the following values can be used as the toggle button state: 0, 1, 2, True, False.
'! expect: [script] mode 2, notice: 0 new log entries, no script error
'! expect: [script] made in mode 2, used in mode 0: -2147467259 Invalid state of the toggle button.||Only the following values can be used as the toggle button state: 0, 1, 2, True, False.
'! expect: [script] mode 3: -2147467259 Invalid state of the check-box.||Cannot change the state of the check-box. The cbGrayed state is valid only for those controls that have the IsThreeState property set to True.
'! expect: [script] message mode 0: 0 new log entries, no script error
'! expect: [message] The button was clicked with the left mouse button.
'! expect: [script error] line 42, column 1: Invalid state of the check-box.
'! expect:     > App.Find("check").ClickButton cbGrayed
'! expect:     Cannot change the state of the check-box. The cbGrayed state is valid only for those controls that have the IsThreeState property set to True.
'! expect: -- the script failed
' The report modes as a VBScript sees them with On Error, and an error it does not catch (every mode: modes.js).
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
Host.ErrorReportMode = 2
Set toggle = App.Find("toggle")
before = Log.Count: toggle.ClickButton 7: Report "mode 2"
before = Log.Count: toggle.ClickButton cbUnChecked: Report "mode 2, notice"
Host.ErrorReportMode = 0
before = Log.Count: toggle.ClickButton 7: Report "made in mode 2, used in mode 0"
Host.ErrorReportMode = 3
before = Log.Count: App.Find("check").ClickButton cbGrayed: Report "mode 3"
Host.ErrorReportMode = 1
Host.MessageReportMode = 0
before = Log.Count: App.Find("ok").ClickButton: Report "message mode 0"
On Error GoTo 0
Host.MessageReportMode = 1
App.Find("ok").ClickButton
Host.ErrorReportMode = 2
App.Find("check").ClickButton cbGrayed
Log.Message "not reached"
