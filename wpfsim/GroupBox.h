// The headered content controls of the simulated application, as WPF builds them:
//
//   HeaderedContentControl  a ContentControl with a "Header" (get, put: text, an element, or a null
//                           object); template: a StackPanel of the header's ContentPresenter and the
//                           content's
//   GroupBox                template (Aero2): a Grid of four columns (6, Auto, *, 6) and rows (Auto, Auto, *,
//                           6) holding two Borders (background and outline, from the second row down), the
//                           Border "Header" (Padding 3,1,3,0, first two rows of the second column) with the
//                           header's ContentPresenter (access keys recognized), and the content's
//                           ContentPresenter (third row, second and third columns, Margin the Padding)
#pragma once

#include "ContentControl.h"

namespace wpfsim {

class HeaderedContentControl : public ContentControl {
public:
    HeaderedContentControl(Application& app, std::wstring className, std::wstring name);
    const wpfsim::Content& Header() const noexcept { return header_; }
    void SetHeader(std::wstring header);
    void SetHeaderElement(Element* element);

protected:
    void OnApplyTemplate() override;
    void SetHeaderPresenter(ContentPresenter* presenter);

private:
    void ShowHeader();
    wpfsim::Content header_;
    ContentPresenter* headerPresenter_ = nullptr;
};

class GroupBox : public HeaderedContentControl {
public:
    using HeaderedContentControl::HeaderedContentControl;

protected:
    void OnApplyTemplate() override;
    Size MeasureOverride(Size available) override;

private:
    Element* content_ = nullptr;
};

} // namespace wpfsim
