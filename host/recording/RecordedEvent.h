// The host's record of one user action, handed to the module's script event recorders: its kind, its data
// block (a mouse event's 40 bytes hold the screen point at bytes 12 and 16), the values and byte blocks
// the recorders attach under their keys (a later value of a key replaces the earlier one), and the host
// objects they hand over, in order.
#pragma once

#include "../services/HostCore.h"

#include <map>
#include <vector>

namespace ovhost {

class RecordedEvent : public CoreUser, public IovRecordedEvent {
public:
    using Interfaces = ov::Interfaces<IovRecordedEvent>;
    RecordedEvent(std::shared_ptr<HostCore> core, const GUID& kind, std::vector<BYTE> data = {});

    OVHOST_RESERVED(IovRecordedEvent, 3)
    HRESULT STDMETHODCALLTYPE GetEventKind(GUID* kind) override;
    OVHOST_RESERVED(IovRecordedEvent, 5)
    OVHOST_RESERVED(IovRecordedEvent, 6)
    HRESULT STDMETHODCALLTYPE SetEventProperty(const GUID* key, VARIANT value) override;
    OVHOST_RESERVED(IovRecordedEvent, 8)
    HRESULT STDMETHODCALLTYPE SetEventBytes(const GUID* key, const BYTE* data, ULONG size) override;
    // The block of that kind: the event's own data for its kind, zeros beyond it; E_INVALIDARG for another
    // kind.
    HRESULT STDMETHODCALLTYPE GetEventData(const GUID* kind, BYTE* data, ULONG size) override;
    OVHOST_RESERVED(IovRecordedEvent, 11)
    OVHOST_RESERVED(IovRecordedEvent, 12)
    OVHOST_RESERVED(IovRecordedEvent, 13)
    HRESULT STDMETHODCALLTYPE AddEventObject(IUnknown* hostObject) override;

    // The host's reading (not counted).
    const GUID& Kind() const noexcept { return kind_; }
    // VT_EMPTY when nothing was attached under the key.
    ov::Variant Property(const GUID& key) const;
    bool HasProperty(const GUID& key) const { return properties_.count(key) != 0; }
    const std::vector<BYTE>* Bytes(const GUID& key) const;
    // A 16-byte block as the identifier it holds.
    std::optional<GUID> Identifier(const GUID& key) const;
    const std::vector<ov::ComPtr<IUnknown>>& Objects() const noexcept { return objects_; }

    // A mouse event's data: the screen point at bytes 12 and 16.
    static std::vector<BYTE> MouseData(POINT screen, LONG button, LONG clicks, LONG shift);

private:
    GUID kind_;
    std::vector<BYTE> data_;
    std::map<GUID, ov::Variant, GuidLess> properties_;
    std::map<GUID, std::vector<BYTE>, GuidLess> bytes_;
    std::vector<ov::ComPtr<IUnknown>> objects_;
};

} // namespace ovhost
