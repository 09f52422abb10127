// The demo: a user goes through the settings window of settings.xaml. Run it from the source tree with
//   tools/ovhost run examples/settings.xaml examples/settings.js
// Every action of the module ends in the log; Log.Message adds the script's own lines.

// What the module makes of the window's elements: kind (WPFControlType) and .NET class.
var names = ["settingsWindow", "sections", "generalBorder", "heading", "remember", "darkMode", "startLast",
             "zoomIn", "okButton", "zoomReset"];
for (var i = 0; i < names.length; i++)
    Log.Message(names[i] + ": kind " + App.Kind(names[i]) + ", " + App.ClassName(names[i]));
if (App.Find("generalBorder") === null)
    Log.Message("A border is a decoration: the module makes no automation object for it.");

// Check boxes: a two-state one and a three-state one that starts grayed.
var remember = App.Find("remember");
remember.ClickButton(cbUnChecked);
remember.ClickButton(false); // already unchecked: a notice, nothing is clicked
var updates = App.Find("updates");
Log.Message("'Check for updates' starts in state " + updates.wState + " (cbGrayed = " + cbGrayed + ")");
updates.ClickButton(cbChecked);
App.Find("darkMode").ClickButton(true);

// Radio buttons of one group.
App.Find("startLast").ClickButton();
Log.Message("'Open a blank page' is checked: " + App.Find("startBlank").wChecked);

// A repeat button clicked three times.
App.Find("zoomIn").ClickButton(3);

// The user class SettingsDemo.ResetButton behaves as a button, but only class names decide the kind:
// until the button kind lists it, it is a plain control (kind 100).
Host.SetClassNames(ctrlWPFButton, Host.DefaultClassNames(ctrlWPFButton).split("|").concat(["SettingsDemo.*"]));
Log.Message("zoomReset is now of kind " + App.Kind("zoomReset") + "; the button kind takes " +
            Host.ClassNames(ctrlWPFButton));
App.Find("zoomReset").ClickButton();

// The deliberate failure: "Send usage data" is disabled. With ErrorReportMode 2 the module raises the
// error to the script, which expects it and goes on; nothing lands in the log as an error.
Host.ErrorReportMode = 2;
try {
    App.Find("telemetry").ClickButton(cbChecked);
    Log.Message("Unexpected: the disabled check box took the click.");
} catch (e) {
    Log.Message("As expected, the disabled check box refused: " + e.message.split("\r\n\r\n")[0]);
}
Host.ErrorReportMode = 1;

App.Find("okButton").ClickButton();

// What the application holds now, read from its own objects.
Log.Message("remember=" + App.Element("remember").IsChecked + ", updates=" + App.Element("updates").IsChecked +
            ", darkMode=" + App.Element("darkMode").IsChecked + ", startLast=" + App.Element("startLast").IsChecked);
Log.Message(Log.Count + " log entries so far; the first: " + Log.Item(0).Kind + " \"" + Log.Item(0).Text + "\"");
