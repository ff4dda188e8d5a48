// Arbitrary bytes as the firmware list. The parser refuses them naming the
// list and a line, or gives a list whose every image fills a wired slot of a
// known chip once, from a file beside the list or named by an absolute path.
#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <utility>

#include "fuzz/fuzz_check.h"
#include "build_tools/imagegen/firmware_list.h"
#include "build_tools/imagegen/source_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    imagegen::FirmwareList list;
    std::string error;
    if (!imagegen::ParseFirmwareList(text, "fw/images.list", list, error)) {
        FUZZ_CHECK(error.rfind("fw/images.list:", 0) == 0);
        return 0;
    }
    std::set<std::pair<int, int>> filled;
    for (const imagegen::ImageEntry& entry : list.images) {
        FUZZ_CHECK(entry.family >= 0 &&
                   entry.family < static_cast<int>(imagegen::Families().size()));
        FUZZ_CHECK(filled.insert({entry.family, entry.row}).second);
        const auto& wired = imagegen::WiredSlots();
        FUZZ_CHECK(std::any_of(wired.begin(), wired.end(), [&entry](const imagegen::SlotKey& k) {
            return k.family == entry.family && k.row == entry.row;
        }));
        FUZZ_CHECK(entry.path.rfind("fw/", 0) == 0 || entry.path.rfind('/', 0) == 0);
        FUZZ_CHECK(entry.line >= 1);
    }
    FUZZ_CHECK(list.maskFlag <= 1 && (list.maskFlag == 1 || list.maskConstant == 0));
    // The source for a build without images: every wired slot a placeholder.
    FUZZ_CHECK(!imagegen::ImageDataSource(list, {}).empty());
    return 0;
}
