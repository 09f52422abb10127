// The XAML reader's input: a file's bytes as the reader takes them (UTF-8 or UTF-16, checked character by
// character as XML demands, the text's faults at their line and column) and the platform's XML parser
// (XmlLite) ready over them. Every failure throws XamlError.
#pragma once

#include "com/ComPtr.h"

#include <windows.h>
#include <xmllite.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ovhost::xamlinput {

// Elements nest at most this deep, the root being the first level: deep enough for any window an author
// writes (each level is several in WPF's visual tree, whose layout stops at 4096), shallow enough for the
// reader's recursion.
constexpr UINT kMaxDepth = 256;
// Far beyond any window's description; a larger file is refused before it is read.
constexpr LONGLONG kMaxFileSize = 256LL << 20;

// The parser's failure at a premature end of the text.
constexpr HRESULT kInputEnd = static_cast<HRESULT>(0xC00CEE01);

std::wstring Hex(HRESULT hr);
// The parser's failures that an author meets, in words, with the code.
std::wstring ParserFailure(HRESULT hr);

// A file's bytes (at most kMaxFileSize).
std::string ReadFileBytes(const std::wstring& path);
bool FileExists(const std::wstring& path);
std::wstring FullPath(const std::wstring& path);
// The folder of a file's path, with its trailing separator ("" for a bare name).
std::wstring FolderOf(const std::wstring& path);
// The parser over the text, ready at its start; `characters` bounds the number of its nodes.
ov::ComPtr<IXmlReader> OpenXml(std::string_view bytes, size_t& characters);

// A node of a document kept to be read again (a template's content): what the parser gave, with its place
// and its namespace resolved.
struct XmlNode {
    XmlNodeType type = XmlNodeType_None;
    std::wstring prefix, local, ns, qualified, value;
    UINT line = 0, column = 0, depth = 0;
    bool empty = false;
    std::vector<XmlNode> attributes; // an element's, namespace declarations included
};
// The node the parser stands on (an element with its attributes; the parser stays on the element).
XmlNode RecordNode(IXmlReader& xml, XmlNodeType type);
// The parser's interface over kept nodes: they are read again in order, each at its own place.
ov::ComPtr<IXmlReader> ReplayXml(std::shared_ptr<const std::vector<XmlNode>> nodes);

} // namespace ovhost::xamlinput
