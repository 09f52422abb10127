// OVHookX64.exe: the host program. Its command line is in CommandLine.cpp.
#include "CommandLine.h"
#include "../services/Host.h"

#include <cstdio>

namespace {

// A console gets UTF-16 as is; a pipe or file gets UTF-8.
void Write(DWORD which, FILE* stream, std::wstring_view text) {
    HANDLE handle = GetStdHandle(which);
    DWORD mode = 0;
    if (handle && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        DWORD written = 0;
        WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        return;
    }
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), n, nullptr,
                        nullptr);
    fwrite(bytes.data(), 1, bytes.size(), stream);
    fflush(stream);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::wstring> arguments(argv + 1, argv + argc);
    ovhost::Console console{[](std::wstring_view t) { Write(STD_OUTPUT_HANDLE, stdout, t); },
                            [](std::wstring_view t) { Write(STD_ERROR_HANDLE, stderr, t); }};
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int code = ovhost::RunCommandLine(arguments, ovhost::ExecutableFolder(), console);
    if (SUCCEEDED(com)) CoUninitialize();
    return code;
}
