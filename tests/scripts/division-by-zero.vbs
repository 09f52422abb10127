'! app: controls.xaml
'! exit: 2
'! expect: [script] before
'! expect: [script error] line 9, column 24: Division by zero
'! expect:     > Log.Message "before" : total = total / 0
'! expect: -- the script failed
' A runtime error of the engine: its words, the line and column, and the line's text.
Dim total : total = 1
Log.Message "before" : total = total / 0
Log.Message "never runs"
