// The few window operations that the engine, the catalogue and the status
// operations use. Windows implement them with Qt, vorlan-flash on a terminal,
// tests with fakes. Nothing here knows about a toolkit.
//
// All calls run on the user-interface thread and return at once.
#pragma once

#include <cstdint>
#include <string>

namespace vorlan {

// A window colour. Top byte 0: the low three bytes are red, green and blue,
// red in the lowest byte. Top byte 0x80: the low byte names a system colour
// (0x0F is the button face, the window's normal background).
using StatusColour = std::uint32_t;

inline constexpr StatusColour kColourRed = 255;
inline constexpr StatusColour kColourGreen = 0x8000;
inline constexpr StatusColour kColourButtonFace = 0x8000000F;
inline constexpr StatusColour kColourWhite = 0xFFFFFF;
inline constexpr StatusColour kColourBlack = 0;
inline constexpr StatusColour kColourGrey = 0x808080;

class ProgressBarView {
public:
    virtual ~ProgressBarView() = default;
    virtual void SetPosition(int position) = 0;
    virtual void SetMaximum(int maximum) = 0;
    // true: continuous bar; false: drawn in segments.
    virtual void SetSmooth(bool smooth) = 0;
};

class StatusBarView {
public:
    virtual ~StatusBarView() = default;
    // Writers skip negative indexes themselves; an index past the last panel
    // is ignored by the view.
    virtual void SetPanelText(int panel, const std::string& text) = 0;
    // Paints the bar at once, for texts shown between two waits.
    virtual void RepaintNow() = 0;
};

// What the status operations and the identification display need of the
// Updater window.
class UpdaterWindowView {
public:
    virtual ~UpdaterWindowView() = default;
    virtual StatusBarView& StatusBar() = 0;
    // Result line (Label2): text shown, on its own background colour.
    virtual void ShowResultLine(const std::string& text, StatusColour background,
                                StatusColour textColour) = 0;
    virtual void SetStartButtonVisible(bool visible) = 0;  // Button1 "&Update"
    virtual void SetStopButtonVisible(bool visible) = 0;   // Button2 "&Stop"
    virtual void FocusStartButton() = 0;
    virtual void EnableChangePortMenu() = 0;  // S1 "&Change port"
    // Identification line (Label3): shown black on button face, painted at once.
    virtual void ShowIdentityLine(const std::string& text) = 0;
    // Release line (Label4): shown black on button face, painted at once.
    virtual void ShowReleaseLine(const std::string& text) = 0;
    virtual void HideReleaseLine() = 0;
};

// What the status operations and the engine need of the Upgrade window.
class UpgradeWindowView {
public:
    virtual ~UpgradeWindowView() = default;
    virtual StatusBarView& StatusBar() = 0;
    virtual void SetStartButtonVisible(bool visible) = 0;  // Button1 "START"
    virtual void SetStopButtonVisible(bool visible) = 0;   // Button2 "STOP"
    virtual void FocusStartButton() = 0;
};

// The loopback status notifier as the status operations see it.
class StatusRecordSink {
public:
    virtual ~StatusRecordSink() = default;
    virtual void SendStatusRecord(std::uint8_t code) = 0;
};

}  // namespace vorlan
