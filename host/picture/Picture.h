// A picture of what a script drives, as SVG: the application's shown top-level windows (its Windows and
// the windows of open popups) as the layout placed them, in screen coordinates relative to the first
// window's top-left corner (the picture is that window's size unless a popup reaches beyond it). Drawn:
// each window's frame and title bar with its title; every shown element's rectangle, in the look of its
// kind (buttons, text fields, check marks, selected items, scroll bars and thumbs, tabs, menus); the texts
// where the elements show them (what a scroll viewer has scrolled away is clipped at its viewport; a
// password as dots); and above all that, each control a script reaches outlined, labelled with its name
// and kind. Texts are escaped for XML; characters XML cannot hold show as U+FFFD.
#pragma once

#include <map>
#include <string>

namespace wpfsim {
class Application;
class Element;
} // namespace wpfsim

namespace ovhost {

struct PictureLabel {
    std::wstring name, kind;
};

std::wstring DrawPicture(wpfsim::Application& app,
                         const std::map<const wpfsim::Element*, PictureLabel>& labels);
// Writes the picture as UTF-8 (no byte order mark); false when the file cannot be written.
bool WritePicture(const std::wstring& path, const std::wstring& svg);

} // namespace ovhost
