#include "tools/flash/run_report.h"

#include <cstdio>

#include "catalogue/board_names.h"
#include "catalogue/chip_family.h"
#include "tools/flash/json_line.h"

namespace vorlan::flash {

namespace {

std::string ChipName(std::uint8_t chipIdentity) {
    const std::string_view name = ChipStatusName(chipIdentity);
    return name.empty() ? "chip " + std::to_string(chipIdentity) : std::string(name);
}

// A boot loader with the short answer does not say which board it is on.
std::string BoardName(const RunFacts& facts) {
    return facts.result.facts.fullIdentity ? BoardNameOf(facts.Board()->boardCode) : "board";
}

std::string Hex2(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02x", value & 0xFFu);
    return text;
}

std::string Hex8(std::uint32_t value) {
    char text[12];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(value));
    return text;
}

// A counter's number as a JSON number (64-bit, so written as it is); a
// list's value as text.
std::string SerialJson(const std::string& serial) {
    const bool digits =
        serial.size() <= 20 && serial.find_first_not_of("0123456789") == std::string::npos;
    return digits && (serial == "0" || serial[0] != '0') ? serial : JsonQuoted(serial);
}

}  // namespace

std::string ResultLine(const RunFacts& facts) {
    std::string who = facts.portName;
    if (facts.boardNumber > 0)
        who += " #" + std::to_string(facts.boardNumber);
    if (!facts.serial.empty())
        who += " serial " + facts.serial;
    if (const DeviceIdentity* board = facts.Board()) {
        who += " " + BoardName(facts) + " (" + ChipName(board->chipIdentity) + ", BIOS " +
               Hex2(board->biosByte) + ")";
    }
    char numbers[80];
    std::snprintf(numbers, sizeof numbers, " (%.1f s", facts.seconds);
    std::string after = numbers;
    const RunResult& result = facts.result;
    if (result.imageCrc) {
        after += ", " + facts.firmwareName + ", CRC-32 " + Hex8(*result.imageCrc);
    }
    if (result.facts.skippedBlocks > 0) {
        std::snprintf(numbers, sizeof numbers, ", %d blocks left out as the board asks",
                      static_cast<int>(result.facts.skippedBlocks));
        after += numbers;
    }
    std::string tally;
    if (facts.boardNumber > 0) {
        tally = " - " + std::to_string(facts.tally.programmed) + " programmed, " +
                std::to_string(facts.tally.failed) + " failed";
    }
    return who + (facts.Succeeded() ? ": " : ": FAILED - ") + ResultSummary(facts) + after + ")" +
           tally;
}

std::string SkipNote(const RunFacts& facts) {
    if (facts.skipStart == 0)
        return "";
    char text[160];
    std::snprintf(text, sizeof text,
                  "The board's information frame asks to leave out addresses 0x%X to 0x%X: "
                  "%d block%s not sent.",
                  static_cast<unsigned>(facts.skipStart),
                  static_cast<unsigned>(facts.skipStart + facts.skipLength),
                  static_cast<int>(facts.result.facts.skippedBlocks),
                  facts.result.facts.skippedBlocks == 1 ? "" : "s");
    return text;
}

std::string ResultJson(const RunFacts& facts, const std::string& time) {
    JsonLine json;
    if (!time.empty())
        json.Text("time", time);
    json.Text("event", "result").Text("port", facts.portName);
    if (facts.boardNumber > 0)
        json.Integer("board_number", facts.boardNumber);
    json.Text("com", facts.comName).Text("device", facts.devicePath);
    const RunResult& result = facts.result;
    if (const DeviceIdentity* board = facts.Board()) {
        json.Text("board", BoardName(facts))
            .Text("chip", ChipName(board->chipIdentity))
            .Integer("chip_identity", board->chipIdentity)
            .Integer("bios", board->biosByte);
        if (result.facts.fullIdentity)
            json.Integer("board_code", board->boardCode).Integer("preparation", board->preparation);
        json.Text("release", result.facts.releaseText);
    }
    json.Text("firmware_build", facts.firmwareBuild);
    if (!facts.firmwareName.empty())
        json.Text("firmware", facts.firmwareName);
    if (!facts.serial.empty())
        json.Raw("serial", SerialJson(facts.serial));
    if (result.imageCrc)
        json.Text("image_crc32", Hex8(*result.imageCrc));
    if (result.firmwareCrc)
        json.Text("firmware_crc32", Hex8(*result.firmwareCrc));
    return json.Integer("blocks_sent", result.facts.blocksSent)
        .Integer("resends", result.facts.resends)
        .Integer("skipped_blocks", result.facts.skippedBlocks)
        .Integer("skip_window_start", facts.skipStart)
        .Integer("skip_window_length", facts.skipLength)
        .Decimal("seconds", facts.seconds, 3)
        .Text("result", ResultSummary(facts))
        .Boolean("ok", facts.Succeeded())
        .Integer("exit_status", facts.exitStatus)
        .Object();
}

}  // namespace vorlan::flash
