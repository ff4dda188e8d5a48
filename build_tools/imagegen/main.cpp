// vorlan-imagegen <firmware list> <output.cpp>
//
// Reads the firmware list and the Intel HEX files it names and writes the
// image data of the build as C++ source. Any fault stops with "file:line:
// what" on standard error and exit status 1; the output is then not written.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "firmware_files/image_builder.h"
#include "build_tools/imagegen/firmware_list.h"
#include "build_tools/imagegen/source_writer.h"
#include "firmware_files/intel_hex_reader.h"

namespace {

int Fail(const std::string& message) {
    std::cerr << message << "\n";
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3)
        return Fail("usage: vorlan-imagegen <firmware list> <output.cpp>");
    const std::string listPath = argv[1];
    const std::string outputPath = argv[2];
    std::string error;
    imagegen::FirmwareList list;
    if (!imagegen::ReadFirmwareList(listPath, list, error))
        return Fail(error);

    imagegen::SlotImages images;
    for (const imagegen::ImageEntry& entry : list.images) {
        std::vector<imagegen::DataRecord> records;
        if (!vorlan::intel_hex::ReadIntelHexFile(entry.path, records, error))
            return Fail(error);
        imagegen::SlotImage image;
        const imagegen::Family& family = imagegen::Families()[entry.family];
        if (!imagegen::BuildSlotImage(family, entry.path, records, image, error)) {
            return Fail(error);
        }
        for (const std::string& note : image.notes) std::cout << note << "\n";
        std::cout << entry.path << ": chip " << family.name << ", board row " << entry.row << ": "
                  << image.program.size() << " program bytes, " << image.eeprom.size()
                  << " EEPROM bytes\n";
        images[{entry.family, entry.row}] = std::move(image);
    }

    // Written beside the target and renamed, so a stopped build never leaves
    // half a source file behind.
    const std::string temporary = outputPath + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << imagegen::ImageDataSource(list, images);
        if (!out.flush())
            return Fail(outputPath + ":0: cannot write the output");
    }
    // std::filesystem::rename replaces an existing target on Windows too,
    // where std::rename refuses one (and a rebuild always has one).
    std::error_code renameError;
    std::filesystem::rename(temporary, outputPath, renameError);
    if (renameError) {
        return Fail(outputPath + ":0: cannot write the output");
    }
    return 0;
}
