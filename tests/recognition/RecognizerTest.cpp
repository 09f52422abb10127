// Classification of elements by their class names, and the mapping options holder that the host reads,
// edits and publishes the kinds' lists through.
#include "RecognitionSupport.h"

#include "host/Host.h"
#include "dispatch/InvokeException.h"
#include "recognition/Recognizer.h"
#include "wpfsim/Application.h"

namespace {

using rectest::KindTable;

class RecognizerTest : public testing::Test {
protected:
    void SetUp() override { ovtest::LoadTypeLibraries(); }

    // An element as WPF makes them: every framework element has a "ContextMenu".
    wpfsim::Element& Add(const std::wstring& className, bool contextMenu = true) {
        auto& element = app.Add(&window, className, L"e" + std::to_wstring(++count_));
        if (contextMenu) element.AddProperty(L"ContextMenu", [] { return wpfsim::ClrObject::Obj(nullptr); });
        return element;
    }
    struct Result {
        LONG kind;
        GUID key;
        std::wstring className;
    };
    Result Classify(wpfsim::Element& element) {
        Result r{-1, rectest::kNonZeroKey, L""};
        ov::Bstr className;
        r.kind = recognizer->ClassifyElement(CovDispDriver(element.NewDispatch().Get()), className, r.key);
        r.className = className.View();
        return r;
    }
    VARIANT_BOOL SetByKey(const GUID& key, const std::vector<std::wstring>& names) {
        ov::Variant list = rectest::MakeList(names);
        VARIANT_BOOL done = VARIANT_FALSE;
        EXPECT_EQ(holder->SetClassNamesByKey(&key, &list, &done), S_OK);
        return done;
    }
    std::vector<std::wstring> NamesByKey(const GUID& key) {
        ov::Variant list;
        VARIANT_BOOL found = VARIANT_FALSE;
        EXPECT_EQ(holder->GetClassNamesByKey(&key, &list, &found), S_OK);
        EXPECT_EQ(found, VARIANT_TRUE);
        return rectest::ReadList(list);
    }

    wpfsim::Application app;
    wpfsim::Element& window = app.Add(nullptr, L"System.Windows.Window", L"main");
    ov::ComPtr<CovWPFControlsRecognizer> recognizer = ov::Create<CovWPFControlsRecognizer>();
    ov::ComPtr<IovCtrlMappingInfoHolder> holder = recognizer.As<IovCtrlMappingInfoHolder>();

private:
    int count_ = 0;
};

TEST_F(RecognizerTest, EveryDefaultClassNameGivesItsKindAndKey) {
    for (const auto& row : KindTable()) {
        if (row.kind == ctrlWPFBaseCtrl) continue;
        for (const auto& pattern : row.patterns) {
            SCOPED_TRACE(testing::PrintToString(pattern));
            auto& element = Add(pattern);
            Result r = Classify(element);
            EXPECT_EQ(r.kind, row.kind);
            EXPECT_EQ(r.key, row.key);
            EXPECT_EQ(r.className, pattern);
            EXPECT_EQ(recognizer->GetElementKind(CovDispDriver(element.NewDispatch().Get())), row.kind);
            ov::Bstr name(pattern);
            ov::Variant object = ov::Variant::Dispatch(element.NewDispatch().Get());
            GUID key = rectest::kNonZeroKey;
            EXPECT_EQ(holder->FindKeyByClassName(name.Get(), &object, &key), S_OK);
            EXPECT_EQ(key, row.key);
        }
    }
}

TEST_F(RecognizerTest, OwnClassNameOnlyAndBaseKindLast) {
    struct Case {
        const wchar_t* className;
        bool contextMenu;
        LONG kind;
    };
    const Case cases[] = {
        {L"System.Windows.Controls.Button", true, ctrlWPFButton},
        {L"System.Windows.Controls.Border", true, ctrlWPFActTransparent},
        {L"MyApp.FancyPanel", true, ctrlWPFBaseCtrl},
        {L"MyApp.FancyButton", true, ctrlWPFBaseCtrl},               // derived from Button: not a button
        {L"System.Windows.Controls.Buttons", true, ctrlWPFBaseCtrl}, // whole name only
        {L"system.windows.controls.button", true, ctrlWPFBaseCtrl},  // case-sensitive
        {L"MyApp.NotAnElement", false, ctrlWPFUnknown},
        {L"CovWPFCtrl", false, ctrlWPFUnknown},                    // the base kind's pattern is not used
        {L"System.Windows.Controls.Button", false, ctrlWPFButton}, // the pattern needs no ContextMenu
    };
    for (const auto& c : cases) {
        Result r = Classify(Add(c.className, c.contextMenu));
        EXPECT_EQ(r.kind, c.kind) << testing::PrintToString(std::wstring(c.className));
        if (c.kind == ctrlWPFBaseCtrl) {
            EXPECT_EQ(r.key, __uuidof(IovWPFControl));
        } else if (c.kind == ctrlWPFUnknown || c.kind == ctrlWPFActTransparent) {
            EXPECT_EQ(r.key, GUID{});
        }
    }
}

TEST_F(RecognizerTest, FirstMatchWinsInTableOrder) {
    // ListView comes after ListBox; give the list box kind a pattern that also covers list views.
    ASSERT_EQ(SetByKey(__uuidof(IovWPFListBox), {L"System.Windows.Controls.List*"}), VARIANT_TRUE);
    EXPECT_EQ(Classify(Add(L"System.Windows.Controls.ListView")).kind, ctrlWPFListBox);
    // A later kind cannot take a name from an earlier one: the combo box (2) keeps its own class even when
    // the button kind (6) claims everything.
    ASSERT_EQ(SetByKey(__uuidof(IovWPFButton), {L"*"}), VARIANT_TRUE);
    EXPECT_EQ(Classify(Add(L"System.Windows.Controls.ComboBox")).kind, ctrlWPFComboBox);
    EXPECT_EQ(Classify(Add(L"System.Windows.Controls.Border")).kind, ctrlWPFButton);
    EXPECT_EQ(Classify(Add(L"MyApp.NotAnElement", false)).kind, ctrlWPFButton);
}

TEST_F(RecognizerTest, ElementsWithoutAClassNameAreNotClassified) {
    auto& element = Add(L"System.Windows.Controls.Button");
    element.RemoveMember(L"ClrFullClassName");
    Result r = Classify(element);
    EXPECT_EQ(r.kind, ctrlWPFUnknown);
    EXPECT_EQ(r.key, GUID{});
    EXPECT_EQ(r.className, L"");
    EXPECT_FALSE(recognizer->CreateElementWrapper(CovDispDriver(element.NewDispatch().Get())));

    // A class name that cannot be read is an invocation error for the caller.
    auto& failing = Add(L"System.Windows.Controls.Button");
    failing.ThrowOn(L"ClrFullClassName", {L"mscorlib", 0, L"boom", E_FAIL});
    ov::Bstr className;
    GUID key{};
    EXPECT_THROW(recognizer->ClassifyElement(CovDispDriver(failing.NewDispatch().Get()), className, key),
                 CovInvokeException);
}

TEST_F(RecognizerTest, CreateElementWrapperByKind) {
    auto button = recognizer->CreateElementWrapper(
        CovDispDriver(Add(L"System.Windows.Controls.Button").NewDispatch().Get()));
    ASSERT_TRUE(button);
    EXPECT_TRUE(button.As<IovWPFButton>());
    auto base = recognizer->CreateElementWrapper(CovDispDriver(Add(L"MyApp.Panel").NewDispatch().Get()));
    ASSERT_TRUE(base);
    EXPECT_TRUE(base.As<IovWPFControl>());
    EXPECT_FALSE(base.As<IovWPFButton>());
    EXPECT_FALSE(recognizer->CreateElementWrapper(
        CovDispDriver(Add(L"System.Windows.Controls.Grid").NewDispatch().Get())));
    EXPECT_FALSE(recognizer->CreateElementWrapper(CovDispDriver(Add(L"MyApp.X", false).NewDispatch().Get())));
}

TEST_F(RecognizerTest, ReplacedListReplacesTheDefaults) {
    ASSERT_EQ(SetByKey(__uuidof(IovWPFButton), {L"MyApp.MyButton"}), VARIANT_TRUE);
    EXPECT_EQ(NamesByKey(__uuidof(IovWPFButton)), std::vector<std::wstring>{L"MyApp.MyButton"});
    EXPECT_EQ(Classify(Add(L"MyApp.MyButton")).kind, ctrlWPFButton);
    EXPECT_EQ(Classify(Add(L"System.Windows.Controls.Button")).kind, ctrlWPFBaseCtrl);

    // Patterns widen the kind to user classes.
    ASSERT_EQ(SetByKey(__uuidof(IovWPFButton), {L"System.Windows.Controls.Button", L"MyApp.*Button"}),
              VARIANT_TRUE);
    EXPECT_EQ(Classify(Add(L"MyApp.FancyButton")).kind, ctrlWPFButton);
    EXPECT_EQ(Classify(Add(L"System.Windows.Controls.Button")).kind, ctrlWPFButton);
}

TEST_F(RecognizerTest, UnknownKeysAndWrongShapesChangeNothing) {
    const GUID unknown = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    EXPECT_EQ(SetByKey(unknown, {L"X"}), VARIANT_FALSE);

    const GUID button = __uuidof(IovWPFButton);
    ov::Variant notAList = ov::Variant::String(L"MyApp.MyButton");
    VARIANT_BOOL done = VARIANT_TRUE;
    EXPECT_EQ(holder->SetClassNamesByKey(&button, &notAList, &done), S_OK);
    EXPECT_EQ(done, VARIANT_FALSE);
    EXPECT_EQ(NamesByKey(button), std::vector<std::wstring>{L"System.Windows.Controls.Button"});

    ov::Variant list;
    VARIANT_BOOL found = VARIANT_TRUE;
    EXPECT_EQ(holder->GetClassNamesByKey(&unknown, &list, &found), S_OK);
    EXPECT_EQ(found, VARIANT_FALSE);
    ov::ComPtr<IovWindowMappingInfo> info;
    found = VARIANT_TRUE;
    EXPECT_EQ(holder->GetInfoByKey(&unknown, info.Put(), &found), S_OK);
    EXPECT_EQ(found, VARIANT_FALSE);
    EXPECT_FALSE(info);
    EXPECT_EQ(holder->SetClassNamesByKey(nullptr, &list, &done), E_POINTER);
}

TEST_F(RecognizerTest, ZeroKeyReachesTheComboBoxItemKind) {
    const GUID zero{};
    ov::ComPtr<IovWindowMappingInfo> info;
    VARIANT_BOOL found = VARIANT_FALSE;
    ASSERT_EQ(holder->GetInfoByKey(&zero, info.Put(), &found), S_OK);
    ASSERT_EQ(found, VARIANT_TRUE);
    LONG kind = 0;
    ASSERT_EQ(info.As<IovWPFControlMappingInfo>()->GetControlType(&kind), S_OK);
    EXPECT_EQ(kind, ctrlWPFComboBoxItem);
    found = VARIANT_FALSE;
    EXPECT_EQ(holder->GetInfoByKey(&zero, nullptr, &found), S_OK);
    EXPECT_EQ(found, VARIANT_TRUE);

    // A zero-key change reaches the combo-box item kind only.
    ASSERT_EQ(SetByKey(zero, {L"MyApp.Item"}), VARIANT_TRUE);
    EXPECT_EQ(Classify(Add(L"MyApp.Item")).kind, ctrlWPFComboBoxItem);
    EXPECT_EQ(Classify(Add(L"System.Windows.Controls.TabItem")).kind, ctrlWPFTabControlItem);
}

TEST_F(RecognizerTest, HolderKeyAndInfos) {
    GUID first{}, second{};
    auto other = ov::Create<CovWPFControlsRecognizer>();
    ASSERT_EQ(recognizer.As<IovWindowMappingProvider>()->GetKey(&first), S_OK);
    ASSERT_EQ(other.As<IovWindowMappingProvider>()->GetKey(&second), S_OK);
    EXPECT_NE(first, GUID{});
    EXPECT_NE(first, second) << "a new key per holder";
    EXPECT_EQ(recognizer.As<IovWindowMappingProvider>()->GetKey(nullptr), S_OK);
    EXPECT_TRUE(recognizer.As<IbxKeyItem>());

    // Each holder has infos of its own.
    ASSERT_EQ(SetByKey(__uuidof(IovWPFButton), {L"Mine"}), VARIANT_TRUE);
    ov::Variant list;
    VARIANT_BOOL found = VARIANT_FALSE;
    const GUID button = __uuidof(IovWPFButton);
    ASSERT_EQ(other.As<IovCtrlMappingInfoHolder>()->GetClassNamesByKey(&button, &list, &found), S_OK);
    EXPECT_EQ(rectest::ReadList(list), std::vector<std::wstring>{L"System.Windows.Controls.Button"});
}

TEST_F(RecognizerTest, FindKeyByClassNameWithoutElement) {
    GUID key = rectest::kNonZeroKey;
    ov::Bstr edit(L"System.Windows.Controls.TextBox"), unknown(L"MyApp.X");
    EXPECT_EQ(holder->FindKeyByClassName(edit.Get(), nullptr, &key), S_OK);
    EXPECT_EQ(key, __uuidof(IovWPFEdit));
    EXPECT_EQ(holder->FindKeyByClassName(unknown.Get(), nullptr, &key), S_OK);
    EXPECT_EQ(key, GUID{}) << "no element: the base kind cannot match either";
}

// --- publishing through the host's option store --------------------------------------------------------

class PublishTest : public RecognizerTest {
protected:
    PublishTest() { host.Attach(app); }
    ~PublishTest() override { host.Detach(); }

    ovhost::Host host{ovtest::BinFolder()};
};

TEST_F(PublishTest, EveryKindInTableOrderKeyFirst) {
    ASSERT_EQ(SetByKey(__uuidof(IovWPFCheckBox), {L"MyApp.Check", L"MyApp.Box"}), VARIANT_TRUE);
    auto hostObject = host.HostObjectOf(window);
    ASSERT_TRUE(hostObject);
    VARIANT_BOOL done = VARIANT_FALSE;
    ASSERT_EQ(holder->PublishClassNames(hostObject.Get(), &done), S_OK);
    EXPECT_EQ(done, VARIANT_TRUE);

    const auto& updates = host.OptionUpdates();
    ASSERT_EQ(updates.size(), 31u);
    EXPECT_EQ(host.Calls().Of("IovOptionNotification::NotifyOptionUpdated"), 31);
    for (size_t i = 0; i < updates.size(); ++i) {
        const auto& row = KindTable()[i];
        SCOPED_TRACE(testing::Message() << "position " << i + 1);
        EXPECT_EQ(updates[i].key, rectest::KeyText(row.key));
        std::vector<std::wstring> expected = row.kind == ctrlWPFCheckBox
                                                 ? std::vector<std::wstring>{L"MyApp.Check", L"MyApp.Box"}
                                                 : row.patterns;
        EXPECT_EQ(rectest::ReadList(updates[i].classNames), expected);
    }
    EXPECT_EQ(updates.front().key, L"{E611B7AC-CD52-4ED5-B13D-938803BF0F20}") << "braces, upper case";
    EXPECT_EQ(updates[21].key, L"{00000000-0000-0000-0000-000000000000}");
}

TEST_F(PublishTest, NoOptionStoreNoNotification) {
    auto fake = ov::Create<rectest::FakeHostObject>();
    VARIANT_BOOL done = VARIANT_TRUE;
    EXPECT_EQ(holder->PublishClassNames(static_cast<IovObjectInternal*>(fake.Get()), &done), S_OK);
    EXPECT_EQ(done, VARIANT_FALSE) << "not a host object with an option store";
    done = VARIANT_TRUE;
    EXPECT_EQ(holder->PublishClassNames(nullptr, &done), S_OK);
    EXPECT_EQ(done, VARIANT_FALSE);
    EXPECT_TRUE(host.OptionUpdates().empty());
    EXPECT_EQ(holder->PublishClassNames(host.HostObjectOf(window).Get(), nullptr), E_POINTER);
}

} // namespace
