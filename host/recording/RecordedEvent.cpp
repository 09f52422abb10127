#include "RecordedEvent.h"

#include <cstring>

namespace ovhost {

RecordedEvent::RecordedEvent(std::shared_ptr<HostCore> core, const GUID& kind, std::vector<BYTE> data)
    : CoreUser(std::move(core)), kind_(kind), data_(std::move(data)) {}

HRESULT RecordedEvent::GetEventKind(GUID* kind) {
    OVHOST_COUNTED(Count("IovRecordedEvent::GetEventKind"));
    if (!kind) return E_POINTER;
    *kind = kind_;
    return S_OK;
}

HRESULT RecordedEvent::SetEventProperty(const GUID* key, VARIANT value) {
    OVHOST_COUNTED(Count("IovRecordedEvent::SetEventProperty"));
    if (!key) return E_POINTER;
    ov::Variant copy;
    if (HRESULT hr = VariantCopyInd(&copy, &value); FAILED(hr)) return hr;
    properties_[*key] = std::move(copy);
    return S_OK;
}

HRESULT RecordedEvent::SetEventBytes(const GUID* key, const BYTE* data, ULONG size) {
    OVHOST_COUNTED(Count("IovRecordedEvent::SetEventBytes"));
    if (!key || (!data && size)) return E_POINTER;
    bytes_[*key].assign(data, data + size);
    return S_OK;
}

HRESULT RecordedEvent::GetEventData(const GUID* kind, BYTE* data, ULONG size) {
    OVHOST_COUNTED(Count("IovRecordedEvent::GetEventData"));
    if (!kind || (!data && size)) return E_POINTER;
    if (!IsEqualGUID(*kind, kind_)) return E_INVALIDARG;
    std::memset(data, 0, size);
    std::memcpy(data, data_.data(), std::min<size_t>(size, data_.size()));
    return S_OK;
}

HRESULT RecordedEvent::AddEventObject(IUnknown* hostObject) {
    OVHOST_COUNTED(Count("IovRecordedEvent::AddEventObject"));
    if (!hostObject) return E_INVALIDARG;
    objects_.emplace_back(hostObject);
    return S_OK;
}

ov::Variant RecordedEvent::Property(const GUID& key) const {
    auto it = properties_.find(key);
    return it == properties_.end() ? ov::Variant() : it->second;
}

const std::vector<BYTE>* RecordedEvent::Bytes(const GUID& key) const {
    auto it = bytes_.find(key);
    return it == bytes_.end() ? nullptr : &it->second;
}

std::optional<GUID> RecordedEvent::Identifier(const GUID& key) const {
    const std::vector<BYTE>* bytes = Bytes(key);
    if (!bytes || bytes->size() != sizeof(GUID)) return std::nullopt;
    GUID id;
    std::memcpy(&id, bytes->data(), sizeof id);
    return id;
}

std::vector<BYTE> RecordedEvent::MouseData(POINT screen, LONG button, LONG clicks, LONG shift) {
    // 0 button, 4 clicks, 8 shift keys, 12 x, 16 y; the rest is reserved.
    std::vector<BYTE> data(40, 0);
    const LONG fields[] = {button, clicks, shift, screen.x, screen.y};
    std::memcpy(data.data(), fields, sizeof fields);
    return data;
}

} // namespace ovhost
