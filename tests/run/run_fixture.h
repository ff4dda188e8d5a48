// Common ground of the run tests: a fresh engine bound to a scripted port and
// a virtual clock, either window mode, made-up images in the image table, and
// a scripted board that answers the search with an identity and every other
// byte or frame with 'K' unless a test says otherwise.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/image_table.h"
#include "tests/support/engine_fixture.h"
#include "tests/support/fake_views.h"

namespace vorlan::test {

// A firmware image owned by the test; Install() puts it into a table slot.
struct TestImage {
    // programLength bytes of a pattern that differs from block to block.
    TestImage(std::int32_t programLength, std::int32_t headLength, std::int32_t eepromLength);
    ImageDescriptor Descriptor();
    void Install(int row, int family);

    Bytes head;
    Bytes program;
    Bytes eeprom;
};

struct Identity {
    std::uint8_t bios = 5;
    std::uint8_t chip = 254;
    std::uint8_t board = 0;
    std::uint8_t preparation = 0;
};

// 'V' bios chip board preparation 'K'.
Bytes FullAnswer(const Identity& id);

enum class Mode { Updater, Upgrade };

class RunTest : public EngineTest {
protected:
    void SetUp() override { StartCase(); }
    void TearDown() override;
    // Fresh engine state, fakes and bindings: for tests that run a table of
    // cases, each case starts here.
    virtual void StartCase();

    void UseMode(Mode mode);
    // The window of the run: the Upgrade window's bar in Upgrade mode.
    FakeStatusBar& Bar();

    // The board answers the search byte with `identityAnswer` and every other
    // write with 'K'; `override` may answer a write (by its index) itself.
    using FrameAnswer = std::function<std::optional<Bytes>(std::size_t index, const Bytes& frame)>;
    void ScriptBoard(Bytes identityAnswer, FrameAnswer override = {});
    // The confirmed identity as a search leaves it after a full answer.
    void SetConfirmed(const Identity& id, bool full = true);

    // Writes other than search bytes.
    std::vector<Bytes> FramesAfterSearch() const;

    FakeUpdaterWindow updater;
    FakeUpgradeWindow upgrade;
    FakeProgressBar progress;
    FakeNotifier notifier;
};

}  // namespace vorlan::test
