// `OVHookX64 run [--log FILE] [--verbose] APP.xaml SCRIPT`: the main job. Reads the application from its
// XAML, loads the module from the product folder, attaches the application, runs the script (JScript for
// .js, VBScript for .vbs) with the object model of ScriptModel.h, prints the log as it grows, and ends
// with one of these exit codes:
//
//   0  the script ran to its end and no error was logged
//   1  the script ran to its end and an error was logged (also one logged before a Log.Clear, and the
//      host's own check that nothing of the run outlives it)
//   2  the script failed (syntax error, uncaught exception; printed with its line), or the command line was
//      wrong, or the script file cannot be read
//   3  the application or the module could not be loaded (one line on the error output says why)
//
// --log FILE writes every entry as a JSON line as well. --verbose prints what is alive after the run.
#pragma once

#include "CommandLine.h"

namespace ovhost {

int RunRun(const Invocation& invocation);

} // namespace ovhost
