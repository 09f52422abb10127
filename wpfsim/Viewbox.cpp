#include "Viewbox.h"

#include "XamlSchema.h"

#include <stdexcept>

namespace wpfsim {

Size ScaleFactor(Size available, Size content, Stretch stretch, StretchDirection direction) {
    double x = 1, y = 1;
    const bool width = std::isfinite(available.width), height = std::isfinite(available.height);
    if (stretch != Stretch::None && (width || height)) {
        x = content.width == 0 ? 0 : available.width / content.width;
        y = content.height == 0 ? 0 : available.height / content.height;
        if (!width)
            x = y;
        else if (!height)
            y = x;
        else if (stretch == Stretch::Uniform)
            x = y = std::min(x, y);
        else if (stretch == Stretch::UniformToFill)
            x = y = std::max(x, y);
        if (direction == StretchDirection::UpOnly) {
            x = std::max(x, 1.0);
            y = std::max(y, 1.0);
        } else if (direction == StretchDirection::DownOnly) {
            x = std::min(x, 1.0);
            y = std::min(y, 1.0);
        }
    }
    return {x, y};
}

// --- Viewbox --------------------------------------------------------------------------------------------

Viewbox::Viewbox(Application& app, std::wstring className, std::wstring name)
    : FrameworkElement(app, std::move(className), std::move(name)) {
    AddProperty(
        L"Stretch", [this] { return ov::Variant::Int(static_cast<LONG>(stretch_)); },
        [this](const VARIANT& v) {
            const LONG value = IntOf(v);
            if (value < 0 || value > 3) throw InvalidPropertyValue(std::to_wstring(value), L"Stretch");
            SetStretch(static_cast<Stretch>(value));
        });
    AddProperty(L"StretchDirection", [this] { return ov::Variant::Int(static_cast<LONG>(direction_)); });
    AddProperty(L"Child", [this] { return Obj(Children().empty() ? nullptr : Children().front()); });
}

void Viewbox::AddChild(Element& child) {
    if (!Children().empty()) throw std::invalid_argument("a Viewbox holds one element");
    AddLogicalChild(child);
    AddVisualChild(child);
}

Size Viewbox::MeasureOverride(Size available) {
    if (Children().empty()) return {};
    Element& child = *Children().front();
    child.Measure({Infinity, Infinity});
    const Size content = child.DesiredSize();
    const Size scale = ScaleFactor(available, content, stretch_, direction_);
    return {scale.width * content.width, scale.height * content.height};
}

// WPF arranges the child at its desired size and scales it by a transform, which the simulation has not.
void Viewbox::ArrangeOverride(Rect inner) {
    if (Children().empty()) return;
    Element& child = *Children().front();
    child.Arrange({inner.x, inner.y, child.DesiredSize().width, child.DesiredSize().height});
}

// --- Image ----------------------------------------------------------------------------------------------

Image::Image(Application& app, std::wstring className, std::wstring name)
    : FrameworkElement(app, std::move(className), std::move(name)) {
    AddProperty(
        L"Source", [this] { return source_ ? Str(*source_) : Obj(nullptr); },
        [this](const VARIANT& v) {
            if (IsNull(v))
                source_.reset();
            else
                source_ = TextOf(v);
        });
    AddProperty(L"Stretch", [this] { return ov::Variant::Int(static_cast<LONG>(stretch_)); });
    AddProperty(L"StretchDirection", [this] { return ov::Variant::Int(static_cast<LONG>(direction_)); });
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {
namespace {

constexpr const wchar_t* kStretches[] = {L"None", L"Fill", L"Uniform", L"UniformToFill"};
constexpr const wchar_t* kDirections[] = {L"UpOnly", L"DownOnly", L"Both"};

template <class T> Property StretchProperty() {
    return {L"Stretch", [](Node& n, std::wstring_view v) {
                As<T>(n).SetStretch(static_cast<Stretch>(EnumValue(v, kStretches)));
            }};
}
template <class T> Property DirectionProperty() {
    return {L"StretchDirection", [](Node& n, std::wstring_view v) {
                As<T>(n).SetStretchDirection(static_cast<StretchDirection>(EnumValue(v, kDirections)));
            }};
}

} // namespace

std::vector<Type> ViewboxTypes() {
    return {
        {.name = L"Viewbox",
         .className = L"System.Windows.Controls.Viewbox",
         .base = L"FrameworkElement",
         .make = &Make<Viewbox>,
         .properties = {StretchProperty<Viewbox>(), DirectionProperty<Viewbox>()},
         .content = Content::Single},
        {.name = L"Image",
         .className = L"System.Windows.Controls.Image",
         .base = L"FrameworkElement",
         .make = &Make<Image>,
         .properties = {{L"Source",
                         [](Node& n, std::wstring_view v) {
                             if (Trim(v) == L"{x:Null}") return As<Image>(n).SetSource(std::nullopt);
                             if (Trim(v).empty()) throw ValueError{L"an image's URI expected"};
                             As<Image>(n).SetSource(std::wstring(v));
                         }},
                        StretchProperty<Image>(),
                        DirectionProperty<Image>()}},
    };
}

} // namespace xaml

} // namespace wpfsim
