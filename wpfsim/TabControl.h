// The tab control of the simulated application and its tabs, as WPF builds them.
#pragma once

#include "ListBox.h"

#include <functional>

namespace wpfsim {

// "SelectedIndex" as WPF's Selector takes it: -1 clears the selection, an index below -1 is refused
// (ArgumentException), an index at or beyond the count is coerced away (the selection stays). The first
// tab added is selected. Only the selected page's content is in the visual tree (PART_SelectedContentHost).
class TabControl : public ItemsControl {
public:
    TabControl(Application& app, std::wstring className, std::wstring name);
    long SelectedIndex() const noexcept { return selected_; }
    void Select(long index);
    // The application's SelectionChanged handler, called with the index selected before; it may select
    // again (to refuse a page, as applications do).
    void SetSelectionChangedHandler(std::function<void(TabControl&, long previous)> handler) {
        selectionChanged_ = std::move(handler);
    }

protected:
    void OnApplyTemplate() override;
    void PrepareContainer(Element& container, size_t index) override;
    void OnItemsChanged() override;

private:
    long selected_ = -1;
    ContentPresenter* content_ = nullptr;
    std::function<void(TabControl&, long)> selectionChanged_;
    bool notifying_ = false;
};

// "Header", "IsSelected" (get, put: selects or unselects it in its tab control), "Focus"() (a tab that takes
// the focus is selected). A left press on the header selects it.
class TabItem : public ItemContainer {
public:
    TabItem(Application& app, std::wstring className, std::wstring name);
    const wpfsim::Content& Header() const noexcept { return header_; }
    void SetHeader(std::wstring text);
    void SetHeaderElement(Element* element);
    std::wstring DisplayText() const override { return header_.Text(); }

protected:
    void OnApplyTemplate() override;
    void OnMouseDown(MouseEvent& e) override;

private:
    wpfsim::Content header_;
    ContentPresenter* headerPresenter_ = nullptr;
};

} // namespace wpfsim
