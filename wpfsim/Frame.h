// The frame of the simulated application: "System.Windows.Controls.Frame", a ContentControl with "Source"
// (get, put: the address as given, or a null object). Template (Aero2, without navigation UI): a Border
// holding the ContentPresenter "PART_FrameCP". Navigation is left out: the frame shows no page of its Source
// (its "Content" stays as set), keeps no journal, and raises no Navigating or Navigated events.
#pragma once

#include "ContentControl.h"

#include <optional>

namespace wpfsim {

class Frame : public ContentControl {
public:
    Frame(Application& app, std::wstring className, std::wstring name);
    void SetSource(std::optional<std::wstring> source) { source_ = std::move(source); }

protected:
    void OnApplyTemplate() override;

private:
    std::optional<std::wstring> source_;
};

} // namespace wpfsim
