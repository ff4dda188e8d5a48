// Common ground of the Win32 window tests: process-wide state back to its
// start, the setting "com" under a registry key of the test's own, and a
// board model on the engine's link with a pause that takes no real time but
// handles the window messages, as the program's own pause does.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/model_port.h"
#include "tests/support/virtual_clock.h"
#include "emulator/boot_loader_model.h"

namespace vorlan::test {

// The demo board the built-in image is for (PIC24HJ64, board 9, preparation 4).
board::BoardConfig DemoBoard();

class Win32WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Stores "com" as text under the test's key.
    void StoreCom(const std::string& text) const;

    void BindModel(board::BoardConfig config = DemoBoard(), board::BoardFaults faults = {});

    std::string key_;
    VirtualClock clock_;
    std::unique_ptr<board::BootLoaderModel> model_;
    std::unique_ptr<ModelPort> port_;
};

// A button press: the notification a click sends to the button's window.
void Click(HWND button);
bool Shown(HWND control);
std::string Text(HWND control);
// The client area's size.
SIZE ClientSize(HWND window);

}  // namespace vorlan::test
