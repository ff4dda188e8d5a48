// Settings in the registry where QSettings keeps those of organisation
// "Quenta", application "Vorlan": read from the key Software\Quenta\Vorlan
// of HKEY_CURRENT_USER with a fall-back to the same key of HKEY_LOCAL_MACHINE
// (where an administrator may set a default), written to the user's key,
// which a standard user may always write. VORLAN_SETTINGS_KEY, when set,
// names another key path for both, so tests never touch the real one.
#include "platform/settings_store.h"

#include <windows.h>

#include <cstdlib>
#include <optional>
#include <stdexcept>

namespace vorlan {

namespace {

constexpr const char* kKeyPath = "Software\\Quenta\\Vorlan";
// Values grow between the size query and the read only when someone writes
// at the same moment; a few tries settle it.
constexpr int kReadTries = 4;

std::string KeyPath() {
    const char* path = std::getenv("VORLAN_SETTINGS_KEY");
    return path != nullptr && path[0] != '\0' ? path : kKeyPath;
}

class OpenKey {
public:
    OpenKey(HKEY hive, const std::string& path) {
        if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_QUERY_VALUE, &key_) != ERROR_SUCCESS)
            key_ = nullptr;
    }
    ~OpenKey() {
        if (key_ != nullptr)
            RegCloseKey(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// The value's text when the hive has it; nothing when the key or the value
// is missing. Only text (REG_SZ, or REG_EXPAND_SZ taken as it is) is a
// setting of ours.
std::optional<std::string> ReadValue(HKEY hive, const std::string& name) {
    const OpenKey key(hive, KeyPath());
    if (key.get() == nullptr)
        return std::nullopt;
    for (int attempt = 0; attempt < kReadTries; ++attempt) {
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS) {
            return std::nullopt;
        }
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            throw std::runtime_error("Invalid data type for '" + name + "'");
        std::string text(size, '\0');
        const LONG result = RegQueryValueExA(key.get(), name.c_str(), nullptr, &type,
                                             reinterpret_cast<BYTE*>(text.data()), &size);
        if (result == ERROR_MORE_DATA)
            continue;
        if (result != ERROR_SUCCESS)
            return std::nullopt;
        text.resize(std::min<std::size_t>(size, text.size()));
        // A registry string ends at its first zero byte, stored or not.
        if (const auto zero = text.find('\0'); zero != std::string::npos)
            text.resize(zero);
        return text;
    }
    return std::nullopt;
}

}  // namespace

std::string ReadSetting(const std::string& name) {
    if (std::optional<std::string> user = ReadValue(HKEY_CURRENT_USER, name))
        return *user;
    return ReadValue(HKEY_LOCAL_MACHINE, name).value_or("");
}

void WriteSetting(const std::string& name, const std::string& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, KeyPath().c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        return;  // a store that cannot be written stays as it was
    }
    // Stored with its terminating zero, as the registry's text values are.
    RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

}  // namespace vorlan
