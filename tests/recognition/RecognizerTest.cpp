// The recognizer through the host's mapping interfaces, which no script calls (the members table kinds.table
// pins classification and the options as a script sees them): the kind infos, the class-name lists in the
// host's shapes, the wrapper factories, and publishing into the host's option store.
#include "RecognitionSupport.h"

#include "host/services/Host.h"
#include "recognition/Recognizer.h"

namespace {

using rectest::kKinds;
using rectest::MakeArray;
using rectest::MakeList;
using rectest::ReadList;
using Names = std::vector<std::wstring>;

LONG IndexOf(LONG kind) {
    for (size_t i = 0; i < std::size(kKinds); ++i)
        if (kKinds[i].kind == kind) return static_cast<LONG>(i);
    ADD_FAILURE() << "no kind " << kind;
    return 0;
}

class RecognizerTest : public testing::Test {
protected:
    void SetUp() override { ovtest::LoadTypeLibraries(); }

    wpfsim::Element& Add(const std::wstring& className, bool contextMenu = true) {
        return rectest::AddElement(app, window, className, contextMenu);
    }
    std::pair<LONG, GUID> Classify(wpfsim::Element& element, std::wstring* className = nullptr) {
        std::pair<LONG, GUID> r{-1, rectest::kNonZeroKey};
        ov::Bstr name;
        r.first = recognizer->ClassifyElement(CovDispDriver(element.NewDispatch().Get()), name, r.second);
        if (className) *className = name.View();
        return r;
    }
    ov::ComPtr<IovWindowMappingInfo> InfoAt(LONG index) {
        ov::ComPtr<IovWindowMappingInfo> info;
        EXPECT_EQ(recognizer->GetInfo(index, info.Put()), S_OK);
        return info;
    }
    // The current (or default) list as the host reads it, one name at a time.
    Names Current(LONG index, bool defaults = false) {
        auto info = InfoAt(index);
        LONG count = -1;
        EXPECT_EQ(defaults ? info->GetDefaultClassNameCount(&count) : info->GetClassNameCount(&count), S_OK);
        Names names(count > 0 ? count : 0);
        for (LONG i = 0; i < count; ++i) {
            ov::Bstr name;
            EXPECT_EQ(defaults ? info->GetDefaultClassName(i, name.Put()) : info->GetClassName(i, name.Put()),
                      S_OK);
            names[i] = name.View();
        }
        return names;
    }
    bool Matches(LONG index, const wchar_t* className, VARIANT* element = nullptr) {
        VARIANT_BOOL match = VARIANT_TRUE;
        EXPECT_EQ(InfoAt(index).As<IovCtrlMappingInfo>()->IsMatch(ov::Bstr(className).Get(), element, &match),
                  S_OK);
        return match == VARIANT_TRUE;
    }
    VARIANT_BOOL SetByKey(const GUID& key, const Names& names) {
        ov::Variant list = MakeList(names);
        VARIANT_BOOL done = VARIANT_FALSE;
        EXPECT_EQ(holder->SetClassNamesByKey(&key, &list, &done), S_OK);
        return done;
    }
    static Names NamesByKey(IovCtrlMappingInfoHolder* from, const GUID& key) {
        ov::Variant list;
        VARIANT_BOOL found = VARIANT_FALSE;
        EXPECT_EQ(from->GetClassNamesByKey(&key, &list, &found), S_OK);
        EXPECT_EQ(found, VARIANT_TRUE);
        return ReadList(list);
    }

    wpfsim::Application app;
    wpfsim::Element& window = app.Add(nullptr, L"System.Windows.Window", L"main");
    ov::ComPtr<CovWPFControlsRecognizer> recognizer = ov::Create<CovWPFControlsRecognizer>();
    ov::ComPtr<IovCtrlMappingInfoHolder> holder = recognizer.As<IovCtrlMappingInfoHolder>();
};

TEST_F(RecognizerTest, KindTableInOrderAndEveryDefaultClassNameClassified) {
    LONG count = 0;
    ASSERT_EQ(recognizer->GetInfoCount(&count), S_OK);
    ASSERT_EQ(count, 31);
    for (LONG i = 0; i < count; ++i) {
        const auto& row = kKinds[i];
        const Names patterns = rectest::Patterns(row);
        SCOPED_TRACE(testing::Message() << "position " << i + 1 << ", kind " << row.kind);
        auto info = InfoAt(i);
        LONG kind = -1;
        GUID key{}, secondary = rectest::kNonZeroKey;
        ov::Bstr name, group;
        VARIANT_BOOL fixed = 1;
        EXPECT_EQ(info.As<IovWPFControlMappingInfo>()->GetControlType(&kind), S_OK);
        EXPECT_EQ(info->GetKey(&key), S_OK);
        EXPECT_EQ(info->GetSecondaryKey(&secondary), S_OK);
        EXPECT_EQ(info->GetDisplayName(name.Put()), S_OK);
        EXPECT_EQ(info->GetGroupName(group.Put()), S_OK);
        EXPECT_EQ(info->GetFixedFlag(&fixed), S_OK);
        EXPECT_EQ(kind, row.kind);
        EXPECT_EQ(rectest::KeyText(key), rectest::KeyText(row.key));
        EXPECT_EQ(secondary, GUID{});
        EXPECT_EQ(name.View(), row.displayName);
        EXPECT_EQ(group.View(), L"WPF Controls");
        EXPECT_EQ(fixed, i >= IndexOf(ctrlWPFReaderScrollViewer) ? VARIANT_TRUE : VARIANT_FALSE);
        EXPECT_EQ(Current(i, true), patterns);
        EXPECT_EQ(Current(i), patterns) << "the current list starts as the defaults";

        if (row.kind == ctrlWPFBaseCtrl) continue; // its pattern is never used
        for (const auto& pattern : patterns) {
            SCOPED_TRACE(testing::PrintToString(pattern));
            auto& element = Add(pattern);
            std::wstring className;
            EXPECT_EQ(Classify(element, &className), std::make_pair(row.kind, row.key));
            EXPECT_EQ(className, pattern);
            ov::Variant object = ov::Variant::Dispatch(element.NewDispatch().Get());
            key = rectest::kNonZeroKey;
            EXPECT_EQ(holder->FindKeyByClassName(ov::Bstr(pattern).Get(), &object, &key), S_OK);
            EXPECT_EQ(key, row.key);
        }
    }
}

TEST_F(RecognizerTest, OwnClassNameOnlyAndBaseKindLast) {
    const GUID button = __uuidof(IovWPFButton), base = __uuidof(IovWPFControl);
    struct Case {
        const wchar_t* className;
        bool contextMenu;
        LONG kind;
        GUID key; // also the wrapper's own interface, if any
    } cases[] = {
        // The pattern needs no "ContextMenu"; the wrapper offers the kind's interface.
        {L"System.Windows.Controls.Button", false, ctrlWPFButton, button},
        {L"System.Windows.Controls.Border", true, ctrlWPFActTransparent, GUID{}},
        {L"MyApp.FancyPanel", true, ctrlWPFBaseCtrl, base},
        {L"MyApp.NotAnElement", false, ctrlWPFUnknown, GUID{}},
        {L"CovWPFCtrl", false, ctrlWPFUnknown, GUID{}}, // the base kind's pattern is not used
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.className)));
        auto& element = Add(c.className, c.contextMenu);
        EXPECT_EQ(Classify(element), std::make_pair(c.kind, c.key));
        auto wrapper = recognizer->CreateElementWrapper(CovDispDriver(element.NewDispatch().Get()));
        ov::ComPtr<IUnknown> own;
        EXPECT_EQ(static_cast<bool>(wrapper), c.key != GUID{});
        EXPECT_EQ(wrapper ? wrapper->QueryInterface(c.key, own.PutVoid()) : S_OK, S_OK);
        EXPECT_EQ(static_cast<bool>(wrapper && wrapper.As<IovWPFButton>()), c.kind == ctrlWPFButton);
    }
    // Without an element the base kind cannot match.
    GUID key = rectest::kNonZeroKey;
    EXPECT_EQ(holder->FindKeyByClassName(ov::Bstr(L"MyApp.FancyPanel").Get(), nullptr, &key), S_OK);
    EXPECT_EQ(key, GUID{});
}

TEST_F(RecognizerTest, UnknownKeysChangeNothingAndTheZeroKeyReachesTheFirstItemKind) {
    const GUID unknown = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    EXPECT_EQ(SetByKey(unknown, {L"X"}), VARIANT_FALSE);
    ov::Variant list;
    VARIANT_BOOL found = VARIANT_TRUE;
    EXPECT_EQ(holder->GetClassNamesByKey(&unknown, &list, &found), S_OK);
    EXPECT_EQ(found, VARIANT_FALSE);
    ov::ComPtr<IovWindowMappingInfo> info;
    EXPECT_EQ(holder->GetInfoByKey(&unknown, info.Put(), &found), S_OK);
    EXPECT_FALSE(found || info);

    // Several kinds have the zero key: the first, the combo-box item kind, answers for it.
    ASSERT_EQ(SetByKey(GUID{}, {L"MyApp.Item"}), VARIANT_TRUE);
    EXPECT_EQ(Classify(Add(L"MyApp.Item")).first, ctrlWPFComboBoxItem);
    EXPECT_EQ(Classify(Add(L"System.Windows.Controls.TabItem")).first, ctrlWPFTabControlItem);
    // A known key is found, also by a caller that does not want its information.
    const GUID zero{};
    found = VARIANT_FALSE;
    EXPECT_EQ(holder->GetInfoByKey(&zero, nullptr, &found), S_OK);
    EXPECT_EQ(found, VARIANT_TRUE);
    EXPECT_EQ(holder->GetInfoByKey(&zero, info.Put(), &found), S_OK);
    EXPECT_TRUE(found && info);
}

TEST_F(RecognizerTest, ClassNameListsInBothDirections) {
    const Names before = {L"System.Windows.Controls.Button"};
    const auto S = [](const wchar_t* s) { return ov::Variant::String(s); };
    struct Case {
        const char* name;
        ov::Variant list;
        Names after; // `before`: refused
    };
    std::vector<Case> cases;
    cases.push_back({"usual list", MakeList({L"MyApp.A", L"MyApp.B*"}), {L"MyApp.A", L"MyApp.B*"}});
    cases.push_back({"empty list", MakeList({}), {}});
    cases.push_back({"non-strings skipped",
                     MakeArray(VT_VARIANT, {{3, 0}, {1, 0}}, {ov::Variant::Int(1), S(L"X"), {}}),
                     {L"X"}});
    cases.push_back(
        {"rows from 1", MakeArray(VT_VARIANT, {{2, 1}, {1, 0}}, {S(L"P"), S(L"Q")}), {L"P", L"Q"}});
    cases.push_back(
        {"BSTR array", MakeArray(VT_BSTR, {{2, 0}, {1, 0}}, {S(L"S1"), S(L"S2")}), {L"S1", L"S2"}});
    cases.push_back({"one dimension", MakeArray(VT_VARIANT, {{1, 0}}, {S(L"One")}), before});
    cases.push_back({"not an array", S(L"MyApp.A"), before});
    const LONG button = IndexOf(ctrlWPFButton);
    auto mapping = InfoAt(button).As<IovCtrlMappingInfo>();
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        ov::Variant restore = MakeList(before), list = ov::Variant::Int(5); // replaced, not leaked
        VARIANT_BOOL done = VARIANT_FALSE;
        ASSERT_EQ(mapping->SetClassNames(&restore, &done), S_OK);
        done = c.after != before ? VARIANT_FALSE : VARIANT_TRUE; // to see it overwritten
        EXPECT_EQ(mapping->SetClassNames(&c.list, &done), S_OK);
        EXPECT_EQ(done, c.after != before ? VARIANT_TRUE : VARIANT_FALSE);
        EXPECT_EQ(Current(button), c.after);
        EXPECT_EQ(Matches(button, L"System.Windows.Controls.Button"), c.after == before);
        EXPECT_EQ(mapping->GetClassNames(&list, &done), S_OK);
        EXPECT_EQ(done, VARIANT_TRUE);
        EXPECT_EQ(ReadList(list), c.after) << "the list in the host's shape, also when empty";
    }

    EXPECT_EQ(Current(button, true), before) << "the defaults never change";
}

TEST_F(RecognizerTest, PublishMakesOneCallPerKindInTableOrderKeyFirst) {
    ovhost::Host host{ovtest::BinFolder()};
    host.Attach(app);
    ASSERT_EQ(SetByKey(__uuidof(IovWPFCheckBox), {L"MyApp.Check", L"MyApp.Box"}), VARIANT_TRUE);
    VARIANT_BOOL done = VARIANT_FALSE;
    ASSERT_EQ(holder->PublishClassNames(host.HostObjectOf(window).Get(), &done), S_OK);
    EXPECT_EQ(done, VARIANT_TRUE);

    const auto& updates = host.OptionUpdates();
    ASSERT_EQ(updates.size(), 31u);
    EXPECT_EQ(host.Calls().Of("IovOptionNotification::NotifyOptionUpdated"), 31);
    for (size_t i = 0; i < updates.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "position " << i + 1);
        EXPECT_EQ(updates[i].key, rectest::KeyText(kKinds[i].key));
        const Names expected = kKinds[i].kind == ctrlWPFCheckBox ? Names{L"MyApp.Check", L"MyApp.Box"}
                                                                 : rectest::Patterns(kKinds[i]);
        EXPECT_EQ(ReadList(updates[i].classNames), expected);
    }
    EXPECT_EQ(updates.front().key, L"{E611B7AC-CD52-4ED5-B13D-938803BF0F20}") << "braces, upper case";
}

} // namespace
