'! app: controls.xaml
'! exit: 2
'! expect-start: [script error] line 8, column 1: Type mismatch
'! expect:     > count = "three" * 2
'! expect: -- the script failed
' A runtime error of the engine in words (engines that name the value add it after a colon).
Dim count
count = "three" * 2
Log.Message "never runs"
