// The tool tip of the simulated application: "System.Windows.Controls.ToolTip", a ContentControl ("Padding"
// 6,4 by default; "IsOpen" false, "HasDropShadow", "Placement" read and kept) that an element's "ToolTip"
// holds. An element's "ToolTip" (get, put) is its text, its element (a ToolTip, or any element, which WPF
// would wrap in a ToolTip when shown) or a null object; only elements that were given one have the member.
// A tool tip is never shown: the simulation's mouse does not rest, so no tool tip opens, and a ToolTip
// element stays outside every window's trees (no parent, no visual children until shown).
#pragma once

#include "ContentControl.h"

namespace wpfsim {

class ToolTip : public ContentControl {
public:
    ToolTip(Application& app, std::wstring className, std::wstring name);
};

// Gives the element its "ToolTip" (text, or an element), once: XAML sets a property once.
void SetToolTip(Element& owner, std::wstring text);
void SetToolTip(Element& owner, Element& tip);

} // namespace wpfsim
