// The status bar of the simulated application, as WPF builds it:
//
//   StatusBar      an ItemsControl (no focus of its own) whose items are StatusBarItems and Separators, each
//                  its own container; any other element, and every data item, gets a generated StatusBarItem
//                  showing it as its content (the element stays the status bar's logical child and item).
//                  Template (Aero2): a Border holding an ItemsPresenter whose panel is a DockPanel: items
//                  dock left unless their DockPanel.Dock says otherwise, the last one fills the rest.
//   StatusBarItem  a ContentControl, "Padding" 3 by default; template: a Border (the Padding) holding a
//                  ContentPresenter, the content left and centred vertically
#pragma once

#include "Items.h"

namespace wpfsim {

class StatusBarItem : public ContentControl {
public:
    StatusBarItem(Application& app, std::wstring className, std::wstring name);

protected:
    void OnApplyTemplate() override;
    void ArrangeOverride(Rect inner) override;
};

class StatusBar : public ItemsControl {
public:
    StatusBar(Application& app, std::wstring className, std::wstring name);

protected:
    void OnApplyTemplate() override;
    bool IsItemItsOwnContainer(const Element& element) const override;
    ov::ComPtr<Element> MakeContainer(const Item& item) override;
    void ClearContainer(Element& container) override;
};

} // namespace wpfsim
