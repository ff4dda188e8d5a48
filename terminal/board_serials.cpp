#include "terminal/board_serials.h"

#include <algorithm>
#include <cstdio>

#include "catalogue/chip_family.h"
#include "engine/image_crc.h"
#include "engine/run_plan.h"
#include "platform/process_identity.h"
#include "terminal/single_run.h"

namespace vorlan::flash {

namespace {

// The boards this call may program, each needing a number; 1 for an
// endless loop (it ends when the numbers do).
std::uint64_t BoardsOfCall(const FlashArguments& arguments) {
    const std::uint64_t ports = std::max<std::size_t>(1, arguments.ports.size());
    return arguments.loop && arguments.count == 0 ? 1 : ports * std::max(1, arguments.count);
}

}  // namespace

bool BoardSerials::Open(const FlashArguments& arguments, const HexFirmware& firmware,
                        std::string& error) {
    serial_ = arguments.serial;
    given_ = serial_.Given();
    if (!given_)
        return true;
    if (!store_.Open(serial_.source, CurrentProcessName(), error))
        return false;
    std::uint64_t left = 0;
    if (!serial_.counted && store_.Left(left, error) && left < BoardsOfCall(arguments)) {
        const std::string file =
            store_.IsList() ? serial_.source.listFile : serial_.source.counterFile;
        error = left == 0
                    ? "the serial numbers of " + file + " are used up"
                    : "only " + std::to_string(left) + " serial numbers of " + file +
                          " are left for " + std::to_string(BoardsOfCall(arguments)) + " boards";
    }
    if (!error.empty() || !serial_.place.given)
        return error.empty();
    for (const ChipFamily& family : ChipFamilies()) {
        if (family.family == firmware.family)
            family_ = family;
    }
    // The widest value decides whether the place holds it.
    std::vector<std::string> values = store_.ListValues();
    if (!store_.IsList())
        values.push_back(std::to_string(store_.Last()));
    std::size_t widest = 0;
    std::vector<std::uint8_t> bytes;
    for (const std::string& value : values) {
        if (!SerialBytes(serial_.Format(), value, bytes, error))
            return false;
        widest = std::max(widest, bytes.size());
    }
    return CheckSerialPlace(family_, serial_.place, widest, error);
}

void BoardSerials::TakeOverImages() {
    if (!given_ || !serial_.place.given)
        return;
    for (int column = 0; column < kImageColumns; ++column) {
        for (int row = 0; row < kImageRows; ++row) {
            const ImageDescriptor& image = ImageSlot(row, column);
            if (image.programLength <= 1)
                continue;
            if (column != family_.family) {
                PutImageInSlot(row, column, ImageDescriptor{});
                continue;
            }
            Slot slot;
            slot.row = row;
            slot.pristine = image;
            slot.program.assign(image.programData, image.programData + image.programLength);
            if (image.eepromData != nullptr && image.eepromLength > 0)
                slot.eeprom.assign(image.eepromData, image.eepromData + image.eepromLength);
            slots_.push_back(std::move(slot));
        }
    }
    for (Slot& slot : slots_) {
        slot.pristine.programData = slot.program.data();
        slot.pristine.eepromData = slot.eeprom.data();
    }
}

bool BoardSerials::AnyLeft() {
    std::uint64_t left = 1;
    std::string error;
    const bool any = !given_ || !store_.Left(left, error) || left > 0;
    TellNotes();
    return any;
}

void BoardSerials::TellNotes() {
    // Whichever process finds a crashed one's numbers tells it, in the
    // middle of a run too.
    for (const std::string& note : store_.TakeNotes())
        std::fprintf(stderr, "vorlan-flash: %s\n", note.c_str());
}

bool BoardSerials::StartBoard(std::string& problem) {
    number_.reset();
    if (!given_)
        return true;
    const bool reserved = store_.Reserve(number_, problem);
    TellNotes();
    if (!reserved)
        return false;
    if (!number_) {
        problem = "no serial number is left for this board: nothing was sent to it";
        return false;
    }
    if (!serial_.place.given)
        return true;
    std::vector<std::uint8_t> bytes;
    SerialBytes(serial_.Format(), store_.ValueText(*number_), bytes, problem);
    for (Slot& slot : slots_) {
        slot.workProgram = slot.program;
        slot.workEeprom = slot.eeprom;
        PlaceSerialBytes(serial_.place, family_.memory.sixteenBit, bytes, slot.workProgram,
                         slot.workEeprom);
        ImageDescriptor image = slot.pristine;
        image.programData = slot.workProgram.data();
        image.programLength = static_cast<std::int32_t>(slot.workProgram.size());
        image.eepromData = slot.workEeprom.data();
        image.eepromLength = static_cast<std::int32_t>(slot.workEeprom.size());
        PutImageInSlot(slot.row, family_.family, image);
    }
    return true;
}

bool BoardSerials::SerialWasSent() const {
    if (!serial_.place.given || serial_.place.eeprom)
        return true;
    const RunPlan& plan = CurrentRunPlan();
    const std::int32_t perAddress = CurrentFamilyParameters().bytesPerAddress;
    std::vector<std::uint8_t> bytes;
    std::string error;
    SerialBytes(serial_.Format(), store_.ValueText(*number_), bytes, error);
    std::size_t begin = 0;
    std::size_t end = 0;
    SerialProgramSpan(serial_.place, family_.memory.sixteenBit, bytes.size(), begin, end);
    if (plan.blockSize < 1 || perAddress < 1 || end > static_cast<std::size_t>(plan.sendLength))
        return false;
    // A block of the board's skip window is not sent (the last one always is).
    const auto block = static_cast<std::size_t>(plan.blockSize);
    for (std::size_t start = begin / block * block; start < end; start += block) {
        const std::size_t after = start + block;
        if (after < static_cast<std::size_t>(plan.sendLength) &&
            InSkipWindow(plan, static_cast<std::int32_t>(after) / perAddress))
            return false;
    }
    return true;
}

void BoardSerials::EndBoard(RunFacts& facts) {
    if (!given_ || !number_)
        return;
    facts.serial = store_.ValueText(*number_);
    // The firmware as every board gets it, for a line to compare boards.
    if (facts.result.firmwareCrc && serial_.place.given) {
        for (const Slot& slot : slots_) {
            if (CurrentImage().programData == slot.workProgram.data()) {
                facts.result.firmwareCrc = ImageCrc(slot.pristine, CurrentRunPlan().sendLength,
                                                    CurrentFamilyParameters().jumpBlockLength);
            }
        }
    }
    std::string error;
    bool kept = false;
    if (facts.result.Succeeded() && !SerialWasSent()) {
        facts.serialProblem = "the board's skip window left out the block of serial " +
                              facts.serial + ", so the board does not hold it";
    } else if (facts.result.Succeeded()) {
        kept = store_.Commit(*number_, error);
        if (!kept)
            facts.serialProblem = "serial " + facts.serial + " is on the board but could not be " +
                                  "recorded (" + error + "); the board counts as failed";
    }
    if (!kept && !store_.GiveBack(*number_, error) && facts.serialProblem.empty())
        facts.serialProblem = "serial " + facts.serial + " could not be given back: " + error;
    if (!kept && facts.result.Succeeded())
        facts.exitStatus = kExitFailed;
    number_.reset();
    TellNotes();
}

}  // namespace vorlan::flash
