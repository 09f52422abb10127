// The scaling elements of the simulated application: Viewbox and Image, with WPF's scale factors.
//
//   Viewbox   a Decorator holding one "Child"; "Stretch" (0 None, 1 Fill, 2 Uniform, the default,
//             3 UniformToFill) and "StretchDirection" (0 UpOnly, 1 DownOnly, 2 Both, the default) give the
//             scale of the child's desired size (WPF's Viewbox.ComputeScaleFactor); the viewbox measures to
//             the scaled size. WPF arranges the child at its desired size and scales it by a transform; the
//             simulation has no transforms: the child keeps its desired size (its "ActualWidth" and
//             "ActualHeight" are WPF's) and stands unscaled at the viewbox's top left, where WPF shows it
//             scaled to fill the viewbox's scaled size.
//   Image     "Source" (the address as given, or a null object), "Stretch" (Uniform by default) and
//             "StretchDirection"; no pixels are loaded, so its natural size is 0 by 0: it is as large as
//             its Width and Height make it.
#pragma once

#include "Framework.h"

#include <optional>

namespace wpfsim {

enum class Stretch { None = 0, Fill = 1, Uniform = 2, UniformToFill = 3 };
enum class StretchDirection { UpOnly = 0, DownOnly = 1, Both = 2 };

// WPF's scale factor of content of `content` size in `available` room.
Size ScaleFactor(Size available, Size content, Stretch stretch, StretchDirection direction);

class Viewbox : public FrameworkElement {
public:
    Viewbox(Application& app, std::wstring className, std::wstring name);
    void AddChild(Element& child) override;
    void SetStretch(Stretch stretch) {
        stretch_ = stretch;
        InvalidateLayout();
    }
    void SetStretchDirection(StretchDirection direction) {
        direction_ = direction;
        InvalidateLayout();
    }

protected:
    Size MeasureOverride(Size available) override;
    void ArrangeOverride(Rect inner) override;

private:
    Stretch stretch_ = Stretch::Uniform;
    StretchDirection direction_ = StretchDirection::Both;
};

class Image : public FrameworkElement {
public:
    Image(Application& app, std::wstring className, std::wstring name);
    void SetSource(std::optional<std::wstring> source) { source_ = std::move(source); }
    void SetStretch(Stretch stretch) noexcept { stretch_ = stretch; }
    void SetStretchDirection(StretchDirection direction) noexcept { direction_ = direction; }

protected:
    Size MeasureOverride(Size) override { return {}; }

private:
    std::optional<std::wstring> source_;
    Stretch stretch_ = Stretch::Uniform;
    StretchDirection direction_ = StretchDirection::Both;
};

} // namespace wpfsim
