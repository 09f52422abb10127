//! app: controls.xaml
//! exit: 1
//! expect: [message] The button was clicked with the left mouse button.
//! expect: [error] The control is disabled. The action cannot be executed.
//! expect: [message] The repeat button was clicked with the left mouse button.
//! expect: [message] The repeat button was clicked with the left mouse button.
//! expect: [message] The repeat button was clicked with the left mouse button 3 times.
//! expect: [error] Invalid argument.
//! expect:     The argument of the ClickButton method must be a positive integer.
//! expect: [message] The toggle button was clicked with the left mouse button.
//! expect:     The control state has been changed to 'checked'.
//! expect: [notice] The toggle button is already checked.
//! expect: [error] Invalid state of the toggle button.
//! expect:     Cannot change the state of the toggle button. The cbGrayed state is valid only for those controls that have the IsThreeState property set to True.
//! expect: [error] Invalid state of the toggle button.
//! expect:     Only the following values can be used as the toggle button state: 0, 1, 2, True, False.
//! expect: [script] toggle: state 1, IsChecked true
//! expect: [message] The toggle button was clicked with the left mouse button.
//! expect:     The control state has been changed to 'grayed'.
//! expect: [script] toggle3: state 2, IsChecked null
//! expect: [script] toggle3 after wState = 0: state 0
//! expect: [message] The check box was clicked with the left mouse button.
//! expect:     The control state has been changed to 'checked'.
//! expect: [notice] The check box is already checked.
//! expect: [error] Invalid state of the check-box.
//! expect:     Only the following values can be used as the check-box state: 0, 1, 2, True and False.
//! expect: [error] Invalid state of the check-box.
//! expect:     Cannot change the state of the check-box. The cbGrayed state is valid only for those controls that have the IsThreeState property set to True.
//! expect: [message] The check box was clicked with the left mouse button.
//! expect:     The control state has been changed to 'unchecked'.
//! expect: [message] The check box was clicked with the left mouse button.
//! expect:     The control state has been changed to 'grayed'.
//! expect: [script] check3: state 2
//! expect: [error] The control is disabled. The action cannot be executed.
//! expect: [script] disabledCheck after wState = 1: state 1
//! expect: [script] red checked: true, green checked: false
//! expect: [message] The radio button was clicked with the left mouse button.
//! expect:     The control state has been changed to 'checked'.
//! expect: [script] red checked: false, green checked: true
//! expect: [message] The radio button was clicked with the left mouse button.
//! expect:     The control state has been changed to 'checked'.
//! expect: -- the script ran to its end: 27 log entries, 7 errors logged
// Every button member with its log lines, errors reported to the log (ErrorReportMode 1, the default).
App.Find("ok").ClickButton();
App.Find("disabled").ClickButton();

var repeat = App.Find("repeat");
repeat.ClickButton();
repeat.ClickButton(1);
repeat.ClickButton(3);
repeat.ClickButton(0);

var toggle = App.Find("toggle");
toggle.ClickButton(cbChecked);
toggle.ClickButton(true);
toggle.ClickButton(cbGrayed);
toggle.ClickButton("1");
Log.Message("toggle: state " + toggle.wState + ", IsChecked " + App.Element("toggle").IsChecked);

var toggle3 = App.Find("toggle3");
toggle3.ClickButton(cbGrayed);
Log.Message("toggle3: state " + toggle3.wState + ", IsChecked " + App.Element("toggle3").IsChecked);
toggle3.wState = cbUnChecked;
Log.Message("toggle3 after wState = 0: state " + toggle3.wState);

var check = App.Find("check");
check.ClickButton(-1);
check.ClickButton(1);
check.ClickButton(1.5);
check.ClickButton(cbGrayed);
check.ClickButton(false);

var check3 = App.Find("check3");
check3.ClickButton(cbGrayed);
Log.Message("check3: state " + check3.wState);

var disabledCheck = App.Find("disabledCheck");
disabledCheck.ClickButton(cbChecked);
disabledCheck.wState = cbChecked;
Log.Message("disabledCheck after wState = 1: state " + disabledCheck.wState);

var red = App.Find("red"), green = App.Find("green");
Log.Message("red checked: " + red.wChecked + ", green checked: " + green.wChecked);
green.ClickButton();
Log.Message("red checked: " + red.wChecked + ", green checked: " + green.wChecked);
green.ClickButton();
