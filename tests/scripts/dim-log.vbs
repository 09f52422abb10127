'! app: controls.xaml
'! expect: [script] declared and still the log
'! expect: [script] a local Log: 3
'! expect: [script] the end
'! expect: -- the script ran to its end: 3 log entries, no error logged
' Log is the host's whatever the script declares at its top level; a procedure's own Log is its own.
Option Explicit
Dim count, Log, other
Dim Log

Log.Message "declared and still the log"

Function Local()
    Dim Log
    Log = 3
    Local = Log
End Function
Host.Log.Message "a local Log: " & Local()
Log.Message "the end"
