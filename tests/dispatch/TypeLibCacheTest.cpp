// The process-wide type library cache, with libraries that count how often they are asked. Each test
// starts with an empty cache and leaves it as it found it.
#include "dispatch/TypeLibCache.h"

#include "dispatch/ComObject.h"
#include "ovWPFControlsLib.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

using ov::ComPtr;
using TestLiveCount = ov::LiveCount<struct TestTag>;

// A type library that forwards to a real one and counts the lookups by interface identifier.
class CountingTypeLib : public ITypeLib {
public:
    using Interfaces = ov::Interfaces<ITypeLib>;
    using LiveCounter = TestLiveCount;

    explicit CountingTypeLib(ITypeLib* inner) : inner_(inner) {}

    int asked = 0;

    HRESULT STDMETHODCALLTYPE GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** info) override {
        ++asked;
        return inner_->GetTypeInfoOfGuid(guid, info);
    }
    UINT STDMETHODCALLTYPE GetTypeInfoCount() override { return inner_->GetTypeInfoCount(); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, ITypeInfo** info) override {
        return inner_->GetTypeInfo(index, info);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoType(UINT index, TYPEKIND* kind) override {
        return inner_->GetTypeInfoType(index, kind);
    }
    HRESULT STDMETHODCALLTYPE GetLibAttr(TLIBATTR** attr) override { return inner_->GetLibAttr(attr); }
    HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp** comp) override { return inner_->GetTypeComp(comp); }
    HRESULT STDMETHODCALLTYPE GetDocumentation(INT index, BSTR* name, BSTR* doc, DWORD* context,
                                               BSTR* helpFile) override {
        return inner_->GetDocumentation(index, name, doc, context, helpFile);
    }
    HRESULT STDMETHODCALLTYPE IsName(LPOLESTR name, ULONG hash, BOOL* found) override {
        return inner_->IsName(name, hash, found);
    }
    HRESULT STDMETHODCALLTYPE FindName(LPOLESTR name, ULONG hash, ITypeInfo** infos, MEMBERID* ids,
                                       USHORT* found) override {
        return inner_->FindName(name, hash, infos, ids, found);
    }
    void STDMETHODCALLTYPE ReleaseTLibAttr(TLIBATTR* attr) override { inner_->ReleaseTLibAttr(attr); }

private:
    ComPtr<ITypeLib> inner_;
};

std::wstring ModulePath() {
    return ovtest::BinFolder() + L"\\ovWPFControlsHook.dll";
}

class TypeLibCacheTest : public testing::Test {
protected:
    void SetUp() override {
        hadLibraries_ = ov::TypeLibCache::LibraryCount() > 0;
        ov::TypeLibCache::Clear();
        ASSERT_EQ(LoadTypeLib(ModulePath().c_str(), moduleLib_.Put()), S_OK);
        ASSERT_EQ(LoadTypeLib(L"stdole2.tlb", stdole_.Put()), S_OK);
    }
    void TearDown() override {
        ov::TypeLibCache::Clear();
        moduleLib_.Reset();
        stdole_.Reset();
        EXPECT_EQ(TestLiveCount::Get(), 0) << "the cache kept a library after Clear";
        // Leaves the cache as the other tests of the program had it.
        if (hadLibraries_) ovtest::LoadTypeLibraries();
    }

    ComPtr<CountingTypeLib> Counting(ITypeLib* inner) {
        ComPtr<CountingTypeLib> lib = ov::Create<CountingTypeLib>(inner);
        EXPECT_EQ(ov::TypeLibCache::Append(lib.Get()), S_OK);
        return lib;
    }

    ComPtr<ITypeLib> moduleLib_;
    ComPtr<ITypeLib> stdole_;
    bool hadLibraries_ = false;
};

TEST_F(TypeLibCacheTest, SecondLookupIsAnsweredFromTheMap) {
    ComPtr<CountingTypeLib> lib = Counting(moduleLib_.Get());
    ComPtr<ITypeInfo> first, second;
    ASSERT_EQ(ov::TypeLibCache::GetTypeInfoOfGuid(__uuidof(IovWPFButton), first.Put()), S_OK);
    ASSERT_EQ(ov::TypeLibCache::GetTypeInfoOfGuid(__uuidof(IovWPFButton), second.Put()), S_OK);
    EXPECT_EQ(lib->asked, 1);
    EXPECT_EQ(first, second);
    EXPECT_EQ(ov::TypeLibCache::CachedTypeInfoCount(), 1u);

    // Another identifier is a first lookup again.
    ComPtr<ITypeInfo> other;
    ASSERT_EQ(ov::TypeLibCache::GetTypeInfoOfGuid(__uuidof(IovWPFControl), other.Put()), S_OK);
    EXPECT_EQ(lib->asked, 2);
    EXPECT_NE(first, other);
}

TEST_F(TypeLibCacheTest, LibrariesAreAskedInLoadOrderUntilOneKnowsTheInterface) {
    ComPtr<CountingTypeLib> unrelated = Counting(stdole_.Get());
    ComPtr<CountingTypeLib> knowing = Counting(moduleLib_.Get());
    ComPtr<CountingTypeLib> later = Counting(moduleLib_.Get());
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(ov::TypeLibCache::GetTypeInfoOfGuid(__uuidof(IovWPFListBox), info.Put()), S_OK);
    EXPECT_EQ(unrelated->asked, 1);
    EXPECT_EQ(knowing->asked, 1);
    EXPECT_EQ(later->asked, 0) << "the first library that knows the interface answers";
    EXPECT_EQ(ov::TypeLibCache::LibraryCount(), 3u);
}

TEST_F(TypeLibCacheTest, UnknownInterfacesAreAskedEveryTimeAndNotKept) {
    ComPtr<CountingTypeLib> a = Counting(stdole_.Get());
    ComPtr<CountingTypeLib> b = Counting(moduleLib_.Get());
    const GUID unknown = {0x0b6c5f1e, 0x2d7a, 0x4e3b, {0x8c, 0x90, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66}};
    for (int round = 1; round <= 2; ++round) {
        ITypeInfo* info = reinterpret_cast<ITypeInfo*>(1);
        EXPECT_EQ(ov::TypeLibCache::GetTypeInfoOfGuid(unknown, &info), TYPE_E_ELEMENTNOTFOUND);
        EXPECT_EQ(info, nullptr);
        EXPECT_EQ(a->asked, round);
        EXPECT_EQ(b->asked, round);
    }
    EXPECT_EQ(ov::TypeLibCache::CachedTypeInfoCount(), 0u);
}

TEST_F(TypeLibCacheTest, ClearReleasesLibrariesAndTypeInformation) {
    ComPtr<CountingTypeLib> lib = Counting(moduleLib_.Get());
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(ov::TypeLibCache::GetTypeInfoOfGuid(__uuidof(IovWPFButton), info.Put()), S_OK);
    info.Reset();

    ov::TypeLibCache::Clear();
    EXPECT_EQ(ov::TypeLibCache::LibraryCount(), 0u);
    EXPECT_EQ(ov::TypeLibCache::CachedTypeInfoCount(), 0u);
    EXPECT_EQ(ov::TypeLibCache::GetTypeInfoOfGuid(__uuidof(IovWPFButton), info.Put()), TYPE_E_ELEMENTNOTFOUND)
        << "nothing answers from a cleared map";
    EXPECT_EQ(lib->asked, 1);
    lib.Reset();
    EXPECT_EQ(TestLiveCount::Get(), 0) << "Clear released the library";
}

TEST_F(TypeLibCacheTest, LoadAppendsOnlyWhatLoads) {
    struct Case {
        std::wstring path;
        bool loads;
    } cases[] = {
        {ModulePath(), true},
        {ovtest::BinFolder() + L"\\NoSuchLibrary.tlb", false},
        {ModulePath() + L"\\7", false}, // no type library resource 7
        {L"", false},
    };
    size_t expected = 0;
    for (const Case& c : cases) {
        HRESULT hr = ov::TypeLibCache::Load(c.path.c_str());
        EXPECT_EQ(SUCCEEDED(hr), c.loads) << testing::PrintToString(c.path) << " 0x" << std::hex << hr;
        if (c.loads) ++expected;
        EXPECT_EQ(ov::TypeLibCache::LibraryCount(), expected) << testing::PrintToString(c.path);
    }
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(ov::TypeLibCache::GetTypeInfoOfGuid(__uuidof(IovWPFTreeView), info.Put()), S_OK);
}

TEST_F(TypeLibCacheTest, BadArgumentsAreRefused) {
    EXPECT_EQ(ov::TypeLibCache::GetTypeInfoOfGuid(__uuidof(IovWPFButton), nullptr), E_POINTER);
    EXPECT_EQ(ov::TypeLibCache::Append(nullptr), E_POINTER);
    EXPECT_EQ(ov::TypeLibCache::LibraryCount(), 0u);
}

} // namespace
