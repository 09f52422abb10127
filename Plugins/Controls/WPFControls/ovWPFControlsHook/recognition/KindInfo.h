// The information object of one control kind: its value, display name, class-name patterns, kind key
// and wrapper factory, answering the host's mapping interfaces.
#pragma once

#include "../dispatch/ComObject.h"
#include "../dispatch/DispDriver.h"
#include "../dispatch/OleTypes.h"
#include "ovHostIntf.h"
#include "ovWPFControlsLib.h"

#include <vector>

namespace ov {
// Defined with the control base (controls/ControlBase.h), which every wrapper header includes.
template <class W> ComPtr<IDispatch> MakeControl(const CovDispDriver* object, const GUID* elementId);

// The one wildcard match: "*" any run, "?" one character, "**" a literal asterisk; case-sensitive,
// whole string; null counts as empty. Runs in time proportional to pattern length times text length.
bool MatchMask(const wchar_t* pattern, const wchar_t* text);
} // namespace ov

class CovCtrlMappingInfo : public IovWindowMappingInfo, public IovCtrlMappingInfo {
public:
    using RefCountModel = ov::SingleThreadRefCount;
    // (IbxKeyItem / IovWindowMappingInfo / IovCtrlMappingInfo members: declared by the implementation.)
protected:
    CovCtrlMappingInfo(const GUID& key, const wchar_t* displayName, const wchar_t* classString, bool fixed);

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
    LONG Kind() const noexcept { return kind_; }

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
