// `OVHookX64 members [KIND]`: the reference of what a script can call, read at run time from the type
// libraries of the module and of the host. For every kind (or the one given, a WPFControlType name such as
// ctrlWPFListBox, or its value) it loads the module, has the kind's info make its automation object (as
// App.Find does) and lists the interfaces that object's IDispatch names, in the order the object resolves
// names (most derived first, up to IovWPFControl); then the interfaces of the objects those members hand
// out (menus, menu items, scroll helpers, tree item collections and nodes). Every member shows its kind
// (method, get, put), its arguments with their types and defaults, its result, its DISPID and its help
// string. The output is Markdown; docs/members.md is this command's output and a test keeps them equal.
//
// Exit codes: 0 printed, 3 the module could not be loaded, 64 a wrong command line or an unknown kind.
#pragma once

#include "CommandLine.h"

#include "com/ComPtr.h"

#include <map>
#include <oaidl.h>
#include <string>
#include <vector>

namespace ovhost {

int RunMembers(const Invocation& invocation);

// One member as its interface's type description has it.
struct MemberDoc {
    std::wstring name;
    const wchar_t* kind = L"method";     // "method", "get", "put", "get, put"
    std::wstring from;                   // the interface that declares it
    std::vector<std::wstring> arguments; // "Item: Variant", "[Shift: TShiftKey = skwNoShift]"
    std::wstring result;                 // "Long", "Object"; empty for none
    std::wstring handsOut;               // the interface of the object the member gives, when known
    std::wstring help;
    DISPID id = DISPID_UNKNOWN;
};

struct InterfaceDoc {
    std::wstring name, help;
    std::vector<std::wstring> bases; // interfaces it inherits members from (besides IDispatch)
    std::vector<MemberDoc> members;  // inherited members first, in the type library's order
};

// The interface of the object a member hands out, which the type libraries call only "Object" (a test holds
// each entry against the objects the members give).
struct HandOut {
    const wchar_t* owner; // the interface of the member
    const wchar_t* member;
    const wchar_t* gives;
};
const std::vector<HandOut>& HandOuts();

// The interfaces of an automation object in the order its IDispatch gives them (GetTypeInfo 0, 1, ...).
std::vector<InterfaceDoc> InterfacesOf(IDispatch& object);
// The members a script names, each once, in resolution order: "ClickItem(Item, [Shift])" for methods and
// properties with arguments, the bare name for plain properties; a name an earlier interface has is hidden.
std::vector<std::wstring> MemberSummaries(const std::vector<InterfaceDoc>& interfaces);

// The names of the values of the type library's enumeration `enumName` (WPFControlType, ...).
std::map<LONG, std::wstring> EnumNames(ITypeLib& library, std::wstring_view enumName);

} // namespace ovhost
