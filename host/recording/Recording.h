// Recording: the host builds one event for a user's action on the innermost element under the point that
// has a host object, and hands it to every registered module object that answers IovScriptEventRecorder.
//
// The window context the recorders get is the top-level object of the application window the element
// belongs to; for an element in a popup (a combo box's list, a submenu, a context menu, a toolbar's
// overflow) it is the window of the popup's placement target, so that the owners of items are found there.
#pragma once

#include "RecordedEvent.h"

#include "../services/HostObjects.h"

namespace ovhost {

struct Delivery {
    ov::ComPtr<RecordedEvent> event;
    ov::ComPtr<ElementNode> node; // the object the event was recorded on
    int handled = 0;              // how many recorders answered true
};

// The object of the element, or of the nearest element above it that has one (tree nodes have none).
ov::ComPtr<ElementNode> NearestNode(HostCore& core, wpfsim::Element& element);
// The object an event on the element is recorded on: its nearest object, except inside a tree node, which
// has none: there the host makes an object for the node's TreeViewItem alone (under the tree view's
// object, registered until DropEventNode), so that recorders see the item and not the tree view.
ov::ComPtr<ElementNode> EventNode(HostCore& core, wpfsim::Element& element, bool& transient);
void DropEventNode(ElementNode& node, bool transient) noexcept;
ov::ComPtr<IovHostObject> WindowContextOf(HostCore& core, wpfsim::Element& element);
// Builds the event of `kind` with `data` for the element's nearest object and delivers it. Throws
// ov::ComError when the element has no object at all.
Delivery DeliverEvent(HostCore& core, const GUID& kind, wpfsim::Element& element,
                      std::vector<BYTE> data = {});

} // namespace ovhost
