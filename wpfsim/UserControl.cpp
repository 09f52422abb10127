#include "UserControl.h"

#include "XamlSchema.h"

namespace wpfsim {

UserControl::UserControl(Application& app, std::wstring className, std::wstring name)
    : ContentControl(app, std::move(className), std::move(name)) {
    SetFocusable(false);
}

// --- XAML ------------------------------------------------------------------------------------------------

namespace xaml {

std::vector<Type> UserControlTypes() {
    return {
        {.name = L"UserControl",
         .className = L"System.Windows.Controls.UserControl",
         .base = L"ContentControl",
         .make = &Make<UserControl>,
         .content = Content::Single,
         .textProperty = L"Content"},
    };
}

} // namespace xaml

} // namespace wpfsim
