// The expander of the simulated application, as WPF builds it.
#pragma once

#include "ContentControl.h"

namespace wpfsim {

// "IsExpanded" (get, put) and "Header" (text or an element). The header is the toggle button
// "HeaderSite", which toggles the expander when it is clicked (ClickMode.Release, as a ToggleButton); the
// content is in "ExpandSite", Collapsed (so off screen, taking no room) while the expander is not expanded.
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
    void OnMouseDown(MouseEvent& e) override;
    void OnMouseUp(MouseEvent& e) override;

private:
    bool OnHeader(const MouseEvent& e) const;
    wpfsim::Content header_;
    bool expanded_ = false;
    bool pressed_ = false;
    Element* headerSite_ = nullptr;
    Element* site_ = nullptr;
    ContentPresenter* headerPresenter_ = nullptr;
};

} // namespace wpfsim
