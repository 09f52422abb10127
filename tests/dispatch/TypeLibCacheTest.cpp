// The process-wide type library cache. Each test starts with an empty cache and leaves it as it found it.
#include "dispatch/TypeLibCache.h"

#include "ovWPFControlsLib.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

using ov::ComPtr;
namespace cache = ov::TypeLibCache;

std::wstring Module() {
    return ovtest::BinFolder() + L"\\ovWPFControlsHook.dll";
}

ULONG References(IUnknown* p) {
    return p->AddRef(), p->Release();
}

class TypeLibCacheTest : public testing::Test {
protected:
    void SetUp() override {
        hadLibraries_ = cache::LibraryCount() > 0;
        cache::Clear();
    }
    void TearDown() override {
        cache::Clear();
        if (hadLibraries_) ovtest::LoadTypeLibraries();
    }
    bool hadLibraries_ = false;
};

TEST_F(TypeLibCacheTest, LibrariesAreAskedInOrderFoundInterfacesKeptAndAllReleased) {
    ComPtr<ITypeLib> stdole, module;
    ASSERT_EQ(LoadTypeLib(L"stdole2.tlb", stdole.Put()), S_OK);
    ASSERT_EQ(LoadTypeLib(Module().c_str(), module.Put()), S_OK);
    const ULONG alone = References(module.Get());
    EXPECT_EQ(cache::Append(stdole.Get()), S_OK); // does not know the module's interfaces
    EXPECT_EQ(cache::Append(module.Get()), S_OK);
    EXPECT_EQ(cache::Append(nullptr), E_POINTER);
    // Only what loads is appended.
    for (const std::wstring& path :
         {ovtest::BinFolder() + L"\\NoSuchLibrary.tlb", Module() + L"\\7", std::wstring()})
        EXPECT_TRUE(FAILED(cache::Load(path.c_str()))) << testing::PrintToString(path);
    EXPECT_EQ(cache::Load(Module().c_str()), S_OK);
    EXPECT_EQ(cache::LibraryCount(), 3u);

    ComPtr<ITypeInfo> first, again;
    ASSERT_EQ(cache::GetTypeInfoOfGuid(__uuidof(IovWPFButton), first.Put()), S_OK);
    ASSERT_EQ(cache::GetTypeInfoOfGuid(__uuidof(IovWPFButton), again.Put()), S_OK);
    EXPECT_EQ(first, again);
    EXPECT_EQ(cache::CachedTypeInfoCount(), 1u);
    const GUID unknown = {0x0b6c5f1e, 0x2d7a, 0x4e3b, {0x8c, 0x90, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66}};
    ITypeInfo* info = reinterpret_cast<ITypeInfo*>(1);
    EXPECT_EQ(cache::GetTypeInfoOfGuid(unknown, &info), TYPE_E_ELEMENTNOTFOUND);
    EXPECT_EQ(info, nullptr);
    EXPECT_EQ(cache::CachedTypeInfoCount(), 1u) << "a failed lookup is not kept";

    const ULONG held = References(first.Get());
    cache::Clear();
    EXPECT_EQ(References(first.Get()), held - 1) << "Clear releases the type information";
    first.Reset();
    again.Reset();
    EXPECT_EQ(References(module.Get()), alone) << "and the libraries";
    EXPECT_EQ(cache::LibraryCount(), 0u);
    EXPECT_EQ(cache::GetTypeInfoOfGuid(__uuidof(IovWPFButton), again.Put()), TYPE_E_ELEMENTNOTFOUND);
}

} // namespace
