// The framework elements an application is built from, with WPF's layout rules:
//
//   FrameworkElement   a plain element of its class (decorations and user classes without behaviour)
//   FrameworkContentElement  the content of documents, which is no UIElement
//   Control            focusable; "Padding"; a template built by the kind (OnApplyTemplate)
//
// Each family of kinds has its own files, as in WPF: ContentControl.h, Window.h, TextBlock.h, Panels.h,
// Border.h, Popup.h, ScrollViewer.h, Buttons.h, Items.h and the item controls (ListBox.h, ComboBox.h,
// TabControl.h, TreeView.h, Menus.h, ToolBar.h), TextBox.h, Expander.h, Ranges.h, and the elements of
// forms: Label.h, GroupBox.h, StatusBar.h, ProgressBar.h, Viewbox.h (with Image), Shapes.h, UniformGrid.h
// (with GridSplitter), Frame.h, Page.h, UserControl.h, ToolTip.h, Inline.h (text inside a TextBlock).
#pragma once

#include "Element.h"

#include <algorithm>

namespace wpfsim {

// The simulated machine's SystemParameters: its primary screen, in device-independent units.
namespace SystemParameters {
inline constexpr double PrimaryScreenWidth = 1920, PrimaryScreenHeight = 1080;
}

// A rectangle less a thickness (never below an empty one), and a size with a thickness around it.
inline Rect Deflate(Rect r, const Thickness& t) {
    return {r.x + t.left, r.y + t.top, std::max(0.0, r.width - t.left - t.right),
            std::max(0.0, r.height - t.top - t.bottom)};
}
inline Size Inflate(Size s, const Thickness& t) {
    return {s.width + t.left + t.right, s.height + t.top + t.bottom};
}

class FrameworkElement : public Element {
public:
    using Element::Element;
};

// An element of a document's content (FlowDocument, Paragraph, FixedDocument): in WPF a
// FrameworkContentElement, logical only, with no visual members, layout or PersistId.
class FrameworkContentElement : public Element {
public:
    FrameworkContentElement(Application& app, std::wstring className, std::wstring name)
        : Element(app, std::move(className), std::move(name)) {
        SetObjectKind(ObjectKind::FrameworkContentElement);
    }
};

class Control : public Element {
public:
    Control(Application& app, std::wstring className, std::wstring name);
    const Thickness& Padding() const noexcept { return padding_; }
    void SetPadding(Thickness padding) {
        padding_ = padding;
        InvalidateLayout();
    }

protected:
    Size MeasureOverride(Size available) override;
    void ArrangeOverride(Rect inner) override;

private:
    Thickness padding_;
};

} // namespace wpfsim
