// The user control of the simulated application: "System.Windows.Controls.UserControl", a ContentControl
// that takes no focus of its own (as WPF's: Focusable and IsTabStop false). Template (Aero2): a Border
// holding a ContentPresenter. A user control of its own class (x:Class) is the root of its XAML file; the
// reader then shows it in a Window as a designer does (see host/app/Xaml.h).
#pragma once

#include "ContentControl.h"

namespace wpfsim {

class UserControl : public ContentControl {
public:
    UserControl(Application& app, std::wstring className, std::wstring name);
};

} // namespace wpfsim
