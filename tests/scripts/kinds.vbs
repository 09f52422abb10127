'! app: controls.xaml
'! args: --verbose
'! expect: [script] mainWindow: 100 System.Windows.Window object
'! expect: [script] label: 50 System.Windows.Controls.TextBlock Nothing
'! expect: [script] ok: 1 System.Windows.Controls.Button object
'! expect: [script] fancyCheck: 100 ScriptTests.Controls.FancyCheck object
'! expect: [script] tabs: 11 System.Windows.Controls.TabControl object
'! expect: [script] constants: 1 2 9 14 15 50 100 0 1 2 8192 16384 32768
'! expect: [script] after SetClassNames: fancyCheck 2, check 2, check box kind System.Windows.Controls.CheckBox|ScriptTests.Controls.FancyCheck
'! expect: [message] The check box was clicked with the left mouse button.
'! expect:     The control state has been changed to 'checked'.
'! expect: [script] SetClassNames(50): Host.SetClassNames: kind 50 has no key of its own, so the options cannot address it.
'! expect: [script] SetClassNames(""): Host.SetClassNames: the class names must be an array of strings.
'! expect: -- the script ran to its end: 10 log entries, no error logged
'! expect: -- alive after the run: 0 automation objects still referenced, 0 host and 0 application objects
' Classification and App.Find of a few kinds (members found without case; every kind: kinds.js), then the
' class-name options with a VBScript array variable. What the script found stays referenced to its end.
Dim names, name, object, kept(6), i
names = Array("mainWindow", "label", "ok", "fancyCheck", "tabs")
For Each name In names
    Set object = app.find(name)
    Set kept(i) = object
    i = i + 1
    If object Is Nothing Then
        Log.Message name & ": " & App.KIND(name) & " " & App.ClassName(name) & " Nothing"
    Else
        Log.Message name & ": " & App.Kind(name) & " " & App.ClassName(name) & " object"
    End If
Next
Log.Message "constants: " & ctrlWPFButton & " " & ctrlWPFCheckBox & " " & ctrlWPFRadioButton & " " & _
            ctrlWPFToggleButton & " " & ctrlWPFRepeatButton & " " & ctrlWPFActTransparent & " " & _
            ctrlWPFBaseCtrl & " " & cbUnChecked & " " & cbChecked & " " & CBGRAYED & " " & skwShift & " " & _
            skwCtrl & " " & ovWPFControlsLib.skwAlt

Dim patterns(1)
patterns(0) = Host.DefaultClassNames(ctrlWPFCheckBox)
patterns(1) = "ScriptTests.Controls.FancyCheck"
Host.SetClassNames ctrlWPFCheckBox, patterns
Log.Message "after SetClassNames: fancyCheck " & App.Kind("fancyCheck") & ", check " & App.Kind("check") & _
            ", check box kind " & Host.ClassNames(ctrlWPFCheckBox)
App.Find("fancyCheck").ClickButton cbChecked
Set kept(5) = Log(Log.Count - 1)
Set kept(6) = App.Element("check")

On Error Resume Next
Host.SetClassNames ctrlWPFActTransparent, Array("X")
Log.Message "SetClassNames(50): " & Err.Description
Err.Clear
Host.SetClassNames ctrlWPFButton, Empty
Log.Message "SetClassNames(""""): " & Err.Description
