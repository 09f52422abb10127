// The label of the simulated application, as WPF builds it.
#pragma once

#include "ContentControl.h"

namespace wpfsim {

// "System.Windows.Controls.Label": a ContentControl whose text content shows through an AccessText ("_Name"
// shows "Name"; "Content" keeps the text as given), "Padding" 5 by default, and "Target" (get, put: the
// element that its access key focuses, or a null object). Template (Aero2): a Border holding a
// ContentPresenter that recognizes access keys. Pressing the access key is left out: the host sends no keys.
class Label : public ContentControl {
public:
    Label(Application& app, std::wstring className, std::wstring name);
    Element* Target() const noexcept { return target_.Get(); }
    void SetTarget(Element* target) noexcept { target_ = target; }
    std::wstring DisplayText() const override;

protected:
    void OnApplyTemplate() override;
    void ArrangeOverride(Rect inner) override;

private:
    ov::ComPtr<Element> target_; // a reference, as WPF's property holds one
};

} // namespace wpfsim
