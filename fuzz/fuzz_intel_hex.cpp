// Arbitrary bytes as an Intel HEX firmware file. The reader refuses them
// naming the file and a line, or reads records that survive a round trip
// through the writer unchanged; the image builder then refuses them or builds
// an image of whole instructions within the family's limits.
//
// A mutation rarely keeps a record's checksum right, and a wrong checksum
// stops the reader at once; so most mutated inputs get their checksums
// mended before they run, and the reader's address rules get exercised.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "firmware_files/image_builder.h"
#include "firmware_files/intel_hex_reader.h"
#include "firmware_files/intel_hex_writer.h"

namespace {

using vorlan::intel_hex::DataRecord;
using vorlan::intel_hex::HexDigit;

// Rewrites the last two digits of every line that is ':' and an even number
// (at least 10) of hex digits, so that its checksum holds. Same length.
void MendChecksums(std::uint8_t* data, std::size_t size) {
    std::size_t start = 0;
    while (start < size) {
        std::size_t end = start;
        while (end < size && data[end] != '\n') ++end;
        std::size_t last = end;
        while (last > start && (data[last - 1] == '\r' || data[last - 1] == ' ')) --last;
        const std::size_t digits = last - start - 1;
        bool record = last > start && data[start] == ':' && digits >= 10 && digits % 2 == 0;
        unsigned sum = 0;
        for (std::size_t i = start + 1; record && i + 2 < last; i += 2) {
            const int high = HexDigit(static_cast<char>(data[i]));
            const int low = HexDigit(static_cast<char>(data[i + 1]));
            record = high >= 0 && low >= 0;
            sum += static_cast<unsigned>(high * 16 + low);
        }
        if (record) {
            constexpr char kDigits[] = "0123456789ABCDEF";
            const unsigned checksum = -sum & 0xFF;
            data[last - 2] = static_cast<std::uint8_t>(kDigits[checksum >> 4]);
            data[last - 1] = static_cast<std::uint8_t>(kDigits[checksum & 0x0F]);
        }
        start = end + 1;
    }
}

// Byte address -> value, later records over earlier ones.
std::map<std::uint32_t, std::uint8_t> Memory(const std::vector<DataRecord>& records) {
    std::map<std::uint32_t, std::uint8_t> memory;
    for (const DataRecord& record : records) {
        FUZZ_CHECK(!record.data.empty());
        FUZZ_CHECK(std::uint64_t{record.address} + record.data.size() <= 1ull << 32);
        for (std::size_t i = 0; i < record.data.size(); ++i) {
            memory[record.address + static_cast<std::uint32_t>(i)] = record.data[i];
        }
    }
    return memory;
}

void CheckImage(const imagegen::Family& family, const std::vector<DataRecord>& records) {
    imagegen::SlotImage image;
    std::string error;
    if (!imagegen::BuildSlotImage(family, "fuzz.hex", records, image, error)) {
        FUZZ_CHECK(error.rfind("fuzz.hex:", 0) == 0);
        return;
    }
    const std::size_t unit = family.sixteenBit ? 4 : 2;
    FUZZ_CHECK(!image.program.empty() && image.program.size() % unit == 0);
    FUZZ_CHECK(image.program.size() < family.programLimit + unit);
    FUZZ_CHECK(image.head.size() == (family.sixteenBit ? 8u : 4u));
    FUZZ_CHECK(image.eeprom.size() <= imagegen::kEepromLimit);
}

}  // namespace

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size,
                                               std::size_t maxSize, unsigned seed) {
    size = LLVMFuzzerMutate(data, size, maxSize);
    if (seed % 8 != 0)  // some inputs keep their wrong checksums
        MendChecksums(data, size);
    return size;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<DataRecord> records;
    std::string error;
    if (!vorlan::intel_hex::ReadIntelHex(text, "fuzz.hex", records, error)) {
        FUZZ_CHECK(error.rfind("fuzz.hex:", 0) == 0);
        return 0;
    }
    const auto memory = Memory(records);

    vorlan::intel_hex::IntelHexWriter writer(1 + size % 255);
    for (const DataRecord& record : records) writer.AddData(record.address, record.data);
    std::vector<DataRecord> again;
    FUZZ_CHECK(vorlan::intel_hex::ReadIntelHex(writer.Finish(), "again", again, error));
    FUZZ_CHECK(Memory(again) == memory);

    for (const imagegen::Family& family : imagegen::Families()) CheckImage(family, records);
    return 0;
}
