// Runs of scripts as a JUnit XML report, the form CI systems read (tests/junit.xsd is its schema): one
// testsuite; a testcase per script (its run's exit code decides: 1 a failure that lists the errors logged,
// 2 to 4 an error, with the script's failure or the reason) and one per Log.Check of the script (a failure
// when it failed), each failure with its message, details and line; the script's printed log as its
// system-out.
//
//   <testcase name="settings.js" classname="examples.settings" time="0.812">
//     <failure message="The control is disabled. The action cannot be executed." type="error logged">...
//   <testcase name="the theme is Dark" classname="examples.settings" time="0.000"/>
#pragma once

#include "../services/HostCore.h"

#include <string>
#include <vector>

namespace ovhost {

// One script's run.
struct ScriptOutcome {
    std::wstring script;           // the path as given
    int exitCode = 0;              // as `run` ends
    double seconds = 0;            // the whole run
    std::vector<LogEntry> entries; // everything logged, also what Log.Clear removed
    std::wstring output;           // what the run printed
    std::wstring reason;           // why the run did not start (exit 3, 64), or empty
};

// "passed", or what the exit code says ("an error was logged", "the script failed", ...).
std::wstring OutcomeText(int exitCode);

// The report (UTF-8) of the runs as one testsuite of that name; `started` is the time of the first run.
std::string JUnitReport(const std::wstring& suite, const std::vector<ScriptOutcome>& runs,
                        const SYSTEMTIME& started);

// Writes the report; false when the file cannot be written.
bool WriteJUnit(const std::wstring& path, const std::wstring& suite, const std::vector<ScriptOutcome>& runs,
                const SYSTEMTIME& started);

} // namespace ovhost
