// The command line of OVHookX64.exe: global options (--version, --help) and commands, each an entry of one
// table with its usage, its number of arguments and its handler. A new command is a new table entry.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ovhost {

enum ExitCode : int {
    ExitOk = 0,
    ExitFailed = 1,          // the command ran and failed (a check, an error in the log)
    ExitScriptFailed = 2,    // run: the script failed (syntax error, uncaught exception, unreadable)
    ExitModuleNotLoaded = 3, // the module cannot be loaded
    ExitAppNotLoaded = 3,    // run, inspect: the application cannot be loaded
    ExitTimeout = 4,         // run: the script was stopped at its time limit
    ExitUsage = 64           // the command line was wrong (the usage convention)
};

// Where a command writes: its output and its error lines.
struct Console {
    std::function<void(std::wstring_view)> out;
    std::function<void(std::wstring_view)> err;
};

struct Invocation {
    std::vector<std::wstring> arguments; // after the command name
    std::wstring productFolder;          // the program's folder
    Console console;
};

struct Command {
    const wchar_t* name;
    const wchar_t* arguments; // as shown in the usage
    const wchar_t* summary;
    size_t minArguments;
    size_t maxArguments;
    int (*run)(const Invocation&);
};

const std::vector<Command>& Commands();

// Runs the program's command line (argv[0] excluded) and returns the exit code.
int RunCommandLine(const std::vector<std::wstring>& arguments, const std::wstring& productFolder,
                   const Console& console);

// `check`: loads the module from the product folder, shows its registrations, unloads it, prints the log.
int RunCheck(const Invocation& invocation);

// Registers the host's type library from "<program>\3" (LoadRegTypeLib(LIBID_Orvane, 6, 0) works after).
// Returns the failing HRESULT, or S_OK.
long RegisterHostTypeLibrary(const std::wstring& programPath);

} // namespace ovhost
