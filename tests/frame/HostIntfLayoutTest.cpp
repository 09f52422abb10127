// The host and the module call each other by vtable position only: an operation that drifts by one slot
// in the IDL breaks the contract without a compile error. This file sees the interfaces in their C layout,
// one function pointer per position in IDL order, which the C++ declarations share.
#define CINTERFACE
#include <windows.h>
#include <ole2.h>

#include "ovHostIntf.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <initializer_list>

namespace {

struct Slot {
    const char* member;
    size_t actual;
    size_t expected;
};
Slot MakeSlot(const char* member, size_t offset, size_t expected) {
    return {member, offset / sizeof(void*), expected};
}
#define SLOT(I, member, expected) MakeSlot(#I "::" #member, offsetof(I##Vtbl, member), expected)

void ExpectSlots(std::initializer_list<Slot> slots) {
    for (const Slot& slot : slots)
        EXPECT_EQ(slot.actual, slot.expected) << slot.member;
}

// Everything the module calls on the host.
TEST(HostIntfLayout, HostOperationsTheModuleCalls) {
    ExpectSlots({SLOT(IbxModuleUnloadListener, OnModuleUnload, 3), SLOT(IovOpenAppHook, GetModuleManager, 3),
                 SLOT(IovHostLog, AddEntry, 3), SLOT(IovModuleManager, FindModule, 3),
                 SLOT(IovModuleManager, RegisterModule, 4), SLOT(IovModuleManager, UnregisterModule, 5),
                 SLOT(IovModuleManager, AdviseManagerEvents, 8),
                 SLOT(IovModuleManager, UnadviseManagerEvents, 9),
                 SLOT(IovObjectService, PlayMouseMessage, 9), SLOT(IovObjectService, CreateObject, 11),
                 SLOT(IovObjectService, FindHostObject, 20), SLOT(IovObjectService, GetWindowAtPoint, 85),
                 SLOT(IovModule, GetModuleKey, 3), SLOT(IovObjectInternal, GetOwner, 3),
                 SLOT(IovNativeObjectInfo, GetTechnology, 4), SLOT(IovMemberLookup, LookupIDsOfNames, 3)});
    ExpectSlots({SLOT(IovObject, GetNativeObject, 8), SLOT(IovObject, GetNativeKind, 9),
                 SLOT(IovObject, IsValid, 10), SLOT(IovObject, GetFullName, 11),
                 SLOT(IovExtensionList, GetCount, 3), SLOT(IovExtensionList, GetExtensionObject, 4),
                 SLOT(IovHostObject, GetParent, 4), SLOT(IovHostObject, GetObjectType, 5),
                 SLOT(IovHostObject, GetChildCount, 6), SLOT(IovHostObject, GetChild, 7),
                 SLOT(IovHostObject, GetOptionStore, 9), SLOT(IovHostObject, GetExtender, 10),
                 SLOT(IovHostObject, RefreshChildren, 30), SLOT(IovHostObject, GetExtension, 33),
                 SLOT(IovOptionStore, GetExtension, 3)});
    ExpectSlots({SLOT(IovMouseActions, Click, 7), SLOT(IovMouseActions, ClickM, 8),
                 SLOT(IovMouseActions, ClickR, 9), SLOT(IovMouseActions, DblClick, 10),
                 SLOT(IovMouseActions, DblClickM, 11), SLOT(IovMouseActions, DblClickR, 12),
                 SLOT(IovActionOptions, get_ActionMode, 3), SLOT(IovActionOptions, put_ActionMode, 4),
                 SLOT(IovActionOptions, get_ActionFlags, 5), SLOT(IovActionOptions, put_ActionFlags, 6),
                 SLOT(IovHostWindow, Activate, 7), SLOT(IovSyntaxMember, put_Name, 16),
                 SLOT(IovSyntaxMember, put_Arguments, 18), SLOT(IovSyntaxMember, put_Owner, 20),
                 SLOT(IovSyntaxMember, put_MemberFlag, 22), SLOT(IovSyntaxArguments, Add, 4),
                 SLOT(IovSyntaxArgument, put_Value, 14)});
}

} // namespace
