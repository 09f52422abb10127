// The date picker of the simulated application, as WPF builds it:
//
//   DatePicker     "SelectedDate" (get, put: a System.DateTime or a null object), "Text" (the selected date
//   in
//                  the SelectedDateFormat, empty without one; put: a date the invariant culture reads selects
//                  it, other text leaves the selection and the text as they were), "DisplayDate",
//                  "DisplayDateStart", "DisplayDateEnd", "FirstDayOfWeek", "IsTodayHighlighted" (those of its
//                  calendar), "IsDropDownOpen" (get, put: opens and closes PART_Popup; true waits until the
//                  picker is loaded), "SelectedDateFormat" (Short "MM/dd/yyyy" by default, Long "dddd, dd
//                  MMMM yyyy")
//   template       a Border holding the Grid "PART_Root": the DatePickerTextBox "PART_TextBox" (a TextBox
//                  showing the text, with the ContentControl "PART_Watermark" "Select a date" while it is
//                  empty), the Button "PART_Button" and the Grid "PART_DisabledVisual" that holds the Popup
//                  "PART_Popup", whose child is the picker's Calendar
// A click on the button opens the popup below the picker (a PopupRoot window, as the combo box's drop-down)
// showing the month of DisplayDate (today's unless set; a selected date brings its month); a click on a day
// selects it, writes the text and closes the popup. Text typed into the text box is not read back (the
// picker's "Text" is the way in).
#pragma once

#include "Calendar.h"
#include "Popup.h"
#include "TextBox.h"

namespace wpfsim {

class DatePickerTextBox : public TextBox {
public:
    using TextBox::TextBox;
    // Shows the watermark while the text is empty.
    void ShowWatermark(bool shown);

protected:
    void OnApplyTemplate() override;

private:
    Element* watermark_ = nullptr;
};

class DatePicker : public Control {
public:
    DatePicker(Application& app, std::wstring className, std::wstring name);
    Calendar& GetCalendar() const noexcept { return *calendar_; }
    const std::optional<Date>& SelectedDate() const noexcept { return calendar_->SelectedDate(); }
    void SetSelectedDate(std::optional<Date> date) { calendar_->SetSelectedDate(date); }
    std::wstring Text() const;
    void SetText(const std::wstring& text);
    void SetLongFormat(bool longFormat);

protected:
    void OnApplyTemplate() override;

private:
    void ShowText();
    ov::ComPtr<Calendar> calendar_;
    Popup* popup_ = nullptr;
    DatePickerTextBox* textBox_ = nullptr;
    OpenOnLoad openOnLoad_;
    bool longFormat_ = false;
};

} // namespace wpfsim
