// The recognizer extender and its hook objects, driven by the host stand-in over a simulated application.
#include "RecognitionSupport.h"

#include "host/Host.h"
#include "recognition/HookExtender.h"
#include "dispatch/DispDriver.h"

namespace {

using rectest::FakeHostObject;

class HookExtenderTest : public testing::Test {
protected:
    void SetUp() override {
        ovtest::LoadTypeLibraries();
        host.Attach(app);
    }
    void TearDown() override {
        host.Detach();
        EXPECT_EQ(rectest::FakeLiveCount::Get(), 0);
    }

    wpfsim::Element& Add(const wchar_t* className, bool contextMenu = true) {
        return rectest::AddElement(app, window, className, contextMenu);
    }
    struct Extended {
        HRESULT hr;
        ov::ComPtr<IDispatch> extension;
        VARIANT_BOOL handled;
    };
    Extended Extend(IUnknown* hostObject) {
        Extended e{E_UNEXPECTED, nullptr, VARIANT_TRUE};
        IDispatch* const stale = reinterpret_cast<IDispatch*>(&e); // must be overwritten
        IDispatch* raw = stale;
        e.hr = extender->GetExtendedObject(hostObject, &raw, &e.handled);
        EXPECT_NE(raw, stale) << "the out pointer was left as it was";
        e.extension = ov::ComPtr<IDispatch>::Adopt(raw == stale ? nullptr : raw);
        return e;
    }
    Extended Extend(FakeHostObject* fake) { return Extend(static_cast<IovObjectInternal*>(fake)); }
    ov::ComPtr<IDispatch> HookFor(wpfsim::Element& element) {
        Extended e = Extend(host.HostObjectOf(element).Get());
        EXPECT_EQ(e.hr, S_OK);
        EXPECT_EQ(e.handled, VARIANT_TRUE);
        return e.extension;
    }
    // A fake host object over `native`, owned by a module with `ownerKey`.
    ov::ComPtr<FakeHostObject> Fake(IDispatch* native) {
        auto fake = ov::Create<FakeHostObject>();
        fake->native = native;
        fake->owner =
            ov::QueryAs<IUnknown>(static_cast<IovModule*>(ov::Create<rectest::FakeOwner>(ownerKey).Get()));
        return fake;
    }
    static bool IsValid(IDispatch* hook) {
        VARIANT_BOOL valid = VARIANT_FALSE;
        EXPECT_EQ(ov::QueryAs<IovObject>(hook)->IsValid(&valid), S_OK);
        return valid == VARIANT_TRUE;
    }
    static LONG Serial(IDispatch* hook) {
        LONG serial = 0;
        EXPECT_EQ(ov::QueryAs<IovObject>(hook)->GetSerialNumber(&serial), S_OK);
        return serial;
    }
    static LONG KindOf(IDispatch* hook) {
        WPFControlType kind = ctrlWPFUnknown;
        EXPECT_EQ(ov::QueryAs<IovWPFControlRecognizerExtender>(hook)->get_WPFControlType(&kind), S_OK);
        return kind;
    }
    static GUID KeyOf(IDispatch* hook) {
        GUID key = rectest::kNonZeroKey;
        EXPECT_EQ(ov::QueryAs<IovOpenAppControlHookExtender>(hook)->get_ControlType(&key), S_OK);
        return key;
    }
    LONG Generation() {
        LONG generation = -1;
        EXPECT_EQ(extender->GetGeneration(&generation), S_OK);
        return generation;
    }
    VARIANT_BOOL ChangeOption(const GUID& key, VARIANT* value) {
        VARIANT_BOOL changed = VARIANT_FALSE;
        EXPECT_EQ(extender->OnOptionChanged(&key, value, &changed), S_OK);
        return changed;
    }

    wpfsim::Application app;
    wpfsim::Element& window = app.Add(nullptr, L"System.Windows.Window", L"main");
    ovhost::Host host{ovtest::BinFolder()};
    ov::ComPtr<CWPFControlRecognizerHookExtender> extender = ov::Create<CWPFControlRecognizerHookExtender>();
    const GUID ownerKey = {0xfeedf00d, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
};

TEST_F(HookExtenderTest, HookObjectTellsKindKeyClassAndHostObject) {
    auto& button = Add(L"System.Windows.Controls.Button");
    auto hostObject = host.HostObjectOf(button);
    auto hook = HookFor(button);
    ASSERT_TRUE(hook);
    EXPECT_EQ(KeyOf(hook.Get()), __uuidof(IovWPFButton));

    auto object = hook.As<IovObject>();
    ASSERT_TRUE(object);
    EXPECT_EQ(static_cast<IDispatch*>(object.Get()), hook.Get()) << "its IDispatch is its IovObject";
    ov::Bstr fullName, hostName;
    EXPECT_EQ(object->GetFullName(fullName.Put()), S_OK);
    ASSERT_EQ(hostObject.As<IovObject>()->GetFullName(hostName.Put()), S_OK);
    EXPECT_EQ(fullName.View(), std::wstring(hostName.View()) + L"WPFObjectRecognizer");

    ov::ComPtr<IUnknown> owner, own;
    ASSERT_EQ(hook.As<IovObjectInternal>()->GetOwner(owner.Put()), S_OK);
    EXPECT_EQ(owner.Get(), ov::QueryAs<IUnknown>(static_cast<IovModule*>(extender.Get())).Get());
    EXPECT_EQ(hook->QueryInterface(__uuidof(IovWPFButton), own.PutVoid()), E_NOINTERFACE);

    CovDispDriver by(hook.Get()); // the same by name
    EXPECT_EQ(by.GetPropertyString(by.GetIDOfName(L"NativeClassName")).View(),
              L"System.Windows.Controls.Button");
    EXPECT_EQ(by.GetPropertyInt(by.GetIDOfName(L"WPFControlType")), ctrlWPFButton);
    EXPECT_EQ(std::wstring(by.CallMethod(by.GetIDOfName(L"GetNativeKind")).bstrVal), L"WPFObjectRecognizer");
    EXPECT_EQ(by.CallMethod(by.GetIDOfName(L"GetSerialNumber")).lVal, Serial(hook.Get()));
    DISPID id = 0;
    EXPECT_FALSE(by.HasMember(L"ClickButton", &id));

    auto marshal = hook.As<IMarshal>(); // the free-threaded marshaler, aggregated
    ASSERT_TRUE(marshal);
    EXPECT_EQ(marshal.As<IUnknown>(), hook.As<IUnknown>());
    CLSID unmarshaler{};
    ASSERT_EQ(marshal->GetUnmarshalClass(IID_IUnknown, hook.Get(), MSHCTX_INPROC, nullptr, MSHLFLAGS_NORMAL,
                                         &unmarshaler),
              S_OK);
    EXPECT_EQ(unmarshaler, (CLSID{0x0000033a, 0, 0, {0xc0, 0, 0, 0, 0, 0, 0, 0x46}}));

    GUID appOwner{};
    ASSERT_EQ(host.Owner().As<IovModule>()->GetModuleKey(&appOwner), S_OK);
    auto manager = extender->StubManagerOf(appOwner);
    auto second = HookFor(button);
    EXPECT_NE(hook, second) << "a new hook object every time";
    EXPECT_EQ(Serial(second.Get()), Serial(hook.Get()) + 1);
    EXPECT_EQ(extender->StubManagerCount(), 1u) << "one manager per owner";
    EXPECT_EQ(manager->Count(), 2u);
    second.Reset();
    EXPECT_EQ(manager->Count(), 1u) << "a released object leaves its manager";

    EXPECT_TRUE(IsValid(hook.Get()));
    app.Remove(button);
    EXPECT_FALSE(IsValid(hook.Get())) << "its host object is no longer valid";
}

TEST_F(HookExtenderTest, OnlyWpfElementsAreHandledAndFailingCallsAreAbsorbed) {
    auto native = Add(L"System.Windows.Controls.Button").NewDispatch();
    const std::pair<const char*, void (*)(FakeHostObject&)> cases[] = {
        {"no object interface", [](FakeHostObject& f) { f.answersObject = false; }},
        {"Java object", [](FakeHostObject& f) { f.nativeKind = L"NativeJavaObject"; }},
        {"no technology", [](FakeHostObject& f) { f.answersInfo = false; }},
        {"other technology", [](FakeHostObject& f) { f.technology = L"WinFormsObject"; }},
        {"technology in other case", [](FakeHostObject& f) { f.technology = L"wpfobject"; }},
        {"no owner interface", [](FakeHostObject& f) { f.answersInternal = false; }},
        {"no owner", [](FakeHostObject& f) { f.owner.Reset(); }},
        {"owner without key",
         [](FakeHostObject& f) { f.owner = ov::QueryAs<IUnknown>(static_cast<IovObject*>(&f)); }},
    };
    for (const auto& [name, change] : cases) {
        SCOPED_TRACE(name);
        auto fake = Fake(native.Get());
        change(*fake);
        Extended e = Extend(fake.Get());
        EXPECT_EQ(e.hr, S_OK);
        EXPECT_EQ(e.handled, VARIANT_FALSE);
        EXPECT_FALSE(e.extension);
        fake->owner.Reset(); // "owner without key" points at the fake itself
    }
    EXPECT_EQ(Extend(static_cast<IUnknown*>(nullptr)).handled, VARIANT_FALSE);
    EXPECT_EQ(extender->StubManagerCount(), 0u);

    // The fake as it stands is a WPF element: handled, under its owner's stub manager.
    Extended e = Extend(Fake(native.Get()).Get());
    EXPECT_EQ(e.handled, VARIANT_TRUE);
    ASSERT_TRUE(e.extension);
    EXPECT_EQ(KindOf(e.extension.Get()), ctrlWPFButton);
    EXPECT_EQ(extender->StubManagerCount(), 1u);
    EXPECT_EQ(extender->StubManagerOf(ownerKey)->Count(), 1u);

    VARIANT_BOOL handled = VARIANT_FALSE;
    IDispatch* extension = nullptr;
    EXPECT_EQ(extender->GetExtendedObject(nullptr, nullptr, &handled), E_POINTER);
    EXPECT_EQ(extender->GetExtendedObject(nullptr, &extension, nullptr), E_POINTER);
    auto gadget = HookFor(Add(L"MyApp.Gadget", false));
    ASSERT_TRUE(gadget) << "an unclassified element still gets a hook object";
    EXPECT_EQ(KindOf(gadget.Get()), ctrlWPFUnknown);
    EXPECT_EQ(KeyOf(gadget.Get()), GUID{});
    // A .NET call that throws is absorbed: E_FAIL, not handled.
    auto& throwing = Add(L"System.Windows.Controls.Button");
    throwing.ThrowOn(L"ClrFullClassName", {L"PresentationFramework", 0, L"The object is gone.", E_FAIL});
    e = Extend(host.HostObjectOf(throwing).Get());
    EXPECT_EQ(e.hr, E_FAIL);
    EXPECT_EQ(e.handled, VARIANT_FALSE);
    EXPECT_FALSE(e.extension);
}

TEST_F(HookExtenderTest, OptionChangeReplacesTheListAndMakesOlderHookObjectsInvalid) {
    auto& button = Add(L"System.Windows.Controls.Button");
    auto before = HookFor(button);
    EXPECT_EQ(Generation(), 0);

    const GUID buttonKey = __uuidof(IovWPFButton);
    ov::Variant mine = rectest::MakeList({L"MyApp.MyButton"});
    EXPECT_EQ(ChangeOption(buttonKey, &mine), VARIANT_TRUE);
    EXPECT_EQ(Generation(), 1);
    EXPECT_FALSE(IsValid(before.Get()));
    auto after = HookFor(button);
    EXPECT_EQ(KindOf(after.Get()), ctrlWPFBaseCtrl) << "the defaults were replaced";
    EXPECT_TRUE(IsValid(after.Get()));
    EXPECT_EQ(KindOf(HookFor(Add(L"MyApp.MyButton")).Get()), ctrlWPFButton);

    // Changes that change nothing keep the generation.
    ov::Variant wrongShape = ov::Variant::String(L"MyApp.MyButton");
    const GUID unknownKey = {0xabad1dea, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
    EXPECT_EQ(ChangeOption(buttonKey, &wrongShape), VARIANT_FALSE);
    EXPECT_EQ(ChangeOption(unknownKey, &mine), VARIANT_FALSE);
    EXPECT_EQ(ChangeOption(buttonKey, nullptr), VARIANT_FALSE);
    EXPECT_EQ(Generation(), 1);
    EXPECT_TRUE(IsValid(after.Get()));

    ov::Variant again = rectest::MakeList({L"System.Windows.Controls.Button"});
    EXPECT_EQ(ChangeOption(buttonKey, &again), VARIANT_TRUE);
    EXPECT_EQ(Generation(), 2);
    EXPECT_FALSE(IsValid(after.Get()));
}

// Hook objects answer disconnection through their free-threaded marshaler, which leaves nothing to see in
// process; spies in the stub managers show which objects the extender disconnects.
TEST_F(HookExtenderTest, OwnerRemovalAndDisposeDisconnectTheirObjects) {
    auto manager = host.ModuleManager();
    auto events = static_cast<IovModuleManagerEvents*>(extender.Get());
    ASSERT_EQ(manager->AdviseManagerEvents(events), S_OK);
    auto hook = HookFor(Add(L"System.Windows.Controls.Button"));
    const GUID otherKey = {0x0ddba11, 0, 0, {1, 1, 1, 1, 1, 1, 1, 1}};
    auto spyA = ov::Create<rectest::DisconnectSpy>(), spyB = ov::Create<rectest::DisconnectSpy>();
    extender->StubManagerOf(ownerKey)->Add(spyA.Get());
    extender->StubManagerOf(otherKey)->Add(spyB.Get());
    ASSERT_EQ(extender->StubManagerCount(), 3u);

    host.Detach(); // the application's owner goes away
    EXPECT_EQ(extender->StubManagerCount(), 2u);
    auto owner = ov::Create<rectest::FakeOwner>(ownerKey);
    EXPECT_EQ(events->OnModuleRemoved(static_cast<IovModule*>(owner.Get())), S_OK);
    EXPECT_EQ(extender->StubManagerCount(), 1u);
    EXPECT_EQ(spyA->disconnects, 1);
    EXPECT_EQ(spyB->disconnects, 0) << "another owner's objects stay connected";
    EXPECT_EQ(manager->UnadviseManagerEvents(events), S_OK);

    ov::Bstr name;
    EXPECT_EQ(extender->GetName(name.Put()), S_OK);
    EXPECT_EQ(name.View(), L"ThirdPartyControlsHookExtender");
    ASSERT_EQ(extender->Dispose(), S_OK);
    EXPECT_EQ(extender->StubManagerCount(), 0u);
    EXPECT_EQ(spyB->disconnects, 1);
    EXPECT_EQ(KindOf(hook.Get()), ctrlWPFButton) << "in process the object itself goes on";
}

TEST_F(HookExtenderTest, KindInfoFindsTheClassNameAmongTheHostsExtensions) {
    auto manager = host.ModuleManager();
    ASSERT_EQ(manager->RegisterModule(static_cast<IovModule*>(extender.Get())), S_OK);
    CovWPFControlInfo& anyInfo = extender->Recognizer().Info(0);
    ov::Bstr className;
    VARIANT_BOOL found = VARIANT_FALSE;
    auto slider = host.HostObjectOf(Add(L"System.Windows.Controls.Slider"));
    ASSERT_EQ(anyInfo.GetNativeClassName(slider.Get(), className.Put(), &found), S_OK);
    EXPECT_EQ(found, VARIANT_TRUE);
    EXPECT_EQ(className.View(), L"System.Windows.Controls.Slider");
    for (IUnknown* none :
         {static_cast<IUnknown*>(host.ProcessObject().Get()), static_cast<IUnknown*>(nullptr)}) {
        found = VARIANT_TRUE;
        EXPECT_EQ(anyInfo.GetNativeClassName(none, className.Put(), &found), S_OK);
        EXPECT_EQ(found, VARIANT_FALSE) << "no extension list";
    }
    GUID extenderKey{};
    extender->GetModuleKey(&extenderKey);
    EXPECT_EQ(manager->UnregisterModule(&extenderKey), S_OK);
}

} // namespace
