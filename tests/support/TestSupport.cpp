#include "TestSupport.h"

#include "dispatch/MemberInvoke.h"
#include "dispatch/TypeLibCache.h"

#include <gtest/gtest.h>

namespace ovtest {

std::wstring BinFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path);
    return s.substr(0, s.find_last_of(L"\\/"));
}

void LoadTypeLibraries() {
    if (ov::TypeLibCache::LibraryCount() > 0) return;
    ASSERT_EQ(ov::TypeLibCache::Load((BinFolder() + L"\\OVHookX64.exe\\3").c_str()), S_OK);
    ASSERT_EQ(ov::TypeLibCache::Load((BinFolder() + L"\\ovWPFControlsHook.dll").c_str()), S_OK);
}

void ReleaseTypeLibraries() {
    ov::ClearMemberShapes();
    ov::TypeLibCache::Clear();
}

} // namespace ovtest
