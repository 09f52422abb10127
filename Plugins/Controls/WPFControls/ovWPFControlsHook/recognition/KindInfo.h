// The information object of one control kind: its value, display name, class-name patterns, kind key
// and wrapper factory, answering the host's mapping interfaces.
//
// Every wrapper class W nests the info of its kind. The nested class adds nothing but its row of the kind
// table, given to CovWPFCtrlInfoOf<W> by its default constructor:
//
//   class CovWPFCtrlButton : public CovWPFCtrl, ... { public: class CovWPFCtrlButtonInfo; ... };
//   class CovWPFCtrlButton::CovWPFCtrlButtonInfo : public CovWPFCtrlInfoOf<CovWPFCtrlButton> {
//   public:
//       CovWPFCtrlButtonInfo();
//   };
//   CovWPFCtrlButton::CovWPFCtrlButtonInfo::CovWPFCtrlButtonInfo()
//       : CovWPFCtrlInfoOf(ctrlWPFButton, __uuidof(IovWPFButton), L"Button",
//       L"System.Windows.Controls.Button",
//                          false) {}
//
// Only the recognizer creates infos (ov::Create<W::...Info>()), once each, in the order of its kind table.
#pragma once

#include "com/ComObject.h"
#include "../dispatch/DispDriver.h"
#include "com/OleTypes.h"
#include "ovHostIntf.h"
#include "ovWPFControlsLib.h"

#include <optional>
#include <vector>

namespace ov {
// Defined with the control base (controls/ControlBase.h), which every wrapper header includes.
template <class W> ComPtr<IDispatch> MakeControl(const CovDispDriver* object, const GUID* elementId);

// The one wildcard match: "*" any run, "?" one character, "**" a literal asterisk; case-sensitive,
// whole string; null counts as empty. Runs in time proportional to pattern length times text length.
bool MatchMask(const wchar_t* pattern, const wchar_t* text);

// The patterns of a class string: the tokens between spaces; a run of spaces is one separator and
// leading or trailing spaces make no empty pattern.
std::vector<Bstr> SplitClassString(const wchar_t* classString);

// A class-name list as the host exchanges it: a VARIANT (VT_ARRAY | VT_VARIANT) holding a two-dimensional
// SAFEARRAY with the bounds (count, 0) and (1, 0), pattern i a VT_BSTR at (i, 0). VT_EMPTY when the array
// cannot be made; ComError(E_OUTOFMEMORY) when a pattern cannot be copied into it.
Variant MakeClassNameList(const std::vector<Bstr>& names);
// The patterns of such a list, column 0 of every row; elements that are no string are skipped. A list
// held by reference is followed. Nothing when the VARIANT holds no array of exactly two dimensions.
std::optional<std::vector<Bstr>> ReadClassNameList(const VARIANT* list);
} // namespace ov

class CovCtrlMappingInfo : public IovWindowMappingInfo, public IovCtrlMappingInfo {
public:
    using RefCountModel = ov::SingleThreadRefCount;

    // IbxKeyItem
    HRESULT STDMETHODCALLTYPE GetKey(GUID* key) override;
    // IovWindowMappingInfo. An index at or above the count gives E_INVALIDARG.
    HRESULT STDMETHODCALLTYPE GetDisplayName(BSTR* name) override;
    HRESULT STDMETHODCALLTYPE GetDefaultClassNameCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE GetDefaultClassName(LONG index, BSTR* className) override;
    HRESULT STDMETHODCALLTYPE GetClassNameCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE GetClassName(LONG index, BSTR* className) override;
    HRESULT STDMETHODCALLTYPE Reserved9() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Refresh() override;
    HRESULT STDMETHODCALLTYPE ClearClassNames() override;
    HRESULT STDMETHODCALLTYPE AddClassName(BSTR className) override;
    HRESULT STDMETHODCALLTYPE GetGroupName(BSTR* name) override;
    HRESULT STDMETHODCALLTYPE GetSecondaryKey(GUID* key) override;
    HRESULT STDMETHODCALLTYPE GetFixedFlag(VARIANT_BOOL* fixed) override;
    // The class name that the first hook object among the host object's extensions reports.
    HRESULT STDMETHODCALLTYPE GetNativeClassName(IUnknown* hostObject, BSTR* className,
                                                 VARIANT_BOOL* found) override;
    // IovCtrlMappingInfo
    HRESULT STDMETHODCALLTYPE SetClassNames(VARIANT* classNames, VARIANT_BOOL* done) override;
    HRESULT STDMETHODCALLTYPE GetClassNames(VARIANT* classNames, VARIANT_BOOL* done) override;
    // Default test: the first current pattern that matches the class name; the element is not used.
    HRESULT STDMETHODCALLTYPE IsMatch(BSTR className, VARIANT* element, VARIANT_BOOL* match) override;

    const GUID& Key() const noexcept { return key_; }
    const std::vector<ov::Bstr>& DefaultClassNames() const noexcept { return defaultClassNames_; }
    const std::vector<ov::Bstr>& ClassNames() const noexcept { return classNames_; }

protected:
    // Splits the class string into the default patterns; throws ComError(E_OUTOFMEMORY).
    CovCtrlMappingInfo(const GUID& key, const wchar_t* displayName, const wchar_t* classString, bool fixed);
    virtual ~CovCtrlMappingInfo() = default;

    GUID key_;
    GUID secondaryKey_{};
    ov::Bstr displayName_;
    ov::Bstr groupName_;
    std::vector<ov::Bstr> defaultClassNames_;
    std::vector<ov::Bstr> classNames_;
    VARIANT_BOOL fixed_;
};

class CovWPFControlInfo : public CovCtrlMappingInfo, public IovWPFControlMappingInfo {
public:
    using Interfaces = ov::Interfaces<IovWindowMappingInfo, ov::Via<IbxKeyItem, IovWindowMappingInfo>,
                                      IovCtrlMappingInfo, IovWPFControlMappingInfo>;

    // IovWPFControlMappingInfo. Kinds without a wrapper hand out null and succeed.
    HRESULT STDMETHODCALLTYPE CreateControl(IDispatch* clrObject, IDispatch** control) override;
    HRESULT STDMETHODCALLTYPE CreateControlWithKey(const GUID* elementId, IDispatch** control) override;
    HRESULT STDMETHODCALLTYPE GetControlType(LONG* kind) override;

    // One IUnknown for the three interface bases (ov::ComObject implements it).
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override = 0;
    ULONG STDMETHODCALLTYPE AddRef() override = 0;
    ULONG STDMETHODCALLTYPE Release() override = 0;

    LONG Kind() const noexcept { return kind_; }
    // The kind's wrapper for a .NET object (null for kinds without one).
    ov::ComPtr<IDispatch> MakeControl(const CovDispDriver& object) { return MakeWrapper(&object, nullptr); }

protected:
    CovWPFControlInfo(LONG kind, const GUID& key, const wchar_t* displayName, const wchar_t* classString,
                      bool fixed);
    // The kind's wrapper, bound to a .NET object or to an element identifier; null for kinds without one.
    virtual ov::ComPtr<IDispatch> MakeWrapper(const CovDispDriver* object, const GUID* elementId) = 0;

    LONG kind_;
};

// The info of a kind whose wrapper class is W (nested in W as W::...Info).
template <class W> class CovWPFCtrlInfoOf : public CovWPFControlInfo {
protected:
    using CovWPFControlInfo::CovWPFControlInfo;
    ov::ComPtr<IDispatch> MakeWrapper(const CovDispDriver* object, const GUID* elementId) override {
        return ov::MakeControl<W>(object, elementId);
    }
};

// The info of an item kind (combo box item, tab item, ...): all-zero key, fixed, no wrapper.
class CovWPFCtrlItemInfo : public CovWPFControlInfo {
protected:
    CovWPFCtrlItemInfo(LONG kind, const wchar_t* displayName, const wchar_t* classString);
    ov::ComPtr<IDispatch> MakeWrapper(const CovDispDriver*, const GUID*) override { return nullptr; }

    // The class string as given, beside the patterns split from it.
    ov::Bstr classString_;
};

// Decoration and layout elements through which actions pass on to the element below (kind 50).
class CovWPFActionTransparentInfo : public CovWPFControlInfo {
public:
    // Twenty class names; the trailing space makes no pattern of its own.
    static constexpr const wchar_t* ClassString =
        L"MS.Internal.Documents.FlowDocumentView Microsoft.Windows.Themes.ButtonChrome "
        L"Microsoft.Windows.Themes.ClassicBorderDecorator Microsoft.Windows.Themes.ListBoxChrome "
        L"Microsoft.Windows.Themes.SystemDropShadowChrome System.Windows.Controls.AccessText "
        L"System.Windows.Controls.Border System.Windows.Controls.Decorator "
        L"System.Windows.Controls.Primitives.BulletDecorator System.Windows.Controls.Image "
        L"System.Windows.Controls.InkPresenter System.Windows.Controls.TextBlock "
        L"System.Windows.Controls.Viewbox "
        L"System.Windows.Documents.AdornerDecorator System.Windows.Documents.NonLogicalAdornerDecorator "
        L"System.Windows.Controls.Canvas System.Windows.Controls.DockPanel System.Windows.Controls.Grid "
        L"System.Windows.Controls.StackPanel System.Windows.Controls.WrapPanel ";

    CovWPFActionTransparentInfo();

protected:
    ov::ComPtr<IDispatch> MakeWrapper(const CovDispDriver*, const GUID*) override { return nullptr; }
};
