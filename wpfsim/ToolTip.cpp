#include "ToolTip.h"

#include "XamlSchema.h"

#include <memory>
#include <optional>

namespace wpfsim {

ToolTip::ToolTip(Application& app, std::wstring className, std::wstring name)
    : ContentControl(app, std::move(className), std::move(name)) {
    SetPadding({6, 4, 6, 4});
    SetFocusable(false);
    AddProperty(L"IsOpen", [] { return ov::Variant::Bool(false); });
}

namespace {

// What an element's "ToolTip" holds: text, or a reference to an element (which does not refer back).
struct ToolTipValue {
    std::optional<std::wstring> text;
    ov::ComPtr<Element> tip;
};

// The member is made once; a put changes the value it holds.
void GiveToolTip(Element& owner, ToolTipValue value) {
    Element* self = &owner;
    auto held = std::make_shared<ToolTipValue>(std::move(value));
    owner.AddProperty(
        L"ToolTip",
        [self, held]() -> ov::Variant {
            if (held->tip) return ClrObject::Obj(held->tip.Get());
            return held->text ? self->Str(*held->text) : ClrObject::Obj(nullptr);
        },
        [held](const VARIANT& v) {
            ToolTipValue value;
            const bool object = v.vt == VT_DISPATCH || v.vt == VT_UNKNOWN;
            if (Element* element = object ? ElementOf(v) : nullptr)
                value.tip = element;
            else if (!IsNull(v))
                value.text = TextOf(v);
            *held = std::move(value);
        });
}

} // namespace

void SetToolTip(Element& owner, std::wstring text) {
    GiveToolTip(owner, {std::move(text), nullptr});
}

void SetToolTip(Element& owner, Element& tip) {
    GiveToolTip(owner, {std::nullopt, ov::ComPtr<Element>(&tip)});
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {
namespace {
constexpr const wchar_t* kPlacements[] = {L"Absolute",   L"Relative",      L"Bottom",        L"Center",
                                          L"Right",      L"AbsolutePoint", L"RelativePoint", L"Mouse",
                                          L"MousePoint", L"Left",          L"Top",           L"Custom"};
}

std::vector<Type> ToolTipTypes() {
    return {
        {.name = L"ToolTip",
         .className = L"System.Windows.Controls.ToolTip",
         .base = L"ContentControl",
         .make = &Make<ToolTip>,
         .properties = {{L"HasDropShadow", &check::Bool},
                        {L"Placement", &check::OneOf<kPlacements>},
                        {L"IsOpen", &check::Bool}},
         .content = Content::Single,
         .textProperty = L"Content"},
    };
}

} // namespace xaml

} // namespace wpfsim
