// The recognizer extender and its hook objects, driven by the host stand-in over a simulated application.
#include "RecognitionSupport.h"

#include "host/Host.h"
#include "recognition/HookExtender.h"
#include "scripting/EventRecorder.h"
#include "wpfsim/Application.h"
#include "wpfsim/Buttons.h"

#include <thread>

namespace {

class HookExtenderTest : public testing::Test {
protected:
    void SetUp() override {
        ovtest::LoadTypeLibraries();
        host.Attach(app);
    }
    void TearDown() override {
        host.Detach();
        EXPECT_EQ(rectest::FakeLiveObjects(), 0);
    }

    wpfsim::Element& Add(const wchar_t* className, bool contextMenu = true) {
        auto& element = app.Add(&window, className, L"e" + std::to_wstring(++count_));
        if (contextMenu) element.AddProperty(L"ContextMenu", [] { return wpfsim::ClrObject::Obj(nullptr); });
        return element;
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
    ov::ComPtr<IDispatch> HookFor(wpfsim::Element& element) {
        auto hostObject = host.HostObjectOf(element);
        EXPECT_TRUE(hostObject);
        Extended e = Extend(hostObject.Get());
        EXPECT_EQ(e.hr, S_OK);
        EXPECT_EQ(e.handled, VARIANT_TRUE);
        return e.extension;
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
    static std::wstring ClassOf(IDispatch* hook) {
        ov::Bstr name;
        EXPECT_EQ(ov::QueryAs<IovOpenAppControlHookExtender>(hook)->get_NativeClassName(name.Put()), S_OK);
        return std::wstring(name.View());
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
        EXPECT_EQ(extender.As<IovCtrlsHookExtenderGeneration>()->GetGeneration(&generation), S_OK);
        return generation;
    }
    VARIANT_BOOL ChangeOption(IovModuleOptions* options, const GUID& key, VARIANT* value) {
        VARIANT_BOOL changed = VARIANT_FALSE;
        EXPECT_EQ(options->OnOptionChanged(&key, value, &changed), S_OK);
        return changed;
    }
    IUnknown* ExtenderIdentity() {
        return ov::QueryAs<IUnknown>(static_cast<IovModule*>(extender.Get())).Get();
    }
    ov::ComPtr<rectest::FakeHostObject> Fake(IDispatch* native) {
        auto fake = ov::Create<rectest::FakeHostObject>();
        fake->native = native;
        fake->owner =
            ov::QueryAs<IUnknown>(static_cast<IovModule*>(ov::Create<rectest::FakeOwner>(ownerKey).Get()));
        return fake;
    }

    wpfsim::Application app;
    wpfsim::Element& window = app.Add(nullptr, L"System.Windows.Window", L"main");
    ovhost::Host host{ovtest::BinFolder()};
    ov::ComPtr<CWPFControlRecognizerHookExtender> extender = ov::Create<CWPFControlRecognizerHookExtender>();
    const GUID ownerKey = {0xfeedf00d, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};

private:
    int count_ = 0;
};

TEST_F(HookExtenderTest, HookObjectTellsKindKeyAndClass) {
    auto& button = Add(L"System.Windows.Controls.Button");
    auto hostObject = host.HostObjectOf(button);
    auto hook = HookFor(button);
    ASSERT_TRUE(hook);

    EXPECT_EQ(KeyOf(hook.Get()), __uuidof(IovWPFButton));
    EXPECT_EQ(ClassOf(hook.Get()), L"System.Windows.Controls.Button");
    EXPECT_EQ(KindOf(hook.Get()), ctrlWPFButton);

    auto object = hook.As<IovObject>();
    ASSERT_TRUE(object);
    EXPECT_EQ(static_cast<IDispatch*>(object.Get()), hook.Get()) << "its IDispatch is its IovObject";
    ov::ComPtr<IDispatch> none;
    EXPECT_EQ(object->GetSourceObject(none.Put()), S_OK);
    EXPECT_FALSE(none);
    EXPECT_EQ(object->GetNativeObject(none.Put()), S_OK);
    EXPECT_FALSE(none);
    ov::Bstr namePart, fullName, hostName;
    EXPECT_EQ(object->GetNativeKind(namePart.Put()), S_OK);
    EXPECT_EQ(namePart.View(), L"WPFObjectRecognizer");
    EXPECT_EQ(object->GetFullName(fullName.Put()), S_OK);
    ASSERT_EQ(hostObject.As<IovObject>()->GetFullName(hostName.Put()), S_OK);
    EXPECT_EQ(fullName.View(), std::wstring(hostName.View()) + L"WPFObjectRecognizer");
    EXPECT_TRUE(IsValid(hook.Get()));

    ov::ComPtr<IUnknown> owner;
    ASSERT_EQ(hook.As<IovObjectInternal>()->GetOwner(owner.Put()), S_OK);
    EXPECT_EQ(owner.Get(), ExtenderIdentity());
    EXPECT_EQ(extender->StubManagerCount(), 1u);

    ov::ComPtr<IUnknown> own;
    EXPECT_EQ(hook.As<IovOpenAppControlHookExtender>()->get_NativeClassName(nullptr), E_POINTER);
    EXPECT_EQ(hook->QueryInterface(__uuidof(IovWPFButton), own.PutVoid()), E_NOINTERFACE);
}

TEST_F(HookExtenderTest, HookObjectByNameThroughIDispatch) {
    auto hook = HookFor(Add(L"System.Windows.Controls.CheckBox"));
    ASSERT_TRUE(hook);
    UINT infos = 0;
    EXPECT_EQ(hook->GetTypeInfoCount(&infos), S_OK);
    EXPECT_EQ(infos, 3u);

    auto call = [&](const wchar_t* name, WORD flags) {
        DISPID id = DISPID_UNKNOWN;
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        EXPECT_EQ(hook->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK)
            << testing::PrintToString(std::wstring(name));
        DISPPARAMS none{};
        ov::Variant result;
        EXPECT_EQ(hook->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &none, &result, nullptr, nullptr),
                  S_OK)
            << testing::PrintToString(std::wstring(name));
        return result;
    };
    ov::Variant className = call(L"NativeClassName", DISPATCH_PROPERTYGET);
    ASSERT_EQ(className.vt, VT_BSTR);
    EXPECT_EQ(rectest::Text(className.bstrVal), L"System.Windows.Controls.CheckBox");
    ov::Variant kind = call(L"WPFControlType", DISPATCH_PROPERTYGET);
    ASSERT_EQ(VariantChangeType(&kind, &kind, 0, VT_I4), S_OK);
    EXPECT_EQ(kind.lVal, ctrlWPFCheckBox);
    ov::Variant namePart = call(L"GetNativeKind", DISPATCH_METHOD);
    ASSERT_EQ(namePart.vt, VT_BSTR);
    EXPECT_EQ(rectest::Text(namePart.bstrVal), L"WPFObjectRecognizer");
    ov::Variant serial = call(L"GetSerialNumber", DISPATCH_METHOD);
    ASSERT_EQ(VariantChangeType(&serial, &serial, 0, VT_I4), S_OK);
    EXPECT_EQ(serial.lVal, Serial(hook.Get()));

    DISPID id = 0;
    LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"ClickButton")};
    EXPECT_EQ(hook->GetIDsOfNames(IID_NULL, unknown, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNNAME);
}

TEST_F(HookExtenderTest, UnmatchedElementStillGetsAHookObject) {
    auto hook = HookFor(Add(L"MyApp.Gadget", false));
    ASSERT_TRUE(hook);
    EXPECT_EQ(KindOf(hook.Get()), ctrlWPFUnknown);
    EXPECT_EQ(KeyOf(hook.Get()), GUID{});
    EXPECT_EQ(ClassOf(hook.Get()), L"MyApp.Gadget");

    auto& nameless = Add(L"MyApp.Nameless");
    nameless.RemoveMember(L"ClrFullClassName");
    auto unnamed = HookFor(nameless);
    ASSERT_TRUE(unnamed);
    EXPECT_EQ(KindOf(unnamed.Get()), ctrlWPFUnknown);
    EXPECT_EQ(ClassOf(unnamed.Get()), L"");
}

TEST_F(HookExtenderTest, ObjectsThatAreNotWpfElementsAreNotHandled) {
    auto& button = Add(L"System.Windows.Controls.Button");
    auto native = button.NewDispatch();
    struct Case {
        const char* name;
        void (*change)(rectest::FakeHostObject&);
    };
    const Case cases[] = {
        {"no object interface", [](rectest::FakeHostObject& f) { f.answersObject = false; }},
        {"Java object", [](rectest::FakeHostObject& f) { f.nativeKind = L"NativeJavaObject"; }},
        {"name part in other case", [](rectest::FakeHostObject& f) { f.nativeKind = L"nativeclrobject"; }},
        {"no technology", [](rectest::FakeHostObject& f) { f.answersInfo = false; }},
        {"other technology", [](rectest::FakeHostObject& f) { f.technology = L"WinFormsObject"; }},
        {"technology in other case", [](rectest::FakeHostObject& f) { f.technology = L"wpfobject"; }},
        {"no owner interface", [](rectest::FakeHostObject& f) { f.answersInternal = false; }},
        {"no owner", [](rectest::FakeHostObject& f) { f.owner.Reset(); }},
        {"owner without key",
         [](rectest::FakeHostObject& f) { f.owner = ov::QueryAs<IUnknown>(static_cast<IovObject*>(&f)); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto fake = Fake(native.Get());
        c.change(*fake);
        Extended e = Extend(static_cast<IovObjectInternal*>(fake.Get()));
        EXPECT_EQ(e.hr, S_OK);
        EXPECT_EQ(e.handled, VARIANT_FALSE);
        EXPECT_FALSE(e.extension);
        fake->owner.Reset(); // "owner without key" points at the fake itself
    }
    EXPECT_EQ(extender->StubManagerCount(), 0u);
    EXPECT_EQ(Extend(nullptr).handled, VARIANT_FALSE);

    // The fake as it stands is a WPF element: handled, under its owner's stub manager.
    auto fake = Fake(native.Get());
    Extended e = Extend(static_cast<IovObjectInternal*>(fake.Get()));
    EXPECT_EQ(e.hr, S_OK);
    EXPECT_EQ(e.handled, VARIANT_TRUE);
    ASSERT_TRUE(e.extension);
    EXPECT_EQ(KindOf(e.extension.Get()), ctrlWPFButton);
    EXPECT_EQ(extender->StubManagerCount(), 1u);
}

TEST_F(HookExtenderTest, FailingDotNetCallIsAbsorbed) {
    auto& element = Add(L"System.Windows.Controls.Button");
    element.ThrowOn(L"ClrFullClassName", {L"PresentationFramework", 0, L"The object is gone.", E_FAIL});
    Extended e = Extend(host.HostObjectOf(element).Get());
    EXPECT_EQ(e.hr, E_FAIL);
    EXPECT_EQ(e.handled, VARIANT_FALSE);
    EXPECT_FALSE(e.extension);

    // An application that does not answer the class-name lookup leaves the element unclassified.
    auto hostObject = host.HostObjectOf(Add(L"System.Windows.Controls.Button"));
    app.StopResponding();
    e = Extend(hostObject.Get());
    app.Resume();
    EXPECT_EQ(e.hr, S_OK);
    EXPECT_EQ(e.handled, VARIANT_TRUE);
    ASSERT_TRUE(e.extension);
    EXPECT_EQ(KindOf(e.extension.Get()), ctrlWPFUnknown);

    IDispatch* extension = nullptr;
    VARIANT_BOOL handled = VARIANT_FALSE;
    EXPECT_EQ(extender->GetExtendedObject(nullptr, nullptr, &handled), E_POINTER);
    EXPECT_EQ(extender->GetExtendedObject(nullptr, &extension, nullptr), E_POINTER);
}

TEST_F(HookExtenderTest, HookObjectsLeaveTheirStubManagerWhenDestroyed) {
    GUID appOwner{};
    ASSERT_EQ(host.Owner().As<IovModule>()->GetModuleKey(&appOwner), S_OK);
    auto first = HookFor(Add(L"System.Windows.Controls.Button"));
    auto second = HookFor(Add(L"MyApp.Other"));
    auto manager = extender->StubManagerOf(appOwner);
    EXPECT_EQ(extender->StubManagerCount(), 1u) << "one manager per owner";
    EXPECT_EQ(manager->Count(), 2u);
    first.Reset();
    EXPECT_EQ(manager->Count(), 1u);
    second.Reset();
    EXPECT_EQ(manager->Count(), 0u);
}

TEST_F(HookExtenderTest, SerialNumbersIncrease) {
    auto& button = Add(L"System.Windows.Controls.Button");
    auto first = HookFor(button);
    auto second = HookFor(button);
    auto third = HookFor(Add(L"MyApp.Other"));
    EXPECT_NE(first, second) << "a new hook object every time";
    EXPECT_EQ(Serial(second.Get()), Serial(first.Get()) + 1);
    EXPECT_EQ(Serial(third.Get()), Serial(second.Get()) + 1);
}

TEST_F(HookExtenderTest, OptionChangeMakesOlderHookObjectsInvalid) {
    auto& button = Add(L"System.Windows.Controls.Button");
    auto before = HookFor(button);
    EXPECT_EQ(Generation(), 0);
    ASSERT_TRUE(IsValid(before.Get()));

    const GUID buttonKey = __uuidof(IovWPFButton);
    auto options = extender.As<IovModuleOptions>();
    ov::Variant mine = rectest::MakeList({L"MyApp.MyButton"});
    EXPECT_EQ(ChangeOption(options.Get(), buttonKey, &mine), VARIANT_TRUE);
    EXPECT_EQ(Generation(), 1);
    EXPECT_FALSE(IsValid(before.Get()));

    // A new hook object is classified with the new list and is valid.
    auto after = HookFor(button);
    EXPECT_EQ(KindOf(after.Get()), ctrlWPFBaseCtrl);
    EXPECT_TRUE(IsValid(after.Get()));
    EXPECT_EQ(KindOf(HookFor(Add(L"MyApp.MyButton")).Get()), ctrlWPFButton);

    // Changes that change nothing keep the generation.
    ov::Variant wrongShape = ov::Variant::String(L"MyApp.MyButton");
    const GUID unknownKey = {0xabad1dea, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
    EXPECT_EQ(ChangeOption(options.Get(), buttonKey, &wrongShape), VARIANT_FALSE);
    EXPECT_EQ(ChangeOption(options.Get(), unknownKey, &mine), VARIANT_FALSE);
    EXPECT_EQ(ChangeOption(options.Get(), buttonKey, nullptr), VARIANT_FALSE);
    EXPECT_EQ(Generation(), 1);
    EXPECT_TRUE(IsValid(after.Get()));

    ov::Variant again = rectest::MakeList({L"System.Windows.Controls.Button"});
    EXPECT_EQ(ChangeOption(options.Get(), buttonKey, &again), VARIANT_TRUE);
    EXPECT_EQ(Generation(), 2);
    EXPECT_FALSE(IsValid(after.Get()));
    VARIANT_BOOL changed = VARIANT_FALSE;
    EXPECT_EQ(options->OnOptionChanged(&buttonKey, &again, nullptr), E_POINTER);
    EXPECT_EQ(options->OnOptionChanged(nullptr, &again, &changed), E_POINTER);
    EXPECT_EQ(Generation(), 2);
}

TEST_F(HookExtenderTest, ValidityFollowsTheHostObject) {
    auto& button = Add(L"System.Windows.Controls.Button");
    auto hook = HookFor(button);
    ASSERT_TRUE(IsValid(hook.Get()));
    app.Remove(button);
    EXPECT_FALSE(IsValid(hook.Get())) << "the host object is no longer valid";
}

TEST_F(HookExtenderTest, FullNameIsCachedAfterTheFirstSuccess) {
    auto fake = Fake(Add(L"System.Windows.Controls.Button").NewDispatch().Get());
    fake->fullName = L"Process(\"App\").Element";
    fake->fullNameResult = E_ACCESSDENIED;
    Extended e = Extend(static_cast<IovObjectInternal*>(fake.Get()));
    ASSERT_TRUE(e.extension);
    auto object = e.extension.As<IovObject>();
    ov::Bstr name;
    EXPECT_EQ(object->GetFullName(name.Put()), E_ACCESSDENIED);
    fake->fullNameResult = S_OK;
    EXPECT_EQ(object->GetFullName(name.Put()), S_OK);
    EXPECT_EQ(name.View(), L"Process(\"App\").ElementWPFObjectRecognizer");
    fake->fullName = L"Changed";
    const long calls = fake->fullNameCalls;
    EXPECT_EQ(object->GetFullName(name.Put()), S_OK);
    EXPECT_EQ(name.View(), L"Process(\"App\").ElementWPFObjectRecognizer");
    EXPECT_EQ(fake->fullNameCalls, calls) << "answered from the cache";
    EXPECT_EQ(object->GetFullName(nullptr), E_POINTER);
}

TEST_F(HookExtenderTest, FreeThreadedMarshalerAnswersIMarshal) {
    auto hook = HookFor(Add(L"System.Windows.Controls.Button"));
    auto identity = hook.As<IUnknown>();
    auto marshal = hook.As<IMarshal>();
    ASSERT_TRUE(marshal);
    EXPECT_EQ(marshal.As<IUnknown>(), identity)
        << "aggregated: the marshaler answers with the object's identity";
    EXPECT_EQ(marshal.As<IovObject>(), hook.As<IovObject>());

    CLSID unmarshaler{};
    ASSERT_EQ(marshal->GetUnmarshalClass(IID_IUnknown, identity.Get(), MSHCTX_INPROC, nullptr,
                                         MSHLFLAGS_NORMAL, &unmarshaler),
              S_OK);
    const CLSID freeThreaded = {0x0000033a, 0, 0, {0xc0, 0, 0, 0, 0, 0, 0, 0x46}};
    EXPECT_EQ(unmarshaler, freeThreaded);

    // Another apartment gets the object itself, not a proxy.
    IStream* stream = nullptr;
    ASSERT_EQ(CoMarshalInterThreadInterfaceInStream(__uuidof(IovObject), hook.As<IovObject>().Get(), &stream),
              S_OK);
    IUnknown* seen = nullptr;
    LONG kindSeen = -1;
    std::thread other([&] {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        IovObject* object = nullptr;
        if (SUCCEEDED(CoGetInterfaceAndReleaseStream(stream, __uuidof(IovObject),
                                                     reinterpret_cast<void**>(&object)))) {
            object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&seen));
            if (auto wpf = ov::QueryAs<IovWPFControlRecognizerExtender>(object)) {
                WPFControlType kind = ctrlWPFUnknown;
                wpf->get_WPFControlType(&kind);
                kindSeen = kind;
            }
            object->Release();
        }
        if (seen) seen->Release();
        CoUninitialize();
    });
    other.join();
    EXPECT_EQ(seen, identity.Get());
    EXPECT_EQ(kindSeen, ctrlWPFButton);
}

// Hook objects answer disconnection through their free-threaded marshaler, which leaves nothing to see in
// process; spies registered beside them show which objects the extender disconnects.
TEST_F(HookExtenderTest, DisposeDisconnectsEveryOwnersObjects) {
    auto hook = HookFor(Add(L"System.Windows.Controls.Button"));
    const GUID otherOwner = {0x0ddba11, 0, 0, {1, 1, 1, 1, 1, 1, 1, 1}};
    auto spyA = ov::Create<rectest::DisconnectSpy>();
    auto spyB = ov::Create<rectest::DisconnectSpy>();
    extender->StubManagerOf(ownerKey)->Add(spyA.Get());
    extender->StubManagerOf(otherOwner)->Add(spyB.Get());
    ASSERT_EQ(extender->StubManagerCount(), 3u);

    auto disposable = extender.As<IbxDisposable>();
    ov::Bstr name;
    EXPECT_EQ(disposable->GetName(name.Put()), S_OK);
    EXPECT_EQ(name.View(), L"ThirdPartyControlsHookExtender");
    ASSERT_EQ(disposable->Dispose(), S_OK);
    EXPECT_EQ(extender->StubManagerCount(), 0u);
    EXPECT_EQ(spyA->disconnects, 1);
    EXPECT_EQ(spyB->disconnects, 1);
    EXPECT_EQ(disposable->Dispose(), S_OK);
    EXPECT_EQ(spyA->disconnects, 1) << "the managers are gone";
    EXPECT_TRUE(IsValid(hook.Get())) << "in process the object itself goes on";

    // Hook objects made afterwards go to a new stub manager.
    auto later = HookFor(Add(L"System.Windows.Controls.Button"));
    EXPECT_EQ(extender->StubManagerCount(), 1u);
}

TEST_F(HookExtenderTest, OwnerRemovedDisconnectsItsHookObjects) {
    auto manager = host.ModuleManager();
    auto events = extender.As<IovModuleManagerEvents>();
    ASSERT_EQ(manager->AdviseManagerEvents(events.Get()), S_OK);
    auto hook = HookFor(Add(L"System.Windows.Controls.Button"));
    auto fake = Fake(Add(L"MyApp.X").NewDispatch().Get());
    auto other = Extend(static_cast<IovObjectInternal*>(fake.Get()));
    ASSERT_TRUE(other.extension);
    ASSERT_EQ(extender->StubManagerCount(), 2u);
    auto spy = ov::Create<rectest::DisconnectSpy>();
    extender->StubManagerOf(ownerKey)->Add(spy.Get());

    // A module that owns nothing here changes nothing.
    auto stranger = ov::Create<rectest::FakeOwner>(GUID{0x5555, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}});
    EXPECT_EQ(events->OnModuleRemoved(static_cast<IovModule*>(stranger.Get())), S_OK);
    EXPECT_EQ(events->OnModuleAdded(static_cast<IovModule*>(stranger.Get())), S_OK);
    EXPECT_EQ(extender->StubManagerCount(), 2u);

    host.Detach(); // the application's owner goes away
    EXPECT_EQ(extender->StubManagerCount(), 1u);
    EXPECT_EQ(spy->disconnects, 0) << "another owner's objects stay connected";
    auto fakeOwner = ov::Create<rectest::FakeOwner>(ownerKey);
    EXPECT_EQ(events->OnModuleRemoved(static_cast<IovModule*>(fakeOwner.Get())), S_OK);
    EXPECT_EQ(extender->StubManagerCount(), 0u);
    EXPECT_EQ(spy->disconnects, 1);
    EXPECT_EQ(manager->UnadviseManagerEvents(events.Get()), S_OK);
}

TEST_F(HookExtenderTest, KindInfoFindsTheClassNameAmongTheHostsExtensions) {
    auto manager = host.ModuleManager();
    ASSERT_EQ(manager->RegisterModule(static_cast<IovModule*>(extender.Get())), S_OK);
    GUID extenderKey{};
    extender->GetModuleKey(&extenderKey);

    auto& slider = Add(L"System.Windows.Controls.Slider");
    CovWPFControlInfo& anyInfo = extender->Recognizer().Info(0);
    ov::Bstr className;
    VARIANT_BOOL found = VARIANT_FALSE;
    ASSERT_EQ(anyInfo.GetNativeClassName(host.HostObjectOf(slider).Get(), className.Put(), &found), S_OK);
    EXPECT_EQ(found, VARIANT_TRUE);
    EXPECT_EQ(className.View(), L"System.Windows.Controls.Slider");

    found = VARIANT_TRUE;
    EXPECT_EQ(anyInfo.GetNativeClassName(host.ProcessObject().Get(), className.Put(), &found), S_OK);
    EXPECT_EQ(found, VARIANT_FALSE) << "no extension list";
    found = VARIANT_TRUE;
    EXPECT_EQ(anyInfo.GetNativeClassName(nullptr, className.Put(), &found), S_OK);
    EXPECT_EQ(found, VARIANT_FALSE);
    EXPECT_EQ(manager->UnregisterModule(&extenderKey), S_OK);
}

TEST_F(HookExtenderTest, RecorderForwardsOptionsToItsOwnRecognizer) {
    auto recorder = ov::Create<CovWPFEventRecorder>();
    const GUID buttonKey = __uuidof(IovWPFButton);
    ov::Variant mine = rectest::MakeList({L"MyApp.MyButton"});
    EXPECT_EQ(ChangeOption(recorder.As<IovModuleOptions>().Get(), buttonKey, &mine), VARIANT_TRUE);
    ov::Variant wrong = ov::Variant::Int(1);
    EXPECT_EQ(ChangeOption(recorder.As<IovModuleOptions>().Get(), buttonKey, &wrong), VARIANT_FALSE);

    auto& myButton = Add(L"MyApp.MyButton");
    EXPECT_EQ(recorder->Recognizer().GetElementKind(CovDispDriver(myButton.NewDispatch().Get())),
              ctrlWPFButton);
    EXPECT_EQ(extender->Recognizer().GetElementKind(CovDispDriver(myButton.NewDispatch().Get())),
              ctrlWPFBaseCtrl)
        << "the extender's recognizer keeps its own lists";
    EXPECT_EQ(Generation(), 0);
}

// The module as the host loads it: the host asks the registered extender for every element's extensions,
// and an option change that the host sends to its modules makes it ask again.
TEST(LoadedModule, RecognisesAndReclassifiesAfterAnOptionChange) {
    ovtest::LoadTypeLibraries();
    wpfsim::Application app;
    auto& window = app.Add(nullptr, L"System.Windows.Window", L"main");
    auto& button = app.Add<wpfsim::Button>(&window, L"System.Windows.Controls.Button", L"ok");
    auto& border = app.Add(&window, L"System.Windows.Controls.Border", L"frame");
    ovhost::Host host(ovtest::BinFolder());
    host.LoadModule();
    host.Attach(app);

    auto kinds = [&](wpfsim::Element& element) {
        std::vector<LONG> found;
        for (const auto& extension : host.ExtensionsOf(element)) {
            WPFControlType kind = ctrlWPFUnknown;
            if (auto wpf = extension.As<IovWPFControlRecognizerExtender>();
                wpf && SUCCEEDED(wpf->get_WPFControlType(&kind)))
                found.push_back(kind);
        }
        return found;
    };
    EXPECT_EQ(kinds(button), std::vector<LONG>{ctrlWPFButton});
    EXPECT_EQ(kinds(border), std::vector<LONG>{ctrlWPFActTransparent});

    const GUID buttonKey = __uuidof(IovWPFButton);
    ov::Variant list = rectest::MakeList({L"MyApp.MyButton"});
    int changed = 0;
    for (const auto& module : host.Modules()) {
        VARIANT_BOOL answer = VARIANT_FALSE;
        if (auto options = module.object.As<IovModuleOptions>();
            options && SUCCEEDED(options->OnOptionChanged(&buttonKey, &list, &answer)))
            changed += answer == VARIANT_TRUE;
    }
    EXPECT_EQ(changed, 2) << "the recorder and the recognizer extender";
    EXPECT_EQ(kinds(button), std::vector<LONG>{ctrlWPFBaseCtrl}) << "the stale hook object was replaced";
    host.Detach();
    host.UnloadModule();
}

} // namespace
