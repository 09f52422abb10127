// The native object behind a host object, and whether an object is that native object, for every
// kind of native object.
#include "dispatch/DispDriver.h"
#include "dispatch/InvokeException.h"

#include "host/Host.h"
#include "wpfsim/Application.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

namespace {

using LiveCounter = ov::LiveCount<struct TestTag>;
using wpfsim::Args;

const std::wstring kReasons = ov::texts::Reasons;

template <class F> std::optional<std::wstring> RaisedDetails(F&& f) {
    try {
        f();
    } catch (const CovInvokeException& e) {
        return std::wstring(e.Details().View());
    }
    return std::nullopt;
}

// The native object extender of another technology: its kind and its native object.
class ForeignExtender : public IovObject {
public:
    using LiveCounter = ::LiveCounter;
    using Interfaces = ov::Interfaces<IovObject, ov::Via<IDispatch, IovObject>>;
    ForeignExtender(std::wstring kind, ov::ComPtr<IDispatch> native)
        : kind_(std::move(kind)), native_(native) {}

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetSourceObject(IDispatch** source) override {
        return ov::ComPtr<IDispatch>().CopyTo(source);
    }
    HRESULT STDMETHODCALLTYPE GetNativeObject(IDispatch** native) override { return native_.CopyTo(native); }
    HRESULT STDMETHODCALLTYPE GetNativeKind(BSTR* kind) override { return ov::Bstr(kind_).CopyTo(kind); }
    HRESULT STDMETHODCALLTYPE IsValid(VARIANT_BOOL* valid) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFullName(BSTR* name) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSerialNumber(LONG* serial) override { return E_NOTIMPL; }

private:
    std::wstring kind_;
    ov::ComPtr<IDispatch> native_;
};

// A host object (built on the host's own base) whose native object extender is the given one.
class ForeignNode : public ovhost::HostNode {
public:
    using Interfaces = ov::Interfaces<IovHostObject, IovObjectInternal>;
    ForeignNode(std::shared_ptr<ovhost::HostCore> core, ov::ComPtr<IUnknown> extender)
        : HostNode(std::move(core), GUID{}, GUID{}, nullptr), extender_(std::move(extender)) {}
    void Sync(bool) override {}
    std::wstring FullName() const override { return L"Foreign"; }

protected:
    ov::ComPtr<IUnknown> Extender(const GUID& iid) override {
        return IsEqualGUID(iid, __uuidof(IovObject)) ? extender_ : nullptr;
    }

private:
    ov::ComPtr<IUnknown> extender_;
};

class NativeObjectTest : public testing::Test {
protected:
    void SetUp() override {
        window = &app->Add(nullptr, L"System.Windows.Window", L"mainWindow");
        button = &app->Add(window, L"System.Windows.Controls.Button", L"okButton");
        host->Attach(*app);
    }
    void TearDown() override {
        host.reset();
        app.reset();
        EXPECT_EQ(wpfsim::LiveObjects(), 0);
        EXPECT_EQ(ovhost::LiveObjects(), 0);
        EXPECT_EQ(LiveCounter::Get(), 0);
    }

    // A host object over a native object of that kind.
    ov::ComPtr<IovHostObject> Foreign(const wchar_t* kind, wpfsim::ClrObject* native) {
        auto extender = ov::Create<ForeignExtender>(kind, native ? native->NewDispatch() : nullptr);
        auto node = ov::Create<ForeignNode>(host->Core().shared_from_this(),
                                            ov::ComPtr<IUnknown>(static_cast<IovObject*>(extender.Get())));
        return ov::ComPtr<IovHostObject>(node->AsHostObject());
    }
    // An object of another technology, made by the simulation as it makes .NET objects.
    ov::ComPtr<wpfsim::ClrObject> Native(const wchar_t* className) {
        return ov::Create<wpfsim::ClrObject>(app->SharedRuntime(), className);
    }
    static ov::Variant Disp(wpfsim::ClrObject& o) { return ov::Variant::Dispatch(o.NewDispatch().Get()); }

    std::optional<wpfsim::Application> app{std::in_place};
    std::unique_ptr<ovhost::Host> host = std::make_unique<ovhost::Host>(ovtest::BinFolder());
    wpfsim::Element* window = nullptr;
    wpfsim::Element* button = nullptr;
};

TEST_F(NativeObjectTest, HostObjectGivesADriverOverItsNativeObject) {
    CovDispDriver native = ov::GetNativeObjectDriver(host->HostObjectOf(*button).Get());
    EXPECT_EQ(ov::GetClrFullClassName(native).View(), L"System.Windows.Controls.Button");

    // The process object has no native object: the driver is empty and fails when used.
    CovDispDriver none = ov::GetNativeObjectDriver(host->ProcessObject().Get());
    EXPECT_TRUE(none.Empty());
    EXPECT_EQ(RaisedDetails([&] { ov::GetClrFullClassName(none); }), kReasons);

    // No host object at all.
    EXPECT_EQ(RaisedDetails([] { ov::GetNativeObjectDriver(nullptr); }), kReasons);
    EXPECT_EQ(RaisedDetails([&] { ov::GetNativeObjectDriver(button->NewDispatch().Get()); }), kReasons);
}

TEST_F(NativeObjectTest, ClrObjectsCompareByReferenceEquals) {
    ov::ComPtr<IovHostObject> first = host->HostObjectOf(*button);
    // The host builds its objects afresh: a second host object over the same .NET object.
    host->Detach();
    host->Attach(*app);
    ov::ComPtr<IovHostObject> second = host->HostObjectOf(*button);
    ASSERT_NE(ov::QueryAs<IUnknown>(first.Get()), ov::QueryAs<IUnknown>(second.Get()));
    ov::Variant secondNative = ov::Variant::Dispatch(ov::GetNativeObjectDriver(second.Get()).Get());
    ASSERT_NE(first.Get(), nullptr);

    app->ResetCalls();
    EXPECT_TRUE(ov::IsSameNativeObject(first.Get(), secondNative));
    EXPECT_EQ(app->Calls(L"ReferenceEquals"), (wpfsim::CallCount{1, 1, 1}));

    const struct {
        const char* what;
        ov::Variant other;
    } others[] = {
        {"another element", Disp(*window)},
        {"null object", ov::Variant::Dispatch(nullptr)},
        {"nothing", ov::Variant()},
        {"a number", ov::Variant::Int(1)},
    };
    for (const auto& o : others)
        EXPECT_FALSE(ov::IsSameNativeObject(first.Get(), o.other)) << o.what;

    // The process object has no native object extender.
    EXPECT_FALSE(ov::IsSameNativeObject(host->ProcessObject().Get(), secondNative));
    EXPECT_EQ(RaisedDetails([&] { ov::IsSameNativeObject(nullptr, secondNative); }), kReasons);

    // The application's failures reach the caller.
    app->StopResponding();
    auto details = RaisedDetails([&] { ov::IsSameNativeObject(first.Get(), secondNative); });
    ASSERT_TRUE(details);
    EXPECT_NE(details->find(L"\n96 0x8001010a"), std::wstring::npos);
    app->Resume();
}

TEST_F(NativeObjectTest, JavaObjectsCompareByEquals) {
    auto mine = Native(L"java.awt.Button"), theirs = Native(L"java.awt.Button");
    ov::Variant answer, received;
    mine->AddMethod(L"equals", 1, [&](const Args& a) {
        received = a[0];
        return answer;
    });
    auto a = Foreign(L"NativeJavaObject", mine.Get());
    const struct {
        ov::Variant answer;
        bool same;
    } cases[] = {{ov::Variant::Bool(true), true},
                 {ov::Variant::Bool(false), false},
                 {ov::Variant::Int(2), true},
                 {ov::Variant::Int(0), false},
                 {ov::Variant::String(L"maybe"), false},
                 {ov::Variant::Dispatch(nullptr), false}};
    for (const auto& c : cases) {
        answer = c.answer;
        EXPECT_EQ(ov::IsSameNativeObject(a.Get(), Disp(*theirs)), c.same) << "answer type " << c.answer.vt;
        EXPECT_EQ(wpfsim::ObjectOf(received), theirs) << "the other object is the argument";
    }
    EXPECT_EQ(theirs->Calls(), wpfsim::CallCount{});
    answer.Clear();
    received.Clear();
}

TEST_F(NativeObjectTest, DelphiAndQtObjectsAskIsEqualOrCompareInstancePointers) {
    for (const wchar_t* kind : {L"NativeDelphiObject", L"NativeQtObject"}) {
        SCOPED_TRACE(std::string(kind, kind + wcslen(kind)));
        auto mine = Native(L"TButton"), theirs = Native(L"TButton");
        LONG myPointer = 0x1000, theirPointer = 0x1000;
        mine->AddProperty(L"InstancePtr", [&] { return ov::Variant::Int(myPointer); });
        theirs->AddProperty(L"InstancePtr", [&] { return ov::Variant::Int(theirPointer); });
        auto a = Foreign(kind, mine.Get());

        EXPECT_TRUE(ov::IsSameNativeObject(a.Get(), Disp(*theirs)));
        theirPointer = 0x2000;
        EXPECT_FALSE(ov::IsSameNativeObject(a.Get(), Disp(*theirs)));
        EXPECT_EQ(mine->Calls(L"InstancePtr").invokes, 2);
        EXPECT_EQ(theirs->Calls(L"InstancePtr").invokes, 2);

        // With "IsEqual" the other object decides, given this one's native object as IUnknown.
        ov::Variant received;
        theirs->AddMethod(L"IsEqual", 1, [&](const Args& args) {
            received = args[0];
            return ov::Variant::Bool(true);
        });
        mine->ResetCalls();
        EXPECT_TRUE(ov::IsSameNativeObject(a.Get(), Disp(*theirs)));
        EXPECT_EQ(received.vt, VT_UNKNOWN);
        EXPECT_EQ(wpfsim::ObjectOf(received), mine);
        EXPECT_EQ(mine->Calls(L"InstancePtr").invokes, 0);
        received.Clear();

        // The other object must be an object.
        EXPECT_EQ(RaisedDetails([&] { ov::IsSameNativeObject(a.Get(), ov::Variant::Int(0x1000)); }),
                  kReasons);
        theirs->RemoveMember(L"IsEqual");
    }
}

TEST_F(NativeObjectTest, OtherKindsAreNeverTheSame) {
    auto mine = Native(L"Object");
    for (const wchar_t* kind : {L"NativeFlexObject", L"nativeclrobject", L"NativeClrObject ", L""}) {
        auto a = Foreign(kind, mine.Get());
        EXPECT_FALSE(ov::IsSameNativeObject(a.Get(), Disp(*mine)));
    }
    EXPECT_EQ(mine->Calls(), wpfsim::CallCount{}) << "an unknown kind calls nothing";
}

} // namespace
