#include "ProductFolder.h"

#include <cctype>
#include <vector>

namespace ov::ProductFolder {
namespace {
constexpr DWORD kValueBuffer = 32767;
constexpr DWORD kLookupBuffer = 260;

std::wstring Widen(const std::string& s) {
    if (s.empty()) return {};
    int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

// The variable's value read into a buffer of `size` bytes; nullopt-like empty flag when unset or too long.
bool ReadVariable(const char* name, DWORD size, std::string& value) {
    std::vector<char> buffer(size);
    DWORD n = GetEnvironmentVariableA(name, buffer.data(), size);
    if (n == 0 || n >= size) return false;
    value.assign(buffer.data(), n);
    return true;
}

std::string ModuleFileName(HINSTANCE module) {
    std::vector<char> buffer(kValueBuffer);
    DWORD n = GetModuleFileNameA(module, buffer.data(), kValueBuffer);
    return std::string(buffer.data(), n < kValueBuffer ? n : 0);
}
} // namespace

std::string VariableName() {
    std::string name = "Orvane6_X64_Product_Path";
    const char* line = GetCommandLineA();
    std::string commandLine = line ? line : "";
    if (commandLine.find("/UseAlternativeProductPath") != std::string::npos ||
        commandLine.find("-UseAlternativeProductPath") != std::string::npos)
        name += "Alternative";
    return name;
}

std::string DirectoryOf(const std::string& path) {
    size_t at = path.find_last_of("\\:");
    return at == std::string::npos ? std::string() : path.substr(0, at);
}

void SetUp(HINSTANCE module) {
    SetUpForModulePath(ModuleFileName(module));
}

void SetUpForModulePath(const std::string& modulePath) {
    std::string name = VariableName();
    std::string value;
    if (ReadVariable(name.c_str(), kValueBuffer, value) && !value.empty()) return;

    std::string folder = DirectoryOf(modulePath);
    for (char& c : folder)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    size_t slash = folder.rfind('\\');
    std::string last = slash == std::string::npos ? folder : folder.substr(slash + 1);
    if (last == "extensions") folder.erase(slash == std::string::npos ? 0 : slash);
    SetEnvironmentVariableA(name.c_str(), folder.c_str());

    std::string path;
    if (!folder.empty() && ReadVariable("PATH", kValueBuffer, path) && !path.empty() &&
        path.find(folder) == std::string::npos)
        SetEnvironmentVariableA("PATH", (path + ";" + folder).c_str());
}

std::wstring Get(HINSTANCE module) {
    if (module == GetModuleHandleA(nullptr)) return Widen(DirectoryOf(ModuleFileName(nullptr)));
    std::string value;
    if (!ReadVariable(VariableName().c_str(), kLookupBuffer, value)) return {};
    return Widen(value);
}

} // namespace ov::ProductFolder
