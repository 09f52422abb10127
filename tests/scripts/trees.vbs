'! app: trees.xaml
'! exit: 0
'! expect: [script] top level: 4
'! expect: [script] Root|Child|Leaf: 'Leaf' expanded False, selected False, children none
'! expect: [script] 1: 'Second' expanded False, selected False, children 1
'! expect: [message] The tree item was clicked with the left mouse button.
'! expect: [message] The tree item was clicked with the right mouse button.
'! expect: [message] The tree item was clicked with the center mouse button.
'! expect: [message] The tree item was double-clicked with the right mouse button.
'! expect: [message] The tree item was double-clicked with the center mouse button.
'! expect: [script] Leaf after its clicks: 'Leaf' expanded False, selected True, children none
'! expect: [message] The tree item was clicked with the left mouse button.
'! expect: [message] The tree item was clicked with the right mouse button.
'! expect: [message] The tree item was clicked with the center mouse button.
'! expect: [message] The tree item was double-clicked with the right mouse button.
'! expect: [message] The tree item was double-clicked with the center mouse button.
'! expect: [script] Child after the tree's clicks: 'Child' expanded True, selected True, children 2
'! expect: [message] The tree item was expanded.
'! expect: [message] The tree item was collapsed.
'! expect: [message] The tree item was expanded.
'! expect: [message] The tree item was collapsed.
'! expect: [message] The tree item was double-clicked with the left mouse button.
'! expect: [message] The tree item was double-clicked with the left mouse button.
'! expect: [notice] The tree item is already collapsed.
'! expect: [message] The tree item was expanded.
'! expect: [script] Second: 'Second' expanded True, selected True, children 1
'! expect: [script] missing node, mode 2: -2147467259 The control item 'Nowhere' not found.||Total number of items: 2., found is Nothing: True
'! expect: -- the script ran to its end: 25 log entries, no error logged
' The trees script in VBScript: each member once, with and without its optional arguments; node paths and
' nodes held in variables, Nothing for a node without children, and an error caught with On Error (the
' edge cases: trees.js).
Dim tree, top, leaf, second, found, path
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
Set leaf = top.Item(path)
Show path, leaf
Show "1", top.Item(1)

leaf.Click
leaf.ClickR skwCtrl
leaf.ClickM
leaf.DblClickR
leaf.DblClickM
Show "Leaf after its clicks", leaf
path = "|Root|Child"
tree.ClickItem path
tree.ClickItemR path, skwShift
tree.ClickItemM path
tree.DblClickItemR path
tree.DblClickItemM path
Show "Child after the tree's clicks", top.Item("Root|Child")

Set second = top.Item("Second")
second.Expand
second.Expand False
second.Expand True
second.Collapse
second.DblClick
tree.DblClickItem "Second"
tree.CollapseItem "[1]"
tree.ExpandItem "Second"
Show "Second", second

Host.ErrorReportMode = 2
Set top = App.Find("tree").wItems
Set found = Nothing
On Error Resume Next
Set found = top.Item("Root|Nowhere")
Log.Message "missing node, mode 2: " & Err.Number & " " & Replace(Err.Description, vbCrLf, "|") & _
            ", found is Nothing: " & (found Is Nothing)
