// `OVHookX64 inspect [--visual] [--json] APP.xaml`: loads the module and the application as `run` does and
// prints the host's object tree, one line per host object, two spaces of indentation per level:
//
//   Process("controls")
//     Window("mainWindow")  (100, 100, 391, 174)
//       mainWindow  System.Windows.Window  100 ctrlWPFBaseCtrl  (100, 100, 391, 174)  App.Find("mainWindow")
//         stack  System.Windows.Controls.StackPanel  50 ctrlWPFActTransparent  (108, 131, 375, 135)
//           wrap  System.Windows.Controls.WrapPanel  50 ctrlWPFActTransparent  (108, 155, 375, 23)
//             ok  System.Windows.Controls.Button  1 ctrlWPFButton  (108, 155, 75, 23)  App.Find("ok")
//
// An element's line holds, two spaces apart: its name (or "-"), its .NET class, the kind the module's
// hook object gives it (the value and its name in the module's WPFControlType, "-" when the module did not
// take the element), its screen rectangle (left, top, width, height) and, when App.Find of its name gives
// a script this element's automation object, that statement. The process and the top-level window objects
// carry the host's own names for them.
//
// Template parts (elements that a control's template made) are left out, with everything below them that
// is a template part too; what the application declared inside them moves up to the nearest object shown.
// --visual shows every host object, the template parts marked "[template part]". --json writes the same
// tree as one JSON document (UTF-8 when redirected): {"application", "visual", "tree"}, each object with
// "object" (process, top-level window, window, element), "name", "class", "kind" ({"value", "name"}),
// "rect" ({"left", "top", "width", "height"}), "statement", "templatePart" and "children"; what an object
// lacks is null.
//
// Exit codes: 0 the tree was printed, 2 wrong command line, 3 the application or the module could not be
// loaded (one line on the error output says why).
#pragma once

#include "CommandLine.h"

#include <string>

namespace wpfsim {
class Application;
}

namespace ovhost {

class Host;

int RunInspect(const Invocation& invocation);

// The picture (picture/Picture.h) of the attached application, its controls labelled with the names and
// kinds the inspector gives them. Throws ov::ComError when the host's object tree cannot be read.
std::wstring PictureOf(Host& host, wpfsim::Application& app);

} // namespace ovhost
