// A serial number for every board of vorlan-flash's runs (--serial,
// --serial-list): checked before any port opens, reserved when a board's run
// starts, put into that board's own copy of the image (--serial-at), then
// committed when the run programmed the board or given back when it did not.
// The image table's slots of the firmware's family point at this object's
// copies, so it must outlive the runs; the other families' slots are emptied,
// since the place was checked for this family alone. UI thread only.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/image_table.h"
#include "terminal/flash_arguments.h"
#include "terminal/hex_firmware.h"
#include "terminal/run_summary.h"
#include "terminal/serial_store.h"

namespace vorlan::flash {

class BoardSerials {
public:
    // Opens the store (giving back what ended processes held: TellNotes
    // tells it; later calls tell such finds themselves), and refuses with a
    // message in error: fewer numbers left than the call's boards (--count N
    // on each port), a value that does not fit the format, a place outside
    // what a run for the firmware's family writes. true and nothing more
    // without --serial or --serial-list.
    bool Open(const FlashArguments& arguments, const HexFirmware& firmware, std::string& error);
    bool Given() const { return given_; }
    // Prints on standard error what the store found since it was last asked.
    void TellNotes();

    // After the image table is built and the --hex firmware put in it.
    void TakeOverImages();
    // Whether a number is left for another board (true on a file error: the
    // reservation will tell it).
    bool AnyLeft();
    // At the start of a board's run: reserves its number and places it in
    // the image. false with a message when no number is left or the file
    // fails: nothing may be sent to that board.
    bool StartBoard(std::string& problem);
    // After the run, before it is reported: keeps or gives back the number
    // and puts it, the firmware's CRC without it and any problem into facts.
    void EndBoard(RunFacts& facts);

private:
    struct Slot {
        int row = 0;
        ImageDescriptor pristine;  // points into program and eeprom
        std::vector<std::uint8_t> program;
        std::vector<std::uint8_t> eeprom;
        std::vector<std::uint8_t> workProgram;  // the board's copy
        std::vector<std::uint8_t> workEeprom;
    };
    bool SerialWasSent() const;

    bool given_ = false;
    SerialArguments serial_;
    SerialStore store_;
    ChipFamily family_;
    std::vector<Slot> slots_;
    std::optional<std::uint64_t> number_;  // the current board's
};

}  // namespace vorlan::flash
