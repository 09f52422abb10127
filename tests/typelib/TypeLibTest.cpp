// The type library embedded in the module DLL, dumped as text and compared with a reference written
// independently of the IDL (ovWPFControlsLib.expected, whose header describes the line format).
#include "com/ComPtr.h"
#include "dispatch/InvokeException.h"
#include "com/OleTypes.h"
#include "TestSupport.h"
#include "ovWPFControlsLib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using ov::Bstr;
using ov::ComPtr;

void Check(HRESULT hr, const char* what) {
    if (FAILED(hr)) throw std::runtime_error(std::string(what) + " failed: " + std::to_string(hr));
}

std::wstring Hex(unsigned long v) {
    return ov::Format(L"0x%lX", v);
}

std::wstring Quoted(std::wstring_view s) {
    std::wstring r = L"\"";
    for (wchar_t c : s) {
        if (c == L'"' || c == L'\\') r += L'\\';
        r += c >= 0x20 && c < 0x7F ? std::wstring(1, c) : ov::Format(L"\\x%04X", static_cast<unsigned>(c));
    }
    return r + L"\"";
}

struct Name {
    unsigned value;
    const wchar_t* name;
};

std::wstring Flags(unsigned value, std::initializer_list<Name> names) {
    std::wstring r;
    for (const Name& f : names) {
        if (!(value & f.value)) continue;
        r += (r.empty() ? L"" : L",") + std::wstring(f.name);
        value &= ~f.value;
    }
    return value ? r + (r.empty() ? L"" : L",") + Hex(value) : r;
}

// Flags outside these tables show as hexadecimal, so they still differ from the reference.
const std::initializer_list<Name> kTypeFlags = {{TYPEFLAG_FHIDDEN, L"hidden"},
                                                {TYPEFLAG_FCONTROL, L"control"},
                                                {TYPEFLAG_FDUAL, L"dual"},
                                                {TYPEFLAG_FNONEXTENSIBLE, L"nonextensible"},
                                                {TYPEFLAG_FOLEAUTOMATION, L"oleautomation"},
                                                {TYPEFLAG_FRESTRICTED, L"restricted"},
                                                {TYPEFLAG_FDISPATCHABLE, L"dispatchable"}};
const std::initializer_list<Name> kFuncFlags = {{FUNCFLAG_FRESTRICTED, L"restricted"},
                                                {FUNCFLAG_FHIDDEN, L"hidden"},
                                                {FUNCFLAG_FDEFAULTCOLLELEM, L"defaultcollelem"},
                                                {FUNCFLAG_FNONBROWSABLE, L"nonbrowsable"}};
// The default value shows as a field of its own (default=...).
const std::initializer_list<Name> kParamFlags = {
    {PARAMFLAG_FIN, L"in"},         {PARAMFLAG_FOUT, L"out"}, {PARAMFLAG_FLCID, L"lcid"},
    {PARAMFLAG_FRETVAL, L"retval"}, {PARAMFLAG_FOPT, L"opt"}, {PARAMFLAG_FHASCUSTDATA, L"custdata"}};
const std::initializer_list<Name> kInvokeKinds = {{INVOKE_FUNC, L"method"},
                                                  {INVOKE_PROPERTYGET, L"propget"},
                                                  {INVOKE_PROPERTYPUT, L"propput"},
                                                  {INVOKE_PROPERTYPUTREF, L"propputref"}};
#define OV_VT(name)                                                                                          \
    { VT_##name, L## #name }
const std::initializer_list<Name> kVarTypes = {
    OV_VT(EMPTY),   OV_VT(NULL),    OV_VT(I2),      OV_VT(I4),       OV_VT(R4),    OV_VT(R8),
    OV_VT(CY),      OV_VT(DATE),    OV_VT(BSTR),    OV_VT(DISPATCH), OV_VT(ERROR), OV_VT(BOOL),
    OV_VT(VARIANT), OV_VT(UNKNOWN), OV_VT(DECIMAL), OV_VT(I1),       OV_VT(UI1),   OV_VT(UI2),
    OV_VT(UI4),     OV_VT(I8),      OV_VT(UI8),     OV_VT(INT),      OV_VT(UINT),  OV_VT(VOID),
    OV_VT(HRESULT), OV_VT(LPSTR),   OV_VT(LPWSTR)};
#undef OV_VT

std::wstring NameIn(unsigned value, std::initializer_list<Name> names, const wchar_t* prefix) {
    for (const Name& n : names)
        if (n.value == value) return n.name;
    return prefix + std::to_wstring(value) + L")";
}

std::wstring NameOf(ITypeInfo* ti, MEMBERID id = MEMBERID_NIL, std::wstring* help = nullptr) {
    Bstr name, doc;
    Check(ti->GetDocumentation(id, name.Put(), help ? doc.Put() : nullptr, nullptr, nullptr),
          "GetDocumentation");
    if (help) *help = doc.c_str();
    return name.c_str();
}

template <class T> using Held = std::unique_ptr<T, std::function<void(T*)>>;

Held<TYPEATTR> Attr(ITypeInfo* ti) {
    TYPEATTR* a = nullptr;
    Check(ti->GetTypeAttr(&a), "GetTypeAttr");
    return {a, [ti](TYPEATTR* p) { ti->ReleaseTypeAttr(p); }};
}

ComPtr<ITypeInfo> RefType(ITypeInfo* ti, HREFTYPE ref) {
    ComPtr<ITypeInfo> r;
    Check(ti->GetRefTypeInfo(ref, r.Put()), "GetRefTypeInfo");
    return r;
}

std::wstring TypeText(ITypeInfo* ti, const TYPEDESC& td) {
    switch (td.vt) {
    case VT_PTR:
        return L"PTR(" + TypeText(ti, *td.lptdesc) + L")";
    case VT_SAFEARRAY:
        return L"SAFEARRAY(" + TypeText(ti, *td.lptdesc) + L")";
    case VT_USERDEFINED:
        return L"USERDEFINED(" + NameOf(RefType(ti, td.hreftype).Get()) + L")";
    default:
        return NameIn(td.vt, kVarTypes, L"VT(");
    }
}

// The automation type a value of this declared type travels as: enums as I4, aliases as their target.
VARTYPE ValueType(ITypeInfo* ti, const TYPEDESC& td) {
    if (td.vt != VT_USERDEFINED) return td.vt;
    ComPtr<ITypeInfo> ref = RefType(ti, td.hreftype);
    auto attr = Attr(ref.Get());
    if (attr->typekind == TKIND_ENUM) return VT_I4;
    if (attr->typekind == TKIND_ALIAS) return ValueType(ref.Get(), attr->tdescAlias);
    return VT_USERDEFINED;
}

// Values compare by meaning, not by the variant type a compiler chose: a default is coerced to its
// parameter's type first.
std::wstring ValueText(const VARIANT& value, VARTYPE as) {
    ov::Variant v, text;
    if (as == VT_VARIANT || as == VT_USERDEFINED) as = value.vt;
    if (FAILED(VariantChangeTypeEx(&v, const_cast<VARIANT*>(&value), 0x0409, 0, as))) return L"?";
    if (v.vt == VT_BOOL) return v.boolVal ? L"True" : L"False";
    if (FAILED(VariantChangeTypeEx(&text, &v, 0x0409, 0, VT_BSTR))) return L"?";
    return v.vt == VT_BSTR ? Quoted(text.bstrVal ? text.bstrVal : L"") : std::wstring(text.bstrVal);
}

void DumpFunctions(std::wstring& out, ITypeInfo* ti, const std::wstring& typeName, const TYPEATTR& attr) {
    std::vector<MEMBERID> seen;
    for (UINT i = 0; i < attr.cFuncs; ++i) {
        FUNCDESC* raw = nullptr;
        Check(ti->GetFuncDesc(i, &raw), "GetFuncDesc");
        Held<FUNCDESC> fd(raw, [ti](FUNCDESC* p) { ti->ReleaseFuncDesc(p); });
        std::wstring help;
        const std::wstring name = NameOf(ti, fd->memid, &help);
        // Names are answered by memid: a setter shows its getter's parameter names, as every client sees
        // them.
        std::vector<BSTR> names(fd->cParams + 1, nullptr);
        UINT got = 0;
        Check(ti->GetNames(fd->memid, names.data(), static_cast<UINT>(names.size()), &got), "GetNames");
        std::vector<Bstr> held;
        for (UINT n = 0; n < got; ++n)
            held.push_back(Bstr::Adopt(names[n]));
        const std::wstring head = typeName + L"." + name + L" " + NameIn(fd->invkind, kInvokeKinds, L"?(");
        out += L"func " + head + L" id=" + Hex(static_cast<unsigned long>(fd->memid)) + L" slot=" +
               std::to_wstring(fd->oVft / static_cast<int>(sizeof(void*))) + L" ret=" +
               TypeText(ti, fd->elemdescFunc.tdesc) + L" params=" + std::to_wstring(fd->cParams);
        if (fd->wFuncFlags) out += L" fflags=" + Flags(fd->wFuncFlags, kFuncFlags);
        // So is the help: a setter would only repeat its getter's, so it shows none.
        if (std::find(seen.begin(), seen.end(), fd->memid) == seen.end()) out += L" help=" + Quoted(help);
        seen.push_back(fd->memid);
        out += L"\n";
        for (SHORT p = 0; p < fd->cParams; ++p) {
            const ELEMDESC& ed = fd->lprgelemdescParam[p];
            const PARAMDESC& pd = ed.paramdesc;
            out += L"param " + head + L" [" + std::to_wstring(p) + L"] " +
                   (UINT(p + 1) < got ? std::wstring(held[p + 1].c_str()) : L"?") + L" type=" +
                   TypeText(ti, ed.tdesc) + L" flags=" +
                   Flags(pd.wParamFlags & ~PARAMFLAG_FHASDEFAULT, kParamFlags);
            if ((pd.wParamFlags & PARAMFLAG_FHASDEFAULT) && pd.pparamdescex)
                out += L" default=" + ValueText(pd.pparamdescex->varDefaultValue, ValueType(ti, ed.tdesc));
            out += L"\n";
        }
    }
}

void DumpType(std::wstring& out, ITypeLib* lib, UINT index) {
    ComPtr<ITypeInfo> ti;
    Check(lib->GetTypeInfo(index, ti.Put()), "GetTypeInfo");
    std::wstring help;
    const std::wstring name = NameOf(ti.Get(), MEMBERID_NIL, &help);
    auto attr = Attr(ti.Get());
    const wchar_t* const kinds[] = {L"enum",     L"record",  L"module", L"interface",
                                    L"dispatch", L"coclass", L"alias",  L"union"};
    out += L"type[" + std::to_wstring(index) + L"] " + name + L" kind=" +
           (attr->typekind < TKIND_MAX ? kinds[attr->typekind] : L"?") + L" flags=" +
           Flags(attr->wTypeFlags, kTypeFlags);

    if (attr->typekind == TKIND_ENUM || attr->typekind == TKIND_RECORD || attr->typekind == TKIND_UNION) {
        out += L" help=" + Quoted(help) + L"\n";
        for (UINT i = 0; i < attr->cVars; ++i) {
            VARDESC* raw = nullptr;
            Check(ti->GetVarDesc(i, &raw), "GetVarDesc");
            Held<VARDESC> vd(raw, [&ti](VARDESC* p) { ti->ReleaseVarDesc(p); });
            const std::wstring constant = NameOf(ti.Get(), vd->memid, &help);
            out +=
                L"const " + name + L"." + constant + L" = " +
                (vd->varkind == VAR_CONST && vd->lpvarValue ? ValueText(*vd->lpvarValue, vd->lpvarValue->vt)
                                                            : L"?") +
                L" help=" + Quoted(help) + L"\n";
        }
        return;
    }
    // The functions of a dual interface are listed from its vtable part: the order DispInvoke calls.
    ComPtr<ITypeInfo> body = ti;
    if (attr->typekind == TKIND_DISPATCH && (attr->wTypeFlags & TYPEFLAG_FDUAL)) {
        HREFTYPE ref = 0;
        Check(ti->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref), "GetRefTypeOfImplType(-1)");
        body = RefType(ti.Get(), ref);
    }
    auto bodyAttr = Attr(body.Get());
    std::wstring base = L"-";
    if (bodyAttr->cImplTypes > 0) {
        HREFTYPE ref = 0;
        Check(body->GetRefTypeOfImplType(0, &ref), "GetRefTypeOfImplType");
        base = NameOf(RefType(body.Get(), ref).Get());
    }
    if (body.Get() != ti.Get()) out += L" vflags=" + Flags(bodyAttr->wTypeFlags, kTypeFlags);
    out += L" base=" + base + L" funcs=" + std::to_wstring(bodyAttr->cFuncs) + L" slots=" +
           std::to_wstring(bodyAttr->cbSizeVft / sizeof(void*)) + L" help=" + Quoted(help) + L"\n";
    DumpFunctions(out, body.Get(), name, *bodyAttr);
}

std::wstring DumpTypeLib(ITypeLib* lib) {
    Bstr name, help;
    Check(lib->GetDocumentation(-1, name.Put(), help.Put(), nullptr, nullptr), "ITypeLib::GetDocumentation");
    TLIBATTR* la = nullptr;
    Check(lib->GetLibAttr(&la), "GetLibAttr");
    const TLIBATTR attr = *la;
    lib->ReleaseTLibAttr(la);
    const UINT count = lib->GetTypeInfoCount();
    std::wstring out = L"library " + std::wstring(name.c_str()) + L" version=" +
                       std::to_wstring(attr.wMajorVerNum) + L"." + std::to_wstring(attr.wMinorVerNum) +
                       L" lcid=" + std::to_wstring(attr.lcid) + L" syskind=" +
                       (attr.syskind == SYS_WIN64 ? L"win64" : L"other") + L" types=" +
                       std::to_wstring(count) + L" help=" + Quoted(help.View()) + L"\n";
    for (UINT i = 0; i < count; ++i)
        DumpType(out, lib, i);
    return out;
}

// The lines of a text without '#' comment lines and blank lines (the dump has neither).
std::vector<std::string> Lines(std::istream&& in) {
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (line.ends_with('\r')) line.pop_back();
        if (!line.empty() && line[0] != '#') lines.push_back(line);
    }
    return lines;
}

// The module looks its type information up by the identifiers of the compiled header: an embedded
// library from another build of the IDL would leave every wrapper without names.
TEST(TypeLibTest, MatchesTheReferenceAndKnowsEveryIdentifierOfTheHeader) {
    ComPtr<ITypeLib> lib;
    ASSERT_EQ(LoadTypeLib((ovtest::BinFolder() + L"\\ovWPFControlsHook.dll").c_str(), lib.Put()), S_OK);
    const std::wstring dump = DumpTypeLib(lib.Get()); // ASCII: Quoted escapes everything else
    const std::vector<std::string> got = Lines(std::istringstream(std::string(dump.begin(), dump.end())));
    const auto want = Lines(std::ifstream(OV_SOURCE_DIR "/tests/typelib/ovWPFControlsLib.expected"));
    ASSERT_FALSE(want.empty()) << "cannot read the reference";
    for (size_t i = 0; i < std::min(want.size(), got.size()); ++i)
        ASSERT_EQ(got[i], want[i]) << "first difference at dump line " << i + 1;
    EXPECT_EQ(got.size(), want.size()) << "line counts differ";

    TLIBATTR* attr = nullptr;
    ASSERT_EQ(lib->GetLibAttr(&attr), S_OK);
    EXPECT_TRUE(IsEqualGUID(attr->guid, LIBID_ovWPFControlsLib));
    lib->ReleaseTLibAttr(attr);
    for (const GUID& iid : {__uuidof(IovOpenAppControlHookExtender),
                            __uuidof(IovWPFControl),
                            __uuidof(IovWPFScrollBar),
                            __uuidof(IovWPFComboBox),
                            __uuidof(IovWPFExpander),
                            __uuidof(IovWPFTabControl),
                            __uuidof(IovWPFTrackBar),
                            __uuidof(IovWPFButton),
                            __uuidof(IovWPFRepeatButton),
                            __uuidof(IovWPFToggleButton),
                            __uuidof(IovWPFToggleButtonInternal),
                            __uuidof(IovWPFRadioButton),
                            __uuidof(IovWPFCheckBox),
                            __uuidof(IovWPFEdit),
                            __uuidof(IovWPFPasswordEdit),
                            __uuidof(IovWPFListBox),
                            __uuidof(IovWPFListView),
                            __uuidof(IovWPFScrollHelper),
                            __uuidof(IovWPFMenu),
                            __uuidof(IovWPFHelperScrollBar),
                            __uuidof(IovWPFToolBar),
                            __uuidof(IovWPFTreeViewItem),
                            __uuidof(IovWPFTreeViewItemCollection),
                            __uuidof(IovWPFTreeView),
                            __uuidof(IovWPFCtrlFlowDocumentScrollViewer),
                            __uuidof(IovWPFCtrlDocumentViewer),
                            __uuidof(IovWPFCtrlReaderScrollViewer),
                            __uuidof(IovWPFControlRecognizerExtender)}) {
        ComPtr<ITypeInfo> ti;
        EXPECT_EQ(lib->GetTypeInfoOfGuid(iid, ti.Put()), S_OK) << testing::PrintToString(iid);
    }
}

} // namespace
