'! app: controls.xaml
'! exit: 2
'! expect: [script] mode 3: -2147467259 Invalid state of the check-box.||Cannot change the state of the check-box. The cbGrayed state is valid only for those controls that have the IsThreeState property set to True.
'! expect: [script] mode 2, notice: 0
'! expect: [script error] line 21, column 1: Invalid state of the check-box.
'! expect:     > App.Find("check").ClickButton cbGrayed
'! expect:     Cannot change the state of the check-box. The cbGrayed state is valid only for those controls that have the IsThreeState property set to True.
'! expect: -- the script failed
' The report modes as VBScript sees them (every mode: tests/members/base.table; mode 2 with Err: the other scripts): mode 3
' and a notice caught with On Error, and an error of mode 2 that the script does not catch.
Sub Report(what)
    Log.Message what & ": " & Err.Number & " " & Replace(Err.Description, vbCrLf, "|")
    Err.Clear
End Sub
On Error Resume Next
Host.ErrorReportMode = 3
App.Find("check").ClickButton cbGrayed: Report "mode 3"
Host.ErrorReportMode = 2
App.Find("toggle").ClickButton cbUnChecked: Report "mode 2, notice"
On Error GoTo 0
App.Find("check").ClickButton cbGrayed
