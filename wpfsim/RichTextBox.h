// The rich text box of the simulated application, as WPF builds it:
//
//   RichTextBox    "Document" (get, put: a FlowDocument; an empty one of one empty Paragraph unless given),
//                  "IsReadOnly", "AcceptsReturn" (True), "AcceptsTab", "IsDocumentEnabled" (get, put), the
//                  internal "ScrollViewer"; template: the Border "border" holding the ScrollViewer
//                  "PART_ContentHost" (vertical bar Auto), whose content is the document's
//                  FlowDocumentView: a line of text for each paragraph. Typing into it and the selection
//                  are left out: a script reads and writes the document's paragraphs.
#pragma once

#include "Ranges.h"

namespace wpfsim {

class RichTextBox : public Control {
public:
    RichTextBox(Application& app, std::wstring className, std::wstring name);
    FlowDocument& Document() const noexcept { return *document_; }
    void SetDocument(FlowDocument& document);
    void AddChild(Element& child) override;
    void SetReadOnly(bool readOnly) noexcept { readOnly_ = readOnly; }
    void SetAcceptsReturn(bool accepts) noexcept { acceptsReturn_ = accepts; }
    void SetAcceptsTab(bool accepts) noexcept { acceptsTab_ = accepts; }
    void SetDocumentEnabled(bool enabled) noexcept { documentEnabled_ = enabled; }
    ScrollViewer& Viewer() const noexcept { return *viewer_; }

protected:
    void OnApplyTemplate() override;

private:
    ov::ComPtr<FlowDocument> document_;
    ScrollViewer* viewer_ = nullptr;
    bool readOnly_ = false, acceptsReturn_ = true, acceptsTab_ = false, documentEnabled_ = false;
    bool declared_ = false; // the document came from the markup
};

} // namespace wpfsim
