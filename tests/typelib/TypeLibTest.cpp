// The type library embedded in the module DLL, checked against a reference written independently of the
// IDL (ovWPFControlsLib.expected) and against the identifiers of the compiled header.
#include "TypeLibDump.h"

#include "dispatch/ComPtr.h"
#include "dispatch/OleTypes.h"
#include "TestSupport.h"
#include "ovWPFControlsLib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#ifndef OV_SOURCE_DIR
#error "OV_SOURCE_DIR must name the source root"
#endif

namespace ov::test {
namespace {

std::string Utf8(std::wstring_view s) {
    if (s.empty()) return {};
    int n =
        WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string r(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), r.data(), n, nullptr, nullptr);
    return r;
}

std::wstring Wide(std::string_view s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring r(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), r.data(), n);
    return r;
}

// HRESULTs and DISPIDs read best in hexadecimal.
std::string Hex(long v) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(v));
    return text;
}

std::wstring ModulePath() {
    return ovtest::BinFolder() + L"\\ovWPFControlsHook.dll";
}

std::wstring ExpectedPath() {
    std::wstring path = OV_SOURCE_DIR L"/tests/typelib/ovWPFControlsLib.expected";
    // A unix source root (under wine) is reached through drive Z:.
    if (!path.empty() && path[0] == L'/') path.insert(0, L"Z:");
    return path;
}

// The reference file may carry '#' comment lines and blank lines; neither is part of the dump.
std::vector<std::wstring> Lines(std::wstring_view text, bool skipComments) {
    std::vector<std::wstring> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find(L'\n', pos);
        if (end == std::wstring_view::npos) end = text.size();
        std::wstring line(text.substr(pos, end - pos));
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (!skipComments || (!line.empty() && line[0] != L'#')) lines.push_back(std::move(line));
        pos = end + 1;
    }
    return lines;
}

bool ReadFile(const std::wstring& path, std::string& out) {
    FILE* f = _wfopen(path.c_str(), L"rb");
    if (!f) return false;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        out.append(buf, n);
    std::fclose(f);
    return true;
}

class TypeLibTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Hex(LoadTypeLib(ModulePath().c_str(), lib_.Put())), Hex(S_OK))
            << "LoadTypeLib(" << Utf8(ModulePath()) << ")";
    }

    ComPtr<ITypeInfo> InfoOf(REFGUID iid) {
        ComPtr<ITypeInfo> ti;
        EXPECT_EQ(Hex(lib_->GetTypeInfoOfGuid(iid, ti.Put())), Hex(S_OK)) << "GetTypeInfoOfGuid";
        return ti;
    }

    ComPtr<ITypeLib> lib_;
};

TEST_F(TypeLibTest, HoldsThirtyOneTypeDescriptions) {
    EXPECT_EQ(lib_->GetTypeInfoCount(), 31u);
}

TEST_F(TypeLibTest, MatchesTheReferenceLineByLine) {
    std::string bytes;
    ASSERT_TRUE(ReadFile(ExpectedPath(), bytes)) << "cannot read " << Utf8(ExpectedPath());
    const std::vector<std::wstring> expected = Lines(Wide(bytes), true);
    const std::vector<std::wstring> actual = Lines(DumpTypeLib(lib_.Get()), false);

    const size_t common = (std::min)(expected.size(), actual.size());
    for (size_t i = 0; i < common; ++i) {
        if (expected[i] != actual[i]) {
            FAIL() << "first difference at dump line " << i + 1 << "\n  expected: " << Utf8(expected[i])
                   << "\n  actual:   " << Utf8(actual[i]);
        }
    }
    if (expected.size() != actual.size()) {
        const bool more = actual.size() > expected.size();
        FAIL() << "the dump has " << actual.size() << " lines, the reference " << expected.size()
               << "; first " << (more ? "extra" : "missing")
               << " line: " << Utf8(more ? actual[common] : expected[common]);
    }
}

// The module looks its type information up by the identifiers of the compiled header: an embedded library
// from another build of the IDL would leave every wrapper without names.
TEST_F(TypeLibTest, KnowsEveryIdentifierOfTheHeader) {
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(lib_->GetLibAttr(&attr), S_OK);
    EXPECT_TRUE(IsEqualGUID(attr->guid, LIBID_ovWPFControlsLib))
        << "the embedded library is not this build's";
    EXPECT_EQ(attr->wMajorVerNum, 6);
    EXPECT_EQ(attr->wMinorVerNum, 0);
    EXPECT_EQ(attr->lcid, 1033u);
    lib_->ReleaseTLibAttr(attr);

    const struct {
        GUID iid;
        const wchar_t* name;
    } cases[] = {
        {__uuidof(IovOpenAppControlHookExtender), L"IovOpenAppControlHookExtender"},
        {__uuidof(IovWPFControl), L"IovWPFControl"},
        {__uuidof(IovWPFScrollBar), L"IovWPFScrollBar"},
        {__uuidof(IovWPFComboBox), L"IovWPFComboBox"},
        {__uuidof(IovWPFExpander), L"IovWPFExpander"},
        {__uuidof(IovWPFTabControl), L"IovWPFTabControl"},
        {__uuidof(IovWPFTrackBar), L"IovWPFTrackBar"},
        {__uuidof(IovWPFButton), L"IovWPFButton"},
        {__uuidof(IovWPFRepeatButton), L"IovWPFRepeatButton"},
        {__uuidof(IovWPFToggleButton), L"IovWPFToggleButton"},
        {__uuidof(IovWPFToggleButtonInternal), L"IovWPFToggleButtonInternal"},
        {__uuidof(IovWPFRadioButton), L"IovWPFRadioButton"},
        {__uuidof(IovWPFCheckBox), L"IovWPFCheckBox"},
        {__uuidof(IovWPFEdit), L"IovWPFEdit"},
        {__uuidof(IovWPFPasswordEdit), L"IovWPFPasswordEdit"},
        {__uuidof(IovWPFListBox), L"IovWPFListBox"},
        {__uuidof(IovWPFListView), L"IovWPFListView"},
        {__uuidof(IovWPFScrollHelper), L"IovWPFScrollHelper"},
        {__uuidof(IovWPFMenu), L"IovWPFMenu"},
        {__uuidof(IovWPFHelperScrollBar), L"IovWPFHelperScrollBar"},
        {__uuidof(IovWPFToolBar), L"IovWPFToolBar"},
        {__uuidof(IovWPFTreeViewItem), L"IovWPFTreeViewItem"},
        {__uuidof(IovWPFTreeViewItemCollection), L"IovWPFTreeViewItemCollection"},
        {__uuidof(IovWPFTreeView), L"IovWPFTreeView"},
        {__uuidof(IovWPFCtrlFlowDocumentScrollViewer), L"IovWPFCtrlFlowDocumentScrollViewer"},
        {__uuidof(IovWPFCtrlDocumentViewer), L"IovWPFCtrlDocumentViewer"},
        {__uuidof(IovWPFCtrlReaderScrollViewer), L"IovWPFCtrlReaderScrollViewer"},
        {__uuidof(IovWPFControlRecognizerExtender), L"IovWPFControlRecognizerExtender"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(c.name));
        ComPtr<ITypeInfo> ti = InfoOf(c.iid);
        ASSERT_TRUE(ti);
        Bstr name;
        ASSERT_EQ(ti->GetDocumentation(MEMBERID_NIL, name.Put(), nullptr, nullptr, nullptr), S_OK);
        EXPECT_STREQ(name.c_str(), c.name);
    }
}

// The multi-interface dispatch resolves names on the type information that GetTypeInfoOfGuid gives, from
// the most derived interface down; a name must resolve in its own interface only, to its own DISPID.
TEST_F(TypeLibTest, NamesResolveToTheirDispids) {
    const struct {
        GUID iid;
        const wchar_t* member;
        HRESULT hr;
        MEMBERID id;
    } cases[] = {
        {__uuidof(IovWPFMenu), L"WPFMenu", S_OK, 0x351000},
        {__uuidof(IovWPFControl), L"PopupMenu", S_OK, 0x3500000},
        {__uuidof(IovWPFListBox), L"MultiSelect", S_OK, 0x350D010},
        {__uuidof(IovWPFListBox), L"wListSeparator", S_OK, 0x350D011},
        {__uuidof(IovWPFListView), L"ClickItem", S_OK, 0x350D001},
        {__uuidof(IovWPFListView), L"wFocus", S_OK, 0x350D017},
        {__uuidof(IovWPFToolBar), L"wButtonText", S_OK, 0x3512010},
        {__uuidof(IovWPFTreeViewItem), L"Selected", S_OK, 0x351300B},
        {__uuidof(IovWPFPasswordEdit), L"wLimit", S_OK, 0x350C003},
        {__uuidof(IovWPFEdit), L"wLimit", S_OK, 0x350C003},
        {__uuidof(IovOpenAppControlHookExtender), L"NativeClassName", S_OK, 0x392D1702},
        {__uuidof(IovWPFControlRecognizerExtender), L"WPFControlType", S_OK, 0x28F71401},
        // Members of the base control interface are not repeated in the kinds' own interfaces.
        {__uuidof(IovWPFButton), L"PopupMenu", DISP_E_UNKNOWNNAME, MEMBERID_NIL},
        {__uuidof(IovWPFPasswordEdit), L"wSelection", DISP_E_UNKNOWNNAME, MEMBERID_NIL},
        {__uuidof(IovWPFCtrlDocumentViewer), L"HScroll", DISP_E_UNKNOWNNAME, MEMBERID_NIL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Utf8(c.member));
        ComPtr<ITypeInfo> ti = InfoOf(c.iid);
        ASSERT_TRUE(ti);
        LPOLESTR names[] = {const_cast<LPOLESTR>(c.member)};
        MEMBERID id = MEMBERID_NIL;
        EXPECT_EQ(Hex(ti->GetIDsOfNames(names, 1, &id)), Hex(c.hr));
        EXPECT_EQ(Hex(id), Hex(c.id));
    }
}

TEST_F(TypeLibTest, InterfacesHaveTheirBaseAndDispatchability) {
    const struct {
        GUID iid;
        TYPEKIND kind;
        const wchar_t* base; // of the vtable part
        bool dual;
    } cases[] = {
        {__uuidof(IovWPFListView), TKIND_DISPATCH, L"IovWPFListBox", true},
        {__uuidof(IovWPFListBox), TKIND_DISPATCH, L"IDispatch", true},
        {__uuidof(IovWPFControl), TKIND_DISPATCH, L"IDispatch", true},
        {__uuidof(IovWPFCtrlReaderScrollViewer), TKIND_DISPATCH, L"IDispatch", true},
        {__uuidof(IovWPFToggleButtonInternal), TKIND_INTERFACE, L"IUnknown", false},
    };
    for (const auto& c : cases) {
        ComPtr<ITypeInfo> ti = InfoOf(c.iid);
        ASSERT_TRUE(ti);
        TYPEATTR* attr = nullptr;
        ASSERT_EQ(ti->GetTypeAttr(&attr), S_OK);
        const TYPEKIND kind = attr->typekind;
        const WORD flags = attr->wTypeFlags;
        ti->ReleaseTypeAttr(attr);
        SCOPED_TRACE(testing::Message() << "kind " << kind << " flags 0x" << std::hex << flags);

        EXPECT_EQ(kind, c.kind);
        EXPECT_EQ((flags & TYPEFLAG_FDUAL) != 0, c.dual);
        EXPECT_EQ((flags & TYPEFLAG_FDISPATCHABLE) != 0, c.dual);

        ComPtr<ITypeInfo> body = ti;
        HREFTYPE ref = 0;
        if (c.dual) {
            ASSERT_EQ(ti->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref), S_OK);
            ASSERT_EQ(ti->GetRefTypeInfo(ref, body.Put()), S_OK);
        }
        ASSERT_EQ(body->GetRefTypeOfImplType(0, &ref), S_OK);
        ComPtr<ITypeInfo> base;
        ASSERT_EQ(body->GetRefTypeInfo(ref, base.Put()), S_OK);
        Bstr name;
        ASSERT_EQ(base->GetDocumentation(MEMBERID_NIL, name.Put(), nullptr, nullptr, nullptr), S_OK);
        EXPECT_STREQ(name.c_str(), c.base);
    }
}

} // namespace
} // namespace ov::test
