// The object model of a test script, the same in JScript and VBScript (member names without case):
//
//   App.Find(name)                the automation object of the element named so (its Name or x:Name, with
//                                 case, as WPF compares names), made as the host makes it: the extender
//                                 classifies the element, the kind info of its kind creates the object for
//                                 the element's identifier (CreateControlWithKey), which then takes the
//                                 host's report modes. Null (Nothing) for kinds without one (items,
//                                 decorations). A new object per call. An element that is not shown (so
//                                 the host has no object for it) is a script error that says why
//                                 (HostCore::WhyNotOnScreen).
//   App.Kind(name), App.ClassName(name)   what the module's hook object reports (kind value, class name)
//   App.Element(name)             the element's own .NET object in the simulated application
//   App.Table(name)               the host's table view of the element's object (IovCtrlTableDataSource):
//                                 .RowCount, .ColumnCount, .Caption(column), .Cell(row, column); a failed
//                                 operation is a script error naming its HRESULT
//   User.Click(name [, x, y]), User.RightClick(...), User.DoubleClick(...)
//                                 a person at the mouse: the host's mouse simulation clicks at the element's
//                                 centre or at (x, y) from its top-left corner, where the innermost element
//                                 takes the click; nothing is logged. An element not shown is a script error.
//   User.ClickItem(owner, index), User.RightClickItem(...), User.DoubleClickItem(...)
//                                 the same at the centre of the container of item `index` of an items control
//                                 (a tree node's header); a script error when that container is not on screen
//   User.ClickItem(owner, index, keys) the keys held (skwCtrl, skwShift, skwAlt) during the press
//   User.Type(name, text)         sets the text of an edit or password box as typing would (within its
//                                 MaxLength; a disabled box takes nothing)
//   Recorder.Start(), Recorder.Stop()  while on, every User action is recorded and written as a statement
//                                 of the recording's language (ScriptRecorder.h); Start forgets what was
//                                 recorded before
//   Recorder.Count, Recorder.Event(i)  the recorded events: .Kind, .ClassName, .Enabled, .Designator,
//                                 .Owner (the owner's name), .VisualPath, .Statement
//   Recorder.Script               the statements, one a line
//   Log.Count, Log.Item(i)        the log so far (0-based; Item is the default member), entries with .Kind
//                                 ("message", "notice", "menu notice", "error", "script", "check"), .Text,
//                                 .Details, .Element and .ElementKind (the element whose object's member
//                                 wrote it, and its WPFControlType's name; "" when none), .Line (the script's
//                                 line, ScriptLines.h; 0 when none), .Time (seconds since the host started)
//   Log.Message(text[, details])  writes a message of the script ("script"); Log.Clear() empties the log
//   Log.Error(text[, details])    writes an error of the script's own (the run ends with exit 1)
//   Log.Check(condition, text[, details])  a check of the script: "check" when the condition is true, an
//                                 error "Check failed: text" when it is false; returns the condition. A
//                                 condition that is not true or false (undefined, null, an object, a
//                                 number, a string) is a script error, so that a misspelt name cannot pass
//   Host.ErrorReportMode, Host.MessageReportMode
//                                 (1 by default) what the host sets on every automation object it hands the
//                                 script from now on: App.Find's, and those a member of one returns
//   Host.SetClassNames(kind, names)
//                                 replaces the class-name patterns of a kind (a WPFControlType) as the
//                                 host's options do: every module object that takes options gets the new
//                                 list (OnOptionChanged). names: an array of strings, or one string "a|b".
//   Host.DefaultClassNames(kind), Host.ClassNames(kind)   the patterns joined with "|"
//   Host.Log                      the Log object (VBScript's own Log function hides the global name; a
//                                 prelude makes Log the object again)
//   cbChecked, skwShift, ctrlWPFButton, ...   every constant of the module's type library, as global names
//                                 of the item ovWPFControlsLib (also ovWPFControlsLib.cbChecked)
//
// A wrong use (an unknown element name, a kind that does not exist) is a script error whose description
// says what was wrong; the script can catch it.
//
// What a script sees of the module's errors, by Host.ErrorReportMode: 0 nothing; 1 an entry in the log;
// 2 a script error (number E_FAIL, description: message, "\r\n\r\n", details) for errors, nothing for
// notices; 3 the same as 2: the mode hands the error to a caller inside the module, and a script is none
// (no C++ exception crosses COM).
#pragma once

#include "ScriptSite.h"

#include "wpfsim/Application.h"

#include <memory>
#include <string>

namespace ovhost {

class Host;
struct ModelState;

class ScriptModel {
public:
    // Reads the constants from the loaded module's type library; throws ov::ComError when it cannot.
    ScriptModel(Host& host, wpfsim::Application& app);
    ~ScriptModel();
    ScriptModel(const ScriptModel&) = delete;
    ScriptModel& operator=(const ScriptModel&) = delete;

    std::vector<NamedItem> Items() const;
    // Code that runs before a script of the language (a ProgID); empty when none is needed.
    static std::wstring_view Prelude(std::wstring_view language);
    // The script as its engine gets it: in VBScript without top-level declarations of Log, which the
    // prelude has declared already (the script's lines and columns stay as they are).
    static std::wstring Source(std::wstring_view language, std::wstring script);

    // The script's line, for the log: give it to RunScript.
    ScriptLineSource& Lines() noexcept;

    // The language recorded statements are written in (a ProgID; the script's own unless set).
    void SetRecordingLanguage(std::wstring language);
    void StartRecording();
    std::wstring RecordedScript() const;

    // The time limit is reached (from any thread): every later call of the script into the model or into a
    // handed-out object fails with "The script was stopped at its time limit."
    void StopCalls() noexcept;

    // Ends the run: the objects stop answering (scripts that kept them get an error), and the host lets go
    // of the automation objects it handed out. Returns how many of those someone else still referenced.
    size_t End();

private:
    std::shared_ptr<ModelState> state_;
    std::vector<NamedItem> items_;
};

} // namespace ovhost
