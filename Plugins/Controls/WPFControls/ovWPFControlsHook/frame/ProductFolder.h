// The host product's folder: passed between the host's processes in an environment variable, derived
// from the module's own location when missing, and put on the search path.
#pragma once

#include <windows.h>

#include <string>

namespace ov::ProductFolder {

// "Orvane6_X64_Product_Path", or the same name followed by "Alternative" when the command line asks
// for the alternative product path.
std::string VariableName();
// Directory part of a path: the text before the last '\' or ':', whichever is later.
std::string DirectoryOf(const std::string& path);
// Runs once at attach: makes sure the variable is set and the folder is on "PATH".
void SetUp(HINSTANCE module);
// The same for a module stored at `modulePath` (ANSI full file name).
void SetUpForModulePath(const std::string& modulePath);
// The folder: the executable's directory when the code runs inside an executable, else the variable's
// value (empty when unset, or when the value does not fit 260 bytes).
std::wstring Get(HINSTANCE module);

} // namespace ov::ProductFolder
