// The calendar of the simulated application, as WPF builds it:
//
//   Calendar       "SelectedDate" (get, put: a System.DateTime or a null object), "SelectedDates" ("Count",
//                  "get_Item"(i)), "DisplayDate" (today from the system clock unless set; kept within
//                  DisplayDateStart and DisplayDateEnd), "DisplayDateStart", "DisplayDateEnd" (null unless
//                  set), "DisplayMode" (Month; Year and Decade are read and kept, the month is what is
//                  shown), "SelectionMode" (SingleDate, SingleRange, MultipleRange, None), "FirstDayOfWeek"
//                  (Sunday, as the invariant culture's), "IsTodayHighlighted" (True). A selected date outside
//                  the display range is refused (ArgumentOutOfRangeException), as is one set in the None mode
//                  (InvalidOperationException); selecting a date of another month shows that month.
//   template       the StackPanel "PART_Root" holding the CalendarItem "PART_CalendarItem": its Grid
//                  "PART_Root" holds a Border, a Border and a Grid with the Buttons "PART_PreviousButton",
//                  "PART_HeaderButton" (the month as the invariant culture writes it: "2026 December") and
//                  "PART_NextButton", the Grid "PART_MonthView" (7 day titles, then 42 CalendarDayButtons
//                  from the first day of the week before the month's first day, a full week when the month
//                  starts on it) and the hidden Grid "PART_YearView"; the Rectangle "PART_DisabledVisual"
//   day buttons    CalendarDayButton: "Content" (the day's number), "DataContext" (its date), "IsToday",
//                  "IsSelected", "IsInactive" (of another month), "IsBlackedOut" (False: blackout dates are
//                  left out); days outside the display range are hidden and disabled
// A left press on a day selects it in the SelectionMode (Ctrl toggles in SingleDate and MultipleRange,
// Shift makes a range from the last date clicked); its release shows the day's month when it is another.
// The previous and next buttons show the month before and after (disabled at the display range's ends);
// the header button (the year view) is left out. Dates have no time of day.
#pragma once

#include "ContentControl.h"
#include "Panels.h"

#include <functional>
#include <optional>

namespace wpfsim {

struct Date {
    int year = 1, month = 1, day = 1;
    friend auto operator<=>(const Date&, const Date&) = default;
    static Date Today();
    int DaysInMonth() const;
    int DayOfWeek() const; // 0 Sunday .. 6 Saturday
    Date AddDays(int days) const;
    Date FirstOfMonth() const { return {year, month, 1}; }
    Date AddMonths(int months) const; // the first of that month
    // The invariant culture's patterns: "MM/dd/yyyy" and "dddd, dd MMMM yyyy".
    std::wstring ShortText() const;
    std::wstring LongText() const;
};

// A date as .NET's DateTime.Parse reads it in the invariant culture: "2026-12-08", "12/8/2026" and the
// long form "Tuesday, 08 December 2026" (the day's name is not checked); nothing for anything else.
std::optional<Date> ParseDate(std::wstring_view text);
// A System.DateTime object: "Year", "Month", "Day", "DayOfWeek", "Date", "ToString"() ("MM/dd/yyyy
// HH:mm:ss"), "ToShortDateString"(), "OleValue" (a VT_DATE, its default value).
ov::Variant DateValue(const ClrObject& owner, Date date);
ov::Variant DateValue(const ClrObject& owner, const std::optional<Date>& date); // null object for none
// A date from an argument: a VT_DATE, a System.DateTime object, or a text ParseDate reads; null: none.
std::optional<Date> DateArgument(const VARIANT& v);

class Calendar;

class CalendarDayButton : public ContentControl {
public:
    CalendarDayButton(Application& app, std::wstring className, std::wstring name, Calendar& owner);
    const std::optional<Date>& Day() const noexcept { return date_; }
    void Show(std::optional<Date> date, bool inactive, bool today, bool selected, bool inRange);

protected:
    void OnMouseDown(MouseEvent& e) override;
    void OnMouseUp(MouseEvent& e) override;
    Size MeasureOverride(Size) override { return {24, 20}; }

private:
    Calendar* owner_;
    std::optional<Date> date_;
    bool inactive_ = false, today_ = false, selected_ = false, pressed_ = false;
};

class Calendar : public Control {
public:
    enum class Selection { SingleDate = 0, SingleRange = 1, MultipleRange = 2, None = 3 };
    Calendar(Application& app, std::wstring className, std::wstring name);

    const std::optional<Date>& SelectedDate() const noexcept { return selected_; }
    // As the property's setter: throws ClrException for a date it refuses.
    void SetSelectedDate(std::optional<Date> date);
    const std::vector<Date>& SelectedDates() const noexcept { return dates_; }
    Date DisplayDate() const noexcept { return display_; }
    void SetDisplayDate(Date date);
    const std::optional<Date>& DisplayDateStart() const noexcept { return start_; }
    const std::optional<Date>& DisplayDateEnd() const noexcept { return end_; }
    int FirstDayOfWeek() const noexcept { return firstDay_; }
    bool IsTodayHighlighted() const noexcept { return todayHighlighted_; }
    void SetDisplayDateStart(std::optional<Date> date);
    void SetDisplayDateEnd(std::optional<Date> date);
    void SetSelectionMode(Selection mode);
    void SetFirstDayOfWeek(int day);
    void SetTodayHighlighted(bool highlighted);
    void SetDisplayMode(int mode) noexcept { displayMode_ = mode; }
    // The clicks on the day buttons.
    void DayPressed(Date date, ULONG shiftState);
    void DayClicked(Date date);
    // Called after a click on a day (a date picker closes its drop-down).
    std::function<void(Date)> onDayClicked;
    // Called when the selected date changed.
    std::function<void()> onSelectionChanged;

protected:
    void OnApplyTemplate() override;

private:
    void Refresh();
    bool InRange(Date date) const;
    void Toggle(Date date);
    void SelectRange(Date from, Date to);
    void Changed();
    std::optional<Date> selected_;
    std::vector<Date> dates_;
    Date display_;
    std::optional<Date> start_, end_, last_;
    Selection mode_ = Selection::SingleDate;
    int firstDay_ = 0;
    int displayMode_ = 0;
    bool todayHighlighted_ = true;
    ContentControl* header_ = nullptr;
    Element* previous_ = nullptr;
    Element* next_ = nullptr;
    std::vector<CalendarDayButton*> days_;
    std::vector<ContentControl*> titles_;
};

} // namespace wpfsim
