#include "terminal/serial_store.h"

#include <fstream>
#include <sstream>

#include "platform/locked_file.h"
#include "platform/process_identity.h"

namespace vorlan::flash {

namespace {

// false when the file is missing (exists false) or cannot be read.
bool ReadText(const std::string& path, std::string& text, bool& exists) {
    std::ifstream file(path, std::ios::binary);
    exists = file.is_open();
    if (!exists)
        return false;
    std::ostringstream whole;
    whole << file.rdbuf();
    text = whole.str();
    return !file.bad();
}

std::string Trimmed(const std::string& line) {
    const std::size_t start = line.find_first_not_of(" \t\r");
    if (start == std::string::npos)
        return "";
    return line.substr(start, line.find_last_not_of(" \t\r") - start + 1);
}

}  // namespace

bool SerialStore::ReadList(std::string& error) {
    std::string text;
    bool exists = false;
    if (!ReadText(source_.listFile, text, exists)) {
        error = "the serial list " + source_.listFile + " cannot be read";
        return false;
    }
    values_.clear();
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        line = Trimmed(line);
        if (!line.empty() && line[0] != '#')
            values_.push_back(line);
    }
    if (values_.empty()) {
        error = "the serial list " + source_.listFile + " holds no value";
        return false;
    }
    last_ = values_.size();
    return true;
}

bool SerialStore::Open(const SerialSource& source, std::string process, std::string& error) {
    source_ = source;
    process_ = std::move(process);
    if (IsList()) {
        stateFile_ = source_.listFile + ".state";
        source_.first = 1;
        if (!ReadList(error))
            return false;
        source_.last = last_;
    } else {
        stateFile_ = source_.counterFile;
    }
    std::optional<std::uint64_t> none;
    std::uint64_t left = 0;
    return Locked(Step::kLook, none, left, error);
}

bool SerialStore::Locked(Step step, std::optional<std::uint64_t>& number, std::uint64_t& left,
                         std::string& error) {
    const std::unique_ptr<FileLock> lock = LockFileBlocking(stateFile_ + ".lock", error);
    if (!lock)
        return false;
    std::string text;
    bool exists = false;
    SerialCounter counter;
    if (ReadText(stateFile_, text, exists)) {
        if (!ParseSerialCounter(text, counter, error)) {
            error = stateFile_ + ": " + error;
            return false;
        }
    } else if (exists) {
        error = stateFile_ + " cannot be read";
        return false;
    } else if (!source_.first) {
        error = "the serial number file " + stateFile_ +
                " does not exist; make it with --serial-range FIRST-LAST";
        return false;
    } else {
        counter = NewSerialCounter(*source_.first, *source_.last);
    }
    if (IsList() && counter.first == 1 && counter.last < last_) {
        // Values added to the list since: they follow the ones it had.
        if (!counter.next)
            counter.next = counter.last + 1;
        counter.last = last_;
    }
    if (source_.first && (counter.first != *source_.first || counter.last != *source_.last)) {
        error = IsList() ? "the serial list " + source_.listFile + " has fewer values (" +
                               std::to_string(last_) + ") than " + stateFile_ + " handed out"
                         : "the serial number file " + stateFile_ + " holds the range " +
                               std::to_string(counter.first) + "-" + std::to_string(counter.last) +
                               ", not " + std::to_string(*source_.first) + "-" +
                               std::to_string(*source_.last);
        return false;
    }
    last_ = counter.last;
    const std::vector<SerialReservation> recovered = RecoverEnded(counter, ProcessStillRuns);
    for (const SerialReservation& r : recovered) {
        notes_.push_back("serial " + ValueText(r.number) + " was reserved by process " +
                         r.process.substr(0, r.process.find('.')) +
                         ", which no longer runs; it is free again");
    }
    bool changed = !exists || !recovered.empty();
    switch (step) {
        case Step::kLook:
            break;
        case Step::kReserve:
            number = ReserveSerial(counter, process_);
            changed = changed || number.has_value();
            break;
        case Step::kCommit:
            changed = CommitSerial(counter, *number) || changed;
            break;
        case Step::kGiveBack:
            changed = GiveBackSerial(counter, *number) || changed;
            break;
    }
    left = SerialsLeft(counter);
    if (changed && !ReplaceFileDurably(stateFile_, SerialCounterText(counter), error)) {
        number.reset();
        return false;
    }
    return true;
}

bool SerialStore::Reserve(std::optional<std::uint64_t>& number, std::string& error) {
    std::uint64_t left = 0;
    number.reset();
    return Locked(Step::kReserve, number, left, error);
}

bool SerialStore::Commit(std::uint64_t number, std::string& error) {
    std::optional<std::uint64_t> value = number;
    std::uint64_t left = 0;
    return Locked(Step::kCommit, value, left, error);
}

bool SerialStore::GiveBack(std::uint64_t number, std::string& error) {
    std::optional<std::uint64_t> value = number;
    std::uint64_t left = 0;
    return Locked(Step::kGiveBack, value, left, error);
}

bool SerialStore::Left(std::uint64_t& left, std::string& error) {
    std::optional<std::uint64_t> none;
    return Locked(Step::kLook, none, left, error);
}

std::string SerialStore::ValueText(std::uint64_t number) const {
    if (IsList())
        return number >= 1 && number <= values_.size() ? values_[number - 1] : "";
    return std::to_string(number);
}

std::vector<std::string> SerialStore::TakeNotes() {
    std::vector<std::string> notes;
    notes.swap(notes_);
    return notes;
}

}  // namespace vorlan::flash
