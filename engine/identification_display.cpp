#include "engine/identification_display.h"

#include <cstdio>
#include <string>

#include "catalogue/board_names.h"
#include "engine/link_state.h"
#include "engine/status_reporting.h"

namespace vorlan {
namespace {

LoadedImageIdentity gLoaded;

void Warn(const std::string& text) {
    // The Upgrade window has no place for these; the run still ends.
    if (IsUpgradeMode())
        return;
    ReportResult(text, kColourRed, 0);
    if (UpdaterWindowView* window = RegisteredUpdaterWindow()) {
        SetPanel(window->StatusBar(), DevicePanelIndex, "Warning");
    }
    ShowBoardIdentity();
}

}  // namespace

LoadedImageIdentity& LoadedImage() {
    return gLoaded;
}

void ShowBoardIdentity() {
    UpdaterWindowView* window = RegisteredUpdaterWindow();
    if (window == nullptr)
        return;
    const LinkState& link = Link();
    const DeviceIdentity& device = link.confirmed;
    // A boot loader that sent only its chip byte is shown with the identity
    // of the image instead.
    const bool full = link.fullIdentity != 0;
    const std::uint8_t board = full ? device.boardCode : gLoaded.boardCode;
    const std::uint8_t preparation = full ? device.preparation : gLoaded.preparation;
    char line[64];
    std::snprintf(line, sizeof line, "BIOS:%02x - %s - Preparation%02x", device.biosByte,
                  BoardNameOf(board).c_str(), preparation);
    window->ShowIdentityLine(line);

    if (HasInformationFrame(device.biosByte)) {
        // 0xFF is erased flash: the boot loader has no release text.
        std::string release;
        if (link.releaseText[0] != 0xFF) {
            for (std::uint8_t c : link.releaseText) {
                if (c == 0)
                    break;
                release += static_cast<char>(c);
            }
        }
        window->ShowReleaseLine(release);
    } else {
        window->HideReleaseLine();
    }
}

void WarnNoImage() {
    Warn(" No Hex inside !! ");
}

void WarnImageTooBig() {
    Warn(" Hex too Big !! ");
}

}  // namespace vorlan
