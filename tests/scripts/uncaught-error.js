//! app: controls.xaml
//! exit: 2
//! expect: [script] before the failure
//! expect: [script error] line 10: Invalid state of the check-box.
//! expect:     Cannot change the state of the check-box. The cbGrayed state is valid only for those controls that have the IsThreeState property set to True.
//! expect: -- the script failed
//! reject: not reached
// An error of the module that the script does not catch (ErrorReportMode 2) ends the script.
Host.ErrorReportMode = 2;
Log.Message("before the failure"); App.Find("check").ClickButton(cbGrayed);
Log.Message("not reached");
