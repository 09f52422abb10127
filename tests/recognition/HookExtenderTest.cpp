// The recognizer extender and its hook objects, driven by the host stand-in over a simulated application.
#include "RecognitionSupport.h"

#include "host/services/Host.h"
#include "recognition/HookExtender.h"
#include "dispatch/DispDriver.h"

#include "FailingAllocations.h"

namespace {

class HookExtenderTest : public testing::Test {
protected:
    void SetUp() override {
        ovtest::LoadTypeLibraries();
        host.Attach(app);
    }
    void TearDown() override { host.Detach(); }
    wpfsim::Element& Add(const wchar_t* className, bool contextMenu = true) {
        return rectest::AddElement(app, window, className, contextMenu);
    }
    ov::ComPtr<IDispatch> HookFor(wpfsim::Element& element) {
        IDispatch* raw = nullptr;
        VARIANT_BOOL handled = VARIANT_FALSE;
        EXPECT_EQ(extender->GetExtendedObject(host.HostObjectOf(element).Get(), &raw, &handled), S_OK);
        EXPECT_EQ(handled, VARIANT_TRUE);
        return ov::ComPtr<IDispatch>::Adopt(raw);
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

TEST_F(HookExtenderTest, DisposeAndModuleRemovalAnswerWhenMemoryRunsOutAndKeepWhatTheyCouldNotFinish) {
    auto& button = Add(L"System.Windows.Controls.Button");
    ov::ComPtr<IDispatch> hook;
    const struct {
        const char* name;
        std::function<HRESULT()> call;
    } calls[] = {
        {"Dispose", [&] { return extender->Dispose(); }},
        {"OnModuleRemoved", [&] { return extender->OnModuleRemoved(host.Owner().Get()); }},
    };
    for (const auto& c : calls) {
        SCOPED_TRACE(c.name);
        HRESULT hr = E_UNEXPECTED;
        bool threw = false;
        const long runs =
            ovtest::ForEachFailingAllocation([&] { hook = HookFor(button); },
                                             [&] {
                                                 try {
                                                     hr = c.call();
                                                 } catch (...) {
                                                     threw = true;
                                                 }
                                             },
                                             [&](bool failed) {
                                                 EXPECT_FALSE(threw);
                                                 EXPECT_EQ(hr, failed ? E_OUTOFMEMORY : S_OK);
                                                 EXPECT_EQ(extender->StubManagerCount(), failed ? 1u : 0u)
                                                     << "kept for a later call";
                                                 hook.Reset();
                                             });
        EXPECT_GT(runs, 0);
    }
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

// Dispose and the owner's removal disconnect and let go of the managers: they do not wait for objects the
// host still holds (the stub manager's shut-down would wait a second for each manager, and the objects leave
// their managers by themselves on their last release).
TEST(HookExtenderShutdownTest, DisposeAndModuleRemovalDoNotWaitForHeldObjects) {
    ovtest::LoadTypeLibraries();
    wpfsim::Application app;
    wpfsim::Element& button = app.Add(&app.Add(nullptr, L"System.Windows.Window", L"main"),
                                      L"System.Windows.Controls.Button", L"b");
    ovhost::Host host{ovtest::BinFolder()};
    host.Attach(app);
    auto extender = ov::Create<CWPFControlRecognizerHookExtender>();
    for (bool dispose : {true, false}) {
        ov::ComPtr<IDispatch> hook;
        VARIANT_BOOL handled = VARIANT_FALSE;
        ASSERT_EQ(extender->GetExtendedObject(host.HostObjectOf(button).Get(), hook.Put(), &handled), S_OK);
        const DWORD start = GetTickCount();
        EXPECT_EQ(dispose ? extender->Dispose() : extender->OnModuleRemoved(host.Owner().Get()), S_OK);
        EXPECT_LT(GetTickCount() - start, 200u) << (dispose ? "Dispose" : "OnModuleRemoved");
        EXPECT_EQ(extender->StubManagerCount(), 0u);
    }
    host.Detach();
}
