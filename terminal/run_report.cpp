#include "terminal/run_report.h"

#include <cstdio>

#include "catalogue/board_names.h"
#include "catalogue/chip_family.h"
#include "terminal/json_record.h"
#include "terminal/serial_counter.h"

namespace vorlan::flash {

namespace {

std::string ChipName(std::uint8_t chipIdentity) {
    const std::string_view name = ChipStatusName(chipIdentity);
    return name.empty() ? "chip " + std::to_string(chipIdentity) : std::string(name);
}

// A boot loader with the short answer does not say which board it is on:
// its result line says "board".
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

// A counter's number as a JSON number (unsigned 64-bit); a list's value as
// text.
JsonRecord SerialJson(const std::string& serial) {
    const std::optional<std::uint64_t> number = ParseSerialNumber(serial);
    if (number && std::to_string(*number) == serial)
        return *number;
    return JsonText(serial);
}

}  // namespace

std::string RunWho(const RunFacts& facts) {
    std::string who = facts.portName;
    if (facts.boardNumber > 0)
        who += " #" + std::to_string(facts.boardNumber);
    if (!facts.serial.empty())
        who += " serial " + facts.serial;
    if (const DeviceIdentity* board = facts.Board()) {
        who += " " + BoardName(facts) + " (" + ChipName(board->chipIdentity) + ", BIOS " +
               Hex2(board->biosByte) + ")";
    }
    return who;
}

std::string ResultLine(const RunFacts& facts) {
    const std::string who = RunWho(facts);
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
    const std::string trace = facts.tracePath.empty() ? "" : " - trace " + facts.tracePath;
    return who + (facts.Succeeded() ? ": " : ": FAILED - ") + ResultSummary(facts) + after + ")" +
           trace + tally;
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

JsonRecord RunRecord(const RunFacts& facts, const std::string& event, const std::string& time) {
    JsonRecord json;
    if (!time.empty())
        json["time"] = time;
    json["event"] = event;
    json["port"] = JsonText(facts.portName);
    if (facts.boardNumber > 0)
        json["board_number"] = facts.boardNumber;
    json["com"] = facts.comName;
    json["device"] = JsonText(facts.devicePath);
    const RunResult& result = facts.result;
    if (const DeviceIdentity* board = facts.Board()) {
        // A boot loader with the short answer does not say which board it is on.
        json["board"] = result.facts.fullIdentity ? JsonRecord(BoardName(facts)) : nullptr;
        json["chip"] = ChipName(board->chipIdentity);
        json["chip_identity"] = board->chipIdentity;
        json["bios"] = board->biosByte;
        if (result.facts.fullIdentity) {
            json["board_code"] = board->boardCode;
            json["preparation"] = board->preparation;
        }
        json["release"] = JsonText(result.facts.releaseText);
    }
    json["firmware_build"] = JsonText(facts.firmwareBuild);
    if (!facts.firmwareName.empty())
        json["firmware"] = JsonText(facts.firmwareName);
    if (!facts.serial.empty())
        json["serial"] = SerialJson(facts.serial);
    if (result.imageCrc)
        json["image_crc32"] = Hex8(*result.imageCrc);
    if (result.firmwareCrc)
        json["firmware_crc32"] = Hex8(*result.firmwareCrc);
    return json;
}

std::string ResultJson(const RunFacts& facts, const std::string& time) {
    JsonRecord json = RunRecord(facts, "result", time);
    const RunStatistics& sent = facts.result.facts;
    json["blocks_sent"] = sent.blocksSent;
    json["resends"] = sent.resends;
    json["skipped_blocks"] = sent.skippedBlocks;
    json["skip_window_start"] = facts.skipStart;
    json["skip_window_length"] = facts.skipLength;
    json["seconds"] = JsonSeconds(facts.seconds);
    json["result"] = JsonText(ResultSummary(facts));
    json["ok"] = facts.Succeeded();
    json["exit_status"] = facts.exitStatus;
    if (!facts.tracePath.empty())
        json["trace"] = JsonText(facts.tracePath);
    return OneLine(json);
}

}  // namespace vorlan::flash
