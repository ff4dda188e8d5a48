// The board's end of the line: a pseudo-terminal master. The updater opens
// the slave as it would a serial port and sets the line up itself; the
// terminal settings of the pair belong to the slave, and the master carries
// bytes unchanged, so the emulator sets nothing.
//
// The emulator keeps its own descriptor of the slave open for its whole
// life: when the updater closes the port, the master then sees no hang-up
// (which would make every read fail at once and a poll loop spin), and the
// settings the updater made stay in place between runs, as on a serial port.
// That descriptor is never read or written and takes no lock, so the
// updater's exclusive open is unaffected.
#pragma once

#include <string>

namespace vorlan::board {

class PtyLine {
public:
    PtyLine() = default;
    PtyLine(const PtyLine&) = delete;
    PtyLine& operator=(const PtyLine&) = delete;
    ~PtyLine() { Close(); }

    // Opens a master (non-blocking) and its slave. False with a message.
    bool Open(std::string& error);
    // Waits (polling every 2 ms, at most timeoutMs) until the updater has
    // read everything sent to it: closing the master discards what the slave
    // has not yet read. Blocks.
    void WaitUntilRead(int timeoutMs) const;
    // Closes both ends: an updater holding the slave sees a hang-up.
    void Close();

    int MasterFd() const { return master_; }
    const std::string& SlavePath() const { return slavePath_; }

private:
    int master_ = -1;
    int slaveHold_ = -1;
    std::string slavePath_;
};

}  // namespace vorlan::board
