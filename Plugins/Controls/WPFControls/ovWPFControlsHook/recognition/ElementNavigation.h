// The walks through the WPF element tree that give a recorded event its owning control, the item's
// designator and path, the menu item's facts, the control behind a decoration and the scroll positions
// around the element. Everything found goes into the host's event record under the keys of
// com/RecordIdentifiers.h; a walk that cannot go on leaves the record without its values.
//
// Where the host objects of owners are searched: below the event's window context first (the host passes
// the object of the application window the event belongs to, also for an element inside a popup), then
// in every top-level window of the process (popups: combo-box lists, submenus, toolbar overflows).
#pragma once

#include "Recognizer.h"
#include "ovHostIntf.h"

struct CovRecordedEventContext {
    IovRecordedEvent* record = nullptr;
    // The host object in which owners are searched; may be null (then only the process is searched).
    IovHostObject* windowContext = nullptr;
    // The event's host object: where the transparent walk and the scroll context start.
    IovHostObject* hostObject = nullptr;
    // The event is a press of a mouse button (the menu item walk runs only then).
    bool mouseEvent = false;
};

// Dispatches on the kind value and runs its walk. Invocation errors of the element's members pass on to
// the caller (the recorder ends its work there); an owner that is not found or of the wrong kind is no
// error.
void CollectElementContext(const CovWPFControlsRecognizer& recognizer, LONG kind,
                           const CovDispDriver& element, const CovRecordedEventContext& context);

// The scroll context alone: one 40-byte entry per host object from `start` up to the top, for the
// objects whose wrapper offers scroll bars (the recorder runs it for every mouse event as well).
void CollectScrollContext(const CovWPFControlsRecognizer& recognizer, const CovRecordedEventContext& context);

namespace ov {

// The kind that the WPF recognizer extension of a host object reports; nothing without one.
std::optional<LONG> RecognizedKindOf(IUnknown* hostObject);

// The 40-byte scroll entry (little-endian, as the host reads it).
struct ScrollEntry {
    GUID object;
    LONG hasHorizontal;
    LONG hasVertical;
    double horizontal;
    double vertical;
};
static_assert(sizeof(ScrollEntry) == 40, "a scroll entry is 40 bytes");

} // namespace ov
