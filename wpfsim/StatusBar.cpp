#include "StatusBar.h"

#include "Border.h"
#include "Menus.h"
#include "Panels.h"
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
    ContentControl::ArrangeOverride(TemplateReplaced() ? inner : Deflate(inner, Padding()));
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
        return DockPanel::MeasureDocked(Children(), available);
    }
    void ArrangeOverride(Rect r) override { DockPanel::ArrangeDocked(Children(), r); }
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
        if (auto root = TemplateFor(item, *container)) container->ShowTemplate(std::move(*root));
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
