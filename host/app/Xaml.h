// Reads an application described in WPF's own XAML (a subset) into a simulated application, with the
// platform's XML parser (XmlLite).
//
//   std::unique_ptr<wpfsim::Application> app = ovhost::LoadXaml(L"examples\\settings.xaml");
//
// The root is a Window in the presentation namespace, or a UserControl, which the reader shows in a Window
// of class System.Windows.Window titled with the control's class, sized to the control (its Width and
// Height, else its content's needs), as a designer shows it. Elements and attributes carry WPF's names
// (wpfsim/XamlSchema.h, each kind declared beside its class); x:Name and Name name an element, x:Class names
// the window's class. An element of a clr-namespace is a user class: namespace plus element name, with the
// behaviour of the WPF class that its attribute sim:Base (namespace urn:ovwpf-sim) names (without it: below).
// Namespaces that mc:Ignorable lists are skipped. Anything else unknown is an error with its line: nothing is
// silently dropped.
//
// A file the reader takes opens in WPF: every attribute value is read as WPF's converter and the property's
// own check read it (wpfsim/XamlSchema.h), also for the properties that the simulation does not show. The
// text is UTF-8 (or UTF-16, with its byte order mark or starting with '<'; a file that declares another
// encoding is the parser's alone): a byte that is no UTF-8, a lone surrogate in UTF-16, and a character XML
// forbids, raw or as a reference (&#0;, &#xD800;, &#xFFFE;, beyond U+10FFFF), are errors with their line and
// column; a reference beyond U+FFFF is the one character (a surrogate pair). A property is set once (by an
// attribute, a property element or the content); names are identifiers. Elements nest 256 levels deep at
// most, the root being the first. Attributes are checked for repeats in linear time: generated files with
// tens of thousands of them read fast. A truncated file is an error, never a loop.
//
// What WPF has beyond what the simulation declares is read by WPF's public surface (wpfsim/WpfSurface.h):
// an attribute of any WPF property of the element's class is read by the converter of its CLR type and
// then dropped (an attached property of the element's own class may omit its owner, Top="0" on a Canvas),
// except that values of plain types stay readable by name on the .NET object (TabIndex,
// WindowState) and AutomationProperties stay on the element for the host (App.Find, inspect). Property
// elements of WPF properties take text or WPF value objects (brushes, transforms, effects, command and
// input bindings, triggers with their storyboards), which are checked the same way and kept nowhere:
// transforms and effects change neither the layout nor the picture. Events are kept as the names of their
// handlers when the root has x:Class (the code-behind is not here, so they never run); loose XAML refuses
// them, as WPF does. An element, property or property element that WPF has and the simulation does not
// is "not supported", naming it; "unknown" is left for names that WPF does not have. A bare '&' is
// reported at its own line and column with the remedy.
//
// Resources, styles and bindings (XamlMarkup.h has the markup extension grammar):
//   - X.Resources of any element (entries, or one ResourceDictionary) holds Style, DataTemplate,
//     HierarchicalDataTemplate, ControlTemplate, ItemsPanelTemplate, SolidColorBrush, sys: values, x:Array,
//     objects of a clr-namespace, WPF's structures as elements (<Thickness>) and any other WPF object, read
//     as a value object and kept without effect; an entry needs x:Key, except a Style with TargetType and a
//     DataTemplate with DataType (a text DataType is an XML element's name).
//   - LoadXaml reads the window with its project: the project's App.xaml (or Application.xaml), in the
//     window's folder or above it up to the folder of the project file, gives the outermost dictionary
//     (Application.Resources). ResourceDictionary.Source and MergedDictionaries read the project's files
//     (relative to the including file, or "/", "/Assembly;component/" and "pack://application:,,," from the
//     project's folder); WPF's theme dictionaries are accepted without effect; other sources are "not
//     supported". Own entries hide merged ones; of merged dictionaries the later wins. An error in another
//     file carries its path (XamlError::file). Without an App.xaml, a compiled window's unknown
//     StaticResource keeps the default and adds a note, as the application's resources would hold it.
//   - {StaticResource} and {DynamicResource} are looked up where they are read, from the element up to the
//     window, then among the system's keys ({x:Static SystemColors.ControlBrushKey}): a StaticResource
//     defined later is WPF's error too; a DynamicResource is resolved once, and one not found keeps the
//     default. A resource of a class the property does not take is WPF's error. The key {x:Type} of a WPF
//     control that no dictionary here defines names the theme's default style (BasedOn, Style): the
//     element keeps its default look. {x:Static} knows
//     SystemColors, SystemFonts and SystemParameters; other static members (the project's, WPF's commands)
//     are accepted and not evaluated. {x:Type} names a WPF class or one of a clr-namespace.
//   - A Style applies at the end of its element (as WPF's initialization ends): Style="{StaticResource}",
//     or the implicit style of the element's exact class in scope, the element's own resources included.
//     WPF also styles elements read before an implicit style of an enclosing dictionary; the reader does
//     not. Setters apply base first (BasedOn), a value the element sets itself wins. Triggers, event setters
//     and Style.Resources are read and kept without effect.
//   - A DataTemplate or HierarchicalDataTemplate is read at load (its faults are the window's) and kept
//     with the namespaces and resources in scope where it stands. An items control's item template (its
//     ItemTemplate, else the implicit template of a data item's class, DataType) is made anew for every
//     container it generates, with the item as DataContext; a hierarchical one also gives a tree or menu
//     item its children (ItemsSource's path on the item) and their template. ItemTemplate and
//     DisplayMemberPath together are WPF's error. A ControlTemplate (its TargetType must fit the control)
//     replaces the default template of the kinds whose behaviour reads none of their parts (buttons, check
//     and radio buttons, Label, UserControl, StatusBarItem, ContentControl): its first ContentPresenter
//     shows the content. Its content is read there, with its faults at their lines; the control templates
//     of other kinds are never read (their Track, Popup, ItemsPresenter are the simulation's own). Other template properties (ContentTemplate, a column's
//     CellTemplate), the control templates of other kinds and ItemsPanelTemplate are read and kept
//     without effect: such a control keeps its default template (the module reads its parts), ItemsPanel
//     keeps the default panel.
//   - {Binding} is read once at the end of its element: its source is the inherited DataContext (set from
//     XAML data, a StaticResource or a path of the parent's), Source="{StaticResource}" or an element named
//     before it (ElementName); the value at load is the property's, a value the property refuses is dropped
//     and no source keeps the default (or FallbackValue), as WPF's loose XAML does. Nothing is updated
//     afterwards; RelativeSource, XPath, converters (looked up, never run) and TemplateBinding keep the
//     default. StringFormat places the value at {0} without its format. ItemsSource fills an items control
//     with the collection's items as data items.
//   - An element of a clr-namespace without sim:Base is a DataObject (wpfsim/DataObject.h) in a data position
//     (a resource, a DataContext, an x:Array, an item) and an empty user control of the project elsewhere
//     (its own XAML is not here; its own attributes are kept without effect).
//
// The reader only builds the tree (each element's kind applies its own template); the application lays
// itself out (wpfsim::Application::UpdateLayout) whenever something changed.
#pragma once

#include "wpfsim/Application.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ovhost {

// Why a description could not be read; line 0 when no line applies (a file that cannot be opened),
// column 0 when only the line is known (the XML parser's own failures).
struct XamlError {
    std::wstring message;
    unsigned line = 0;
    unsigned column = 0;
    // The file where it is, when it is another file of the project than the one read (App.xaml, a
    // dictionary).
    std::wstring file = {};
    // "line 12, column 5: unknown element 'Foo'", "line 12: ..." or the message alone.
    std::wstring ToString() const;
};

// The environment variable that forces the dispatcher mode of every application read (Immediate or
// Deferred; another value fails the reading).
inline constexpr const wchar_t* kDispatcherVariable = L"OVHOST_DISPATCHER";

// Throw XamlError. `notes`, when given, receives what was left out for want of the project's other files.
std::unique_ptr<wpfsim::Application> LoadXaml(const std::wstring& path,
                                              std::vector<std::wstring>* notes = nullptr);
std::unique_ptr<wpfsim::Application> ParseXaml(std::string_view utf8,
                                               std::vector<std::wstring>* notes = nullptr);

// The XML namespaces the reader knows.
namespace xamlns {
inline constexpr const wchar_t* Presentation = L"http://schemas.microsoft.com/winfx/2006/xaml/presentation";
inline constexpr const wchar_t* Xaml = L"http://schemas.microsoft.com/winfx/2006/xaml";
inline constexpr const wchar_t* Sim = L"urn:ovwpf-sim";
inline constexpr const wchar_t* Compatibility =
    L"http://schemas.openxmlformats.org/markup-compatibility/2006";
} // namespace xamlns

} // namespace ovhost
