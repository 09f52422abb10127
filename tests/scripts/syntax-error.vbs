'! app: controls.xaml
'! exit: 2
'! expect: [script error] line 8, column 4: Syntax error
'! expect:     > If Then
'! expect: -- the script failed
' A script that does not parse runs not at all.
Log.Message "never runs"
If Then
