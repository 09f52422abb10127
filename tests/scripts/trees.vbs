'! app: trees.xaml
'! exit: 1
'! expect: [script] top level: 4
'! expect: [script] Root|Child|Leaf: 'Leaf' expanded False, selected False, children none
'! expect: [script] [1]|[0]: 'First of second' expanded False, selected False, children none
'! expect: [script] 1: 'Second' expanded False, selected False, children 1
'! expect: [script] [x]: 'Root' expanded True, selected False, children 2
'! expect: [script] Col*: 'Colours' expanded False, selected False, children 2
'! expect: [script] Empty: 'Empty' expanded False, selected False, children none
'! expect: [message] The tree item was clicked with the left mouse button.
'! expect: [script] after Click: 'Leaf' expanded False, selected True, children none
'! expect: [message] The tree item was clicked with the left mouse button.
'! expect: [script] Child after ClickItem |Root|Child: 'Child' expanded True, selected True, children 2
'! expect: [script] Leaf then: 'Leaf' expanded False, selected False, children none
'! expect: [message] The tree item was clicked with the center mouse button.
'! expect: [message] The tree item was clicked with the right mouse button.
'! expect: [script] Leaf after the middle and right clicks: 'Leaf' expanded False, selected False, children none
'! expect: [message] The tree item was double-clicked with the left mouse button.
'! expect: [script] Second after DblClickItem: 'Second' expanded True, selected True, children 1
'! expect: [message] The tree item was double-clicked with the right mouse button.
'! expect: [message] The tree item was double-clicked with the center mouse button.
'! expect: [message] The tree item was double-clicked with the left mouse button.
'! expect: [script] Second after DblClick: 'Second' expanded False, selected True, children 1
'! expect: [message] The tree item was clicked with the right mouse button.
'! expect: [message] The tree item was clicked with the center mouse button.
'! expect: [message] The tree item was double-clicked with the right mouse button.
'! expect: [message] The tree item was double-clicked with the center mouse button.
'! expect: [script] Other leaf: 'Other leaf' expanded False, selected False, children none
'! expect: [message] The tree item was expanded.
'! expect: [notice] The tree item is already expanded.
'! expect: [message] The tree item was collapsed.
'! expect: [notice] The tree item is already collapsed.
'! expect: [notice] The tree item is already collapsed.
'! expect: [message] The tree item was expanded.
'! expect: [message] The tree item was collapsed.
'! expect: [notice] The tree item is already collapsed.
'! expect: [message] The tree item was expanded.
'! expect: [script] Second: 'Second' expanded True, selected True, children 1
'! expect: [script] Colours|Red: 'Red' expanded False, selected False, children none
'! expect: [message] The tree item was clicked with the left mouse button.
'! expect: [error] An error occurred.
'! expect:     Possible reasons:
'! expect:     1. The application stopped responding.
'! expect:     2. The application was compiled incorrectly (see the Open Applications topic in the help system).
'! expect:     3. An error occurred in Orvane.
'! expect:     Technical information:
'! expect:     96 0x80020006 () IsExpanded
'! expect: [message] The tree item was expanded.
'! expect: [script] Colours|Red once Colours is expanded: 'Red' expanded False, selected False, children none
'! expect: [message] The tree item was clicked with the left mouse button.
'! expect: [script] Colours|Green: 'Green' expanded False, selected True, children none
'! expect: [script] Red held from before: 'Red' expanded False, selected False, children none
'! expect: [message] The tree item was clicked with the left mouse button.
'! expect: [script] Red clicked now: 'Red' expanded False, selected True, children none
'! expect: [error] The control item 'Nowhere' not found.
'! expect:     Total number of items: 2.
'! expect: [error] The control item 'Nothing' not found.
'! expect:     Total number of items: 0.
'! expect: [error] The control item 'Deeper' not found.
'! expect:     Total number of items: 0.
'! expect: [error] The control item '9' not found.
'! expect:     Total number of items: 4.
'! expect: [error] The control item '' not found.
'! expect:     Total number of items: 4.
'! expect: [error] The control item '' not found.
'! expect:     Total number of items: 4.
'! expect: [error] The control item '4' not found.
'! expect:     Total number of items: 4.
'! expect: [script] after the failures: True
'! expect: [error] The control is disabled. The action cannot be executed.
'! expect: [error] The control is disabled. The action cannot be executed.
'! expect: [script] Frozen root: 'Frozen root' expanded False, selected False, children 1
'! expect: [script] missing node, mode 0: 0 new log entries, no script error
'! expect: [script] expanded again, mode 0: 0 new log entries, no script error
'! expect: [error] The control item 'Nowhere' not found.
'! expect:     Total number of items: 4.
'! expect: [script] missing node, mode 1: 1 new log entries, no script error
'! expect: [notice] The tree item is already expanded.
'! expect: [script] expanded again, mode 1: 1 new log entries, no script error
'! expect: [script] missing node, mode 2: -2147467259 The control item 'Nowhere' not found.||Total number of items: 4.
'! expect: [script] expanded again, mode 2: 0 new log entries, no script error

' The trees script in VBScript: the same members, the same log; node paths and nodes held in variables
' reach the objects by reference.
Dim tree, top, leaf, other, second, red, found, path, mode, before
Set tree = App.Find("tree")
Set top = tree.wItems

Sub Show(what, node)
    Dim children
    If node.Items Is Nothing Then children = "none" Else children = node.Items.Count
    Log.Message what & ": '" & node.Text & "' expanded " & node.Expanded & ", selected " & node.Selected & _
                ", children " & children
End Sub

Log.Message "top level: " & top.Count
path = "Root|Child|Leaf"
Show "Root|Child|Leaf", top.Item(path)
Show "[1]|[0]", top.Item("[1]|[0]")
Show "1", top.Item(1)
Show "[x]", top.Item("[x]")
Show "Col*", top.Item("Col*")
Show "Empty", top.Item("Empty")

Set leaf = top.Item("Root|Child|Leaf")
leaf.Click
Show "after Click", leaf
path = "|Root|Child"
tree.ClickItem path
Show "Child after ClickItem |Root|Child", top.Item("Root|Child")
Show "Leaf then", leaf
tree.ClickItemM "Root|Child|Leaf"
tree.ClickItemR "Root|Child|Leaf", skwCtrl
Show "Leaf after the middle and right clicks", leaf
tree.DblClickItem "Second"
Show "Second after DblClickItem", top.Item("Second")
tree.DblClickItemR "Second"
tree.DblClickItemM "Second"
top.Item("Second").DblClick
Show "Second after DblClick", top.Item("Second")
Set other = top.Item("Root|Child|Other leaf")
other.ClickR
other.ClickM
other.DblClickR
other.DblClickM
Show "Other leaf", other

Set second = top.Item("Second")
second.Expand
second.Expand
second.Collapse
second.Collapse
second.Expand False
second.Expand True
tree.CollapseItem "Second"
tree.CollapseItem "Second"
tree.ExpandItem "[1]"
Show "Second", second

Set red = top.Item("Colours|Red")
Show "Colours|Red", red
red.Click
red.Expand
top.Item("Colours").Expand
Show "Colours|Red once Colours is expanded", top.Item("Colours|Red")
tree.ClickItem "Colours|Green"
Show "Colours|Green", top.Item("Colours|Green")
Show "Red held from before", red
red.Click
Show "Red clicked now", red

Set found = top.Item("Root|Nowhere")
Set found = top.Item("Empty|Nothing")
Set found = top.Item("Root|Child|Leaf|Deeper")
Set found = top.Item("[9]")
Set found = top.Item("||Root")
tree.ClickItem "||Root|Child"
tree.ExpandItem 4
Log.Message "after the failures: " & (found Is Nothing)
App.Find("frozen").ClickItem "Frozen root"
App.Find("frozen").wItems.Item("Frozen root").Expand
Show "Frozen root", App.Find("frozen").wItems.Item(0)

Sub Attempt(what, which)
    before = Log.Count
    On Error Resume Next
    If which = 0 Then
        Set found = App.Find("tree").wItems.Item("Nowhere")
    Else
        App.Find("tree").wItems.Item("Root").Expand
    End If
    If Err.Number = 0 Then
        Log.Message what & ": " & (Log.Count - before) & " new log entries, no script error"
    Else
        Log.Message what & ": " & Err.Number & " " & Replace(Err.Description, vbCrLf, "|")
    End If
    On Error GoTo 0
    Log.Clear
End Sub
For mode = 0 To 2
    Host.ErrorReportMode = mode
    Attempt "missing node, mode " & mode, 0
    Attempt "expanded again, mode " & mode, 1
Next
