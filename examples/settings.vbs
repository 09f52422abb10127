' The demo in VBScript: a user goes through the settings window of settings.xaml. Run it with
'   tools/ovhost run examples/settings.xaml examples/settings.vbs
' Every action of the module ends in the log; Log.Message adds the script's own lines.
Option Explicit
Dim names, name, remember, updates, e, moreTabs, userName, password, fontSize, ticks, t, licence, scroll
Dim folders, projects

' What the module makes of the window's elements: kind (WPFControlType) and .NET class.
names = Array("settingsWindow", "sections", "generalBorder", "heading", "remember", "darkMode", "startLast", _
              "zoomIn", "okButton", "zoomReset")
For Each name In names
    Log.Message name & ": kind " & App.Kind(name) & ", " & App.ClassName(name)
Next
If App.Find("generalBorder") Is Nothing Then
    Log.Message "A border is a decoration: the module makes no automation object for it."
End If

' Check boxes: a two-state one and a three-state one that starts grayed.
Set remember = App.Find("remember")
remember.ClickButton cbUnChecked
remember.ClickButton False ' already unchecked: a notice, nothing is clicked
Set updates = App.Find("updates")
Log.Message "'Check for updates' starts in state " & updates.wState & " (cbGrayed = " & cbGrayed & ")"
updates.ClickButton cbChecked
App.Find("darkMode").ClickButton True

' Radio buttons of one group.
App.Find("startLast").ClickButton
Log.Message "'Open a blank page' is checked: " & App.Find("startBlank").wChecked

' A repeat button clicked three times.
App.Find("zoomIn").ClickButton 3

' The user class SettingsDemo.ResetButton behaves as a button, but only class names decide the kind:
' until the button kind lists it, it is a plain control (kind 100).
Host.SetClassNames ctrlWPFButton, Host.DefaultClassNames(ctrlWPFButton) & "|SettingsDemo.*"
Log.Message "zoomReset is now of kind " & App.Kind("zoomReset") & "; the button kind takes " & _
            Host.ClassNames(ctrlWPFButton)
App.Find("zoomReset").ClickButton

' The deliberate failure: "Send usage data" is disabled. With ErrorReportMode 2 the module raises the
' error to the script, which expects it and goes on; nothing lands in the log as an error.
Host.ErrorReportMode = 2
On Error Resume Next
App.Find("telemetry").ClickButton cbChecked
If Err.Number = 0 Then
    Log.Message "Unexpected: the disabled check box took the click."
Else
    e = Split(Err.Description, vbCrLf & vbCrLf)
    Log.Message "As expected, the disabled check box refused: " & e(0)
End If
On Error GoTo 0
Host.ErrorReportMode = 1

' The toolbar: "Word wrap" lives in its overflow panel, which opens for the click.
Dim editBar
Set editBar = App.Find("editBar")
editBar.ClickItem "Undo"
Log.Message "'Word wrap' is on the bar: " & editBar.wVisible("Word wrap") & "; a check button: " & _
            editBar.wIsCheckButton("Word wrap")
editBar.ClickItem "Word wrap"
editBar.CheckItem "Word wrap", cbUnChecked
editBar.CheckItem "Word wrap", True

' The main menu: each submenu on a path opens on the way, a click on an item closes the menus again.
Dim menu, tops, m, strictMenu
Set menu = App.Find("mainMenu").WPFMenu
tops = ""
For m = 0 To menu.Count - 1
    If m > 0 Then tops = tops & ", "
    tops = tops & menu.Items(m).Caption
Next
Log.Message "The main menu: " & tops & "; View holds " & menu.Items(2).SubMenu.Count & " items"
menu.Check "View|Word wrap", True
menu.Check "View|Word wrap", False
menu.Click "View|Zoom|Presets|[1]" ' "100 %", by its index
menu.Click "F*|Save"               ' "File" by a wildcard
' A failure the demo expects as well: "Paste" is disabled. The menu object takes the report mode of the
' control it came from.
Host.ErrorReportMode = 2
Set strictMenu = App.Find("mainMenu").WPFMenu
On Error Resume Next
strictMenu.Click "Edit|Paste"
If Err.Number = 0 Then
    Log.Message "Unexpected: the disabled menu item took the click."
Else
    e = Split(Err.Description, vbCrLf & vbCrLf)
    Log.Message "As expected, the disabled menu item refused: " & e(0)
End If
On Error GoTo 0
strictMenu.Close ' a failed walk leaves the Edit submenu open
Host.ErrorReportMode = 1

' The second half of the window: a tab control with an editor page and an about page.
Set moreTabs = App.Find("moreTabs")
Log.Message "The tab control has " & moreTabs.wTabCount & " pages: '" & moreTabs.wTabCaption(0) & "' and '" & _
            moreTabs.wTabCaption(1) & "'; page " & moreTabs.wFocusedTab & " is shown"
moreTabs.ClickTab "Editor"

' An edit with a length limit, a password box, a slider with ticks.
Set userName = App.Find("userName")
userName.wText = "alice"
Log.Message "The user name is '" & userName.wText & "', at most " & userName.wLimit & " characters"
' One more failure a test expects: a name longer than the limit is cut by the edit.
Host.ErrorReportMode = 2
On Error Resume Next
App.Find("userName").wText = "alexandrina"
If Err.Number = 0 Then
    Log.Message "Unexpected: the edit took a name longer than its limit."
Else
    e = Split(Err.Description, vbCrLf & vbCrLf)
    Log.Message "As expected, the name was cut: " & e(0)
End If
On Error GoTo 0
Host.ErrorReportMode = 1
Set password = App.Find("password")
password.wText = "s3cret!"
Log.Message "The password box shows '" & password.wPasswordChar & "' for each of its " & Len(password.wText) & _
            " characters"
Set fontSize = App.Find("fontSize")
ticks = ""
For t = 0 To fontSize.wNumTics - 1
    If t > 0 Then ticks = ticks & ", "
    ticks = ticks & fontSize.wTicPosition(t)
Next
Log.Message "Font size " & fontSize.wPosition & " in " & fontSize.wMin & ".." & fontSize.wMax & ", ticks at " & ticks
fontSize.wPosition = 16

' A combo box, and a list of 200 recent files of which only the rows in view have containers (WPF
' virtualizes them): a far item is brought into view before it is clicked.
Dim theme, files, picked
Set theme = App.Find("theme")
Log.Message "Themes: " & theme.wItemList & "; the current one is '" & theme.wText & "'"
theme.ClickItem "Dark"
theme.ClickItem 3
theme.ClickItem "High*"
Log.Message "The theme is now '" & theme.wText & "', item " & theme.wSelectedItem
Set files = App.Find("recentFiles")
Log.Message "Recent files: " & files.wItemCount & " items, '" & files.wItem(0) & "' to '" & _
            files.wItem(files.wItemCount - 1) & "'"
files.ClickItem 150
files.SelectItem "document-007.txt"
files.SelectItem "document-19?.txt"
picked = Array(3, "document-120.txt")
files.MultiSelect picked
files.MultiSelect "document-001.txt|document-002.txt"
Log.Message "Selected: " & files.wSelectedItems & " (the focus is on item " & files.wFocus & ")"
' The list's context menu opens with a right click, as a user opens it; closed, its items are not on screen.
Dim recentMenu
Set recentMenu = files.PopupMenu
User.RightClick "recentFiles"
Log.Message "The context menu of the recent files: " & recentMenu.Count & " items, the first '" & _
            recentMenu.Items(0).Caption & "'"
recentMenu.Click "Open folder"

' The about page: an expander with the licence in a scroll viewer, read to its end.
moreTabs.ClickTab 1
Set licence = App.Find("licence")
licence.Expand
Set scroll = App.Find("licenceText").VScroll
scroll.Pos = scroll.Max
Log.Message "The licence was scrolled to " & scroll.Pos & " of " & scroll.Min & ".." & scroll.Max
licence.Collapse

' The folders page: a tree walked by name and by index, its nodes expanded, collapsed and clicked. The
' strings under Projects get their nodes on screen only once Projects is expanded.
moreTabs.ClickTab "Folders"
Set folders = App.Find("folders")
Set projects = folders.wItems.Item("Documents|Projects")
Log.Message "Documents|Projects holds " & projects.Items.Count & " items, the first '" & _
            folders.wItems.Item("[0]|[0]|[0]").Text & "'; expanded: " & projects.Expanded
projects.Expand
folders.ClickItem "|Documents|Projects|Budget"
Log.Message "Budget selected: " & folders.wItems.Item("Documents|Projects|Budget").Selected
folders.ExpandItem "Music"
folders.wItems.Item("Music").Items.Item(1).Click
folders.CollapseItem "Documents"
folders.CollapseItem "Documents"
Log.Message "Documents expanded: " & folders.wItems.Item(0).Expanded & ", Rock selected: " & _
            folders.wItems.Item("Music|Rock").Selected
moreTabs.ClickTab "Editor"

App.Find("okButton").ClickButton

' What the application holds now, read from its own objects.
Log.Message "remember=" & App.Element("remember").IsChecked & ", updates=" & App.Element("updates").IsChecked & _
            ", darkMode=" & App.Element("darkMode").IsChecked & ", wordWrap=" & App.Element("wordWrap").IsChecked & _
            ", startLast=" & App.Element("startLast").IsChecked & _
            ", userName=" & App.Element("userName").Text & ", fontSize=" & App.Element("fontSize").Value
Log.Message Log.Count & " log entries so far; the first: " & Log(0).Kind & " """ & Log(0).Text & """"
