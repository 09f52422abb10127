#include "Calendar.h"

#include "Border.h"
#include "Buttons.h"
#include "ClrValue.h"
#include "Items.h"
#include "XamlSchema.h"

#include <cwctype>

namespace wpfsim {

namespace {

constexpr const wchar_t* kMonths[] = {L"January",   L"February", L"March",    L"April",
                                      L"May",       L"June",     L"July",     L"August",
                                      L"September", L"October",  L"November", L"December"};
constexpr const wchar_t* kDays[] = {L"Sunday",   L"Monday", L"Tuesday", L"Wednesday",
                                    L"Thursday", L"Friday", L"Saturday"};
constexpr const wchar_t* kShortestDays[] = {L"Su", L"Mo", L"Tu", L"We", L"Th", L"Fr", L"Sa"};
constexpr const wchar_t* kCalendarModes[] = {L"Month", L"Year", L"Decade"};
constexpr const wchar_t* kCalendarSelectionModes[] = {L"SingleDate", L"SingleRange", L"MultipleRange",
                                                      L"None"};

bool Leap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// Days since 0001-01-01, as .NET counts them.
long DayNumber(const Date& d) {
    const long y = d.year - 1;
    long days = y * 365 + y / 4 - y / 100 + y / 400;
    for (int m = 1; m < d.month; ++m)
        days += Date{d.year, m, 1}.DaysInMonth();
    return days + d.day - 1;
}

Date FromDayNumber(long n) {
    Date d;
    // 400 years hold 146097 days.
    d.year = static_cast<int>(n / 146097 * 400) + 1;
    n %= 146097;
    while (n >= (Leap(d.year) ? 366 : 365)) {
        n -= Leap(d.year) ? 366 : 365;
        ++d.year;
    }
    d.month = 1;
    while (n >= Date{d.year, d.month, 1}.DaysInMonth()) {
        n -= Date{d.year, d.month, 1}.DaysInMonth();
        ++d.month;
    }
    d.day = static_cast<int>(n) + 1;
    return d;
}

std::wstring TwoDigits(int n) {
    return (n < 10 ? L"0" : L"") + std::to_wstring(n);
}

std::wstring FourDigits(int n) {
    std::wstring text = std::to_wstring(n);
    return std::wstring(text.size() < 4 ? 4 - text.size() : 0, L'0') + text;
}

bool Valid(const Date& d) {
    return d.year >= 1 && d.year <= 9999 && d.month >= 1 && d.month <= 12 && d.day >= 1 &&
           d.day <= d.DaysInMonth();
}

std::optional<int> Number(std::wstring_view text, size_t minDigits, size_t maxDigits) {
    if (text.size() < minDigits || text.size() > maxDigits) return std::nullopt;
    int n = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return std::nullopt;
        n = n * 10 + (c - L'0');
    }
    return n;
}

std::wstring_view Trimmed(std::wstring_view text) {
    while (!text.empty() && std::iswspace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && std::iswspace(text.back()))
        text.remove_suffix(1);
    return text;
}

ClrException InvalidOperation(std::wstring message) {
    return {L"PresentationFramework", 0, std::move(message), static_cast<SCODE>(0x80131509)};
}

} // namespace

// --- dates ----------------------------------------------------------------------------------------------

Date Date::Today() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay};
}

int Date::DaysInMonth() const {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && Leap(year) ? 29 : days[month - 1];
}

int Date::DayOfWeek() const {
    // 0001-01-01 was a Monday.
    return static_cast<int>((DayNumber(*this) + 1) % 7);
}

Date Date::AddDays(int days) const {
    return FromDayNumber(DayNumber(*this) + days);
}

Date Date::AddMonths(int months) const {
    const int index = year * 12 + (month - 1) + months;
    return {index / 12, index % 12 + 1, 1};
}

std::wstring Date::ShortText() const {
    return TwoDigits(month) + L"/" + TwoDigits(day) + L"/" + FourDigits(year);
}

std::wstring Date::LongText() const {
    return std::wstring(kDays[DayOfWeek()]) + L", " + TwoDigits(day) + L" " + kMonths[month - 1] + L" " +
           FourDigits(year);
}

std::optional<Date> ParseDate(std::wstring_view text) {
    text = Trimmed(text);
    Date d;
    if (size_t dash = text.find(L'-'); dash != std::wstring_view::npos) {
        const size_t second = text.find(L'-', dash + 1);
        if (second == std::wstring_view::npos) return std::nullopt;
        auto y = Number(text.substr(0, dash), 4, 4),
             m = Number(text.substr(dash + 1, second - dash - 1), 1, 2),
             dd = Number(text.substr(second + 1), 1, 2);
        if (!y || !m || !dd) return std::nullopt;
        d = {*y, *m, *dd};
    } else if (size_t slash = text.find(L'/'); slash != std::wstring_view::npos) {
        const size_t second = text.find(L'/', slash + 1);
        if (second == std::wstring_view::npos) return std::nullopt;
        auto m = Number(text.substr(0, slash), 1, 2),
             dd = Number(text.substr(slash + 1, second - slash - 1), 1, 2),
             y = Number(text.substr(second + 1), 4, 4);
        if (!y || !m || !dd) return std::nullopt;
        d = {*y, *m, *dd};
    } else if (size_t comma = text.find(L','); comma != std::wstring_view::npos) {
        // "Tuesday, 08 December 2026"
        std::wstring_view rest = Trimmed(text.substr(comma + 1));
        const size_t a = rest.find(L' '), b = rest.rfind(L' ');
        if (a == std::wstring_view::npos || a == b) return std::nullopt;
        auto dd = Number(rest.substr(0, a), 1, 2), y = Number(rest.substr(b + 1), 4, 4);
        std::wstring_view month = Trimmed(rest.substr(a + 1, b - a - 1));
        int m = 0;
        for (int i = 0; i < 12; ++i)
            if (month.size() == std::wcslen(kMonths[i]) &&
                _wcsnicmp(month.data(), kMonths[i], month.size()) == 0)
                m = i + 1;
        if (!dd || !y || m == 0) return std::nullopt;
        d = {*y, m, *dd};
    } else {
        return std::nullopt;
    }
    if (!Valid(d)) return std::nullopt;
    return d;
}

namespace {

class DateTimeObject : public ClrObject {
public:
    DateTimeObject(std::shared_ptr<Runtime> runtime, Date date)
        : ClrObject(std::move(runtime), L"System.DateTime"), date_(date) {
        AddProperty(L"Year", [this] { return ov::Variant::Int(date_.year); });
        AddProperty(L"Month", [this] { return ov::Variant::Int(date_.month); });
        AddProperty(L"Day", [this] { return ov::Variant::Int(date_.day); });
        AddProperty(L"DayOfWeek", [this] {
            return Box(SharedRuntime(), L"System.DayOfWeek", ov::Variant::String(kDays[date_.DayOfWeek()]));
        });
        AddProperty(L"Date", [this] { return DateValue(*this, date_); });
        AddProperty(L"OleValue", [this] {
            SYSTEMTIME st{};
            st.wYear = static_cast<WORD>(date_.year);
            st.wMonth = static_cast<WORD>(date_.month);
            st.wDay = static_cast<WORD>(date_.day);
            ov::Variant v;
            v.vt = VT_DATE;
            SystemTimeToVariantTime(&st, &v.date);
            return v;
        });
        AddMethod(L"ToString", 0, [this](const Args&) { return Str(date_.ShortText() + L" 00:00:00"); });
        AddMethod(L"ToShortDateString", 0, [this](const Args&) { return Str(date_.ShortText()); });
        SetDefaultMember(L"OleValue");
    }
    Date Value() const noexcept { return date_; }

private:
    Date date_;
};

} // namespace

ov::Variant DateValue(const ClrObject& owner, Date date) {
    ov::ComPtr<DateTimeObject> object = ov::Create<DateTimeObject>(owner.SharedRuntime(), date);
    return ClrObject::Obj(object.Get());
}

ov::Variant DateValue(const ClrObject& owner, const std::optional<Date>& date) {
    return date ? DateValue(owner, *date) : ClrObject::Obj(nullptr);
}

std::optional<Date> DateArgument(const VARIANT& v) {
    if (IsNull(v)) return std::nullopt;
    if (v.vt == VT_DATE) {
        SYSTEMTIME st{};
        if (!VariantTimeToSystemTime(v.date, &st)) throw ov::ComError(DISP_E_TYPEMISMATCH);
        return Date{st.wYear, st.wMonth, st.wDay};
    }
    if (v.vt == VT_DISPATCH || v.vt == VT_UNKNOWN) {
        ov::ComPtr<ClrObject> object = ObjectOf(v);
        if (auto* date = dynamic_cast<DateTimeObject*>(object.Get())) return date->Value();
        throw ov::ComError(DISP_E_TYPEMISMATCH);
    }
    std::optional<Date> date = ParseDate(TextOf(v));
    if (!date) throw ov::ComError(DISP_E_TYPEMISMATCH);
    return date;
}

// --- CalendarDayButton ----------------------------------------------------------------------------------

CalendarDayButton::CalendarDayButton(Application& app, std::wstring className, std::wstring name,
                                     Calendar& owner)
    : ContentControl(app, std::move(className), std::move(name)), owner_(&owner) {
    AddProperty(L"DataContext", [this] { return DateValue(*this, date_); });
    AddProperty(L"IsToday", [this] { return ov::Variant::Bool(today_); });
    AddProperty(L"IsSelected", [this] { return ov::Variant::Bool(selected_); });
    AddProperty(L"IsInactive", [this] { return ov::Variant::Bool(inactive_); });
    AddProperty(L"IsBlackedOut", [] { return ov::Variant::Bool(false); });
    // A day button takes no focus from a click (the calendar item keeps it).
    SetFocusable(false);
}

void CalendarDayButton::Show(std::optional<Date> date, bool inactive, bool today, bool selected,
                             bool inRange) {
    date_ = date;
    inactive_ = inactive;
    today_ = today;
    selected_ = selected;
    // The same text keeps its element: a press on it must find it again at the release.
    const std::wstring text = date ? std::to_wstring(date->day) : std::wstring();
    if (ContentText() != text || GetContent().Empty()) SetContent(text);
    SetEnabled(date && inRange);
    SetVisibility(date && inRange ? Visibility::Visible : Visibility::Hidden);
}

void CalendarDayButton::OnMouseDown(MouseEvent& e) {
    if (e.button != MouseButton::Left || !date_) return;
    e.handled = true;
    pressed_ = true;
    owner_->DayPressed(*date_, e.shift);
}

void CalendarDayButton::OnMouseUp(MouseEvent& e) {
    if (e.button != MouseButton::Left || !date_) return;
    e.handled = true;
    if (!pressed_) return;
    pressed_ = false;
    owner_->DayClicked(*date_);
}

// --- Calendar -------------------------------------------------------------------------------------------

Calendar::Calendar(Application& app, std::wstring className, std::wstring name)
    : Control(app, std::move(className), std::move(name)), display_(Date::Today()) {
    AddProperty(
        L"SelectedDate", [this] { return DateValue(*this, selected_); },
        [this](const VARIANT& v) { SetSelectedDate(DateArgument(v)); });
    ov::ComPtr<ClrObject> dates = MakeCollection(
        *this, L"System.Windows.Controls.SelectedDatesCollection", [this] { return dates_.size(); },
        [this](size_t i) { return DateValue(*this, dates_[i]); });
    AddProperty(L"SelectedDates", [dates] { return Obj(dates.Get()); });
    AddProperty(
        L"DisplayDate", [this] { return DateValue(*this, display_); },
        [this](const VARIANT& v) {
            std::optional<Date> date = DateArgument(v);
            if (!date) throw ov::ComError(DISP_E_TYPEMISMATCH);
            SetDisplayDate(*date);
        });
    AddProperty(
        L"DisplayDateStart", [this] { return DateValue(*this, start_); },
        [this](const VARIANT& v) { SetDisplayDateStart(DateArgument(v)); });
    AddProperty(
        L"DisplayDateEnd", [this] { return DateValue(*this, end_); },
        [this](const VARIANT& v) { SetDisplayDateEnd(DateArgument(v)); });
    AddProperty(L"DisplayMode", [this] {
        return Box(SharedRuntime(), L"System.Windows.Controls.CalendarMode",
                   ov::Variant::String(kCalendarModes[displayMode_]));
    });
    AddProperty(L"SelectionMode", [this] {
        return Box(SharedRuntime(), L"System.Windows.Controls.CalendarSelectionMode",
                   ov::Variant::String(kCalendarSelectionModes[static_cast<int>(mode_)]));
    });
    AddProperty(L"FirstDayOfWeek", [this] {
        return Box(SharedRuntime(), L"System.DayOfWeek", ov::Variant::String(kDays[firstDay_]));
    });
    AddProperty(
        L"IsTodayHighlighted", [this] { return ov::Variant::Bool(todayHighlighted_); },
        [this](const VARIANT& v) { SetTodayHighlighted(BoolOf(v)); });
}

void Calendar::OnApplyTemplate() {
    auto& root = MakePart<StackPanel>(*this, L"System.Windows.Controls.StackPanel", L"PART_Root");
    auto& item =
        MakePart<Control>(root, L"System.Windows.Controls.Primitives.CalendarItem", L"PART_CalendarItem");
    auto& grid = MakePart<Grid>(item, L"System.Windows.Controls.Grid", L"PART_Root");
    auto& outer = MakePart<Border>(grid, L"System.Windows.Controls.Border", L"");
    outer.padding = {1, 1, 1, 1};
    auto& inner = MakePart<Border>(outer, L"System.Windows.Controls.Border", L"");
    inner.padding = {2, 2, 2, 2};
    auto& layout = MakePart<Grid>(inner, L"System.Windows.Controls.Grid", L"");
    layout.rows = {Auto, -1};
    layout.columns = {Auto, Auto, Auto};
    auto makeButton = [&](const wchar_t* partName, int column) -> Button& {
        auto& button = MakePart<Button>(layout, L"System.Windows.Controls.Button", partName);
        button.Layout().column = column;
        button.SetFocusable(false);
        return button;
    };
    auto& previous = makeButton(L"PART_PreviousButton", 0);
    previous.Layout().width = 28;
    previous.Layout().height = 20;
    previous.SetClickHandler([this](ButtonBase&) { SetDisplayDate(display_.AddMonths(-1)); });
    auto& header = makeButton(L"PART_HeaderButton", 1);
    header.Layout().height = 20;
    auto& next = makeButton(L"PART_NextButton", 2);
    next.Layout().width = 28;
    next.Layout().height = 20;
    next.SetClickHandler([this](ButtonBase&) { SetDisplayDate(display_.AddMonths(1)); });
    header_ = &header;
    previous_ = &previous;
    next_ = &next;
    auto& month = MakePart<Grid>(layout, L"System.Windows.Controls.Grid", L"PART_MonthView");
    month.Layout().row = 1;
    month.Layout().columnSpan = 3;
    month.Layout().margin = {6, -1, 6, 6};
    month.rows.assign(7, Auto);
    month.columns.assign(7, Auto);
    for (int i = 0; i < 7; ++i) {
        auto& title = MakePart<ContentControl>(month, L"System.Windows.Controls.ContentControl", L"");
        title.Layout().column = i;
        title.Layout().width = 24;
        title.Layout().height = 16;
        title.SetFocusable(false);
        titles_.push_back(&title);
    }
    for (int i = 0; i < 42; ++i) {
        auto& day = MakePart<CalendarDayButton>(
            month, L"System.Windows.Controls.Primitives.CalendarDayButton", L"", *this);
        day.Layout().row = 1 + i / 7;
        day.Layout().column = i % 7;
        days_.push_back(&day);
    }
    auto& year = MakePart<Grid>(layout, L"System.Windows.Controls.Grid", L"PART_YearView");
    year.Layout().row = 1;
    year.Layout().columnSpan = 3;
    year.SetVisibility(Visibility::Hidden);
    auto& disabled =
        MakePart<FrameworkElement>(grid, L"System.Windows.Shapes.Rectangle", L"PART_DisabledVisual");
    disabled.SetVisibility(Visibility::Collapsed);
    Refresh();
}

bool Calendar::InRange(Date date) const {
    return (!start_ || date >= *start_) && (!end_ || date <= *end_);
}

void Calendar::Refresh() {
    if (!header_) return;
    header_->SetContent(FourDigits(display_.year) + L" " + kMonths[display_.month - 1]);
    for (int i = 0; i < 7; ++i)
        titles_[static_cast<size_t>(i)]->SetContent(kShortestDays[(firstDay_ + i) % 7]);
    const Date first = display_.FirstOfMonth();
    int before = (first.DayOfWeek() - firstDay_ + 7) % 7;
    if (before == 0) before = 7;
    const Date today = Date::Today();
    for (size_t i = 0; i < days_.size(); ++i) {
        const Date date = first.AddDays(static_cast<int>(i) - before);
        bool selected = false;
        for (const Date& d : dates_)
            selected |= d == date;
        days_[i]->Show(date, date.year != display_.year || date.month != display_.month, date == today,
                       selected, InRange(date));
    }
    previous_->SetEnabled(!start_ || *start_ < first);
    next_->SetEnabled(!end_ || *end_ >= display_.AddMonths(1));
    InvalidateLayout();
}

void Calendar::Changed() {
    selected_ = dates_.empty() ? std::nullopt : std::optional<Date>(dates_.front());
    Refresh();
    if (onSelectionChanged) onSelectionChanged();
}

void Calendar::SetSelectedDate(std::optional<Date> date) {
    if (mode_ == Selection::None && date)
        throw InvalidOperation(L"The SelectedDate property cannot be set when the selection mode is None.");
    if (date && !InRange(*date)) throw ArgumentOutOfRange(L"d", L"SelectedDate value is not valid.");
    dates_.clear();
    if (date) dates_.push_back(*date);
    if (date) last_ = date;
    // A date of another month brings its month into view.
    if (date && (date->year != display_.year || date->month != display_.month)) display_ = *date;
    Changed();
}

void Calendar::SetDisplayDate(Date date) {
    if (start_ && date < *start_) date = *start_;
    if (end_ && date > *end_) date = *end_;
    display_ = date;
    Refresh();
}

void Calendar::SetDisplayDateStart(std::optional<Date> date) {
    start_ = date;
    if (start_ && end_ && *end_ < *start_) end_ = start_;
    SetDisplayDate(display_);
}

void Calendar::SetDisplayDateEnd(std::optional<Date> date) {
    end_ = date;
    if (start_ && end_ && *end_ < *start_) end_ = start_;
    SetDisplayDate(display_);
}

void Calendar::SetSelectionMode(Selection mode) {
    mode_ = mode;
    dates_.clear();
    Changed();
}

void Calendar::SetFirstDayOfWeek(int day) {
    firstDay_ = day;
    Refresh();
}

void Calendar::SetTodayHighlighted(bool highlighted) {
    todayHighlighted_ = highlighted;
    Refresh();
}

void Calendar::Toggle(Date date) {
    if (std::erase(dates_, date) == 0) dates_.push_back(date);
}

void Calendar::SelectRange(Date from, Date to) {
    if (to < from) std::swap(from, to);
    for (Date d = from; d <= to; d = d.AddDays(1))
        if (std::find(dates_.begin(), dates_.end(), d) == dates_.end()) dates_.push_back(d);
}

void Calendar::DayPressed(Date date, ULONG shiftState) {
    const bool ctrl = (shiftState & shift::Ctrl) != 0, range = (shiftState & shift::Shift) != 0;
    switch (mode_) {
    case Selection::None:
        return;
    case Selection::SingleDate:
        if (ctrl) {
            Toggle(date);
            // Single: a toggled date replaces the one before.
            if (dates_.size() > 1) dates_.erase(dates_.begin());
        } else {
            dates_.assign(1, date);
        }
        break;
    case Selection::SingleRange:
        dates_.clear();
        if (range && last_)
            SelectRange(*last_, date);
        else
            dates_.push_back(date);
        break;
    case Selection::MultipleRange:
        if (!ctrl) dates_.clear();
        if (range && last_)
            SelectRange(*last_, date);
        else if (ctrl)
            Toggle(date);
        else
            dates_.push_back(date);
        break;
    }
    if (!range) last_ = date;
    Changed();
}

void Calendar::DayClicked(Date date) {
    if (date.year != display_.year || date.month != display_.month) SetDisplayDate(date);
    if (onDayClicked) onDayClicked(date);
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {

Date ToDate(std::wstring_view value) {
    std::optional<Date> date = ParseDate(value);
    if (!date) throw ValueError{L"a date expected (yyyy-MM-dd or MM/dd/yyyy)"};
    return *date;
}

namespace {

void SetSelected(Node& n, std::wstring_view v) {
    try {
        As<Calendar>(n).SetSelectedDate(ToDate(v));
    } catch (const ClrException& e) {
        throw ValueError{e.description};
    }
}

} // namespace

std::vector<Type> CalendarTypes() {
    return {
        {.name = L"Calendar",
         .className = L"System.Windows.Controls.Calendar",
         .base = L"Control",
         .make = &Make<Calendar>,
         .properties =
             {{L"SelectedDate", &SetSelected},
              {L"DisplayDate",
               [](Node& n, std::wstring_view v) { As<Calendar>(n).SetDisplayDate(ToDate(v)); }},
              {L"DisplayDateStart",
               [](Node& n, std::wstring_view v) { As<Calendar>(n).SetDisplayDateStart(ToDate(v)); }},
              {L"DisplayDateEnd",
               [](Node& n, std::wstring_view v) { As<Calendar>(n).SetDisplayDateEnd(ToDate(v)); }},
              {L"DisplayMode",
               [](Node& n, std::wstring_view v) {
                   As<Calendar>(n).SetDisplayMode(static_cast<int>(EnumValue(v, kCalendarModes)));
               }},
              {L"SelectionMode",
               [](Node& n, std::wstring_view v) {
                   As<Calendar>(n).SetSelectionMode(
                       static_cast<Calendar::Selection>(EnumValue(v, kCalendarSelectionModes)));
               }},
              {L"FirstDayOfWeek",
               [](Node& n, std::wstring_view v) {
                   As<Calendar>(n).SetFirstDayOfWeek(static_cast<int>(EnumValue(v, kDays)));
               }},
              {L"IsTodayHighlighted",
               [](Node& n, std::wstring_view v) { As<Calendar>(n).SetTodayHighlighted(ToBool(v)); }}}},
    };
}

} // namespace xaml

} // namespace wpfsim
