#include "engine/identification_display.h"

#include <cstdio>
#include <string>

#include "catalogue/board_names.h"
#include "engine/link_state.h"
#include "engine/run_result.h"
#include "engine/status_reporting.h"

namespace vorlan {
namespace {

LoadedImageIdentity gLoaded;

void Warn(RunEnd kind) {
    // The Upgrade window has no place for these; the run still ends.
    if (IsUpgradeMode()) {
        EndRun(kind);
        return;
    }
    ReportRunEnd(kind);
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
        window->ShowReleaseLine(ReleaseTextOf(link));
    } else {
        window->HideReleaseLine();
    }
}

std::string ReleaseTextOf(const LinkState& link) {
    std::string release;
    if (!HasInformationFrame(link.confirmed.biosByte))
        return release;
    // 0xFF is erased flash: the boot loader has no release text.
    if (link.releaseText[0] != 0xFF) {
        for (std::uint8_t c : link.releaseText) {
            if (c == 0)
                break;
            release += static_cast<char>(c);
        }
    }
    return release;
}

void WarnNoImage() {
    Warn(RunEnd::NoImage);
}

void WarnImageTooBig() {
    Warn(RunEnd::ImageTooBig);
}

}  // namespace vorlan
