#include "terminal/serial_counter.h"

#include <algorithm>
#include <cctype>
#include <limits>
#include <sstream>

namespace vorlan::flash {

namespace {

constexpr std::uint64_t kMost = std::numeric_limits<std::uint64_t>::max();

bool Reserved(const SerialCounter& counter, std::uint64_t number) {
    return std::any_of(counter.reserved.begin(), counter.reserved.end(),
                       [number](const SerialReservation& r) { return r.number == number; });
}

bool InRange(const SerialCounter& counter, std::uint64_t number) {
    return number >= counter.first && number <= counter.last;
}

// Handed out before: below next, or every number when next is empty.
bool HandedOut(const SerialCounter& counter, std::uint64_t number) {
    return InRange(counter, number) && (!counter.next || number < *counter.next);
}

bool TakeReservation(SerialCounter& counter, std::uint64_t number) {
    const auto found =
        std::find_if(counter.reserved.begin(), counter.reserved.end(),
                     [number](const SerialReservation& r) { return r.number == number; });
    if (found == counter.reserved.end())
        return false;
    counter.reserved.erase(found);
    return true;
}

void Return(SerialCounter& counter, std::uint64_t number) {
    const auto at = std::lower_bound(counter.returned.begin(), counter.returned.end(), number);
    if (at == counter.returned.end() || *at != number)
        counter.returned.insert(at, number);
}

}  // namespace

SerialCounter NewSerialCounter(std::uint64_t first, std::uint64_t last) {
    SerialCounter counter;
    counter.first = first;
    counter.last = last;
    counter.next = first;
    return counter;
}

std::uint64_t SerialsLeft(const SerialCounter& counter) {
    std::uint64_t left = counter.returned.size();
    if (counter.next) {
        const std::uint64_t fresh = counter.last - *counter.next;  // one less than the count
        left = fresh >= kMost - left ? kMost : left + fresh + 1;
    }
    return left;
}

std::vector<SerialReservation> RecoverEnded(SerialCounter& counter, const ProcessRuns& runs) {
    std::vector<SerialReservation> recovered;
    std::vector<SerialReservation> kept;
    for (SerialReservation& reservation : counter.reserved) {
        if (runs(reservation.process)) {
            kept.push_back(std::move(reservation));
        } else {
            Return(counter, reservation.number);
            recovered.push_back(std::move(reservation));
        }
    }
    counter.reserved = std::move(kept);
    return recovered;
}

std::optional<std::uint64_t> ReserveSerial(SerialCounter& counter, const std::string& process) {
    std::uint64_t number = 0;
    if (!counter.returned.empty()) {
        number = counter.returned.front();
        counter.returned.erase(counter.returned.begin());
    } else if (counter.next) {
        number = *counter.next;
        counter.next =
            number == counter.last ? std::nullopt : std::optional<std::uint64_t>(number + 1);
    } else {
        return std::nullopt;
    }
    counter.reserved.push_back({number, process});
    return number;
}

bool CommitSerial(SerialCounter& counter, std::uint64_t number) {
    return TakeReservation(counter, number);
}

bool GiveBackSerial(SerialCounter& counter, std::uint64_t number) {
    if (!TakeReservation(counter, number))
        return false;
    Return(counter, number);
    return true;
}

std::string SerialCounterText(const SerialCounter& counter) {
    std::ostringstream text;
    text << "vorlan-serial 1\nrange " << counter.first << " " << counter.last << "\nnext ";
    if (counter.next) {
        text << *counter.next << "\n";
    } else {
        text << "none\n";
    }
    for (std::uint64_t number : counter.returned) text << "returned " << number << "\n";
    for (const SerialReservation& r : counter.reserved)
        text << "reserved " << r.number << " " << r.process << "\n";
    return text.str();
}

bool ParseSerialCounter(const std::string& text, SerialCounter& counter, std::string& error) {
    counter = SerialCounter{};
    std::istringstream lines(text);
    std::string line;
    int lineNumber = 0;
    bool header = false;
    bool range = false;
    bool next = false;
    const auto fail = [&error, &lineNumber](const std::string& what) {
        error = "line " + std::to_string(lineNumber) + ": " + what;
        return false;
    };
    while (std::getline(lines, line)) {
        ++lineNumber;
        std::istringstream words(line);
        std::string key;
        std::string a;
        std::string b;
        words >> key >> a >> b;
        if (key.empty())
            continue;
        if (!header) {
            if (key != "vorlan-serial" || a != "1")
                return fail("not a serial number file of this program");
            header = true;
            continue;
        }
        const std::optional<std::uint64_t> value = ParseSerialNumber(a);
        if (key == "range" && value && ParseSerialNumber(b) && !range) {
            counter.first = *value;
            counter.last = *ParseSerialNumber(b);
            range = counter.first <= counter.last;
        } else if (key == "next" && range && !next &&
                   (a == "none" || (value && InRange(counter, *value)))) {
            counter.next = value;
            next = true;
        } else if (key == "returned" && next && value && HandedOut(counter, *value)) {
            Return(counter, *value);
        } else if (key == "reserved" && next && value && HandedOut(counter, *value) && !b.empty() &&
                   !Reserved(counter, *value)) {
            counter.reserved.push_back({*value, b});
        } else {
            return fail("'" + line + "' cannot be read");
        }
    }
    if (!header || !next)
        return fail("the file ends before its range and next number");
    return true;
}

std::optional<std::uint64_t> ParseSerialNumber(const std::string& text) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    if (digits.empty())
        return std::nullopt;
    const std::uint64_t base = hex ? 16 : 10;
    std::uint64_t value = 0;
    for (char c : digits) {
        const auto u = static_cast<unsigned char>(c);
        const int digit = std::isdigit(u)                ? c - '0'
                          : hex && std::isxdigit(u) != 0 ? std::tolower(u) - 'a' + 10
                                                         : -1;
        if (digit < 0 || value > (kMost - static_cast<std::uint64_t>(digit)) / base)
            return std::nullopt;
        value = value * base + static_cast<std::uint64_t>(digit);
    }
    return value;
}

bool ParseSerialRange(const std::string& text, std::uint64_t& first, std::uint64_t& last) {
    const std::size_t dash = text.find('-');
    if (dash == std::string::npos)
        return false;
    const std::optional<std::uint64_t> low = ParseSerialNumber(text.substr(0, dash));
    const std::optional<std::uint64_t> high = ParseSerialNumber(text.substr(dash + 1));
    if (!low || !high || *low > *high)
        return false;
    first = *low;
    last = *high;
    return true;
}

}  // namespace vorlan::flash
