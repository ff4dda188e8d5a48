// Shared by both systems' COM naming: the devices this process opens under a
// COM number of its own choosing (SetComDeviceOverride in com_naming.h), and
// the plain decimal numbers in COM and alias names.
#pragma once

#include <optional>
#include <string>

namespace vorlan {

// The device set for the number, or nullptr when none is.
const std::string* ComDeviceOverride(int comNumber);

// A decimal number without sign or leading zeros ("0" itself allowed), of at
// most six digits.
std::optional<int> ParsePlainNumber(const std::string& text);

}  // namespace vorlan
