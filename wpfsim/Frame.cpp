#include "Frame.h"

#include "Border.h"
#include "XamlSchema.h"

namespace wpfsim {

Frame::Frame(Application& app, std::wstring className, std::wstring name)
    : ContentControl(app, std::move(className), std::move(name)) {
    AddProperty(
        L"Source", [this] { return source_ ? Str(*source_) : Obj(nullptr); },
        [this](const VARIANT& v) {
            if (IsNull(v))
                source_.reset();
            else
                source_ = TextOf(v);
        });
}

void Frame::OnApplyTemplate() {
    auto& border = MakePart<Border>(*this, L"System.Windows.Controls.Border", L"");
    SetPresenter(
        &MakePart<ContentPresenter>(border, L"System.Windows.Controls.ContentPresenter", L"PART_FrameCP"));
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {
namespace {
constexpr const wchar_t* kNavigationUIVisibilities[] = {L"Automatic", L"Visible", L"Hidden"};
}

std::vector<Type> FrameTypes() {
    return {
        {.name = L"Frame",
         .className = L"System.Windows.Controls.Frame",
         .base = L"ContentControl",
         .make = &Make<Frame>,
         .properties = {{L"Source",
                         [](Node& n, std::wstring_view v) {
                             // A relative or absolute URI: any text but a blank one.
                             if (Trim(v).empty()) throw ValueError{L"a URI expected"};
                             As<Frame>(n).SetSource(std::wstring(v));
                         }},
                        {L"NavigationUIVisibility", &check::OneOf<kNavigationUIVisibilities>}},
         .content = Content::Single,
         .textProperty = L"Content"},
    };
}

} // namespace xaml

} // namespace wpfsim
