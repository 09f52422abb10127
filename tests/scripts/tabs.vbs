'! app: tabs.xaml
'! exit: 1
'! expect: [script] tabs: 6 'General' 'Advanced' 'Network' 'Locked' 'Hidden' '', selected 0, apply visible False
'! expect: [message] The tab control page '2' was selected.
'! expect: [script] after ClickTab(2): 2
'! expect: [message] The tab control page 'Advanced' was selected.
'! expect: [script] after 'Adv*': 1, apply visible True
'! expect: [message] The tab control page 'Advanced' was selected.
'! expect: [script] after 'Advanced' again: 1
'! expect: [message] The tab control page 'Hidden' was selected.
'! expect: [script] after the collapsed 'Hidden': 4
'! expect: [error] The control item 'Locked' is disabled.
'! expect: [error] The control item '3' is disabled.
'! expect: [error] The control item 'Nowhere' not found.
'! expect:     Total number of items: 6.
'! expect: [error] The control item 'general' not found.
'! expect:     Total number of items: 6.
'! expect: [error] The control item '6' not found.
'! expect:     Total number of items: 6.
'! expect: [error] The control item '-1' not found.
'! expect:     Total number of items: 6.
'! expect: [error] An error occurred.
'! expect:     Specified argument was out of the range of valid values.
'! expect:     Parameter name: index
'! expect: [script] after the failures: 4
'! expect: [error] The control is disabled. The action cannot be executed.
'! expect: [script] disabledTabs: 2 tabs, selected 0, caption 1 'Two'
'! expect: [script] more: False, details visible False
'! expect: [message] The control was expanded.
'! expect: [message] The control was expanded.
'! expect: [script] more: True, details visible True
'! expect: [message] The control was collapsed.
'! expect: [script] more: False, details visible False
'! expect: [script] more after wExpanded = True: True
'! expect: [error] The control is disabled. The action cannot be executed.
'! expect: [error] The control is disabled. The action cannot be executed.
'! expect: [script] frozen: True, then after wExpanded = False: False
'! expect: [script] tab control, mode 0: 0 new log entries, no script error
'! expect: [error] The control item 'Locked' is disabled.
'! expect: [script] tab control, mode 1: 1 new log entries, no script error
'! expect: [script] tab control, mode 2: -2147467259 The control item 'Locked' is disabled.||
'! expect: [script] expander, mode 0: 0 new log entries, no script error
'! expect: [error] The control is disabled. The action cannot be executed.
'! expect: [script] expander, mode 1: 1 new log entries, no script error
'! expect: [script] expander, mode 2: -2147467259 The control is disabled. The action cannot be executed.||
' The tabs script in VBScript: the same members, the same log.
Dim tabs, captions, i, outside, disabledTabs, more, frozen, was, mode, before
Set tabs = App.Find("tabs")
captions = ""
For i = 0 To tabs.wTabCount - 1
    captions = captions & " '" & tabs.wTabCaption(i) & "'"
Next
Log.Message "tabs: " & tabs.wTabCount & captions & ", selected " & tabs.wFocusedTab & _
            ", apply visible " & App.Element("apply").IsVisible
tabs.ClickTab 2
Log.Message "after ClickTab(2): " & tabs.wFocusedTab
tabs.ClickTab "Adv*"
Log.Message "after 'Adv*': " & tabs.wFocusedTab & ", apply visible " & App.Element("apply").IsVisible
tabs.ClickTab "Advanced"
Log.Message "after 'Advanced' again: " & tabs.wFocusedTab
tabs.ClickTab "Hidden"
Log.Message "after the collapsed 'Hidden': " & tabs.wFocusedTab
tabs.ClickTab "Locked"
tabs.ClickTab 3
tabs.ClickTab "Nowhere"
tabs.ClickTab "general"
tabs.ClickTab 6
tabs.ClickTab -1
outside = tabs.wTabCaption(6)
Log.Message "after the failures: " & tabs.wFocusedTab

Set disabledTabs = App.Find("disabledTabs")
disabledTabs.ClickTab 1
Log.Message "disabledTabs: " & disabledTabs.wTabCount & " tabs, selected " & disabledTabs.wFocusedTab & _
            ", caption 1 '" & disabledTabs.wTabCaption(1) & "'"

Set more = App.Find("more")
Sub ShowMore()
    Log.Message "more: " & more.wExpanded & ", details visible " & App.Element("details").IsVisible
End Sub
ShowMore
more.Expand
more.Expand
ShowMore
more.Collapse
ShowMore
more.wExpanded = True
Log.Message "more after wExpanded = True: " & more.wExpanded

Set frozen = App.Find("frozen")
frozen.Expand
frozen.Collapse
was = frozen.wExpanded
frozen.wExpanded = False
Log.Message "frozen: " & was & ", then after wExpanded = False: " & frozen.wExpanded

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
    before = Log.Count: App.Find("tabs").ClickTab "Locked": Report "tab control, mode " & mode
Next
For mode = 0 To 2
    Host.ErrorReportMode = mode
    before = Log.Count: App.Find("frozen").Expand: Report "expander, mode " & mode
Next
