// vorlan-flash's JSON: the objects of --json and --log, and the records a
// run on one port sends to the parent that started it. Written and read
// with nlohmann/json; the objects keep their fields in the order they are set.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

namespace vorlan::flash {

using JsonRecord = nlohmann::ordered_json;

// Bytes as the text of a JSON string, so that any bytes give valid JSON (a
// board's release text is whatever the board sends): valid UTF-8 passes
// through, every other byte above 0x7F is taken as the Latin-1 character of
// that value.
std::string JsonText(std::string_view bytes);

// Seconds with three decimals; null when not a finite number (JSON has none).
JsonRecord JsonSeconds(double seconds);

// The record on one line, without a line end.
std::string OneLine(const JsonRecord& record);

// A line of text output as a record for the program that started this run
// (--records): {"event":"line","result":result,"text":text}. result: the line
// is the run's result (or identification, or tally) and names its port.
std::string LineRecord(const std::string& text, bool result);

}  // namespace vorlan::flash
