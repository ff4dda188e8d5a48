#include "build_tools/imagegen/firmware_list.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <sstream>

#include "firmware_files/image_builder.h"

namespace imagegen {
namespace {

const std::vector<SlotKey> kWired{
    {0, 0}, {0, 2}, {0, 4}, {0, 5},  {0, 6},  {1, 0},  {1, 2}, {1, 4},
    {1, 5}, {1, 6}, {2, 0}, {3, 0},  {4, 0},  {5, 0},  {6, 0}, {6, 5},
    {6, 6}, {6, 7}, {6, 8}, {6, 11}, {6, 16}, {6, 19}, {7, 0},
};

bool ParseNumber(const std::string& text, long max, long& value) {
    if (text.empty())
        return false;
    std::size_t used = 0;
    try {
        value = std::stol(text, &used, 0);
    } catch (...) {
        return false;
    }
    return used == text.size() && value >= 0 && value <= max;
}

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

const std::vector<SlotKey>& WiredSlots() {
    return kWired;
}

bool ReadFirmwareList(const std::string& path, FirmwareList& list, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in.is_open() || in.bad()) {
        error = path + ":0: cannot open the firmware list";
        return false;
    }
    return ParseFirmwareList(text, path, list, error);
}

bool ParseFirmwareList(std::string_view text, const std::string& path, FirmwareList& list,
                       std::string& error) {
    list = FirmwareList{};
    std::istringstream in{std::string(text)};
    const std::size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    bool haveIdentity = false;
    bool haveMask = false;
    int lineNumber = 0;
    std::string line;
    const auto fail = [&](const std::string& what) {
        error = path + ":" + std::to_string(lineNumber) + ": " + what;
        return false;
    };
    while (std::getline(in, line)) {
        ++lineNumber;
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string word; words >> word;) w.push_back(word);
        if (w.empty())
            continue;
        long a = 0;
        long b = 0;
        if (w[0] == "identity") {
            if (w.size() != 5 || w[1] != "board" || w[3] != "preparation" ||
                !ParseNumber(w[2], 255, a) || !ParseNumber(w[4], 255, b)) {
                return fail("expected: identity board <code> preparation <byte>");
            }
            list.boardCode = static_cast<std::uint8_t>(a);
            list.preparation = static_cast<std::uint8_t>(b);
            haveIdentity = true;
        } else if (w[0] == "mask") {
            if (w.size() == 2 && w[1] == "off") {
                list.maskFlag = 0;
                list.maskConstant = 0;
            } else if (w.size() == 3 && w[1] == "on" && ParseNumber(w[2], 255, a)) {
                list.maskFlag = 1;
                list.maskConstant = static_cast<std::uint8_t>(a);
            } else {
                return fail("expected: mask on <K>  or  mask off");
            }
            haveMask = true;
        } else if (w[0] == "image") {
            if (w.size() != 4)
                return fail("expected: image <chip> <row> <file.hex>");
            const std::string chip = Upper(w[1]);
            const Family* family = FamilyNamed(chip);
            if (family == nullptr)
                return fail("unknown chip \"" + w[1] + "\"");
            if (!ParseNumber(w[2], 254, a))
                return fail("bad board row \"" + w[2] + "\"");
            const int row = static_cast<int>(a);
            const bool wired = std::any_of(kWired.begin(), kWired.end(), [&](const SlotKey& k) {
                return k.family == family->index && k.row == row;
            });
            if (!wired) {
                return fail("chip " + chip + " has no slot for board row " + std::to_string(row));
            }
            for (const ImageEntry& other : list.images) {
                if (other.family == family->index && other.row == row) {
                    return fail("slot already filled on line " + std::to_string(other.line));
                }
            }
            const std::string file = w[3];
            list.images.push_back(
                ImageEntry{family->index, row, file[0] == '/' ? file : folder + file, lineNumber});
        } else {
            return fail("unknown entry \"" + w[0] + "\"");
        }
    }
    if (!haveIdentity)
        return fail("no identity entry");
    if (!haveMask)
        return fail("no mask entry");
    return true;
}

}  // namespace imagegen
