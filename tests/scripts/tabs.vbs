'! app: tabs.xaml
'! expect: [message] The tab control page '2' was selected.
'! expect: [script] tab 2, more expanded True
'! expect: [script] expander, mode 2: -2147467259 The control is disabled. The action cannot be executed.||
'! expect: -- the script ran to its end: 3 log entries, no error logged
' The tabs and the expander from VBScript, what the language changes (every member and its edge cases:
' tests/members/tabs.table): an Integer index, a Boolean put, and an error caught with On Error.
Dim tabs, more
Set tabs = App.Find("tabs")
tabs.ClickTab 2
Set more = App.Find("more")
more.wExpanded = True
Log.Message "tab " & tabs.wFocusedTab & ", more expanded " & more.wExpanded
Host.ErrorReportMode = 2
On Error Resume Next
App.Find("frozen").Expand
Log.Message "expander, mode 2: " & Err.Number & " " & Replace(Err.Description, vbCrLf, "|")
