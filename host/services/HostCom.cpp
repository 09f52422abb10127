#include "HostCom.h"

namespace ovhost {

std::optional<HostError> CallCounter::Count(std::string_view operation) {
    std::lock_guard lock(mutex_);
    auto it = counts_.find(operation);
    if (it == counts_.end()) it = counts_.emplace(std::string(operation), 0).first;
    ++it->second;
    ++total_;
    if (++sinceArmed_ != failAt_) return std::nullopt;
    failed_ = operation;
    return fault_;
}

void CallCounter::FailCall(long k, HostError error) {
    std::lock_guard lock(mutex_);
    failAt_ = k;
    sinceArmed_ = 0;
    fault_ = std::move(error);
    failed_.clear();
}

void CallCounter::ClearFault() noexcept {
    std::lock_guard lock(mutex_);
    failAt_ = 0;
}

long CallCounter::CallsSinceArmed() const {
    std::lock_guard lock(mutex_);
    return sinceArmed_;
}

std::string CallCounter::FailedOperation() const {
    std::lock_guard lock(mutex_);
    return failed_;
}

HRESULT CountedCall::Fail() const {
    return Raise(*fault_, IID_NULL);
}

long CallCounter::Of(std::string_view operation) const {
    std::lock_guard lock(mutex_);
    auto it = counts_.find(operation);
    return it == counts_.end() ? 0 : it->second;
}

long CallCounter::Total() const {
    std::lock_guard lock(mutex_);
    return total_;
}

std::map<std::string, long, std::less<>> CallCounter::Snapshot() const {
    std::lock_guard lock(mutex_);
    return counts_;
}

void CallCounter::Reset() {
    std::lock_guard lock(mutex_);
    counts_.clear();
    total_ = 0;
}

// Help contexts of the host's errors: one topic per failure.
namespace errors {
HostError ObjectGone() {
    return {ObjectGoneResult,
            L"The object does not exist. It may have been closed or removed from the application.", 70201};
}
HostError NotResponding() {
    return {NotRespondingResult, L"The application is not responding.", 70202};
}
HostError Invisible() {
    return {InvisibleResult, L"The object is not visible on screen.", 70203};
}
HostError NotPlaced() {
    return {NotPlacedResult, L"The position of the object on screen cannot be determined.", 70204};
}
HostError NoElement(const GUID& id) {
    return {NoElementResult, L"There is no object with the identifier " + GuidText(id) + L".", 70205};
}
HostError BadArgument(std::wstring description) {
    return {E_INVALIDARG, std::move(description), 70206};
}
} // namespace errors

HRESULT Raise(const HostError& error, REFIID iid) {
    ov::ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(CreateErrorInfo(create.Put()))) {
        create->SetGUID(iid);
        create->SetSource(const_cast<LPOLESTR>(L"OVHookX64"));
        create->SetDescription(const_cast<LPOLESTR>(error.description.c_str()));
        create->SetHelpContext(error.helpContext);
        if (auto info = create.As<IErrorInfo>()) SetErrorInfo(0, info.Get());
    }
    return error.hr;
}

void ClearErrorInfo() noexcept {
    SetErrorInfo(0, nullptr);
}

std::wstring GuidText(const GUID& id) {
    wchar_t text[40] = {};
    StringFromGUID2(id, text, 40);
    return text;
}

} // namespace ovhost
