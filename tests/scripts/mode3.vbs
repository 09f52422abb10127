'! app: controls.xaml
'! expect: [script] mode 3: -2147467259 Invalid state of the check-box.||Cannot change the state of the check-box. The cbGrayed state is valid only for those controls that have the IsThreeState property set to True.
'! expect: [script] mode 3, notice: no script error
'! expect: [script] mode 3: 0 log entries before this one
'! reject: [error]
'! reject: [notice]
' ErrorReportMode 3 as a script sees it: like mode 2 (see mode3.js).
Dim check
Host.ErrorReportMode = 3
Set check = App.Find("check")
On Error Resume Next
check.ClickButton cbGrayed
If Err.Number = 0 Then
    Log.Message "mode 3: no script error"
Else
    Log.Message "mode 3: " & Err.Number & " " & Replace(Err.Description, vbCrLf, "|")
End If
Err.Clear
check.ClickButton cbUnChecked
If Err.Number = 0 Then Log.Message "mode 3, notice: no script error"
On Error GoTo 0
Log.Message "mode 3: " & (Log.Count - 2) & " log entries before this one"
