// vorlan-demofw <description> <output.hex>
//
// Makes the demonstration firmware for a PIC24HJ64 board from a readable
// description (firmware/demo-24hj64.txt):
//
//   length <image bytes>            whole image, erased instructions after the code
//   board <code>                    board code and preparation stored in the image,
//   preparation <byte>              masked with (K + 0) when the mask is on
//   mask on <K>  |  mask off
//   goto <address> <target>         two-word GOTO at a program address
//   word <address> <instruction>    one 24-bit instruction word
//   identity <address>              the word holding board code (low byte) and
//                                   preparation (middle byte); upper byte 0 (a NOP)
//
// Program addresses advance by 2 per instruction, each instruction is 4 image
// bytes (low byte first, fourth byte 0), so image offset = 2 x address. The
// output is Intel HEX with 16-byte data records covering the whole image.
#include <cstdint>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "firmware_files/intel_hex_writer.h"

namespace {

int Fail(const std::string& message) {
    std::cerr << message << "\n";
    return 1;
}

bool ParseNumber(const std::string& text, unsigned long max, unsigned long& value) {
    std::size_t used = 0;
    try {
        value = std::stoul(text, &used, 0);
    } catch (...) {
        return false;
    }
    return used == text.size() && value <= max;
}

void PutWord(std::vector<std::uint8_t>& image, unsigned long address, unsigned long word) {
    const std::size_t offset = 2 * address;
    image[offset] = static_cast<std::uint8_t>(word & 0xFF);
    image[offset + 1] = static_cast<std::uint8_t>(word >> 8 & 0xFF);
    image[offset + 2] = static_cast<std::uint8_t>(word >> 16 & 0xFF);
    image[offset + 3] = 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        return Fail("usage: vorlan-demofw <description> <output.hex>");
    std::ifstream in(argv[1]);
    if (!in)
        return Fail(std::string(argv[1]) + ":0: cannot open the description");

    struct Word {
        unsigned long address;
        unsigned long value;
    };
    std::vector<Word> words;
    unsigned long length = 0;
    unsigned long board = 0;
    unsigned long preparation = 0;
    unsigned long maskConstant = 0;
    bool mask = false;
    long identityAddress = -1;
    int lineNumber = 0;
    std::string line;
    while (std::getline(in, line)) {
        ++lineNumber;
        std::istringstream fields(line.substr(0, line.find('#')));
        std::vector<std::string> w;
        for (std::string field; fields >> field;) w.push_back(field);
        if (w.empty())
            continue;
        unsigned long a = 0;
        unsigned long b = 0;
        bool ok = false;
        if (w[0] == "length" && w.size() == 2) {
            ok = ParseNumber(w[1], 0x40000, length) && length % 4 == 0;
        } else if (w[0] == "board" && w.size() == 2) {
            ok = ParseNumber(w[1], 255, board);
        } else if (w[0] == "preparation" && w.size() == 2) {
            ok = ParseNumber(w[1], 255, preparation);
        } else if (w[0] == "mask" && w.size() == 2 && w[1] == "off") {
            ok = true;
            mask = false;
        } else if (w[0] == "mask" && w.size() == 3 && w[1] == "on") {
            ok = ParseNumber(w[2], 255, maskConstant);
            mask = true;
        } else if (w[0] == "goto" && w.size() == 3) {
            ok = ParseNumber(w[1], 0x7FFFFE, a) && ParseNumber(w[2], 0x7FFFFE, b) && a % 2 == 0;
            words.push_back({a, 0x040000 | (b & 0xFFFE)});
            words.push_back({a + 2, b >> 16});
        } else if (w[0] == "word" && w.size() == 3) {
            ok = ParseNumber(w[1], 0x7FFFFE, a) && ParseNumber(w[2], 0xFFFFFF, b) && a % 2 == 0;
            words.push_back({a, b});
        } else if (w[0] == "identity" && w.size() == 2) {
            ok = ParseNumber(w[1], 0x7FFFFE, a) && a % 2 == 0;
            identityAddress = static_cast<long>(a);
        }
        if (!ok)
            return Fail(std::string(argv[1]) + ":" + std::to_string(lineNumber) + ": bad entry");
    }
    if (length == 0 || identityAddress < 0) {
        return Fail(std::string(argv[1]) + ": needs length and identity entries");
    }
    const unsigned long maskByte = mask ? maskConstant : 0;  // the mask of position 0
    words.push_back({static_cast<unsigned long>(identityAddress),
                     (board ^ maskByte) | (preparation ^ maskByte) << 8});

    std::vector<std::uint8_t> image(length);
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = i % 4 == 3 ? 0x00 : 0xFF;
    for (const Word& word : words) {
        if (2 * word.address + 4 > length) {
            return Fail(std::string(argv[1]) + ": instruction beyond the image length");
        }
        PutWord(image, word.address, word.value);
    }

    vorlan::intel_hex::IntelHexWriter hex(16);
    hex.AddData(0, image);
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << hex.Finish();
    return out.flush() ? 0 : Fail(std::string(argv[2]) + ": cannot write");
}
