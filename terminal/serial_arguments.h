// The serial-number options of vorlan-flash's command line: --serial,
// --serial-range, --serial-list, --serial-at, --serial-format. Pure
// functions; no I/O.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "terminal/serial_placement.h"
#include "terminal/serial_store.h"

namespace vorlan::flash {

struct SerialArguments {
    SerialSource source;
    SerialPlace place;
    std::optional<SerialFormat> format;  // empty: le4, or bytes for a list
    // Set by a call with several ports for its runs: the numbers were
    // counted for all of them already (not an option for users).
    bool counted = false;

    bool Given() const { return source.Given(); }
    SerialFormat Format() const {
        return format.value_or(!source.listFile.empty()
                                   ? SerialFormat{SerialFormat::Kind::kBytes, 0}
                                   : SerialFormat{});
    }
};

// Whether option is one of them, and whether it takes a value.
bool IsSerialOption(const std::string& option, bool& takesValue);
// Takes one of them; what is wrong with its value, or "".
std::string TakeSerialOption(const std::string& option, const std::string& value,
                             SerialArguments& serial);
// What is wrong with them together (and with --identify), or "".
std::string SerialCombinationProblem(const SerialArguments& serial, bool identify);
// The same options for the run on one port of several.
void AddSerialArguments(const SerialArguments& serial, std::vector<std::string>& words);
// The part of --help that tells them and what they promise.
std::string SerialHelp();

}  // namespace vorlan::flash
