// COM names on this platform. COM<n> is found first as a link com<n> in the
// alias folder (VORLAN_PORT_DIR, else /etc/vorlan/ports), then by the fixed
// scheme: ttyS<k> is COM<k+1> (k 0..31), ttyUSB<k> COM<k+33>, ttyACM<k> COM<k+65>.
#pragma once

#include <optional>
#include <string>

namespace vorlan {

std::string PortAliasFolder();
// Device path for COM<comNumber> (1-based); the fixed scheme when no alias.
std::string DevicePathOfCom(int comNumber);
// COM number of a device path under the fixed scheme, if it has one.
std::optional<int> ComNumberOfDevice(const std::string& devicePath);

}  // namespace vorlan
