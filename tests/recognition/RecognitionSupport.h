// Shared pieces of the recognition tests: the kind table as the host must see it, class-name lists built
// and read the way the host does, and a host object whose answers a test chooses.
#pragma once

#include "TestSupport.h"
#include "ovHostIntf.h"
#include "ovWPFControlsLib.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rectest {

struct KindRow {
    LONG kind;
    const wchar_t* displayName;
    std::vector<std::wstring> patterns;
    GUID key;
    bool fixed;
};

// A key that no kind has; also what out parameters start with, to see them overwritten.
inline constexpr GUID kNonZeroKey = {1, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

// The 31 kinds in table order.
const std::vector<KindRow>& KindTable();

// A VARIANT holding a SAFEARRAY of `type` (VT_VARIANT or VT_BSTR) with the given bounds, column 0 of each
// row filled from `rows` (a VT_VARIANT array takes the VARIANTs as given).
ov::Variant MakeArray(VARTYPE type, const std::vector<SAFEARRAYBOUND>& bounds,
                      const std::vector<ov::Variant>& rows);
// The usual list: VT_VARIANT, bounds (count, 0) and (1, 0).
ov::Variant MakeList(const std::vector<std::wstring>& names);
// Reads a list back: checks its shape (two dimensions, (count, 0) and (1, 0), VARIANT elements that are
// strings) with gtest assertions and returns column 0.
std::vector<std::wstring> ReadList(const VARIANT& list);

std::wstring KeyText(const GUID& key);
std::wstring Text(BSTR text);

// A host object whose native kind, technology, owner and interfaces a test chooses. Its native object is
// `native`. It counts apart from the module's objects.
class FakeHostObject : public IovObject, public IovNativeObjectInfo, public IovObjectInternal {
public:
    using LiveCounter = ov::LiveCount<struct FakeHostTag>;
    using Interfaces = ov::Interfaces<ov::Via<IUnknown, IovObjectInternal>>;

    HRESULT QueryInterfaceExtra(REFIID riid, void** ppv);
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override = 0;
    ULONG STDMETHODCALLTYPE AddRef() override = 0;
    ULONG STDMETHODCALLTYPE Release() override = 0;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetSourceObject(IDispatch** source) override;
    HRESULT STDMETHODCALLTYPE GetNativeObject(IDispatch** native) override;
    HRESULT STDMETHODCALLTYPE GetNativeKind(BSTR* kind) override;
    HRESULT STDMETHODCALLTYPE IsValid(VARIANT_BOOL* valid) override;
    HRESULT STDMETHODCALLTYPE GetFullName(BSTR* fullName) override;
    HRESULT STDMETHODCALLTYPE GetSerialNumber(LONG* serial) override;
    HRESULT STDMETHODCALLTYPE Reserved3() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTechnology(BSTR* technology) override;
    HRESULT STDMETHODCALLTYPE GetOwner(IUnknown** owner) override;

    bool answersObject = true;
    bool answersInfo = true;
    bool answersInternal = true;
    std::wstring nativeKind = L"NativeClrObject";
    std::wstring technology = L"WPFObject";
    ov::ComPtr<IDispatch> native;
    ov::ComPtr<IUnknown> owner;
    std::wstring fullName = L"Fake";
    bool valid = true;
    HRESULT fullNameResult = S_OK;
    long fullNameCalls = 0;
};

// An owner module object with a fixed key.
class FakeOwner : public IovModule {
public:
    using LiveCounter = ov::LiveCount<struct FakeHostTag>;
    using Interfaces = ov::Interfaces<IovModule>;
    explicit FakeOwner(const GUID& key) : key_(key) {}
    HRESULT STDMETHODCALLTYPE GetModuleKey(GUID* key) override {
        *key = key_;
        return S_OK;
    }

private:
    GUID key_;
};

// Records CoDisconnectObject, which reaches an object through its IMarshal.
class DisconnectSpy : public IMarshal {
public:
    using LiveCounter = ov::LiveCount<struct FakeHostTag>;
    using Interfaces = ov::Interfaces<IMarshal>;

    HRESULT STDMETHODCALLTYPE GetUnmarshalClass(REFIID, void*, DWORD, void*, DWORD, CLSID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetMarshalSizeMax(REFIID, void*, DWORD, void*, DWORD, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE MarshalInterface(IStream*, REFIID, void*, DWORD, void*, DWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE UnmarshalInterface(IStream*, REFIID, void**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ReleaseMarshalData(IStream*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DisconnectObject(DWORD) override {
        ++disconnects;
        return S_OK;
    }

    long disconnects = 0;
};

long FakeLiveObjects();

} // namespace rectest
