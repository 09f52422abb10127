// The XAML reader's input: a file's bytes as the reader takes them (UTF-8 or UTF-16, checked character by
// character as XML demands, the text's faults at their line and column) and the platform's XML parser
// (XmlLite) ready over them. Every failure throws XamlError.
#pragma once

#include "com/ComPtr.h"

#include <windows.h>
#include <xmllite.h>

#include <string>
#include <string_view>

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

} // namespace ovhost::xamlinput
