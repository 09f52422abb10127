#include "DatePicker.h"

#include "Border.h"
#include "Buttons.h"
#include "ClrValue.h"
#include "XamlSchema.h"

namespace wpfsim {

namespace {
constexpr const wchar_t* kFormats[] = {L"Long", L"Short"};
constexpr const wchar_t* kWeekDays[] = {L"Sunday",   L"Monday", L"Tuesday", L"Wednesday",
                                        L"Thursday", L"Friday", L"Saturday"};
} // namespace

void DatePickerTextBox::OnApplyTemplate() {
    TextBox::OnApplyTemplate();
    auto& watermark =
        MakePart<ContentControl>(*this, L"System.Windows.Controls.ContentControl", L"PART_Watermark");
    watermark.SetHitTestVisible(false);
    watermark.SetFocusable(false);
    watermark_ = &watermark;
}

void DatePickerTextBox::ShowWatermark(bool shown) {
    if (auto* watermark = dynamic_cast<ContentControl*>(watermark_)) {
        // The picker's watermark: WPF formats "Select a date" with the date pattern, which it does not name.
        watermark->SetContent(L"Select a date");
        watermark->SetVisibility(shown ? Visibility::Visible : Visibility::Collapsed);
    }
}

DatePicker::DatePicker(Application& app, std::wstring className, std::wstring name)
    : Control(app, std::move(className), std::move(name)) {
    calendar_ = app.Make<Calendar>(L"System.Windows.Controls.Calendar", L"");
    calendar_->onSelectionChanged = [this] { ShowText(); };
    calendar_->onDayClicked = [this](Date) {
        if (popup_) popup_->SetIsOpen(false);
    };
    AddProperty(
        L"SelectedDate", [this] { return DateValue(*this, SelectedDate()); },
        [this](const VARIANT& v) { SetSelectedDate(DateArgument(v)); });
    AddProperty(
        L"Text", [this] { return Str(Text()); }, [this](const VARIANT& v) { SetText(TextOf(v)); });
    // The calendar's, as the picker's own properties pass them on.
    AddProperty(
        L"DisplayDate", [this] { return DateValue(*this, calendar_->DisplayDate()); },
        [this](const VARIANT& v) {
            std::optional<Date> date = DateArgument(v);
            if (!date) throw ov::ComError(DISP_E_TYPEMISMATCH);
            calendar_->SetDisplayDate(*date);
        });
    AddProperty(
        L"DisplayDateStart", [this] { return DateValue(*this, calendar_->DisplayDateStart()); },
        [this](const VARIANT& v) { calendar_->SetDisplayDateStart(DateArgument(v)); });
    AddProperty(
        L"DisplayDateEnd", [this] { return DateValue(*this, calendar_->DisplayDateEnd()); },
        [this](const VARIANT& v) { calendar_->SetDisplayDateEnd(DateArgument(v)); });
    AddProperty(L"FirstDayOfWeek", [this] {
        return Box(SharedRuntime(), L"System.DayOfWeek",
                   ov::Variant::String(kWeekDays[calendar_->FirstDayOfWeek()]));
    });
    AddProperty(
        L"IsTodayHighlighted", [this] { return ov::Variant::Bool(calendar_->IsTodayHighlighted()); },
        [this](const VARIANT& v) { calendar_->SetTodayHighlighted(BoolOf(v)); });
    AddProperty(
        L"IsDropDownOpen", [this] { return ov::Variant::Bool(popup_ && popup_->IsOpen()); },
        [this](const VARIANT& v) {
            openOnLoad_.Set(*this, BoolOf(v), [this](bool open) {
                if (popup_) popup_->SetIsOpen(open);
            });
        });
    AddProperty(L"SelectedDateFormat", [this] {
        return Box(SharedRuntime(), L"System.Windows.Controls.DatePickerFormat",
                   ov::Variant::String(longFormat_ ? L"Long" : L"Short"));
    });
}

void DatePicker::OnApplyTemplate() {
    auto& border = MakePart<Border>(*this, L"System.Windows.Controls.Border", L"");
    border.padding = {2, 2, 2, 2};
    auto& root = MakePart<Grid>(border, L"System.Windows.Controls.Grid", L"PART_Root");
    root.columns = {-1, Auto};
    auto& button = MakePart<Button>(root, L"System.Windows.Controls.Button", L"PART_Button");
    button.Layout().column = 1;
    button.Layout().width = 20;
    button.Layout().height = 17;
    button.Layout().margin = {3, 0, 3, 0};
    button.SetFocusable(false);
    button.SetClickHandler([this](ButtonBase&) {
        if (popup_) popup_->SetIsOpen(!popup_->IsOpen());
    });
    textBox_ = &MakePart<DatePickerTextBox>(root, L"System.Windows.Controls.Primitives.DatePickerTextBox",
                                            L"PART_TextBox");
    auto& disabled = MakePart<Grid>(root, L"System.Windows.Controls.Grid", L"PART_DisabledVisual");
    disabled.Layout().columnSpan = 2;
    disabled.SetHitTestVisible(false);
    popup_ = &MakePart<Popup>(disabled, L"System.Windows.Controls.Primitives.Popup", L"PART_Popup");
    popup_->SetPlacementTarget(this);
    popup_->SetChild(calendar_.Get());
    ShowText();
}

std::wstring DatePicker::Text() const {
    const std::optional<Date>& date = SelectedDate();
    if (!date) return {};
    return longFormat_ ? date->LongText() : date->ShortText();
}

void DatePicker::SetText(const std::wstring& text) {
    if (text.empty()) return SetSelectedDate(std::nullopt);
    if (std::optional<Date> date = ParseDate(text)) return SetSelectedDate(*date);
    ShowText();
}

void DatePicker::SetLongFormat(bool longFormat) {
    longFormat_ = longFormat;
    ShowText();
}

void DatePicker::ShowText() {
    if (!textBox_) return;
    textBox_->SetText(Text());
    textBox_->ShowWatermark(Text().empty());
    InvalidateLayout();
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {

Date ToDate(std::wstring_view value);

std::vector<Type> DatePickerTypes() {
    return {
        {.name = L"DatePicker",
         .className = L"System.Windows.Controls.DatePicker",
         .base = L"Control",
         .make = &Make<DatePicker>,
         .properties = {{L"SelectedDate",
                         [](Node& n, std::wstring_view v) {
                             try {
                                 As<DatePicker>(n).SetSelectedDate(ToDate(v));
                             } catch (const ClrException& e) {
                                 throw ValueError{e.description};
                             }
                         }},
                        {L"Text",
                         [](Node& n, std::wstring_view v) { As<DatePicker>(n).SetText(std::wstring(v)); }},
                        {L"DisplayDate",
                         [](Node& n, std::wstring_view v) {
                             As<DatePicker>(n).GetCalendar().SetDisplayDate(ToDate(v));
                         }},
                        {L"DisplayDateStart",
                         [](Node& n, std::wstring_view v) {
                             As<DatePicker>(n).GetCalendar().SetDisplayDateStart(ToDate(v));
                         }},
                        {L"DisplayDateEnd",
                         [](Node& n, std::wstring_view v) {
                             As<DatePicker>(n).GetCalendar().SetDisplayDateEnd(ToDate(v));
                         }},
                        {L"FirstDayOfWeek",
                         [](Node& n, std::wstring_view v) {
                             As<DatePicker>(n).GetCalendar().SetFirstDayOfWeek(
                                 static_cast<int>(EnumValue(v, kWeekDays)));
                         }},
                        {L"IsTodayHighlighted",
                         [](Node& n, std::wstring_view v) {
                             As<DatePicker>(n).GetCalendar().SetTodayHighlighted(ToBool(v));
                         }},
                        {L"SelectedDateFormat",
                         [](Node& n, std::wstring_view v) {
                             As<DatePicker>(n).SetLongFormat(EnumValue(v, kFormats) == 0);
                         }}}},
    };
}

} // namespace xaml

} // namespace wpfsim
