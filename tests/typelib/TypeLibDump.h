// A text rendering of a type library for comparing it with a hand-written reference.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

namespace ov::test {

// One line per item, in type library order:
//   library <name> version=<maj>.<min> lcid=<lcid> syskind=<kind> types=<n> help="..."
//   type[<i>] <name> kind=<kind> flags=<f,...> [vflags=<f,...>] [base=<name> funcs=<n> slots=<n>] help="..."
//   func <type>.<name> <invkind> id=0x<memid> slot=<n> ret=<vt> params=<n> [fflags=<f,...>] [help="..."]
//   param <type>.<name> <invkind> [<i>] <name> type=<vt> flags=<f,...> [default=<value>]
//   const <type>.<name> = <value> help="..."
// For a dual interface the functions, base, slots and vflags are those of its vtable part, so the line
// order of the functions is the vtable order. Help strings and parameter names are answered by memid: a
// setter shows its getter's parameter names and no help of its own. Default values are shown coerced to
// the parameter's type. Throws std::runtime_error when the library cannot be read.
std::wstring DumpTypeLib(ITypeLib* lib);

} // namespace ov::test
