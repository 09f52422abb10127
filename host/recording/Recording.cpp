#include "Recording.h"

#include "com/StandInClock.h"
#include "wpfsim/Popup.h"

namespace ovhost {

ov::ComPtr<ElementNode> NearestNode(HostCore& core, wpfsim::Element& element) {
    for (wpfsim::Element* e = &element; e; e = e->Parent())
        if (auto found = core.NodeFor(*e); found && !found->Dropped())
            if (auto* node = dynamic_cast<ElementNode*>(found.Get())) return ov::ComPtr<ElementNode>(node);
    return nullptr;
}

ov::ComPtr<ElementNode> EventNode(HostCore& core, wpfsim::Element& element, bool& transient) {
    transient = false;
    wpfsim::Element* item = nullptr;
    for (wpfsim::Element* e = &element; e && !item; e = e->Parent())
        if (HostCore::IsInternalPart(*e)) item = e;
    if (!item) return NearestNode(core, element);
    ov::ComPtr<ElementNode> tree = NearestNode(core, *item);
    if (!tree) return nullptr;
    if (auto existing = core.Find(item->Id()))
        return ov::ComPtr<ElementNode>(dynamic_cast<ElementNode*>(existing.Get()));
    ov::ComPtr<HostNode> made = MakeElementNode(core.shared_from_this(), *item, tree.Get());
    transient = true;
    return ov::ComPtr<ElementNode>(dynamic_cast<ElementNode*>(made.Get()));
}

void DropEventNode(ElementNode& node, bool transient) noexcept {
    if (transient) node.Drop();
}

ov::ComPtr<IovHostObject> WindowContextOf(HostCore& core, wpfsim::Element& element) {
    wpfsim::Element* root = &element;
    // A popup's placement target can be in another popup (a submenu's): bounded by the nesting depth.
    for (int hops = 0; hops < 256; ++hops) {
        while (root->Parent())
            root = root->Parent();
        auto* popupRoot = dynamic_cast<wpfsim::PopupRoot*>(root);
        wpfsim::Element* target = popupRoot ? popupRoot->Owner().PlacementTarget() : nullptr;
        if (!target) break;
        root = target;
    }
    ov::ComPtr<HostNode> node = core.NodeFor(*root);
    if (!node) return nullptr;
    HostNode* top = node->Parent() ? node->Parent() : node.Get();
    return ov::ComPtr<IovHostObject>(top->AsHostObject());
}

Delivery DeliverEvent(HostCore& core, const GUID& kind, wpfsim::Element& element, std::vector<BYTE> data) {
    Delivery delivery;
    bool transient = false;
    delivery.node = EventNode(core, element, transient);
    if (!delivery.node) throw ov::ComError(errors::NoElementResult);
    delivery.event = ov::Create<RecordedEvent>(core.shared_from_this(), kind, std::move(data));
    ov::ComPtr<IovHostObject> context = WindowContextOf(core, *delivery.node->Element());
    const auto modules = core.Modules();
    for (const auto& module : modules) {
        auto recorder = module.object.As<IovScriptEventRecorder>();
        if (!recorder) continue;
        VARIANT_BOOL handled = VARIANT_FALSE;
        const ov::StandInScope moduleWork(ov::StandIn::Caller);
        if (SUCCEEDED(recorder->RecordEvent(context.Get(), delivery.event.Get(),
                                            delivery.node->AsHostObject(), &handled)) &&
            handled)
            ++delivery.handled;
    }
    DropEventNode(*delivery.node, transient);
    return delivery;
}

} // namespace ovhost
