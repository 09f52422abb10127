// The kind infos as the host reads and edits them: the table of 31 kinds, the class-name lists in both
// directions, the match tests and the wrapper factories.
#include "RecognitionSupport.h"

#include "recognition/Recognizer.h"
#include "wpfsim/Application.h"

namespace {

using rectest::KindTable;
using rectest::Text;

class KindInfoTest : public testing::Test {
protected:
    void SetUp() override { ovtest::LoadTypeLibraries(); }

    ov::ComPtr<IovWindowMappingInfo> InfoAt(LONG index) {
        ov::ComPtr<IovWindowMappingInfo> info;
        EXPECT_EQ(provider->GetInfo(index, info.Put()), S_OK);
        return info;
    }
    ov::ComPtr<IovCtrlMappingInfo> MappingAt(LONG index) { return InfoAt(index).As<IovCtrlMappingInfo>(); }
    ov::ComPtr<IovWPFControlMappingInfo> FactoryAt(LONG index) {
        return InfoAt(index).As<IovWPFControlMappingInfo>();
    }
    static LONG IndexOf(LONG kind) {
        for (size_t i = 0; i < KindTable().size(); ++i)
            if (KindTable()[i].kind == kind) return static_cast<LONG>(i);
        ADD_FAILURE() << "no kind " << kind;
        return 0;
    }
    std::vector<std::wstring> Current(IovWindowMappingInfo* info) {
        LONG count = -1;
        EXPECT_EQ(info->GetClassNameCount(&count), S_OK);
        std::vector<std::wstring> names;
        for (LONG i = 0; i < count; ++i) {
            ov::Bstr name;
            EXPECT_EQ(info->GetClassName(i, name.Put()), S_OK);
            names.emplace_back(name.View());
        }
        return names;
    }
    bool Matches(LONG index, const wchar_t* className, VARIANT* element = nullptr) {
        VARIANT_BOOL match = VARIANT_TRUE;
        ov::Bstr name(className);
        EXPECT_EQ(MappingAt(index)->IsMatch(name.Get(), element, &match), S_OK);
        return match == VARIANT_TRUE;
    }

    ov::ComPtr<CovWPFControlsRecognizer> recognizer = ov::Create<CovWPFControlsRecognizer>();
    ov::ComPtr<IovWindowMappingProvider> provider = recognizer.As<IovWindowMappingProvider>();
};

TEST_F(KindInfoTest, TableOfKindsInOrder) {
    LONG count = 0;
    ASSERT_EQ(provider->GetInfoCount(&count), S_OK);
    ASSERT_EQ(count, 31);
    for (LONG i = 0; i < count; ++i) {
        const auto& row = KindTable()[static_cast<size_t>(i)];
        SCOPED_TRACE(testing::Message() << "position " << i + 1 << ", kind " << row.kind);
        auto info = InfoAt(i);
        ASSERT_TRUE(info);

        LONG kind = -1;
        EXPECT_EQ(FactoryAt(i)->GetControlType(&kind), S_OK);
        EXPECT_EQ(kind, row.kind);
        GUID key{};
        EXPECT_EQ(info->GetKey(&key), S_OK);
        EXPECT_EQ(rectest::KeyText(key), rectest::KeyText(row.key));
        GUID secondary = rectest::kNonZeroKey;
        EXPECT_EQ(info->GetSecondaryKey(&secondary), S_OK);
        EXPECT_EQ(secondary, GUID{});

        ov::Bstr name, group;
        EXPECT_EQ(info->GetDisplayName(name.Put()), S_OK);
        EXPECT_EQ(name.View(), row.displayName);
        EXPECT_EQ(info->GetGroupName(group.Put()), S_OK);
        EXPECT_EQ(group.View(), L"WPF Controls");
        VARIANT_BOOL fixed = 1;
        EXPECT_EQ(info->GetFixedFlag(&fixed), S_OK);
        EXPECT_EQ(fixed, row.fixed ? VARIANT_TRUE : VARIANT_FALSE);

        LONG defaults = -1;
        EXPECT_EQ(info->GetDefaultClassNameCount(&defaults), S_OK);
        std::vector<std::wstring> patterns;
        for (LONG p = 0; p < defaults; ++p) {
            ov::Bstr pattern;
            EXPECT_EQ(info->GetDefaultClassName(p, pattern.Put()), S_OK);
            patterns.emplace_back(pattern.View());
        }
        EXPECT_EQ(patterns, row.patterns);
        EXPECT_EQ(Current(info.Get()), row.patterns) << "current list starts as the defaults";
    }
}

TEST_F(KindInfoTest, SplittingClassStrings) {
    struct Case {
        const wchar_t* text;
        std::vector<std::wstring> patterns;
    };
    const Case cases[] = {
        {L"A", {L"A"}},
        {L"A B", {L"A", L"B"}},
        {L"  A   B  ", {L"A", L"B"}},
        {L"A\tB", {L"A\tB"}},
        {L" ", {}},
        {L"", {}},
        {nullptr, {}},
        {L"a+b* C?", {L"a+b*", L"C?"}},
    };
    for (const auto& c : cases) {
        std::vector<std::wstring> got;
        for (const auto& b : ov::SplitClassString(c.text))
            got.emplace_back(b.View());
        EXPECT_EQ(got, c.patterns) << (c.text ? testing::PrintToString(std::wstring(c.text)) : "null");
    }
}

TEST_F(KindInfoTest, GetClassNamesShape) {
    auto menuItem = MappingAt(IndexOf(ctrlWPFMenuItem));
    ov::Variant list = ov::Variant::Int(5); // replaced, not leaked
    VARIANT_BOOL done = VARIANT_FALSE;
    ASSERT_EQ(menuItem->GetClassNames(&list, &done), S_OK);
    EXPECT_EQ(done, VARIANT_TRUE);
    EXPECT_EQ(rectest::ReadList(list), KindTable()[static_cast<size_t>(IndexOf(ctrlWPFMenuItem))].patterns);

    // An empty list: zero rows, one column.
    ASSERT_EQ(InfoAt(0)->ClearClassNames(), S_OK);
    ov::Variant empty;
    ASSERT_EQ(MappingAt(0)->GetClassNames(&empty, &done), S_OK);
    EXPECT_EQ(done, VARIANT_TRUE);
    ASSERT_EQ(empty.vt, VT_ARRAY | VT_VARIANT);
    LONG upper = 0, columns = -1;
    SafeArrayGetUBound(empty.parray, 1, &upper);
    SafeArrayGetUBound(empty.parray, 2, &columns);
    EXPECT_EQ(upper, -1);
    EXPECT_EQ(columns, 0);
    EXPECT_EQ(InfoAt(0)->Refresh(), S_OK);

    EXPECT_EQ(MappingAt(0)->GetClassNames(nullptr, &done), E_POINTER);
}

TEST_F(KindInfoTest, SetClassNamesAcceptsOnlyTwoDimensionalLists) {
    using rectest::MakeArray;
    const std::vector<std::wstring> before = {L"System.Windows.Controls.Button"};
    struct Case {
        const char* name;
        ov::Variant list;
        bool accepted;
        std::vector<std::wstring> after;
    };
    std::vector<Case> cases;
    cases.push_back(
        {"usual list", rectest::MakeList({L"MyApp.A", L"MyApp.B*"}), true, {L"MyApp.A", L"MyApp.B*"}});
    cases.push_back({"empty list", rectest::MakeList({}), true, {}});
    cases.push_back({"non-strings skipped",
                     MakeArray(VT_VARIANT, {{3, 0}, {1, 0}},
                               {ov::Variant::Int(1), ov::Variant::String(L"X"), ov::Variant()}),
                     true,
                     {L"X"}});
    cases.push_back(
        {"rows counted from 1",
         MakeArray(VT_VARIANT, {{2, 1}, {1, 0}}, {ov::Variant::String(L"P"), ov::Variant::String(L"Q")}),
         true,
         {L"P", L"Q"}});
    cases.push_back(
        {"array of BSTR",
         MakeArray(VT_BSTR, {{2, 0}, {1, 0}}, {ov::Variant::String(L"S1"), ov::Variant::String(L"S2")}),
         true,
         {L"S1", L"S2"}});
    cases.push_back(
        {"one dimension", MakeArray(VT_VARIANT, {{1, 0}}, {ov::Variant::String(L"One")}), false, before});
    cases.push_back({"three dimensions",
                     MakeArray(VT_VARIANT, {{1, 0}, {1, 0}, {1, 0}}, {ov::Variant::String(L"T")}), false,
                     before});
    cases.push_back({"not an array", ov::Variant::String(L"MyApp.A"), false, before});
    cases.push_back({"empty VARIANT", ov::Variant(), false, before});

    const LONG button = IndexOf(ctrlWPFButton);
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        ov::Variant restore = rectest::MakeList(before);
        VARIANT_BOOL done = VARIANT_FALSE;
        ASSERT_EQ(MappingAt(button)->SetClassNames(&restore, &done), S_OK);
        done = c.accepted ? VARIANT_FALSE : VARIANT_TRUE;
        EXPECT_EQ(MappingAt(button)->SetClassNames(&c.list, &done), S_OK);
        EXPECT_EQ(done, c.accepted ? VARIANT_TRUE : VARIANT_FALSE);
        EXPECT_EQ(Current(InfoAt(button).Get()), c.after);
    }

    // A list passed by reference, as script engines do.
    ov::Variant list = rectest::MakeList({L"ByRef"});
    VARIANT byRef;
    byRef.vt = VT_BYREF | VT_VARIANT;
    byRef.pvarVal = &list;
    VARIANT_BOOL done = VARIANT_FALSE;
    EXPECT_EQ(MappingAt(button)->SetClassNames(&byRef, &done), S_OK);
    EXPECT_EQ(done, VARIANT_TRUE);
    EXPECT_EQ(Current(InfoAt(button).Get()), std::vector<std::wstring>{L"ByRef"});

    done = VARIANT_TRUE;
    EXPECT_EQ(MappingAt(button)->SetClassNames(nullptr, &done), S_OK);
    EXPECT_EQ(done, VARIANT_FALSE);
    // The defaults never change.
    ov::Bstr first;
    EXPECT_EQ(InfoAt(button)->GetDefaultClassName(0, first.Put()), S_OK);
    EXPECT_EQ(first.View(), L"System.Windows.Controls.Button");
}

TEST_F(KindInfoTest, ClearAndAddClassNames) {
    const LONG button = IndexOf(ctrlWPFButton);
    auto info = InfoAt(button);
    ASSERT_EQ(info->ClearClassNames(), S_OK);
    EXPECT_FALSE(Matches(button, L"System.Windows.Controls.Button")) << "an empty list matches nothing";

    ov::Bstr twoWords(L"MyApp.A MyApp.B");
    ASSERT_EQ(info->AddClassName(twoWords.Get()), S_OK);
    ASSERT_EQ(info->AddClassName(twoWords.Get()), S_OK);
    EXPECT_EQ(Current(info.Get()), (std::vector<std::wstring>{L"MyApp.A MyApp.B", L"MyApp.A MyApp.B"}))
        << "no splitting, no duplicate check";
    EXPECT_TRUE(Matches(button, L"MyApp.A MyApp.B"));
    EXPECT_FALSE(Matches(button, L"MyApp.A"));
}

TEST_F(KindInfoTest, BadArgumentsGiveErrors) {
    auto info = InfoAt(0);
    ov::Bstr name;
    EXPECT_EQ(info->GetDefaultClassName(1, name.Put()), E_INVALIDARG);
    EXPECT_EQ(info->GetDefaultClassName(-1, name.Put()), E_INVALIDARG);
    EXPECT_EQ(info->GetClassName(1, name.Put()), E_INVALIDARG);
    EXPECT_EQ(name.Get(), nullptr);
    EXPECT_EQ(info->GetDisplayName(nullptr), S_OK);
    EXPECT_EQ(info->GetGroupName(nullptr), S_OK);
    EXPECT_EQ(info->GetKey(nullptr), E_POINTER);
    ov::ComPtr<IovWindowMappingInfo> none;
    EXPECT_EQ(provider->GetInfo(31, none.Put()), E_INVALIDARG);
    EXPECT_EQ(provider->GetInfo(-1, none.Put()), E_INVALIDARG);
    EXPECT_EQ(provider->GetInfo(0, nullptr), S_OK);

    auto factory = FactoryAt(IndexOf(ctrlWPFButton));
    ov::ComPtr<IDispatch> control;
    GUID id{};
    EXPECT_EQ(factory->CreateControl(nullptr, control.Put()), E_POINTER);
    EXPECT_EQ(factory->CreateControlWithKey(nullptr, control.Put()), E_POINTER);
    EXPECT_EQ(factory->CreateControlWithKey(&id, nullptr), E_POINTER);
    EXPECT_FALSE(control);
    EXPECT_EQ(factory->GetControlType(nullptr), E_POINTER);
}

TEST_F(KindInfoTest, DefaultMatchIgnoresTheElement) {
    const LONG transparent = IndexOf(ctrlWPFActTransparent);
    EXPECT_TRUE(Matches(transparent, L"System.Windows.Controls.Grid"));
    EXPECT_TRUE(Matches(transparent, L"System.Windows.Controls.WrapPanel"));
    EXPECT_FALSE(Matches(transparent, L"System.Windows.Controls.Grid "));
    EXPECT_FALSE(Matches(transparent, L"")) << "the trailing space made no empty pattern";
    ov::Variant notAnObject = ov::Variant::Int(3);
    EXPECT_TRUE(Matches(IndexOf(ctrlWPFButton), L"System.Windows.Controls.Button", &notAnObject));
}

TEST_F(KindInfoTest, BaseKindMatchesElementsWithAContextMenu) {
    wpfsim::Application app;
    auto& window = app.Add(nullptr, L"System.Windows.Window", L"main");
    auto& plain = app.Add(&window, L"MyApp.Plain", L"plain");
    auto& withMenu = app.Add(&window, L"MyApp.FancyPanel", L"fancy");
    withMenu.AddProperty(L"ContextMenu", [] { return wpfsim::ClrObject::Obj(nullptr); });

    const LONG base = IndexOf(ctrlWPFBaseCtrl);
    ov::Variant fancy = ov::Variant::Dispatch(withMenu.NewDispatch().Get());
    ov::Variant other = ov::Variant::Dispatch(plain.NewDispatch().Get());
    EXPECT_TRUE(Matches(base, L"", &fancy)) << "the class name is ignored";
    EXPECT_TRUE(Matches(base, L"CovWPFCtrl", &fancy));
    EXPECT_FALSE(Matches(base, L"CovWPFCtrl", &other)) << "its pattern is never used";

    IDispatch* fancyDispatch = fancy.pdispVal;
    VARIANT byRef;
    byRef.vt = VT_BYREF | VT_DISPATCH;
    byRef.ppdispVal = &fancyDispatch;
    EXPECT_TRUE(Matches(base, L"", &byRef));

    ov::Variant nullObject = ov::Variant::Dispatch(nullptr);
    ov::Variant text = ov::Variant::String(L"MyApp.FancyPanel");
    EXPECT_FALSE(Matches(base, L"", &nullObject));
    EXPECT_FALSE(Matches(base, L"", &text));
    EXPECT_FALSE(Matches(base, L"", nullptr));

    ASSERT_EQ(InfoAt(base)->ClearClassNames(), S_OK);
    EXPECT_TRUE(Matches(base, L"", &fancy)) << "the base kind ignores its list";

    app.StopResponding();
    EXPECT_FALSE(Matches(base, L"", &fancy));
}

TEST_F(KindInfoTest, FactoriesMakeTheKindsWrapper) {
    wpfsim::Application app;
    auto& element = app.Add(nullptr, L"System.Windows.Controls.Button", L"ok");
    auto native = element.NewDispatch();
    const GUID id = element.Id();

    struct Case {
        LONG kind;
        const IID* own; // the wrapper's own interface; null: no wrapper
    };
    const Case cases[] = {
        {ctrlWPFButton, &__uuidof(IovWPFButton)},
        {ctrlWPFRepeatButton, &__uuidof(IovWPFRepeatButton)},
        {ctrlWPFToggleButton, &__uuidof(IovWPFToggleButton)},
        {ctrlWPFRadioButton, &__uuidof(IovWPFRadioButton)},
        {ctrlWPFCheckBox, &__uuidof(IovWPFCheckBox)},
        {ctrlWPFBaseCtrl, &__uuidof(IovWPFControl)},
        {ctrlWPFComboBoxItem, nullptr},
        {ctrlWPFPopupRoot, nullptr},
        {ctrlWPFActTransparent, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind);
        auto factory = FactoryAt(IndexOf(c.kind));
        ov::ComPtr<IDispatch> byObject, byKey;
        EXPECT_EQ(factory->CreateControl(native.Get(), byObject.Put()), S_OK);
        EXPECT_EQ(factory->CreateControlWithKey(&id, byKey.Put()), S_OK);
        if (!c.own) {
            EXPECT_FALSE(byObject);
            EXPECT_FALSE(byKey);
            continue;
        }
        ASSERT_TRUE(byObject);
        ASSERT_TRUE(byKey);
        EXPECT_NE(byObject, byKey) << "a new wrapper every time";
        ov::ComPtr<IUnknown> own;
        EXPECT_EQ(byObject->QueryInterface(*c.own, own.PutVoid()), S_OK);
        EXPECT_EQ(byKey->QueryInterface(*c.own, own.PutVoid()), S_OK);
        EXPECT_TRUE(byObject.As<IovWPFControl>());
        if (c.kind == ctrlWPFBaseCtrl) {
            EXPECT_FALSE(byObject.As<IovWPFButton>());
        }
    }
}

} // namespace
