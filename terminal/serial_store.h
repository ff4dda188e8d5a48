// The serial numbers of --serial FILE and --serial-list FILE, shared by every
// port of a call and every process on the machine. Each step takes the lock
// beside the file (FILE.lock), reads the state, gives back the reservations of
// processes that no longer run, changes it by the rules of serial_counter.h and
// writes it back durably (platform/locked_file.h) before the lock is let go.
//
// --serial FILE: the state is FILE itself; --serial-range FIRST-LAST makes it
// when it is missing (several calls may do so at once) and must match it when
// it is there. --serial-list FILE: one value per line (blank lines and lines
// starting with # do not count), handed out in order; the state, over the
// values' line numbers 1 to N, is FILE.state. A list may grow between calls.
// Blocks for the file system and the lock; one thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "terminal/serial_counter.h"

namespace vorlan::flash {

struct SerialSource {
    std::string counterFile;             // --serial
    std::optional<std::uint64_t> first;  // --serial-range
    std::optional<std::uint64_t> last;
    std::string listFile;  // --serial-list
    bool Given() const { return !counterFile.empty() || !listFile.empty(); }
};

class SerialStore {
public:
    // Makes or checks the state and recovers what crashed processes held;
    // false with a message in error. process: this process's name.
    bool Open(const SerialSource& source, std::string process, std::string& error);

    // Each is one locked step on the file; false (empty) with a message in
    // error when the file cannot be read or written. Reserve gives an empty
    // number with no error when none is left.
    bool Reserve(std::optional<std::uint64_t>& number, std::string& error);
    bool Commit(std::uint64_t number, std::string& error);
    bool GiveBack(std::uint64_t number, std::string& error);
    bool Left(std::uint64_t& left, std::string& error);

    // What goes on the board and into the record: the number, or the list's
    // value of that line number.
    std::string ValueText(std::uint64_t number) const;
    bool IsList() const { return !source_.listFile.empty(); }
    // The values of the list, in order (empty for a counter).
    const std::vector<std::string>& ListValues() const { return values_; }
    // The highest number the range holds (for a counter), to check a format.
    std::uint64_t Last() const { return last_; }
    // Lines to report: reservations recovered from processes that ended.
    std::vector<std::string> TakeNotes();

private:
    enum class Step { kLook, kReserve, kCommit, kGiveBack };
    // One locked read, change and write. number: in for commit and give
    // back, out for reserve.
    bool Locked(Step step, std::optional<std::uint64_t>& number, std::uint64_t& left,
                std::string& error);
    bool ReadList(std::string& error);

    SerialSource source_;
    std::string process_;
    std::string stateFile_;
    std::vector<std::string> values_;
    std::uint64_t last_ = 0;
    std::vector<std::string> notes_;
};

}  // namespace vorlan::flash
