// The ports present on Windows: the serial device map that the port drivers
// fill in (HKLM\HARDWARE\DEVICEMAP\SERIALCOMM), with friendly names from the
// device setup class "Ports" where it has the port. The folders of the
// interface are Linux's and not used here.
#include "platform/port_source.h"

#include <windows.h>
// After windows.h:
#include <setupapi.h>

#include <map>
#include <vector>

#include "platform/win32/port_names.h"

namespace vorlan {

namespace {

// Longer names and values are not those of a serial port.
constexpr DWORD kMaxRegistryText = 256;

std::string Utf8(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return {};
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
    utf8.resize(static_cast<std::size_t>(size - 1));
    return utf8;
}

// One value of an open key as text; empty when it is missing or not text.
std::wstring TextValue(HKEY key, const wchar_t* name) {
    wchar_t data[kMaxRegistryText + 1] = {};
    DWORD size = sizeof data - sizeof(wchar_t);  // room for a terminator
    DWORD type = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return {};
    }
    return std::wstring(data);  // ends at the first zero, stored or ours
}

std::vector<DeviceMapEntry> DeviceMap() {
    std::vector<DeviceMapEntry> entries;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE,
                      &key) != ERROR_SUCCESS) {
        return entries;  // no port driver has started
    }
    for (DWORD index = 0;; ++index) {
        wchar_t name[kMaxRegistryText + 1] = {};
        DWORD nameLength = kMaxRegistryText;
        wchar_t data[kMaxRegistryText + 1] = {};
        DWORD size = sizeof data - sizeof(wchar_t);
        DWORD type = 0;
        const LONG result = RegEnumValueW(key, index, name, &nameLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data), &size);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS || type != REG_SZ)
            continue;
        entries.push_back({Utf8(name), Utf8(data)});
    }
    RegCloseKey(key);
    return entries;
}

// Port name -> friendly name of the present devices of the "Ports" class.
std::map<std::string, std::string> FriendlyNames() {
    std::map<std::string, std::string> names;
    GUID classId{};
    DWORD classCount = 0;
    if (!SetupDiClassGuidsFromNameW(L"Ports", &classId, 1, &classCount) || classCount == 0)
        return names;
    HDEVINFO devices = SetupDiGetClassDevsW(&classId, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE)
        return names;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(devices, index, &device); ++index) {
        HKEY key =
            SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE);
        if (key == INVALID_HANDLE_VALUE)
            continue;
        const std::wstring port = TextValue(key, L"PortName");
        RegCloseKey(key);
        wchar_t friendly[kMaxRegistryText + 1] = {};
        DWORD type = 0;
        if (port.empty() ||
            !SetupDiGetDeviceRegistryPropertyW(devices, &device, SPDRP_FRIENDLYNAME, &type,
                                               reinterpret_cast<BYTE*>(friendly),
                                               sizeof friendly - sizeof(wchar_t), nullptr) ||
            type != REG_SZ) {
            continue;
        }
        names.emplace(Utf8(port.c_str()), Utf8(friendly));
    }
    SetupDiDestroyDeviceInfoList(devices);
    return names;
}

}  // namespace

std::vector<PortEntry> PresentSerialPorts(const std::string&, const std::string&) {
    return PortEntriesOf(DeviceMap(), FriendlyNames());
}

}  // namespace vorlan
