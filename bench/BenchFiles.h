// The files a benchmark writes for the host to run: in the temporary folder, named after the benchmark and
// the process, so that parallel runs do not meet.
#pragma once

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace ovbench {

// The path stem of this run's files (add an extension).
inline std::wstring TempBase(const wchar_t* benchmark) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + benchmark + L"." + std::to_wstring(GetCurrentProcessId());
}

inline std::wstring Write(const std::wstring& path, const std::string& text) {
    std::ofstream(std::filesystem::path(path), std::ios::binary) << text;
    return path;
}

} // namespace ovbench
