// `OVHookX64 run [--log FILE] [--junit FILE] [--timeout SECONDS] [--verbose] APP.xaml SCRIPT`: the main job.
// Reads the application from its XAML, loads the module from the product folder, attaches the application,
// runs the script (JScript for .js, VBScript for .vbs) with the object model of ScriptModel.h, prints the log
// as it grows, and ends with one of these exit codes:
//
//   0  the script ran to its end and no error was logged
//   1  the script ran to its end and an error was logged (also one logged before a Log.Clear, and the
//      host's own check that nothing of the run outlives it)
//   2  the script failed (syntax error, uncaught exception; printed with line, column and the line's
//      text), or the script file cannot be read
//   3  the application or the module could not be loaded (one line on the error output says why)
//   4  the script was stopped at its time limit
//   64 the command line was wrong (also --log naming the application or the script)
//
// --log FILE writes every entry as a JSON line as well; --junit FILE the run as a JUnit report (log/JUnit.h).
// --timeout SECONDS (300 unless given, 0 for none, at most 86400): the engine is interrupted at the limit; an
// engine that does not stop within 2 seconds ends the process with exit 4 after the last lines are written.
// --verbose prints what is alive after the run.
#pragma once

#include "CommandLine.h"

#include <memory>

namespace wpfsim {
class Application;
}

namespace ovhost {

class Host;

int RunRun(const Invocation& invocation);
// `OVHookX64 record [options of run] APP.xaml ACTIONS --out RECORDED`: runs ACTIONS as run does with the
// recorder on from the start and writes what it recorded to RECORDED (UTF-8), in the language of its
// extension. --dump FILE (both commands) writes the state of every element at the end (DumpState).
int RunRecord(const Invocation& invocation);

// The steps that every command which opens an application shares (run, inspect). Each returns empty on
// success, else the one-line reason the command prints after its name.
//
// Reads the application from its XAML into `app` (on failure: exit ExitAppNotLoaded).
// `notes`, when given, receives what the application leaves out for want of the project's other files.
std::wstring LoadApplication(const std::wstring& path, std::unique_ptr<wpfsim::Application>& app,
                             std::vector<std::wstring>* notes = nullptr);
// Registers the host's type library from the product folder, loads the module into `host` and attaches
// the application under the name of its file, as the real host does (on failure: exit ExitModuleNotLoaded).
std::wstring StartHost(Host& host, wpfsim::Application& app, const std::wstring& appPath,
                       const std::wstring& productFolder);
// "0x8002802B".
std::wstring HResultText(long hr);
// A script file as text: UTF-16 with its byte order mark, otherwise UTF-8 (with or without one), otherwise
// the system's code page. False, with the reason in words, when it cannot be read.
bool ReadScript(const std::wstring& path, std::wstring& text, std::wstring& why);

} // namespace ovhost
