'! app: trees.xaml
'! expect: [script] Root|Child|Leaf: children Nothing True, Root's 2
'! expect: [message] The tree item was clicked with the right mouse button.
'! expect: [message] The tree item was clicked with the left mouse button.
'! expect: [script] Child selected True
'! expect: [message] The tree item was expanded.
'! expect: [message] The tree item was collapsed.
'! expect: [message] The tree item was expanded.
'! expect: [script] Second expanded True
'! expect: [script] missing node, mode 2: -2147467259 The control item 'Nowhere' not found.||Total number of items: 2., found is Nothing: True
'! expect: -- the script ran to its end: 9 log entries, no error logged
' The tree view from VBScript, what the language changes (every member and its edge cases: tests/members/trees.table): a
' path held in a variable (passed by reference), calls without parentheses and optional arguments left
' out, Nothing for a node without children, and an error caught with On Error.
Dim tree, top, leaf, second, found, path
Set tree = App.Find("tree")
Set top = tree.wItems
path = "Root|Child|Leaf"
Set leaf = top.Item(path)
Log.Message path & ": children Nothing " & (leaf.Items Is Nothing) & ", Root's " & top.Item("Root").Items.Count
leaf.ClickR skwCtrl
path = "|Root|Child"
tree.ClickItem path
Log.Message "Child selected " & top.Item("Root|Child").Selected
Set second = top.Item("Second")
second.Expand
second.Expand False
tree.ExpandItem "Second"
Log.Message "Second expanded " & second.Expanded

Host.ErrorReportMode = 2
Set top = App.Find("tree").wItems
Set found = Nothing
On Error Resume Next
Set found = top.Item("Root|Nowhere")
Log.Message "missing node, mode 2: " & Err.Number & " " & Replace(Err.Description, vbCrLf, "|") & _
            ", found is Nothing: " & (found Is Nothing)
