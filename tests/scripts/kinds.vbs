'! app: controls.xaml
'! args: --verbose
'! expect: [script] mainWindow: 100 System.Windows.Window object
'! expect: [script] stack: 50 System.Windows.Controls.StackPanel Nothing
'! expect: [script] border: 50 System.Windows.Controls.Border Nothing
'! expect: [script] label: 50 System.Windows.Controls.TextBlock Nothing
'! expect: [script] wrap: 50 System.Windows.Controls.WrapPanel Nothing
'! expect: [script] ok: 1 System.Windows.Controls.Button object
'! expect: [script] repeat: 15 System.Windows.Controls.Primitives.RepeatButton object
'! expect: [script] toggle: 14 System.Windows.Controls.Primitives.ToggleButton object
'! expect: [script] grid: 50 System.Windows.Controls.Grid Nothing
'! expect: [script] check: 2 System.Windows.Controls.CheckBox object
'! expect: [script] dock: 50 System.Windows.Controls.DockPanel Nothing
'! expect: [script] red: 9 System.Windows.Controls.RadioButton object
'! expect: [script] canvas: 50 System.Windows.Controls.Canvas Nothing
'! expect: [script] fancy: 100 ScriptTests.Controls.FancyButton object
'! expect: [script] fancyCheck: 100 ScriptTests.Controls.FancyCheck object
'! expect: [script] scrollBar: 10 System.Windows.Controls.Primitives.ScrollBar object
'! expect: [script] slider: 13 System.Windows.Controls.Slider object
'! expect: [script] viewer: 16 System.Windows.Controls.ScrollViewer object
'! expect: [script] flow: 25 System.Windows.Controls.FlowDocumentScrollViewer object
'! expect: [script] reader: 27 MS.Internal.Documents.ReaderScrollViewer object
'! expect: [script] pages: 26 System.Windows.Controls.DocumentViewer object
'! expect: [script] edit: 5 System.Windows.Controls.TextBox object
'! expect: [script] secret: 28 System.Windows.Controls.PasswordBox object
'! expect: [script] tabs: 11 System.Windows.Controls.TabControl object
'! expect: [script] expander: 6 System.Windows.Controls.Expander object
'! expect: [script] constants: 1 2 9 14 15 50 100 0 1 2 8192 16384 32768
'! expect: [script] after SetClassNames: fancyCheck 2, check 2, check box kind System.Windows.Controls.CheckBox|ScriptTests.Controls.FancyCheck
'! expect: [message] The check box was clicked with the left mouse button.
'! expect:     The control state has been changed to 'checked'.
'! expect: [script] SetClassNames(50): Host.SetClassNames: kind 50 has no key of its own, so the options cannot address it.
'! expect: [script] SetClassNames(""): Host.SetClassNames: the class names must be an array of strings.
'! expect: -- alive after the run: 0 automation objects still referenced, 0 host and 0 application objects
'! reject: [error]
' Classification and App.Find for every kind there is so far (members found without case), then the
' class-name options with a VBScript array variable. What the script found stays referenced to its end.
Dim names, name, object, kept(26), i
names = Array("mainWindow", "stack", "border", "label", "wrap", "ok", "repeat", "toggle", "grid", "check", _
              "dock", "red", "canvas", "fancy", "fancyCheck", "scrollBar", "slider", "viewer", "flow", "reader", _
              "pages", "edit", "secret", "tabs", "expander")
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
Set kept(25) = Log(Log.Count - 1)
Set kept(26) = App.Element("check")

On Error Resume Next
Host.SetClassNames ctrlWPFActTransparent, Array("X")
Log.Message "SetClassNames(50): " & Err.Description
Err.Clear
Host.SetClassNames ctrlWPFButton, Empty
Log.Message "SetClassNames(""""): " & Err.Description
