'! app: ranges.xaml
'! expect: [script] hbar 25, stepped 7.5 (Double), tick 3 at 9
'! expect: [script] helper made in mode 2, used in mode 0: -2147467259 Failed to set the scroll position to 999.000000. 817.000000 was set instead of it.||Minimum: 0.000000 maximum: 817.000000.
'! expect: -- the script ran to its end: 2 log entries, no error logged
' The ranges from VBScript, what the language changes (every member and its edge cases: tests/members/ranges.table): numbers
' of VBScript's types (an Integer and a Double) in and out, and a helper's own report mode with On Error.
Dim hbar, stepped, helper
Set hbar = App.Find("hbar")
hbar.wPosition = 25
Set stepped = App.Find("stepped")
stepped.wPosition = 7.5
Log.Message "hbar " & hbar.wPosition & ", stepped " & stepped.wPosition & " (" & TypeName(stepped.wPosition) & _
            "), tick 3 at " & stepped.wTicPosition(3)
Host.ErrorReportMode = 2
Set helper = App.Find("viewer").HScroll
Host.ErrorReportMode = 0
On Error Resume Next
helper.Pos = 999
Log.Message "helper made in mode 2, used in mode 0: " & Err.Number & " " & Replace(Err.Description, vbCrLf, "|")
