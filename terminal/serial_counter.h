// The rules of a store of serial numbers (--serial, --serial-list), as plain
// values: which number a board's run gets, when it is kept and when it comes
// back. The file, its lock and its durable replacement are serial_store.h.
//
// A number is reserved when its board's run starts, committed when the run
// ends in success, and given back when it fails or is stopped; a number given
// back is the next one handed out (the lowest first), so the numbers on
// programmed boards leave no gap. A reservation names its process; one whose
// process no longer runs (a crash, kill -9) comes back at the next look.
// Numbers and range are 64-bit unsigned; for a list they are line numbers.
//
// The state as text, one fact a line:
//   vorlan-serial 1
//   range FIRST LAST
//   next N            (or "next none": every number handed out once)
//   returned N        (one line per number given back)
//   reserved N PROCESS
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vorlan::flash {

struct SerialReservation {
    std::uint64_t number = 0;
    std::string process;  // platform/process_identity.h
};

struct SerialCounter {
    std::uint64_t first = 0;
    std::uint64_t last = 0;
    // Lowest number never handed out; empty once LAST has been.
    std::optional<std::uint64_t> next;
    std::vector<std::uint64_t> returned;  // ascending
    std::vector<SerialReservation> reserved;
};

// Does the process named so still run? (Tests pass a fake.)
using ProcessRuns = std::function<bool(const std::string& process)>;

// A new counter over FIRST..LAST (first <= last).
SerialCounter NewSerialCounter(std::uint64_t first, std::uint64_t last);

// Numbers a run may still get: those given back and those never handed out.
// Saturates at UINT64_MAX.
std::uint64_t SerialsLeft(const SerialCounter& counter);

// Gives back every reservation of a process that no longer runs; returns
// those numbers (with the process they had), to be reported.
std::vector<SerialReservation> RecoverEnded(SerialCounter& counter, const ProcessRuns& runs);

// The number for a board whose run starts now, reserved for process; empty
// when none is left.
std::optional<std::uint64_t> ReserveSerial(SerialCounter& counter, const std::string& process);

// The run of number ended: kept for good (committed), or given back. false
// when number was not reserved (nothing changes).
bool CommitSerial(SerialCounter& counter, std::uint64_t number);
bool GiveBackSerial(SerialCounter& counter, std::uint64_t number);

std::string SerialCounterText(const SerialCounter& counter);
// false with what is wrong (and the line) in error.
bool ParseSerialCounter(const std::string& text, SerialCounter& counter, std::string& error);

// "FIRST-LAST", decimal or 0x hexadecimal, 64-bit.
bool ParseSerialRange(const std::string& text, std::uint64_t& first, std::uint64_t& last);
// A whole decimal or 0x hexadecimal 64-bit number.
std::optional<std::uint64_t> ParseSerialNumber(const std::string& text);

}  // namespace vorlan::flash
