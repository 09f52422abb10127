'! app: ranges.xaml
'! exit: 1
'! expect: [script] hbar: pos 10, min 0, max 50
'! expect: [script] hbar after 25: 25
'! expect: [error] Failed to set the scroll position to 80.000000. 50.000000 was set instead of it.
'! expect:     Minimum: 0.000000 maximum: 50.000000.
'! expect: [script] hbar after 80: 50
'! expect: [script] stepped: pos 4, 0..10, ticks 4, tick 3 at 9, selection 2..7
'! expect: [error] Tick 4 not found.
'! expect:     Total number of ticks: 4.
'! expect: [script] stepped after 7.5: 7.5
'! expect: [script] ticked: 5 ticks at 0 2 4 6 8
'! expect: [script] viewer: H 0..817 at 0, V 0..157 at 0
'! expect: [script] viewer after scrolling: H 100, V 30, element 100/30
'! expect: [script] flow (25): V 0..60 at 10, H max 0
'! expect: [script] reader (27): V 0..48 at 10, H max 0
'! expect: [script] pages (26): V 0..630 at 10, H max 0
'! expect: [script] helper made in mode 2, used in mode 0: -2147467259 Failed to set the scroll position to 999.000000. 817.000000 was set instead of it.||Minimum: 0.000000 maximum: 817.000000.
'! expect: -- the script ran to its end: 14 log entries, 2 errors logged
' The ranges script in VBScript: each member once, numbers as VBScript's, the viewers from an array and a
' helper's own report mode caught with On Error (the edge cases: ranges.js).
Set hbar = App.Find("hbar")
Log.Message "hbar: pos " & hbar.wPosition & ", min " & hbar.wMin & ", max " & hbar.wMax
hbar.wPosition = 25
Log.Message "hbar after 25: " & hbar.wPosition
hbar.wPosition = 80
Log.Message "hbar after 80: " & hbar.wPosition

Set stepped = App.Find("stepped")
Log.Message "stepped: pos " & stepped.wPosition & ", " & stepped.wMin & ".." & stepped.wMax & ", ticks " & _
            stepped.wNumTics & ", tick 3 at " & stepped.wTicPosition(3) & ", selection " & _
            stepped.wSelectionStart & ".." & stepped.wSelectionEnd
missing = stepped.wTicPosition(4)
stepped.wPosition = 7.5
Log.Message "stepped after 7.5: " & stepped.wPosition

Set ticked = App.Find("ticked")
positions = ""
For i = 0 To ticked.wNumTics - 1
    If i > 0 Then positions = positions & " "
    positions = positions & ticked.wTicPosition(i)
Next
Log.Message "ticked: " & ticked.wNumTics & " ticks at " & positions

Set viewer = App.Find("viewer")
Set h = viewer.HScroll
Set v = viewer.VScroll
Log.Message "viewer: H " & h.Min & ".." & h.Max & " at " & h.Pos & ", V " & v.Min & ".." & v.Max & " at " & v.Pos
v.Pos = 30
h.Pos = 100
Log.Message "viewer after scrolling: H " & h.Pos & ", V " & v.Pos & ", element " & _
            App.Element("viewer").HorizontalOffset & "/" & App.Element("viewer").VerticalOffset

For Each name In Array("flow", "reader", "pages")
    Set scroller = App.Find(name)
    Set down = scroller.VScroll
    down.Pos = 10
    Log.Message name & " (" & App.Kind(name) & "): V " & down.Min & ".." & down.Max & " at " & down.Pos & _
                ", H max " & scroller.HScroll.Max
Next

Host.ErrorReportMode = 2
Set helper = App.Find("viewer").HScroll
Host.ErrorReportMode = 0
On Error Resume Next
helper.Pos = 999
Log.Message "helper made in mode 2, used in mode 0: " & Err.Number & " " & Replace(Err.Description, vbCrLf, "|")
