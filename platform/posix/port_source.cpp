// The ports present, from sysfs and the alias folder.
#include "platform/port_source.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <system_error>

#include "platform/com_naming.h"
#include "platform/friendly_name.h"

namespace vorlan {

namespace {

namespace fs = std::filesystem;

// How far above a tty's device folder its USB device may sit (interface,
// then device; some drivers add a port folder in between).
constexpr int kUsbSearchDepth = 4;

// First line of a sysfs attribute, with control characters made blanks
// (USB strings come from the device and may hold anything).
std::string ReadAttribute(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    if (!in || !std::getline(in, line))
        return {};
    if (line.size() > 256)
        line.resize(256);
    for (char& c : line) {
        auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F)
            c = ' ';
    }
    auto first = line.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return line.substr(first, line.find_last_not_of(' ') - first + 1);
}

// Product (else manufacturer) of the USB device a tty belongs to.
std::string UsbName(const fs::path& ttyFolder, const fs::path& root) {
    std::error_code error;
    fs::path dir = fs::canonical(ttyFolder / "device", error);
    const fs::path top = fs::canonical(root, error);
    for (int depth = 0; !error && depth < kUsbSearchDepth && dir != top && dir.has_relative_path();
         ++depth, dir = dir.parent_path()) {
        if (!fs::exists(dir / "idVendor", error))
            continue;
        std::string product = ReadAttribute(dir / "product");
        return product.empty() ? ReadAttribute(dir / "manufacturer") : product;
    }
    return {};
}

std::string DefaultLabel(const std::string& devicePath) {
    if (devicePath.rfind("/dev/ttyS", 0) == 0)
        return "Communications Port";
    if (devicePath.rfind("/dev/ttyUSB", 0) == 0)
        return "USB Serial Port";
    if (devicePath.rfind("/dev/ttyACM", 0) == 0)
        return "USB Serial Device";
    if (devicePath.rfind("/dev/pts/", 0) == 0)
        return "Pseudo-terminal";
    return "Serial Port";
}

// "<label> - <device> (COM<n>)" in at most 199 bytes.
std::string FriendlyName(const std::string& label, const std::string& devicePath, int com) {
    return FitFriendlyName(label, " - " + devicePath + " (COM" + std::to_string(com) + ")");
}

struct Candidate {
    int com;
    std::string label;
    std::string devicePath;
};

std::string Resolved(const std::string& path) {
    std::error_code error;
    fs::path resolved = fs::weakly_canonical(path, error);
    return error ? path : resolved.string();
}

std::vector<PortEntry> CollectPorts(const std::string& sysfsRoot, const std::string& aliasFolder) {
    std::vector<PortAlias> aliases = PortAliases(aliasFolder);
    std::set<int> aliasNumbers;
    std::vector<std::string> aliasDevices;
    for (const PortAlias& alias : aliases) {
        aliasNumbers.insert(alias.comNumber);
        aliasDevices.push_back(Resolved(alias.target));
    }
    std::vector<bool> aliasUsed(aliases.size(), false);
    std::vector<Candidate> found;
    std::set<std::string> listedDevices;

    std::error_code error;
    const fs::path ttyClass = fs::path(sysfsRoot) / "class" / "tty";
    for (fs::directory_iterator it(ttyClass, error), end; !error && it != end;
         it.increment(error)) {
        const fs::path tty = it->path();
        std::error_code ignored;
        if (!fs::exists(tty / "device", ignored))
            continue;  // consoles, ptys
        if (ReadAttribute(tty / "type") == "0")
            continue;  // no UART behind it
        const std::string device = "/dev/" + tty.filename().string();
        std::optional<int> com;
        for (std::size_t i = 0; i < aliases.size(); ++i) {
            if (aliasDevices[i] == device) {
                aliasUsed[i] = true;
                if (!com)
                    com = aliases[i].comNumber;  // aliases are in number order
            }
        }
        if (!com) {
            std::optional<int> fixed = ComNumberOfDevice(device);
            if (fixed && aliasNumbers.count(*fixed) == 0)
                com = fixed;
        }
        if (!com)
            continue;  // no COM name opens it
        std::string label = UsbName(tty, sysfsRoot);
        found.push_back({*com, label.empty() ? DefaultLabel(device) : label, device});
        listedDevices.insert(device);
    }

    // Aliases to devices outside sysfs's serial ttys, such as the board
    // emulator's pseudo-terminal; only those whose device is there now.
    for (std::size_t i = 0; i < aliases.size(); ++i) {
        std::error_code ignored;
        if (aliasUsed[i] || listedDevices.count(aliasDevices[i]) != 0 ||
            !fs::exists(aliases[i].linkPath, ignored)) {
            continue;
        }
        found.push_back({aliases[i].comNumber, DefaultLabel(aliasDevices[i]), aliasDevices[i]});
        listedDevices.insert(aliasDevices[i]);
    }

    std::stable_sort(found.begin(), found.end(),
                     [](const Candidate& a, const Candidate& b) { return a.com < b.com; });
    std::vector<PortEntry> entries;
    for (const Candidate& c : found) {
        if (!entries.empty() && entries.back().portName == "COM" + std::to_string(c.com))
            continue;
        entries.push_back(
            {"COM" + std::to_string(c.com), FriendlyName(c.label, c.devicePath, c.com)});
    }
    return entries;
}

}  // namespace

std::vector<PortEntry> PresentSerialPorts(const std::string& sysfsRoot,
                                          const std::string& aliasFolder) {
    return CollectPorts(sysfsRoot, aliasFolder);
}

}  // namespace vorlan
