// The kinds as the host's mapping options see them: the host lists the kind infos, reads and replaces a
// kind's class-name list by its kind key, has every list published into its option store, and asks which
// kind a class name belongs to. The base of the recognizer, which fills the list.
#pragma once

#include "KindInfo.h"

class CovCtrlMappingInfoHolder : public IovWindowMappingProvider, public IovCtrlMappingInfoHolder {
public:
    using Interfaces = ov::Interfaces<IovWindowMappingProvider, ov::Via<IbxKeyItem, IovWindowMappingProvider>,
                                      IovCtrlMappingInfoHolder>;

    // IbxKeyItem: the holder's own key, new for every holder. A null out pointer is tolerated.
    HRESULT STDMETHODCALLTYPE GetKey(GUID* key) override;
    // IovWindowMappingProvider. An index at or above the count gives E_INVALIDARG.
    HRESULT STDMETHODCALLTYPE GetInfoCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE GetInfo(LONG index, IovWindowMappingInfo** info) override;
    // IovCtrlMappingInfoHolder. A kind key names the first info in list order that has it, so the
    // all-zero key reaches the combo-box item kind. A key that no info has gives false, not an error.
    HRESULT STDMETHODCALLTYPE SetClassNamesByKey(const GUID* key, VARIANT* classNames,
                                                 VARIANT_BOOL* done) override;
    HRESULT STDMETHODCALLTYPE GetInfoByKey(const GUID* key, IovWindowMappingInfo** info,
                                           VARIANT_BOOL* found) override;
    HRESULT STDMETHODCALLTYPE GetClassNamesByKey(const GUID* key, VARIANT* classNames,
                                                 VARIANT_BOOL* found) override;
    // Calls "NotifyOptionUpdated"(key text, list) of the host object's option store once per kind, in list
    // order. False when the host object (an IovHostObject) has no option store or the store no
    // notification object; a failing notification is skipped.
    HRESULT STDMETHODCALLTYPE PublishClassNames(IUnknown* hostObject, VARIANT_BOOL* done) override;
    HRESULT STDMETHODCALLTYPE FindKeyByClassName(BSTR className, VARIANT* element, GUID* key) override;

    size_t InfoCount() const noexcept { return infos_.size(); }
    CovWPFControlInfo& Info(size_t index) const noexcept { return *infos_[index]; }
    // The first info with that key, or null.
    CovWPFControlInfo* FindInfo(const GUID& key) const noexcept;

protected:
    CovCtrlMappingInfoHolder();
    void AddInfo(ov::ComPtr<CovWPFControlInfo> info) { infos_.push_back(std::move(info)); }

private:
    std::vector<ov::ComPtr<CovWPFControlInfo>> infos_;
    GUID key_{};
};
