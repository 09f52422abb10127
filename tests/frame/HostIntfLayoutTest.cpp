// The host and the module call each other's operations by vtable slot only, so an operation that drifts
// by one slot in the IDL breaks the contract without a compile error. These tables pin every slot that
// the host's side of the contract fixes.
#include <windows.h>
#include <ole2.h>

#include "ovHostIntf.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <initializer_list>
#include <type_traits>
#include <utility>

namespace {

// A fake object whose vtable slots record their own index: calling a member function pointer on it
// reveals the member's slot. On x64 there is one calling convention and the caller owns the argument
// space, so a slot function may ignore the arguments it receives.
using SlotFunction = HRESULT(STDMETHODCALLTYPE*)(void*);
int g_calledSlot = -1;

template <int N> HRESULT STDMETHODCALLTYPE RecordSlot(void*) {
    g_calledSlot = N;
    return S_OK;
}

template <int... N>
constexpr std::array<SlotFunction, sizeof...(N)> MakeSlots(std::integer_sequence<int, N...>) {
    return {&RecordSlot<N>...};
}

constexpr int kSlotCount = 96; // above the highest slot of any host interface (85)
const std::array<SlotFunction, kSlotCount> kSlots = MakeSlots(std::make_integer_sequence<int, kSlotCount>{});

// A harmless value for every parameter type: zero, null or empty; references bind to a zeroed object.
template <class T> struct Arg {
    static T Get() { return T{}; }
};
template <class T> struct Arg<T&> {
    static T& Get() {
        static std::remove_const_t<T> value{};
        return value;
    }
};

template <class I, class R, class... A> int SlotOf(R (STDMETHODCALLTYPE I::*member)(A...)) {
    // An interface object is nothing but its vtable pointer; byte storage keeps the pun aliasing-safe.
    alignas(I) unsigned char object[sizeof(I)];
    const SlotFunction* vtable = kSlots.data();
    std::memcpy(object, &vtable, sizeof vtable);
    g_calledSlot = -1;
    (reinterpret_cast<I*>(object)->*member)(Arg<A>::Get()...);
    return g_calledSlot;
}

struct Slot {
    const char* member;
    int actual;
    int expected;
};

Slot MakeSlot(const char* member, int actual, int expected) {
    return {member, actual, expected};
}

#define SLOT(member, expected) MakeSlot(#member, SlotOf(&member), expected)

void ExpectSlots(std::initializer_list<Slot> slots) {
    for (const Slot& slot : slots)
        EXPECT_EQ(slot.actual, slot.expected) << slot.member;
}

// Guards the probe itself: the slots of IUnknown and IDispatch are known to every compiler.
TEST(HostIntfLayout, ProbeFindsThePlatformSlots) {
    ExpectSlots({
        SLOT(IUnknown::AddRef, 1),
        SLOT(IUnknown::Release, 2),
        SLOT(IDispatch::GetTypeInfoCount, 3),
        SLOT(IDispatch::GetIDsOfNames, 5),
        SLOT(IDispatch::Invoke, 6),
    });
}

TEST(HostIntfLayout, ModuleEntryAndModuleManager) {
    ExpectSlots({
        SLOT(IbxModuleIntf::AddUnloadListener, 3),
        SLOT(IbxModuleIntf::RemoveUnloadListener, 4),
        SLOT(IbxModuleIntf::AddLateUnloadListener, 5),
        SLOT(IbxModuleIntf::RemoveLateUnloadListener, 6),
        SLOT(IbxModuleUnloadListener::OnModuleUnload, 3),
        SLOT(IovOpenAppHookExtension::Initialize, 3),
        SLOT(IovOpenAppHookExtension::Finalize, 4),
        SLOT(IovOpenAppHook::GetModuleManager, 3),
        SLOT(IovHostLog::AddEntry, 3),
        SLOT(IovModuleManager::FindModule, 3),
        SLOT(IovModuleManager::RegisterModule, 4),
        SLOT(IovModuleManager::UnregisterModule, 5),
        SLOT(IovModuleManager::AdviseManagerEvents, 8),
        SLOT(IovModuleManager::UnadviseManagerEvents, 9),
        SLOT(IovModuleManagerEvents::OnModuleRemoved, 4),
        SLOT(IovModule::GetModuleKey, 3),
        SLOT(IovModuleExtendedObjects::GetExtendedObject, 3),
        SLOT(IbxDisposable::GetName, 3),
        SLOT(IbxDisposable::Dispose, 4),
        SLOT(IovModuleOptions::OnOptionChanged, 3),
        SLOT(IovCtrlsHookExtenderGeneration::GetGeneration, 3),
    });
}

TEST(HostIntfLayout, HostObjectsAndObjectService) {
    ExpectSlots({
        SLOT(IovObjectService::PlayMouseMessage, 9),
        SLOT(IovObjectService::CreateObject, 11),
        SLOT(IovObjectService::FindHostObject, 20),
        SLOT(IovObjectService::GetWindowAtPoint, 85),
        SLOT(IovObject::GetSourceObject, 7),
        SLOT(IovObject::GetNativeObject, 8),
        SLOT(IovObject::GetNativeKind, 9),
        SLOT(IovObject::IsValid, 10),
        SLOT(IovObject::GetFullName, 11),
        SLOT(IovObject::GetSerialNumber, 12),
        SLOT(IovObjectInternal::GetOwner, 3),
        SLOT(IovNativeObjectInfo::GetTechnology, 4),
        SLOT(IovHostObject::GetOptionStore, 9),
        SLOT(IovHostObject::GetExtender, 10),
        SLOT(IovHostObject::RefreshChildren, 30),
        SLOT(IovHostObject::GetExtension, 33),
        SLOT(IovMemberLookup::LookupIDsOfNames, 3),
        SLOT(IovOptionStore::GetExtension, 3),
    });
}

TEST(HostIntfLayout, ActionsAndWindows) {
    ExpectSlots({
        SLOT(IovMouseActions::Click, 7),
        SLOT(IovMouseActions::ClickM, 8),
        SLOT(IovMouseActions::ClickR, 9),
        SLOT(IovMouseActions::DblClick, 10),
        SLOT(IovMouseActions::DblClickM, 11),
        SLOT(IovMouseActions::DblClickR, 12),
        SLOT(IovActionOptions::get_ActionMode, 3),
        SLOT(IovActionOptions::put_ActionMode, 4),
        SLOT(IovActionOptions::get_ActionFlags, 5),
        SLOT(IovActionOptions::put_ActionFlags, 6),
        SLOT(IovHostWindow::Activate, 7),
        SLOT(IovScreenObject::get_ScreenLeft, 12),
        SLOT(IovScreenObject::get_ScreenTop, 13),
        SLOT(IovWin32CtrlStdActionsWindow::GetOwnerWindow, 3),
        SLOT(IovWin32CtrlStdActionsWindow::GetRectangle, 4),
        SLOT(IovWin32CtrlStdActionsWindow::IsAvailable, 5),
    });
}

TEST(HostIntfLayout, MappingInterfaces) {
    ExpectSlots({
        SLOT(IbxKeyItem::GetKey, 3),
        SLOT(IovWindowMappingInfo::GetDisplayName, 4),
        SLOT(IovWindowMappingInfo::GetDefaultClassNameCount, 5),
        SLOT(IovWindowMappingInfo::GetDefaultClassName, 6),
        SLOT(IovWindowMappingInfo::GetClassNameCount, 7),
        SLOT(IovWindowMappingInfo::GetClassName, 8),
        SLOT(IovWindowMappingInfo::Refresh, 10),
        SLOT(IovWindowMappingInfo::ClearClassNames, 11),
        SLOT(IovWindowMappingInfo::AddClassName, 12),
        SLOT(IovWindowMappingInfo::GetGroupName, 13),
        SLOT(IovWindowMappingInfo::GetSecondaryKey, 14),
        SLOT(IovWindowMappingInfo::GetFixedFlag, 15),
        SLOT(IovWindowMappingInfo::GetNativeClassName, 16),
        SLOT(IovCtrlMappingInfo::SetClassNames, 3),
        SLOT(IovCtrlMappingInfo::GetClassNames, 4),
        SLOT(IovCtrlMappingInfo::IsMatch, 5),
        SLOT(IovWindowMappingProvider::GetInfoCount, 4),
        SLOT(IovWindowMappingProvider::GetInfo, 5),
        SLOT(IovCtrlMappingInfoHolder::SetClassNamesByKey, 3),
        SLOT(IovCtrlMappingInfoHolder::GetInfoByKey, 4),
        SLOT(IovCtrlMappingInfoHolder::GetClassNamesByKey, 5),
        SLOT(IovCtrlMappingInfoHolder::PublishClassNames, 6),
        SLOT(IovCtrlMappingInfoHolder::FindKeyByClassName, 7),
        SLOT(IovOptionNotification::NotifyOptionUpdated, 7),
    });
}

TEST(HostIntfLayout, ControlsMenusAndScriptModel) {
    ExpectSlots({
        SLOT(IovCtrlBase::get_ErrorReportMode, 3),
        SLOT(IovCtrlBase::put_ErrorReportMode, 4),
        SLOT(IovCtrlBase::get_MessageReportMode, 5),
        SLOT(IovCtrlBase::put_MessageReportMode, 6),
        SLOT(IovCtrlBase::GetSyntax, 7),
        SLOT(IovCtrlBase::GetHostObject, 8),
        SLOT(IovSyntaxMember::put_Name, 16),
        SLOT(IovSyntaxMember::put_Arguments, 18),
        SLOT(IovSyntaxMember::put_Owner, 20),
        SLOT(IovSyntaxMember::put_MemberFlag, 22),
        SLOT(IovSyntaxArguments::Add, 4),
        SLOT(IovSyntaxArgument::put_Value, 14),
        SLOT(IovCtrlTableDataSource::GetRowCount, 3),
        SLOT(IovCtrlTableDataSource::GetColumnCount, 4),
        SLOT(IovCtrlTableDataSource::GetColumnCaption, 5),
        SLOT(IovCtrlTableDataSource::GetCellValue, 6),
        SLOT(IovCtrlsMenuInternal::ActivateMenuOwner, 3),
        SLOT(IovCtrlsMenuInternal::ActivateTopLevelWindow, 4),
        SLOT(IovWin32Menu::Select, 7),
        SLOT(IovWin32Menu::Check, 8),
        SLOT(IovWin32Menu::Click, 9),
        SLOT(IovWin32Menu::Close, 10),
        SLOT(IovWin32Menu::get_Count, 11),
        SLOT(IovWin32Menu::get_Items, 12),
        SLOT(IovWin32MenuItem::get_Caption, 7),
        SLOT(IovWin32MenuItem::get_Id, 8),
        SLOT(IovWin32MenuItem::get_Index, 9),
        SLOT(IovWin32MenuItem::get_Enabled, 10),
        SLOT(IovWin32MenuItem::get_Checked, 11),
        SLOT(IovWin32MenuItem::get_SubMenu, 12),
        SLOT(IovWin32MenuItem::get_Separator, 14),
    });
}

TEST(HostIntfLayout, Recording) {
    ExpectSlots({
        SLOT(IovScriptEventRecorder::RecordEvent, 5),
        SLOT(IovRecordedEvent::GetEventKind, 4),
        SLOT(IovRecordedEvent::SetEventProperty, 7),
        SLOT(IovRecordedEvent::SetEventBytes, 9),
        SLOT(IovRecordedEvent::GetEventData, 10),
        SLOT(IovRecordedEvent::AddEventObject, 14),
    });
}

} // namespace
