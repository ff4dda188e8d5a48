#include "platform/trace_folder.h"

#include <windows.h>

#include <cstdlib>

namespace vorlan {

std::string TraceFolder() {
    const char* local = std::getenv("LOCALAPPDATA");
    if (local != nullptr && local[0] != '\0')
        return std::string(local) + "\\Vorlan\\traces";
    const char* profile = std::getenv("USERPROFILE");
    if (profile == nullptr || profile[0] == '\0')
        return {};
    return std::string(profile) + "\\AppData\\Local\\Vorlan\\traces";
}

std::string SystemName() {
    // GetVersionEx lies to programs without a manifest; ntdll tells the truth.
    std::string text = "Windows";
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    if (ntdll == nullptr)
        return text;
    using RtlGetVersionCall = LONG(WINAPI*)(OSVERSIONINFOW*);
    auto rtlGetVersion = reinterpret_cast<RtlGetVersionCall>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (rtlGetVersion != nullptr && rtlGetVersion(&version) == 0) {
        text += " " + std::to_string(version.dwMajorVersion) + "." +
                std::to_string(version.dwMinorVersion) + "." +
                std::to_string(version.dwBuildNumber);
    }
    // A wine prefix says so: its serial ports are the host's.
    using WineVersionCall = const char*(CDECL*)();
    auto wineVersion = reinterpret_cast<WineVersionCall>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")));
    if (wineVersion != nullptr)
        text += std::string(" (wine ") + wineVersion() + ")";
    return text;
}

}  // namespace vorlan
