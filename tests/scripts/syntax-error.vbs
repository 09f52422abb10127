'! app: controls.xaml
'! exit: 2
'! expect: [script error] line 9, column 4: Syntax error
'! expect:     > If Then
'! expect: -- the script failed
'! reject: [script] never runs
' A script that does not parse runs not at all.
Log.Message "never runs"
If Then
