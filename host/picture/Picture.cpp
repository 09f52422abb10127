#include "Picture.h"

#include "wpfsim/Application.h"
#include "wpfsim/Border.h"
#include "wpfsim/Buttons.h"
#include "wpfsim/ComboBox.h"
#include "wpfsim/Expander.h"
#include "wpfsim/Items.h"
#include "wpfsim/ListBox.h"
#include "wpfsim/Menus.h"
#include "wpfsim/Popup.h"
#include "wpfsim/Ranges.h"
#include "wpfsim/TabControl.h"
#include "wpfsim/TextBlock.h"
#include "wpfsim/TextBox.h"
#include "wpfsim/ToolBar.h"
#include "wpfsim/TreeView.h"
#include "wpfsim/Window.h"

#include <algorithm>
#include <fstream>

namespace ovhost {
namespace {

using wpfsim::Element;

// The sizes the layout gives text: 16 units a line, 7 a character.
constexpr int kLine = 16;
constexpr int kCharWidth = 7;

// Text for XML: markup characters as references; what XML 1.0 cannot hold (control characters, lone
// surrogates) as U+FFFD.
std::wstring Xml(std::wstring_view text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        if (c == L'&')
            out += L"&amp;";
        else if (c == L'<')
            out += L"&lt;";
        else if (c == L'>')
            out += L"&gt;";
        else if (c == L'"')
            out += L"&quot;";
        else if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                 text[i + 1] <= 0xDFFF) {
            out += c;
            out += text[++i];
        } else if ((c < 0x20 && c != L'\t' && c != L'\n' && c != L'\r') || (c >= 0xD800 && c <= 0xDFFF) ||
                   c == 0xFFFE || c == 0xFFFF)
            out += L'\xFFFD';
        else
            out += c;
    }
    return out;
}

std::wstring ShortClass(const Element& e) {
    const std::wstring& name = e.ClassName();
    const size_t dot = name.find_last_of(L'.');
    return dot == std::wstring::npos ? name : name.substr(dot + 1);
}

template <class T> T* As(Element& e) {
    return dynamic_cast<T*>(&e);
}

bool Shown(const Element& e) {
    return e.GetVisibility() == wpfsim::Visibility::Visible;
}

// Whether the element or one below it that is shown has text of its own.
bool HasText(const Element& e) {
    if (!Shown(e)) return false;
    if (!e.DisplayText().empty()) return true;
    return std::any_of(e.Children().begin(), e.Children().end(),
                       [](const Element* c) { return HasText(*c); });
}

class Painter {
public:
    Painter(POINT origin, const std::map<const Element*, PictureLabel>& labels)
        : origin_(origin), labels_(labels) {}

    void Root(Element& root) {
        const RECT& r = root.Bounds();
        if (auto* window = As<wpfsim::Window>(root)) {
            Rect(r, L"fill=\"#f3f3f3\" stroke=\"#5a5a5a\"");
            // The title bar reaches down to the window's content.
            LONG contentTop = r.top + 31;
            if (!root.Children().empty()) contentTop = root.Children().front()->Bounds().top;
            Rect({r.left, r.top, r.right, contentTop}, L"fill=\"#dfe7f1\" stroke=\"#5a5a5a\"");
            Text(window->Title(), r.left + 8, r.top + (contentTop - r.top) / 2 + 4, L"font-weight=\"bold\"");
        } else if (As<wpfsim::PopupRoot>(root)) {
            Rect({r.left + 3, r.top + 3, r.right + 3, r.bottom + 3},
                 L"fill=\"#000000\" fill-opacity=\"0.2\"");
            Rect(r, L"fill=\"#ffffff\" stroke=\"#8c8c8c\"");
        } else {
            Rect(r, L"fill=\"#ffffff\" stroke=\"#5a5a5a\"");
        }
        for (Element* child : root.Children())
            Draw(*child);
        Labels();
    }

    std::wstring Finish() { return std::move(out_); }

private:
    // The controls of a window that a script reaches, outlined and labelled with their names and kinds,
    // above the window's elements (and below the windows above it): a tag on the outline's top edge at its
    // right end (where the control's own text rarely reaches), or where no other tag is yet; the whole
    // kind name in the tag's tooltip.
    void Labels() {
        if (outlines_.empty()) return;
        out_ += L"<g font-size=\"7\">\n";
        for (const auto& [r, label] : outlines_)
            Rect(r, L"fill=\"none\" stroke=\"#0a5bd6\" stroke-width=\"1.2\"");
        std::vector<RECT> placed;
        for (const auto& [r, label] : outlines_) {
            std::wstring kind = label.kind;
            if (kind.starts_with(L"ctrlWPF")) kind.erase(0, 7);
            const std::wstring text = label.name + L" \x00B7 " + kind;
            const LONG width = static_cast<LONG>(text.size()) * 4 + 4;
            // Where no earlier tag is: the top edge's right end, the bottom edge's, then their left ends.
            const LONG right = std::max(r.left + 1, r.right - 1 - width), left = r.left + 1;
            const RECT candidates[] = {{right, r.top - 4, right + width, r.top + 5},
                                       {right, r.bottom - 5, right + width, r.bottom + 4},
                                       {left, r.top - 4, left + width, r.top + 5},
                                       {left, r.bottom - 5, left + width, r.bottom + 4}};
            const RECT* tag = std::find_if(std::begin(candidates), std::end(candidates), [&](const RECT& c) {
                return std::none_of(placed.begin(), placed.end(), [&](const RECT& p) {
                    return c.left < p.right && p.left < c.right && c.top < p.bottom && p.top < c.bottom;
                });
            });
            if (tag == std::end(candidates)) tag = candidates;
            placed.push_back(*tag);
            out_ += L"<g><title>" + Xml(label.name + L": " + label.kind) + L"</title>";
            Rect(*tag, L"fill=\"#ffffff\" stroke=\"#0a5bd6\" stroke-width=\"0.6\"");
            Text(text, tag->left + 2, tag->top + 7, L"fill=\"#0a5bd6\"");
            out_ += L"</g>\n";
        }
        out_ += L"</g>\n";
        outlines_.clear();
    }

    void Draw(Element& e) {
        if (!Shown(e)) return;
        const RECT& r = e.Bounds();
        Shape(e, r);
        if (!e.DisplayText().empty() && std::none_of(e.Children().begin(), e.Children().end(),
                                                     [](const Element* c) { return HasText(*c); }))
            ElementText(e, r);
        if (auto label = labels_.find(&e); label != labels_.end()) outlines_.emplace_back(r, label->second);
        // What a scroll viewer shows is cut at its viewport.
        const bool clip = e.ClassName() == L"System.Windows.Controls.ScrollContentPresenter";
        if (clip) out_ += L"<g clip-path=\"url(#" + Clip(r) + L")\">\n";
        for (Element* child : e.Children())
            Draw(*child);
        if (clip) out_ += L"</g>\n";
    }

    // The look of the element's kind.
    void Shape(Element& e, const RECT& r) {
        const std::wstring kind = ShortClass(e);
        const bool part = wpfsim::IsTemplatePart(e);
        if (auto* box = As<wpfsim::CheckBox>(e)) {
            CheckGlyph(r, box->IsChecked(), false);
        } else if (auto* radio = As<wpfsim::RadioButton>(e)) {
            CheckGlyph(r, radio->IsChecked(), true);
        } else if (auto* toggle = As<wpfsim::ToggleButton>(e)) {
            Face(r, toggle->IsChecked().value_or(false) || toggle->IsPressed());
        } else if (auto* button = As<wpfsim::ButtonBase>(e)) {
            // A track's buttons are the areas on either side of its thumb.
            if (!(part && e.Parent() && As<wpfsim::Track>(*e.Parent()))) Face(r, button->IsPressed());
        } else if (kind == L"ToggleButton" && part) {
            PartToggle(e, r);
        } else if (kind == L"Thumb") {
            Rect(r, L"fill=\"#c2c2c2\" stroke=\"#8f8f8f\" rx=\"2\"");
        } else if (As<wpfsim::ScrollBar>(e)) {
            Rect(r, L"fill=\"#ececec\"");
        } else if (As<wpfsim::Slider>(e)) {
            const LONG middle = (r.top + r.bottom) / 2;
            Rect({r.left + 4, middle - 2, r.right - 4, middle + 2}, L"fill=\"#d6d6d6\" stroke=\"#a0a0a0\"");
        } else if (As<wpfsim::TextBox>(e) || As<wpfsim::PasswordBox>(e) || As<wpfsim::ListBox>(e) ||
                   As<wpfsim::TreeView>(e) || As<wpfsim::DocumentScroller>(e)) {
            Rect(r, L"fill=\"#ffffff\" stroke=\"#8a8f99\"");
        } else if (As<wpfsim::ComboBox>(e)) {
            Rect(r, L"fill=\"#ececec\" stroke=\"#8a8f99\"");
        } else if (auto* tab = As<wpfsim::TabItem>(e)) {
            Rect(r, tab->IsSelected() ? L"fill=\"#ffffff\" stroke=\"#8a8f99\""
                                      : L"fill=\"#e3e3e3\" stroke=\"#a6a6a6\"");
        } else if (auto* item = As<wpfsim::ItemContainer>(e)) {
            if (item->IsSelected()) Rect(r, L"fill=\"#cce8ff\" stroke=\"#99d1ff\"");
        } else if (auto* menuItem = As<wpfsim::MenuItem>(e)) {
            if (menuItem->IsSubmenuOpen() || menuItem->IsMouseOver())
                Rect(r, L"fill=\"#cce8ff\" stroke=\"#99d1ff\"");
            if (menuItem->IsCheckable() && menuItem->IsChecked())
                CheckMark(r.left + 3, (r.top + r.bottom) / 2 - 6);
        } else if (As<wpfsim::Menu>(e) || As<wpfsim::ToolBar>(e) || As<wpfsim::ToolBarTray>(e)) {
            Rect(r, L"fill=\"#eaeef4\"");
        } else if (As<wpfsim::Separator>(e)) {
            const LONG middle = (r.top + r.bottom) / 2;
            Rect({r.left + 2, middle, r.right - 2, middle + 1}, L"fill=\"#c8c8c8\"");
        } else if (As<wpfsim::FixedPage>(e)) {
            Rect(r, L"fill=\"#ffffff\" stroke=\"#b0b0b0\"");
        } else if (kind == L"GridViewColumnHeader") {
            Face(r, false);
        } else if (As<wpfsim::Border>(e)) {
            // The selected node's header, the tab control's page; borders the application drew itself.
            auto* node = part ? As<wpfsim::TreeViewItem>(*e.TemplatedParent()) : nullptr;
            if (node && node->IsSelected() && e.Name() == L"Bd")
                Rect(r, L"fill=\"#cce8ff\" stroke=\"#99d1ff\"");
            else if (part && e.Name() == L"contentPanel")
                Rect(r, L"fill=\"#ffffff\" stroke=\"#8a8f99\"");
            else if (!part)
                Rect(r, L"fill=\"none\" stroke=\"#b4b4b4\"");
        }
    }

    // The toggle parts of other controls: a tree node's expander, a combo box's drop-down button, the
    // expander's header, a toolbar's overflow button.
    void PartToggle(Element& e, const RECT& r) {
        Element& owner = *e.TemplatedParent();
        const LONG cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
        if (auto* node = As<wpfsim::TreeViewItem>(owner)) {
            Arrow(node->IsExpanded(), cx, cy);
        } else if (As<wpfsim::ComboBox>(owner)) {
            Arrow(true, r.right - 10, cy);
        } else if (auto* expander = As<wpfsim::Expander>(owner)) {
            Arrow(expander->IsExpanded(), r.left + 8, cy);
        } else {
            Face(r, false);
            Arrow(true, cx, cy);
        }
    }

    void Arrow(bool down, LONG x, LONG y) {
        out_ += down ? L"<path d=\"M" + At(x - 4, y - 2) + L" l8 0 l-4 5 z\" fill=\"#404040\"/>\n"
                     : L"<path d=\"M" + At(x - 2, y - 4) + L" l0 8 l5 -4 z\" fill=\"#404040\"/>\n";
    }

    void Face(const RECT& r, bool down) {
        Rect(r, down ? L"fill=\"#c4e0f9\" stroke=\"#2c628b\" rx=\"2\""
                     : L"fill=\"#e1e1e1\" stroke=\"#8f8f8f\" rx=\"2\"");
    }

    void CheckGlyph(const RECT& r, std::optional<bool> checked, bool round) {
        const LONG x = r.left + 1, y = (r.top + r.bottom) / 2 - 6;
        if (round) {
            const std::wstring centre =
                L"<circle cx=\"" + Num(x + 6 - origin_.x) + L"\" cy=\"" + Num(y + 6 - origin_.y);
            out_ += centre + L"\" r=\"6\" fill=\"#ffffff\" stroke=\"#333333\"/>\n";
            if (checked.value_or(false)) out_ += centre + L"\" r=\"3\" fill=\"#333333\"/>\n";
            return;
        }
        Rect({x, y, x + 12, y + 12}, L"fill=\"#ffffff\" stroke=\"#333333\"");
        if (!checked)
            Rect({x + 3, y + 3, x + 9, y + 9}, L"fill=\"#333333\"");
        else if (*checked)
            CheckMark(x, y);
    }

    void CheckMark(LONG x, LONG y) {
        out_ += L"<path d=\"M" + At(x + 2, y + 6) +
                L" l3 3 l5 -6\" fill=\"none\" stroke=\"#1a1a1a\" stroke-width=\"1.8\"/>\n";
    }

    // The element's text where it shows it: a line at the vertical middle, or lines of the width a
    // wrapping text block broke it into.
    void ElementText(Element& e, const RECT& r) {
        std::wstring text = e.DisplayText();
        if (auto* password = As<wpfsim::PasswordBox>(e)) text.assign(password->Password().size(), L'\x25CF');
        LONG inset = As<wpfsim::TextBox>(e) || As<wpfsim::PasswordBox>(e) ? 4 : 0;
        RECT clip = r;
        // A check box's or radio button's text stands right of its mark.
        for (Element* up = &e; up && up->TemplatedParent() && inset == 0; up = up->Parent())
            if (Element* box = up->TemplatedParent();
                (As<wpfsim::CheckBox>(*box) || As<wpfsim::RadioButton>(*box)) &&
                box->Bounds().left == r.left) {
                inset = 18;
                clip = box->Bounds();
            }
        const LONG x = r.left + inset;
        const std::wstring style = std::wstring(L"clip-path=\"url(#") + Clip(clip) + L")\"" +
                                   (e.IsEnabled() ? L"" : L" fill=\"#8d8d8d\"");
        std::vector<std::wstring> lines{text};
        const LONG height = r.bottom - r.top, width = r.right - r.left - inset;
        if (height >= 2 * kLine && As<wpfsim::TextBlock>(e))
            lines = Wrapped(text, std::max<LONG>(1, width / kCharWidth));
        if (lines.size() == 1) {
            Text(text, x, r.top + height / 2 + 4, style);
            return;
        }
        for (size_t i = 0; i < lines.size(); ++i)
            Text(lines[i], x, r.top + 12 + static_cast<LONG>(i) * kLine, style);
    }

    static std::vector<std::wstring> Wrapped(const std::wstring& text, LONG perLine) {
        std::vector<std::wstring> lines;
        std::wstring line;
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = std::min(text.find(L' ', start), text.size());
            const std::wstring word = text.substr(start, end - start);
            if (!line.empty() && static_cast<LONG>(line.size() + 1 + word.size()) > perLine) {
                lines.push_back(line);
                line.clear();
            }
            line += (line.empty() ? L"" : L" ") + word;
            start = end + 1;
        }
        if (!line.empty()) lines.push_back(line);
        return lines;
    }

    std::wstring Clip(const RECT& r) {
        const std::wstring id = L"c" + std::to_wstring(++clips_);
        out_ += L"<clipPath id=\"" + id + L"\">";
        Rect(r, L"");
        out_ += L"</clipPath>\n";
        return id;
    }

    void Rect(const RECT& r, const std::wstring& style) {
        out_ += L"<rect x=\"" + Num(r.left - origin_.x) + L"\" y=\"" + Num(r.top - origin_.y) +
                L"\" width=\"" + Num(std::max<LONG>(0, r.right - r.left)) + L"\" height=\"" +
                Num(std::max<LONG>(0, r.bottom - r.top)) + L"\"" + (style.empty() ? L"" : L" " + style) +
                L"/>";
        if (style.empty()) return;
        out_ += L"\n";
    }

    void Text(const std::wstring& text, LONG x, LONG y, const std::wstring& style) {
        out_ += L"<text x=\"" + Num(x - origin_.x) + L"\" y=\"" + Num(y - origin_.y) + L"\"" +
                (style.empty() ? L"" : L" " + style) + L">" + Xml(text) + L"</text>\n";
    }

    static std::wstring Num(LONG value) { return std::to_wstring(value); }
    // A screen point in the picture's coordinates, as a path writes it.
    std::wstring At(LONG x, LONG y) const { return Num(x - origin_.x) + L" " + Num(y - origin_.y); }

    POINT origin_;
    const std::map<const Element*, PictureLabel>& labels_;
    std::vector<std::pair<RECT, PictureLabel>> outlines_;
    std::wstring out_;
    int clips_ = 0;
};

} // namespace

std::wstring DrawPicture(wpfsim::Application& app, const std::map<const Element*, PictureLabel>& labels) {
    app.UpdateLayout();
    std::vector<Element*> roots;
    for (Element* root : app.Roots())
        if (Shown(*root)) roots.push_back(root);
    // The first window's corner is the origin; the picture is its size, and grows for a popup (with its
    // shadow) that reaches beyond it.
    RECT all{0, 0, 1, 1};
    POINT origin{};
    std::wstring title;
    if (!roots.empty()) {
        all = roots.front()->Bounds();
        origin = {all.left, all.top};
        if (auto* window = As<wpfsim::Window>(*roots.front())) title = window->Title();
    }
    for (size_t i = 1; i < roots.size(); ++i) {
        const RECT& r = roots[i]->Bounds();
        all = {std::min(all.left, r.left), std::min(all.top, r.top), std::max(all.right, r.right + 3),
               std::max(all.bottom, r.bottom + 3)};
    }
    const LONG width = std::max<LONG>(1, all.right - all.left),
               height = std::max<LONG>(1, all.bottom - all.top);
    std::wstring svg =
        L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
        std::to_wstring(width) + L"\" height=\"" + std::to_wstring(height) + L"\" viewBox=\"" +
        std::to_wstring(all.left - origin.x) + L" " + std::to_wstring(all.top - origin.y) + L" " +
        std::to_wstring(width) + L" " + std::to_wstring(height) +
        L"\" font-family=\"Segoe UI, DejaVu Sans, Verdana, sans-serif\" font-size=\"11\" "
        L"fill=\"#1a1a1a\">\n<title>" +
        Xml(title) + L"</title>\n";
    Painter painter(origin, labels);
    for (Element* root : roots)
        painter.Root(*root);
    svg += painter.Finish();
    svg += L"</svg>\n";
    return svg;
}

bool WritePicture(const std::wstring& path, const std::wstring& svg) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, svg.data(), static_cast<int>(svg.size()), nullptr, 0,
                                      nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, svg.data(), static_cast<int>(svg.size()), bytes.data(), n, nullptr,
                        nullptr);
    std::ofstream file(path.c_str(), std::ios::binary | std::ios::trunc);
    file << bytes;
    return static_cast<bool>(file);
}

} // namespace ovhost
