#include "ComboBox.h"

#include "Border.h"
#include "TextBox.h"
#include "XamlSchema.h"

#include <cmath>

namespace wpfsim {

// --- ComboBox -------------------------------------------------------------------------------------------

ComboBox::ComboBox(Application& app, std::wstring className, std::wstring name)
    : Selector(app, std::move(className), std::move(name), L"System.Windows.Controls.ComboBoxItem") {
    SetParentMember(L"get_ParentComboBox");
    AddProperty(
        L"IsDropDownOpen", [this] { return ov::Variant::Bool(popup_ && popup_->IsOpen()); },
        [this](const VARIANT& v) {
            openOnLoad_.Set(*this, BoolOf(v), [this](bool open) {
                if (popup_) popup_->SetIsOpen(open);
            });
        });
    AddProperty(
        L"IsEditable", [this] { return ov::Variant::Bool(editable_); },
        [this](const VARIANT& v) { SetEditable(BoolOf(v)); });
    AddProperty(
        L"Text", [this] { return Str(Text()); }, [this](const VARIANT& v) { SetText(TextOf(v)); });
    SetPopupField(L"field__dropDownPopup");
    AddProperty(
        L"MaxDropDownHeight", [this] { return ov::Variant::Double(MaxDropDownHeight()); },
        [this](const VARIANT& v) { SetMaxDropDownHeight(DoubleOf(v)); });
}

void ComboBox::SetMaxDropDownHeight(double height) {
    // The template binds it to the drop-down's MaxHeight, which takes no NaN and nothing below 0.
    if (std::isnan(height) || height < 0) throw InvalidPropertyValue(height, L"MaxHeight");
    dropDown_->Layout().maxHeight = height;
    InvalidateLayout();
}

void ComboBox::SetPopupField(std::wstring name) {
    if (!popupField_.empty()) RemoveMember(popupField_);
    popupField_ = std::move(name);
    if (!popupField_.empty()) AddProperty(popupField_, [this] { return Obj(nullField_ ? nullptr : popup_); });
}

void ComboBox::OnApplyTemplate() {
    auto& grid = MakePart<Grid>(*this, L"System.Windows.Controls.Grid", L"templateRoot");
    auto& toggle =
        MakePart<Element>(grid, L"System.Windows.Controls.Primitives.ToggleButton", L"toggleButton");
    toggle.Layout().minWidth = 120;
    toggle.Layout().minHeight = 22;
    selection_ =
        &MakePart<ContentPresenter>(grid, L"System.Windows.Controls.ContentPresenter", L"contentPresenter");
    selection_->SetHitTestVisible(false);
    // An editable box shows its text in a text box that leaves the toggle's arrow free.
    editor_ = &MakePart<TextBox>(grid, L"System.Windows.Controls.TextBox", L"PART_EditableTextBox");
    editor_->Layout().margin = {0, 0, 20, 0};
    editor_->SetVisibility(Visibility::Collapsed);
    popup_ = &MakePart<Popup>(grid, L"System.Windows.Controls.Primitives.Popup", L"PART_Popup");
    popup_->SetPlacementTarget(this);
    auto& border = MakeDetachedPart<Border>(L"System.Windows.Controls.Border", L"dropDownBorder");
    popup_->SetChild(&border);
    // The drop-down is no higher than MaxDropDownHeight (bound to the MaxHeight of its chrome).
    border.Layout().maxHeight = SystemParameters::PrimaryScreenHeight / 3;
    dropDown_ = &border;
    auto& viewer =
        MakePart<ScrollViewer>(border, L"System.Windows.Controls.ScrollViewer", L"DropDownScrollViewer");
    viewer.SetCanContentScroll(true);
    // Aero2's ComboBox style sets both bars Auto, which the template's viewer takes from its combo box.
    viewer.SetBarVisibility(true, ScrollViewer::BarVisibility::Auto);
    viewer.SetBarVisibility(false, ScrollViewer::BarVisibility::Auto);
    MakeItemsHost(nullptr, &viewer, L"System.Windows.Controls.StackPanel");
}

void ComboBox::SetEditable(bool editable) {
    editable_ = editable;
    if (editor_) editor_->SetVisibility(editable ? Visibility::Visible : Visibility::Collapsed);
    if (selection_) selection_->SetVisibility(editable ? Visibility::Collapsed : Visibility::Visible);
    ShowSelection();
}

std::wstring ComboBox::Text() const {
    if (editable_ && editor_) return editor_->Text();
    const long index = SelectedIndex();
    return index < 0 ? std::wstring() : ItemText(static_cast<size_t>(index));
}

void ComboBox::SetText(const std::wstring& text) {
    for (size_t i = 0; i < Count(); ++i)
        if (_wcsicmp(ItemText(i).c_str(), text.c_str()) == 0) return SelectOnly(static_cast<long>(i));
    SelectOnly(-1);
    if (editable_ && editor_) editor_->SetText(text);
}

void ComboBox::OnSelectionChanged() {
    ShowSelection();
}

void ComboBox::ShowSelection() {
    const long index = SelectedIndex();
    const std::wstring text = index < 0 ? std::wstring() : ItemText(static_cast<size_t>(index));
    if (selection_) {
        Content shown;
        if (index >= 0 && !editable_) shown.text = text;
        // The selection box shows the item through the item template, as WPF's SelectionBoxItemTemplate.
        if (index >= 0 && !editable_)
            if (auto root = TemplateFor(At(static_cast<size_t>(index)), *selection_)) {
                shown.templated = true;
                shown.shown = std::move(*root);
            }
        selection_->Show(shown);
    }
    if (editor_) editor_->SetText(text);
    InvalidateLayout();
}

void ComboBox::OnMouseDown(MouseEvent& e) {
    if (e.button != MouseButton::Left || !popup_) return;
    if (e.source && popup_->IsAncestorOf(*e.source)) return;
    // The text box of an editable box takes the press for itself.
    if (editable_ && editor_ && e.source && editor_->IsAncestorOf(*e.source)) return;
    popup_->SetIsOpen(!popup_->IsOpen());
    e.handled = true;
}

void ComboBox::OnMouseUp(MouseEvent& e) {
    if (e.button != MouseButton::Left || !popup_ || !popup_->IsOpen() || !e.source ||
        !popup_->IsAncestorOf(*e.source))
        return;
    for (Element* r = e.source; r && r != popup_; r = r->RouteParent())
        if (auto* item = dynamic_cast<ItemContainer*>(r)) {
            const long index = IndexOfItemElement(*item);
            if (index < 0 || !item->IsEnabled()) return;
            e.handled = true;
            SelectOnly(index);
            popup_->SetIsOpen(false);
            return;
        }
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {

std::vector<Type> ComboBoxTypes() {
    return {
        {.name = L"ComboBox",
         .className = L"System.Windows.Controls.ComboBox",
         .base = L"ItemsControl",
         .make = &Make<ComboBox>,
         .properties =
             {{L"IsEditable", [](Node& n, std::wstring_view v) { As<ComboBox>(n).SetEditable(ToBool(v)); }},
              {L"SelectedIndex", &SetSelectedIndex},
              {L"MaxDropDownHeight",
               [](Node& n, std::wstring_view v) { As<ComboBox>(n).SetMaxDropDownHeight(ToExtent(v)); }}},
         .content = Content::Items,
         // Under which name the bridge shows the internal drop-down field, and whether it holds nothing.
         .sim =
             {{L"PopupField",
               [](Node& n, std::wstring_view v) {
                   const size_t which = EnumValue(v, {L"field__dropDownPopup", L"zdropDownPopup", L"None"});
                   As<ComboBox>(n).SetPopupField(which == 0   ? L"field__dropDownPopup"
                                                 : which == 1 ? L"zdropDownPopup"
                                                              : L"");
               }},
              {L"NullPopupField",
               [](Node& n, std::wstring_view v) { As<ComboBox>(n).SetPopupFieldNull(ToBool(v)); }}}},
        {.name = L"ComboBoxItem",
         .className = L"System.Windows.Controls.ComboBoxItem",
         .base = L"ListBoxItem",
         .make = &Make<ItemContainer>,
         .content = Content::Single,
         .textProperty = L"Content"},
    };
}

} // namespace xaml

} // namespace wpfsim
