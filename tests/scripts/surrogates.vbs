'! app: surrogates.xaml
'! expect: [script] smile: 😀, 2 units
'! expect: [script] decimal: 😀é, 3 units
'! expect: [script] raw: 😀 ok, 5 units
'! expect: -- the script ran to its end: 3 log entries, no error logged
' A character beyond U+FFFF, from a reference or written as it is, reaches the script as one surrogate pair
' (the units themselves are in surrogates.js: wine's VBScript has no AscW).
Dim smile, decimal, raw
smile = CStr(App.Element("smile").Content)
Log.Message "smile: " & smile & ", " & Len(smile) & " units"
decimal = CStr(App.Element("decimal").Content)
Log.Message "decimal: " & decimal & ", " & Len(decimal) & " units"
raw = CStr(App.Element("raw").Text)
Log.Message "raw: " & raw & ", " & Len(raw) & " units"
