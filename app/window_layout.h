// Where every control of the four windows sits and how large its text is, in
// the pixels of a 96-dpi screen, as the windows were designed. A toolkit maps
// these to the screen: Qt scales them itself, the Win32 windows multiply each
// by the window's dpi / 96. Plain data, no toolkit.
#pragma once

#include <array>

namespace vorlan {

struct LayoutRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct LayoutSize {
    int width = 0;
    int height = 0;
};

struct LayoutPoint {
    int x = 0;
    int y = 0;
};

// The default face of every window ("MS Sans Serif", 8 points).
inline constexpr int kFacePixels = 11;

struct UpgradeWindowLayout {
    LayoutPoint position{267, 120};  // on the screen
    LayoutSize client{606, 181};
    LayoutRect panel1{8, 8, 585, 113};
    // START and STOP share one place, relative to Panel1.
    LayoutRect startStop{175, 25, 249, 65};
    int startStopPixels = 33;  // bold
    LayoutRect progressBar1{5, 128, 596, 17};
    LayoutRect statusBar1{0, 152, 606, 29};
    std::array<int, 5> panelWidths{50, 130, 130, 140, 20};
};

struct UpdaterWindowLayout {
    LayoutPoint position{450, 212};
    LayoutSize client{511, 265};
    // "&Update" and "&Stop" share one place.
    LayoutRect startStop{8, 8, 75, 25};
    LayoutRect image1{396, 0, 109, 45};  // the chip
    LayoutRect image2{372, 0, 135, 44};  // the wordmark
    LayoutRect bevel1{8, 48, 497, 50};
    LayoutRect label1{10, 51, 493, 45};  // product label, "Times" bold
    int label1Pixels = 40;
    LayoutRect bevel2{8, 110, 497, 108};
    LayoutRect label3{13, 119, 484, 29};  // identification line, bold
    int label3Pixels = 24;
    LayoutRect label4{13, 156, 484, 20};  // release line, bold
    int label4Pixels = 16;
    LayoutRect label2{13, 182, 484, 29};  // result line, bold
    int label2Pixels = 24;
    LayoutRect progressBar1{8, 224, 497, 16};
    LayoutRect statusBar1{0, 246, 511, 19};
    std::array<int, 4> panelWidths{50, 130, 100, 50};
};

struct PortSetupWindowLayout {
    // The design gives no place; over the main windows' left half.
    LayoutPoint position{300, 200};
    LayoutSize client{456, 94};
    LayoutRect label1{9, 19, 25, 13};  // "Port :"
    LayoutRect comboBox1{41, 16, 408, 21};
    LayoutRect button1{293, 56, 75, 25};  // "&Ok"
    LayoutRect button2{373, 56, 75, 25};  // "&Cancel"
    LayoutRect comboBox2{0, 56, 41, 21};  // never shown
    // The drop-down part: room for a dozen ports before it scrolls.
    int dropDownHeight = 21 + 12 * 16;
};

struct VersionListWindowLayout {
    LayoutPoint position{158, 103};
    // The form is 412 x 272 with its sizeable frame (4 pixels each side, 19
    // for the caption), which leaves this client area.
    LayoutSize client{412 - 2 * 4, 272 - 2 * 4 - 19};
    LayoutRect button1{303, 204, 75, 26};  // "&Ok"
    LayoutRect listBox1{8, 10, 373, 184};
    int itemHeight = 13;  // fixed-pitch "Courier", one line each
};

inline constexpr UpgradeWindowLayout kUpgradeLayout{};
inline constexpr UpdaterWindowLayout kUpdaterLayout{};
inline constexpr PortSetupWindowLayout kPortSetupLayout{};
inline constexpr VersionListWindowLayout kVersionListLayout{};

}  // namespace vorlan
