// `OVHookX64 test [--junit FILE] [--timeout SECONDS] [--verbose] SCRIPT|FOLDER...`: runs scripts, each
// against its application, for CI. A folder stands for its .js and .vbs files (not those of its
// subfolders), in the order of their names. A script's application is named on its first line,
//
//   // app: ../examples/settings.xaml          ' app: settings.xaml
//
// (a path relative to the script; "//! app:" and "'! app:", the end-to-end tests' form, as well), or is the
// .xaml file of the script's name beside it. Each script runs as `OVHookX64 run` in a process of its own,
// so that it meets a fresh application and a fresh load of the module, and a script that never ends is
// stopped at its time limit without stopping the others. One line per script says how it ended (its exit
// code's meaning, its time), the errors it logged below a failed one; the last line counts them: "3 passed,
// 1 failed". Exit codes: 0 every script passed, 1 one or more failed, 64 a wrong command line (also a path
// that is neither a script nor a folder). --junit FILE writes one testsuite with a testcase per script and
// per Log.Check (log/JUnit.h); --verbose prints each script's whole output.
#pragma once

#include "CommandLine.h"

namespace ovhost {

int RunTest(const Invocation& invocation);

// The application of a script (a full path), from its first line or beside it; empty when it has none.
std::wstring ApplicationOfScript(const std::wstring& script, const std::wstring& firstLine);

} // namespace ovhost
