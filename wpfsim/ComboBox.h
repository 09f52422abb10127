// The combo box of the simulated application, as WPF builds it.
#pragma once

#include "ListBox.h"
#include "Popup.h"

namespace wpfsim {

class TextBox;

// "IsDropDownOpen" (get, put: opens and closes PART_Popup; true waits until the box is loaded), "IsEditable"
// (get, put), "Text" (the selected item's text; an editable box shows its own text in PART_EditableTextBox;
// put selects the first item of that text, compared without case as WPF's text search does, or none), the
// Selector's members, and the internal popup field under the name the host's bridge gives it:
// "field__dropDownPopup" (the default) or "zdropDownPopup", or none (sim:PopupField). A left click on an
// enabled item of the open drop-down selects it and closes the drop-down. "MaxDropDownHeight" (get, put; a
// third of the primary screen's height unless set) limits the drop-down's height; its ScrollViewer scrolls
// the items by items (the style's CanContentScroll), in ItemsControl's default panel, a StackPanel, which
// generates every container.
class ComboBox : public Selector {
public:
    ComboBox(Application& app, std::wstring className, std::wstring name);
    Popup& DropDown() const noexcept { return *popup_; }
    bool IsEditable() const noexcept { return editable_; }
    void SetEditable(bool editable);
    std::wstring Text() const;
    void SetText(const std::wstring& text);
    // The member that holds the popup: "field__dropDownPopup", "zdropDownPopup" or empty (none); a null
    // field holds a null object (as before the template is applied) while "IsDropDownOpen" still works.
    void SetPopupField(std::wstring name);
    void SetPopupFieldNull(bool null) noexcept { nullField_ = null; }
    double MaxDropDownHeight() const noexcept { return dropDown_->Layout().maxHeight; }
    void SetMaxDropDownHeight(double height);

protected:
    void OnApplyTemplate() override;
    void OnMouseDown(MouseEvent& e) override;
    void OnMouseUp(MouseEvent& e) override;
    void OnSelectionChanged() override;

private:
    void ShowSelection();
    Popup* popup_ = nullptr;
    Element* dropDown_ = nullptr;
    OpenOnLoad openOnLoad_;
    ContentPresenter* selection_ = nullptr;
    TextBox* editor_ = nullptr;
    bool editable_ = false;
    bool nullField_ = false;
    std::wstring popupField_;
};

} // namespace wpfsim
