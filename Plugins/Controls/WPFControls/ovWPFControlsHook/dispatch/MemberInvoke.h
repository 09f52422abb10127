// DispInvoke for the module's objects. Arguments beyond a member's own go, as OLE Automation has it, to
// the default member of the object that the member returns; when that object is null the call fails
// with DISP_E_BADPARAMCOUNT (the system's DispInvoke would call through the null pointer). A member
// without an object result refuses extra arguments with DISP_E_BADPARAMCOUNT before it runs, whatever
// the system's DispInvoke would make of them.
#pragma once

#include <oleauto.h>

namespace ov {

HRESULT InvokeMember(void* itf, ITypeInfo* info, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                     EXCEPINFO* excep, UINT* argErr) noexcept;
// True when DispInvoke of `id` with these flags would answer DISP_E_MEMBERNOTFOUND for want of the member
// (learnt once per type, id and flags), so that a caller going over several types may skip this one.
bool LacksMember(ITypeInfo* info, DISPID id, WORD flags) noexcept;
// Forgets what was learnt of the members (with the type informations it holds): at unload, in tests.
void ClearMemberShapes() noexcept;

} // namespace ov
