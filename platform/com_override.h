// Shared by both systems' COM naming: the devices this process opens under a
// COM number of its own choosing (SetComDeviceOverride in com_naming.h), and
// the plain decimal numbers in COM and alias names.
#pragma once

#include <optional>
#include <string>

#include "platform/com_naming.h"

namespace vorlan {

// Fills lookup's device from the process's own device for the number; false
// (and lookup untouched) when none is set.
bool LookUpComDeviceOverride(int comNumber, ComLookup& lookup);

// A decimal number without sign or leading zeros ("0" itself allowed), of at
// most six digits.
std::optional<int> ParsePlainNumber(const std::string& text);

}  // namespace vorlan
