// Identifiers that the host and the module share but that name no interface: the types of host objects
// (IovHostObject::GetObjectType) and the extensions that carry mouse actions (IovHostObject::GetExtension).
#pragma once

#include <windows.h>

namespace ov::HostIds {

// The first container type: holds the application's top-level windows (one per process under test).
inline constexpr GUID ProcessContainer = {
    0x35d4cdca, 0x0339, 0x46f9, {0x80, 0xec, 0xea, 0xbc, 0xc6, 0xf5, 0x1d, 0x26}};
// The second container type: a top-level window. It answers IovHostWindow and is what gets activated.
inline constexpr GUID TopLevelWindow = {
    0xb854965c, 0xefab, 0x447d, {0x8b, 0x5b, 0x57, 0x15, 0x3c, 0xe4, 0x20, 0xe4}};
// The window type: the object of an element that owns a native window (a WPF Window or PopupRoot).
inline constexpr GUID Window = {0xa8b9767c, 0xde41, 0x44d0, {0xbe, 0x13, 0x67, 0xd9, 0xb1, 0x74, 0x78, 0xd9}};

// The two extensions that answer IovMouseActions (and IovActionOptions), in the order callers try them:
// on-screen objects carry the first, window objects the second.
inline constexpr GUID OnScreenActions = {
    0x940977cc, 0x10df, 0x410a, {0x8a, 0x5e, 0x44, 0x9a, 0x7e, 0x97, 0x68, 0x8b}};
inline constexpr GUID WindowActions = {
    0x876cf8c7, 0x0c6f, 0x42d1, {0xbb, 0x5b, 0x78, 0x61, 0x61, 0x15, 0x17, 0xb3}};

} // namespace ov::HostIds
