#include "MouseActions.h"

namespace ovhost {

POINT ClickPoint(const RECT& rect, LONG x, LONG y) noexcept {
    if (x == -1 && y == -1) return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    return {rect.left + x, rect.top + y};
}

HRESULT ClickElement(HostCore& core, wpfsim::Element* element, const ClickKind& kind, LONG x, LONG y,
                     LONG shift, POINT screen, std::pair<LONG, LONG> options) {
    ActionRecord record;
    record.kind = ActionKind::Click;
    record.button = kind.button;
    record.doubleClick = kind.doubleClick;
    record.shift = shift;
    record.x = x;
    record.y = y;
    record.screen = screen;
    record.actionMode = options.first;
    record.actionFlags = options.second;
    if (element) {
        record.target = element->Id();
        record.targetName = element->Name();
    }
    if (auto blocker = core.ActionBlocker(element, true)) {
        record.result = Raise(*blocker, __uuidof(IovMouseActions));
        return core.Record(std::move(record));
    }
    core.Record(std::move(record));
    // The click lands at its point: on whatever lies there (the target, one of its parts, a sibling over
    // it, or nothing), as a real mouse's would.
    core.App()->Click(screen, {kind.button, kind.doubleClick, static_cast<ULONG>(shift)});
    return S_OK;
}

ElementActions::ElementActions(std::shared_ptr<HostCore> core, ov::ComPtr<ElementNode> node)
    : MouseActionsBase(std::move(core)), node_(std::move(node)) {}

HRESULT ElementActions::Act(const ClickKind& kind, LONG x, LONG y, LONG shift) {
    return Barrier([&] {
        wpfsim::Element* element = node_->Dropped() ? nullptr : node_->Element();
        POINT screen = ClickPoint(node_->Element()->Bounds(), x, y);
        return ClickElement(Core(), element, kind, x, y, shift, screen, Options());
    });
}

PartActions::PartActions(std::shared_ptr<HostCore> core, ov::ComPtr<ElementNode> owner,
                         ov::ComPtr<IovWin32CtrlStdActionsWindow> part)
    : MouseActionsBase(std::move(core)), owner_(std::move(owner)), part_(std::move(part)) {}

HRESULT PartActions::Act(const ClickKind& kind, LONG x, LONG y, LONG shift) {
    return Barrier([&] {
        wpfsim::Element* owner = owner_->Dropped() ? nullptr : owner_->Element();
        auto failed = [&](const HostError& error) {
            ActionRecord record;
            record.button = kind.button;
            record.doubleClick = kind.doubleClick;
            record.shift = shift;
            record.x = x;
            record.y = y;
            record.actionMode = mode_;
            record.actionFlags = flags_;
            record.result = Raise(error, __uuidof(IovMouseActions));
            return Core().Record(std::move(record));
        };
        if (auto blocker = Core().ActionBlocker(owner, true)) return failed(*blocker);

        // The part reports its rectangle relative to the owner's object and the window it lies in.
        VARIANT_BOOL available = VARIANT_FALSE, placed = VARIANT_FALSE;
        HWND window = nullptr;
        RECT rect{};
        if (FAILED(part_->IsAvailable(&available)) || !available || FAILED(part_->GetOwnerWindow(&window)) ||
            window != owner_->WindowHandle() || FAILED(part_->GetRectangle(&rect, &placed)) || !placed)
            return failed(errors::NotPlaced());
        const RECT& origin = owner->Bounds();
        OffsetRect(&rect, origin.left, origin.top);
        POINT screen = ClickPoint(rect, x, y);
        wpfsim::Element* hit = Core().App()->ElementAt(screen);
        if (!hit) return failed(errors::NotPlaced());
        return ClickElement(Core(), hit, kind, x, y, shift, screen, Options());
    });
}

HRESULT InternalObjectHelper::GetScreenRectOfInternalObject(IDispatch* element, LONG* left, LONG* top,
                                                            LONG* width, LONG* height) {
    OVHOST_COUNTED(Count("IovInternalObjectHelper::GetScreenRectOfInternalObject"));
    if (!left || !top || !width || !height) return E_POINTER;
    ClearErrorInfo();
    auto object = wpfsim::ObjectOf(element);
    auto* target = dynamic_cast<wpfsim::Element*>(object.Get());
    if (!target)
        return Raise(errors::BadArgument(L"The object is not an element of the application."),
                     __uuidof(IovInternalObjectHelper));
    if (!Core().IsInApplication(*target) && (target->Removed() || target->App() != Core().App()))
        return Raise(errors::ObjectGone(), __uuidof(IovInternalObjectHelper));
    // A part that is not shown (a node under a collapsed one, never laid out) has no rectangle.
    if (!target->IsVisible()) return Raise(errors::Invisible(), __uuidof(IovInternalObjectHelper));
    const RECT& r = target->Bounds();
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
}

} // namespace ovhost
