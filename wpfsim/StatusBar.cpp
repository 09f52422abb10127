#include "StatusBar.h"

#include "Border.h"
#include "Menus.h"
#include "XamlSchema.h"

namespace wpfsim {

// --- StatusBarItem --------------------------------------------------------------------------------------

StatusBarItem::StatusBarItem(Application& app, std::wstring className, std::wstring name)
    : ContentControl(app, std::move(className), std::move(name)) {
    SetPadding({3, 3, 3, 3});
}

void StatusBarItem::OnApplyTemplate() {
    auto& border = MakePart<Border>(*this, L"System.Windows.Controls.Border", L"");
    auto& presenter = MakePart<ContentPresenter>(border, L"System.Windows.Controls.ContentPresenter", L"");
    presenter.Layout().horizontalAlignment = HorizontalAlignment::Left;
    presenter.Layout().verticalAlignment = VerticalAlignment::Center;
    SetPresenter(&presenter);
}

void StatusBarItem::ArrangeOverride(Rect inner) {
    ContentControl::ArrangeOverride(Deflate(inner, Padding()));
}

// --- StatusBar ------------------------------------------------------------------------------------------

namespace {

constexpr const wchar_t* kItemClass = L"System.Windows.Controls.Primitives.StatusBarItem";

// The status bar's items panel: its containers docked as a DockPanel docks its children.
class StatusBarPanel : public VirtualizingStackPanel {
public:
    using VirtualizingStackPanel::VirtualizingStackPanel;

protected:
    Size MeasureOverride(Size available) override {
        Sync();
        Size used, most;
        for (Element* child : Children()) {
            child->Measure(
                {std::max(0.0, available.width - used.width), std::max(0.0, available.height - used.height)});
            const Size s = child->DesiredSize();
            const Dock dock = child->Layout().dock;
            if (dock == Dock::Left || dock == Dock::Right) {
                most.height = std::max(most.height, used.height + s.height);
                used.width += s.width;
            } else {
                most.width = std::max(most.width, used.width + s.width);
                used.height += s.height;
            }
        }
        return {std::max(most.width, used.width), std::max(most.height, used.height)};
    }
    void ArrangeOverride(Rect r) override {
        const auto& children = Children();
        for (size_t i = 0; i < children.size(); ++i) {
            Element& child = *children[i];
            const Size s = child.DesiredSize();
            if (i + 1 == children.size()) {
                child.Arrange(r);
                break;
            }
            switch (child.Layout().dock) {
            case Dock::Left:
                child.Arrange({r.x, r.y, s.width, r.height});
                r.x += s.width;
                r.width = std::max(0.0, r.width - s.width);
                break;
            case Dock::Right:
                r.width = std::max(0.0, r.width - s.width);
                child.Arrange({r.x + r.width, r.y, s.width, r.height});
                break;
            case Dock::Top:
                child.Arrange({r.x, r.y, r.width, s.height});
                r.y += s.height;
                r.height = std::max(0.0, r.height - s.height);
                break;
            case Dock::Bottom:
                r.height = std::max(0.0, r.height - s.height);
                child.Arrange({r.x, r.y + r.height, r.width, s.height});
                break;
            }
        }
    }
};

} // namespace

StatusBar::StatusBar(Application& app, std::wstring className, std::wstring name)
    : ItemsControl(app, std::move(className), std::move(name), kItemClass) {
    SetFocusable(false);
}

void StatusBar::OnApplyTemplate() {
    auto& border = MakePart<Border>(*this, L"System.Windows.Controls.Border", L"");
    auto& presenter = MakePart<FrameworkElement>(border, L"System.Windows.Controls.ItemsPresenter", L"");
    SetItemsHost(
        MakePart<StatusBarPanel>(presenter, L"System.Windows.Controls.DockPanel", L"", *this, false));
}

bool StatusBar::IsItemItsOwnContainer(const Element& element) const {
    return dynamic_cast<const StatusBarItem*>(&element) || dynamic_cast<const Separator*>(&element);
}

ov::ComPtr<Element> StatusBar::MakeContainer(const Item& item) {
    ov::ComPtr<StatusBarItem> container = App()->Make<StatusBarItem>(kItemClass, L"");
    if (item.IsElement()) {
        container->SetContentElement(item.element.Get(), false);
    } else {
        container->SetContent(PrimitiveText(item.value));
        // "Content" gives the data item itself, as the generated containers of other controls do.
        Element* self = container.Get();
        const Item shown = item;
        container->AddProperty(L"Content",
                               [self, shown]() -> ov::Variant { return DataValue(*self, shown); });
    }
    return ov::ComPtr<Element>(container);
}

void StatusBar::ClearContainer(Element& container) {
    if (auto* item = dynamic_cast<StatusBarItem*>(&container)) item->SetContentElement(nullptr, false);
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {

std::vector<Type> StatusBarTypes() {
    return {
        {.name = L"StatusBar",
         .className = L"System.Windows.Controls.Primitives.StatusBar",
         .base = L"ItemsControl",
         .make = &Make<StatusBar>,
         .content = Content::Items},
        {.name = L"StatusBarItem",
         .className = L"System.Windows.Controls.Primitives.StatusBarItem",
         .base = L"ContentControl",
         .make = &Make<StatusBarItem>,
         .content = Content::Single,
         .textProperty = L"Content"},
    };
}

} // namespace xaml

} // namespace wpfsim
