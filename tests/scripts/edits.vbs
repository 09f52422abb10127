'! app: ranges.xaml
'! exit: 1
'! expect: [script] name: 'abc', limit 5
'! expect: [error] Failed to set the text 'abcdefgh'. 'abcde' was set instead of it.
'! expect:     Limit: 5.
'! expect: [script] name after 8 characters: 'abcde' (abcde)
'! expect: [script] notes, selected: 2..6 'ee t'
'! expect: [script] secret: char '*', limit 5, '12345678'
'! expect: -- the script ran to its end: 5 log entries, 1 error logged
' The edits in VBScript: each member once (the edge cases: edits.js).
Set name = App.Find("name")
Log.Message "name: '" & name.wText & "', limit " & name.wLimit
name.wText = "abcdefgh"
Log.Message "name after 8 characters: '" & name.wText & "' (" & App.Element("name").Text & ")"

Set notes = App.Find("notes")
App.Element("notes").Select 2, 4
Log.Message "notes, selected: " & notes.wSelectionStart & ".." & notes.wSelectionEnd & " '" & _
            notes.wSelection & "'"

Set secret = App.Find("secret")
secret.wText = "12345678"
Log.Message "secret: char '" & secret.wPasswordChar & "', limit " & secret.wLimit & ", '" & secret.wText & "'"
