'! app: ranges.xaml
'! exit: 1
'! expect: [script] scroll bar, mode 0: 0 new log entries, no script error
'! expect: [error] Failed to set the scroll position to 99.000000. 50.000000 was set instead of it.
'! expect:     Minimum: 0.000000 maximum: 50.000000.
'! expect: [script] scroll bar, mode 1: 1 new log entries, no script error
'! expect: [script] scroll bar, mode 2: -2147467259 Failed to set the scroll position to 99.000000. 50.000000 was set instead of it.||Minimum: 0.000000 maximum: 50.000000.
'! expect: [script] track bar, mode 0: 0 new log entries, no script error
'! expect: [error] Tick 4 not found.
'! expect:     Total number of ticks: 4.
'! expect: [script] track bar, mode 1: 1 new log entries, no script error
'! expect: [script] track bar, mode 2: -2147467259 Tick 4 not found.||Total number of ticks: 4.
'! expect: [script] scroll helper, mode 0: 0 new log entries, no script error
'! expect: [error] Failed to set the scroll position to 999.000000. 800.000000 was set instead of it.
'! expect:     Minimum: 0.000000 maximum: 800.000000.
'! expect: [script] scroll helper, mode 1: 1 new log entries, no script error
'! expect: [script] scroll helper, mode 2: -2147467259 Failed to set the scroll position to 999.000000. 800.000000 was set instead of it.||Minimum: 0.000000 maximum: 800.000000.
'! expect: [script] edit, mode 0: 0 new log entries, no script error
'! expect: [error] Failed to set the text 'abcdefgh'. 'abcde' was set instead of it.
'! expect:     Limit: 5.
'! expect: [script] edit, mode 1: 1 new log entries, no script error
'! expect: [script] edit, mode 2: -2147467259 Failed to set the text 'abcdefgh'. 'abcde' was set instead of it.||Limit: 5.
'! expect: [script] helper made in mode 2, used in mode 0: -2147467259 Failed to set the scroll position to 999.000000. 800.000000 was set instead of it.||Minimum: 0.000000 maximum: 800.000000.
' The report modes of one failing member of each family (see ranges-modes.js).
Dim before, mode, helper, t
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
    before = Log.Count: App.Find("hbar").wPosition = 99: Report "scroll bar, mode " & mode
Next
For mode = 0 To 2
    Host.ErrorReportMode = mode
    before = Log.Count: t = App.Find("stepped").wTicPosition(4): Report "track bar, mode " & mode
Next
For mode = 0 To 2
    Host.ErrorReportMode = mode
    before = Log.Count: App.Find("viewer").HScroll.Pos = 999: Report "scroll helper, mode " & mode
Next
For mode = 0 To 2
    Host.ErrorReportMode = mode
    before = Log.Count: App.Find("name").wText = "abcdefgh": Report "edit, mode " & mode
Next
Host.ErrorReportMode = 2
Set helper = App.Find("viewer").HScroll
Host.ErrorReportMode = 0
before = Log.Count: helper.Pos = 999: Report "helper made in mode 2, used in mode 0"
