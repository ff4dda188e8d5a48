#include "catalogue/board_names.h"

namespace vorlan {

// Board model names by board code. Codes 0 and 1 are unknown boards; code 2 is
// also the name shown for every code outside the table. Code 9 is the
// demonstration board of the demo firmware in firmware/.
const char* const BoardNames[25] = {
    "UNK",     "UNK",     "VL-BASE",   "VL-IO16", "VL-CAN2", "VL-SRV4", "VL-RES2",
    "VL-CDC",  "VL-MXP",  "DEMO-24HJ", "VL-SIO",  "VL-ETH",  "VL-IO8",  "VL-RLY8",
    "VL-DB9",  "VL-AD8",  "VL-DA4",    "VL-PWM6", "VL-ENC2", "VL-LCD",  "VL-NET",
    "VL-MINI", "VL-TMP4", "VL-OPT8",   "VL-BRG",
};

const char* const ConnectorNames[25] = {
    "UNK",   "UNK",   "14PIN", "16PIN", "16PIN", "16PIN", "16PIN", "16PIN", "16PIN",
    "16PIN", "16PIN", "16PIN", "16PIN", "16PIN", "DB9",   "16PIN", "16PIN", "16PIN",
    "16PIN", "16PIN", "RJ45",  "6PIN",  "16PIN", "16PIN", "16PIN",
};

const char* const FeatureNames[11] = {
    "UNK", "CAN+SPI", "", "RES", "CAN", "SRV", "2RES", "CDC", "MXP/CDC", "SIO/NOK.", "ETH0",
};

std::string BoardNameOf(std::int32_t boardCode) {
    if (boardCode > 0 && boardCode < kBoardNameCount)
        return BoardNames[boardCode];
    return BoardNames[2];
}

}  // namespace vorlan
