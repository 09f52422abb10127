'! app: controls.xaml
'! args: --verbose
'! expect: [script] label Nothing True, ok 1, constants 2 32768
'! expect: [script] fancyCheck 2, check box kind System.Windows.Controls.CheckBox|ScriptTests.Controls.FancyCheck
'! expect: [message] The check box was clicked with the left mouse button.
'! expect:     The control state has been changed to 'checked'.
'! expect: [script] SetClassNames(50): Host.SetClassNames: kind 50 has no key of its own, so the options cannot address it.
'! expect: [script] SetClassNames(Empty): Host.SetClassNames: the class names must be an array of strings.
'! expect: -- the script ran to its end: 5 log entries, no error logged
'! expect: -- alive after the run: 0 automation objects still referenced, 0 host and 0 application objects
' Classification from VBScript (every kind: tests/members/kinds.table): names found without case, constants through their
' library, the class-name options from an array variable, and objects that the script keeps to its end.
Dim label, ok, patterns(1), entry
Set label = app.find("label")
Set ok = APP.FIND("ok")
Log.Message "label Nothing " & (label Is Nothing) & ", ok " & App.KIND("ok") & ", constants " & CBGRAYED & " " & _
            ovWPFControlsLib.skwAlt
patterns(0) = Host.DefaultClassNames(ctrlWPFCheckBox)
patterns(1) = "ScriptTests.Controls.FancyCheck"
Host.SetClassNames ctrlWPFCheckBox, patterns
Log.Message "fancyCheck " & App.Kind("fancyCheck") & ", check box kind " & Host.ClassNames(ctrlWPFCheckBox)
App.Find("fancyCheck").ClickButton cbChecked
Set entry = Log(Log.Count - 1)
On Error Resume Next
Host.SetClassNames ctrlWPFActTransparent, Array("X")
Log.Message "SetClassNames(50): " & Err.Description
Err.Clear
Host.SetClassNames ctrlWPFButton, Empty
Log.Message "SetClassNames(Empty): " & Err.Description
