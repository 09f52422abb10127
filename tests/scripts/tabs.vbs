'! app: tabs.xaml
'! exit: 1
'! expect: [script] tabs: 6 'General' 'Advanced' 'Network' 'Locked' 'Hidden' '', selected 0
'! expect: [message] The tab control page '2' was selected.
'! expect: [script] after ClickTab 2: 2
'! expect: [message] The tab control page 'Advanced' was selected.
'! expect: [script] after 'Adv*': 1, apply visible True
'! expect: [error] The control item '-1' not found.
'! expect:     Total number of items: 6.
'! expect: [message] The control was expanded.
'! expect: [script] more: True, details visible True
'! expect: [message] The control was collapsed.
'! expect: [script] more after wExpanded = True: True
'! expect: [script] expander, mode 2: -2147467259 The control is disabled. The action cannot be executed.||
'! expect: -- the script ran to its end: 11 log entries, 1 error logged
' The tabs script in VBScript: each member once, an index and a pattern, a Boolean put, and an error caught
' with On Error (the edge cases: tabs.js).
Dim tabs, captions, i, more
Set tabs = App.Find("tabs")
captions = ""
For i = 0 To tabs.wTabCount - 1
    captions = captions & " '" & tabs.wTabCaption(i) & "'"
Next
Log.Message "tabs: " & tabs.wTabCount & captions & ", selected " & tabs.wFocusedTab
tabs.ClickTab 2
Log.Message "after ClickTab 2: " & tabs.wFocusedTab
tabs.ClickTab "Adv*"
Log.Message "after 'Adv*': " & tabs.wFocusedTab & ", apply visible " & App.Element("apply").IsVisible
tabs.ClickTab -1

Set more = App.Find("more")
more.Expand
Log.Message "more: " & more.wExpanded & ", details visible " & App.Element("details").IsVisible
more.Collapse
more.wExpanded = True
Log.Message "more after wExpanded = True: " & more.wExpanded

Host.ErrorReportMode = 2
On Error Resume Next
App.Find("frozen").Expand
Log.Message "expander, mode 2: " & Err.Number & " " & Replace(Err.Description, vbCrLf, "|")
