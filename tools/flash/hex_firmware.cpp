#include "tools/flash/hex_firmware.h"

namespace vorlan::flash {

bool ReadHexFirmware(const FlashArguments& arguments, HexFirmware& firmware, std::string& error) {
    firmware = HexFirmware{};
    (void)arguments;
    (void)error;
    return true;
}

void InstallHexFirmware(const HexFirmware&) {}

std::string FirmwareName(const HexFirmware& firmware) {
    return firmware.given ? firmware.path : "built-in";
}

}  // namespace vorlan::flash
