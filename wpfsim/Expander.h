// The expander of the simulated application, as WPF builds it.
#pragma once

#include "ContentControl.h"

namespace wpfsim {

// "IsExpanded" (get, put) and "Header" (text or an element). Template (Aero2): a Border around a DockPanel of
// the ToggleButton "HeaderSite" (docked at the top, Margin 1, showing the header; checked while the expander
// is expanded, its Click toggles the expander: ClickMode Release, focusable) and the ContentPresenter
// "ExpandSite" with the content, Collapsed (so off screen, taking no room) while the expander is not
// expanded. The expander itself is focusable but no tab stop.
class Expander : public ContentControl {
public:
    Expander(Application& app, std::wstring className, std::wstring name);
    bool IsExpanded() const noexcept { return expanded_; }
    void SetExpanded(bool expanded);
    const wpfsim::Content& Header() const noexcept { return header_; }
    void SetHeader(std::wstring header);
    void SetHeaderElement(Element* element);
    std::wstring DisplayText() const override { return header_.Text(); }

protected:
    void OnApplyTemplate() override;

private:
    wpfsim::Content header_;
    bool expanded_ = false;
    class ToggleButton* headerSite_ = nullptr;
    Element* site_ = nullptr;
    ContentPresenter* headerPresenter_ = nullptr;
};

} // namespace wpfsim
