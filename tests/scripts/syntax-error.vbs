'! app: controls.xaml
'! exit: 2
'! expect-start: [script error] line 8:
'! expect: -- the script failed
'! reject: [script] never runs
' A script that does not parse runs not at all.
Log.Message "never runs"
If Then
