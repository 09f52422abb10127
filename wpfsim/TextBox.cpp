#include "TextBox.h"

#include "Border.h"
#include "XamlSchema.h"

#include <algorithm>

namespace wpfsim {

// --- TextBox --------------------------------------------------------------------------------------------

namespace {
// .NET's ArgumentException of a negative MaxLength.
ClrException InvalidMaxLength(LONG value) {
    return {L"WindowsBase", 0,
            L"'" + std::to_wstring(value) + L"' is not a valid value for property 'MaxLength'.",
            static_cast<SCODE>(0x80070057)};
}

ScrollViewer& MakeContentHost(Element& control) {
    auto& border = control.MakePart<Border>(control, L"System.Windows.Controls.Border", L"border");
    border.padding = {2, 2, 2, 2};
    auto& viewer =
        control.MakePart<ScrollViewer>(border, L"System.Windows.Controls.ScrollViewer", L"PART_ContentHost");
    viewer.SetFocusable(false);
    viewer.SetBarVisibility(false, ScrollViewer::BarVisibility::Hidden);
    viewer.SetBarVisibility(true, ScrollViewer::BarVisibility::Hidden);
    return viewer;
}
} // namespace

TextBox::TextBox(Application& app, std::wstring className, std::wstring name)
    : Control(app, std::move(className), std::move(name)) {
    AddProperty(
        L"Text", [this] { return Str(text_); }, [this](const VARIANT& v) { SetText(TextOf(v)); });
    AddProperty(L"ScrollViewer", [this] { return Obj(viewer_); });
    AddProperty(
        L"MaxLength", [this] { return ov::Variant::Int(maxLength_); },
        [this](const VARIANT& v) { SetMaxLength(IntOf(v)); });
    AddProperty(
        L"SelectionStart", [this] { return ov::Variant::Int(selectionStart_); },
        [this](const VARIANT& v) {
            const LONG start = IntOf(v);
            if (start < 0) throw ArgumentOutOfRange(L"value");
            Select(start, selectionLength_);
        });
    AddProperty(
        L"SelectionLength", [this] { return ov::Variant::Int(selectionLength_); },
        [this](const VARIANT& v) {
            const LONG length = IntOf(v);
            if (length < 0) throw ArgumentOutOfRange(L"value");
            Select(selectionStart_, length);
        });
    AddProperty(
        L"SelectedText", [this] { return Str(SelectedText()); },
        [this](const VARIANT& v) { SetSelectedText(TextOf(v)); });
    AddMethod(L"Select", 2, [this](const Args& a) {
        const LONG start = IntOf(a[0]), length = IntOf(a[1]);
        if (start < 0) throw ArgumentOutOfRange(L"start");
        if (length < 0) throw ArgumentOutOfRange(L"length");
        Select(start, length);
        return ov::Variant();
    });
}

void TextBox::OnApplyTemplate() {
    viewer_ = &MakeContentHost(*this);
    view_ = &MakeDetachedPart<TextBlock>(L"System.Windows.Controls.TextBoxView", L"");
    viewer_->SetContentElement(view_);
}

void TextBox::SetText(std::wstring text) {
    text_ = std::move(text);
    selectionStart_ = selectionLength_ = 0;
    if (view_) view_->SetText(text_);
    InvalidateLayout();
}

void TextBox::SetMaxLength(LONG maxLength) {
    if (maxLength < 0) throw InvalidMaxLength(maxLength);
    maxLength_ = maxLength;
}

void TextBox::Select(LONG start, LONG length) {
    const LONG size = static_cast<LONG>(text_.size());
    selectionStart_ = std::min(start, size);
    selectionLength_ = std::min(length, size - selectionStart_);
}

void TextBox::SetSelectedText(const std::wstring& text) {
    text_.replace(selectionStart_, selectionLength_, text);
    selectionLength_ = static_cast<LONG>(text.size());
    if (view_) view_->SetText(text_);
    InvalidateLayout();
}

Size TextBox::MeasureOverride(Size available) {
    Size s = Control::MeasureOverride(available);
    return {std::max(s.width, 120.0), std::max(s.height, 22.0)};
}

PasswordBox::PasswordBox(Application& app, std::wstring className, std::wstring name)
    : Control(app, std::move(className), std::move(name)) {
    AddProperty(
        L"Password", [this] { return Str(password_); }, [this](const VARIANT& v) { SetPassword(TextOf(v)); });
    // A System.Char reaches COM as an unsigned 16-bit integer.
    AddProperty(
        L"PasswordChar",
        [this] {
            ov::Variant c;
            c.vt = VT_UI2;
            c.uiVal = passwordChar_;
            return c;
        },
        [this](const VARIANT& v) { passwordChar_ = static_cast<wchar_t>(IntOf(v)); });
    AddProperty(
        L"MaxLength", [this] { return ov::Variant::Int(maxLength_); },
        [this](const VARIANT& v) { SetMaxLength(IntOf(v)); });
    AddProperty(L"ScrollViewer", [this] { return Obj(viewer_); });
}

void PasswordBox::SetMaxLength(LONG maxLength) {
    if (maxLength < 0) throw InvalidMaxLength(maxLength);
    maxLength_ = maxLength;
}

void PasswordBox::OnApplyTemplate() {
    viewer_ = &MakeContentHost(*this);
}

Size PasswordBox::MeasureOverride(Size available) {
    Size s = Control::MeasureOverride(available);
    return {std::max(s.width, 120.0), std::max(s.height, 22.0)};
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {

std::vector<Type> TextBoxTypes() {
    return {
        {.name = L"TextBox",
         .className = L"System.Windows.Controls.TextBox",
         .base = L"Control",
         .make = &Make<TextBox>,
         .properties = {{L"Text",
                         [](Node& n, std::wstring_view v) { As<TextBox>(n).SetText(std::wstring(v)); }},
                        {L"MaxLength",
                         [](Node& n, std::wstring_view v) { As<TextBox>(n).SetMaxLength(ToInt(v)); }},
                        Cosmetic(L"TextWrapping"),
                        Cosmetic(L"IsReadOnly"),
                        Cosmetic(L"AcceptsReturn")},
         .content = Content::Text,
         .textProperty = L"Text"},
        {.name = L"PasswordBox",
         .className = L"System.Windows.Controls.PasswordBox",
         .base = L"Control",
         .make = &Make<PasswordBox>,
         .properties = {{L"Password",
                         [](Node& n, std::wstring_view v) {
                             As<PasswordBox>(n).SetPassword(std::wstring(v));
                         }},
                        {L"PasswordChar",
                         [](Node& n, std::wstring_view v) {
                             if (v.size() != 1) throw ValueError{L"one character expected"};
                             As<PasswordBox>(n).SetPasswordChar(v[0]);
                         }},
                        {L"MaxLength",
                         [](Node& n, std::wstring_view v) { As<PasswordBox>(n).SetMaxLength(ToInt(v)); }}}},
    };
}

} // namespace xaml

} // namespace wpfsim
