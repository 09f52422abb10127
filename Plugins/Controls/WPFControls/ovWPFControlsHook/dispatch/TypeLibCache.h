// The process-wide type library cache: the host's library and the module's own, loaded at attach,
// and the type information of every interface asked for, kept after the first lookup.
#pragma once

#include "com/ComPtr.h"

namespace ov::TypeLibCache {

// LoadTypeLib; on success the library is appended to the list. A path may name a resource by number
// ("...\OVHookX64.exe\3").
HRESULT Load(const wchar_t* path);
// Appends a library that is already loaded (takes a reference); null gives E_POINTER.
HRESULT Append(ITypeLib* library);
// The type information of an interface (with a reference), from the map or the first library that
// knows it; TYPE_E_ELEMENTNOTFOUND when none does.
HRESULT GetTypeInfoOfGuid(REFGUID iid, ITypeInfo** out);
// Releases every cached type information and every library.
void Clear();
// How many libraries are loaded and how many type informations are cached.
size_t LibraryCount();
size_t CachedTypeInfoCount();
// Whether the cache's critical section could be made (checked at attach).
bool Initialized();

} // namespace ov::TypeLibCache
