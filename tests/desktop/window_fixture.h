// Common ground of the window tests: every piece of process-wide state back
// to its start, settings and port aliases in temporary folders, and a board
// model on the engine's link with a pause that takes no real time.
#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/model_port.h"
#include "tests/support/virtual_clock.h"
#include "emulator/boot_loader_model.h"

namespace vorlan::test {

// The demo board the built-in image is for (PIC24HJ64, board 9, preparation 4).
board::BoardConfig DemoBoard();

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The settings file the program uses in this test.
    std::string SettingsFile() const;
    // Writes the settings file as given (ini text).
    void WriteSettingsFile(const std::string& text) const;

    // Opens a pseudo-terminal and links its device as <name> (e.g. "com1") in
    // the port alias folder. Returns the master side, closed by TearDown.
    int LinkPseudoTerminal(const std::string& name);

    // Binds the model and the virtual clock to the engine; every pause then
    // handles the window events, as the program's own pause does.
    void BindModel(board::BoardConfig config = {}, board::BoardFaults faults = {});

    // The platform's double-click interval, which SetUp sets to 0: in virtual
    // time no stop press is the twin of a start click.
    int platformDoubleClickMs_ = 0;
    QTemporaryDir settingsDir_;
    QTemporaryDir portDir_;
    VirtualClock clock_;
    std::unique_ptr<board::BootLoaderModel> model_;
    std::unique_ptr<ModelPort> port_;
    std::vector<int> masters_;
};

}  // namespace vorlan::test
