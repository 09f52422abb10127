// The recognizer: owns the 31 kind infos in the fixed order of the kind table and classifies an element by
// its .NET full class name. The first kind whose test passes wins; nothing is cached, every call asks the
// element and the infos anew.
#pragma once

#include "MappingInfoHolder.h"

#include <optional>

class CovWPFControlsRecognizer : public CovCtrlMappingInfoHolder {
public:
    // Creates the kind infos; throws ComError(E_OUTOFMEMORY).
    CovWPFControlsRecognizer();

    // The position of the first matching kind info; `className` receives the element's "ClrFullClassName".
    // No position (and an empty class name) when the element does not know that member. Failing .NET
    // calls raise the module's invocation error.
    std::optional<size_t> FindKindIndex(const CovDispDriver& element, ov::Bstr& className) const;
    // The kind value and key of the element, 0 and the all-zero key when no kind matches.
    LONG ClassifyElement(const CovDispDriver& element, ov::Bstr& className, GUID& key) const;
    LONG GetElementKind(const CovDispDriver& element) const;
    // The wrapper of the element's kind; null when no kind matches or the kind has no wrapper.
    ov::ComPtr<IDispatch> CreateElementWrapper(const CovDispDriver& element) const;
};
