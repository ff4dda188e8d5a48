// The operating-system side of the serial driver: the few calls it makes on a
// device, behind one interface so that the driver's own logic (the port table,
// the order of steps, the messages) runs unchanged on any platform and in
// tests against a fake. Each platform has one file making these OS calls
// (posix/serial_backend.cpp, win32/serial_backend.cpp).
//
// Handles are small non-negative integers (file descriptors on POSIX, kernel
// handles as HandleToLong gives them on Windows); -1 is the invalid handle. Every call returns at once unless it says it blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vorlan {

// What went wrong, mapped from the OS error in one place per backend. The OS
// message travels beside the kind, never instead of it.
enum class SerialErrorKind {
    kNone,
    kNotFound,      // no such device
    kBusy,          // held by someone else (the open is exclusive)
    kDenied,        // no permission
    kNotSupported,  // the device refuses the request (e.g. a setting it lacks)
    kHungUp,        // the line went away (unplugged, other end closed)
    kTimedOut,      // a write did not finish within its time-out
    kOther,
};

struct SerialStatus {
    SerialErrorKind kind = SerialErrorKind::kNone;
    std::string message;  // the OS text, for diagnostics
    bool ok() const { return kind == SerialErrorKind::kNone; }
};

// The line state fields the driver sets, named after what they control. A
// backend reads the device's state into this and writes it back; fields it
// cannot represent it reports as the plain raw-line value.
struct LineSettings {
    std::uint32_t baud = 0;
    std::uint8_t dataBits = 8;  // 5..8
    std::uint8_t parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
    std::uint8_t stopBits = 0;  // 0 one, 1 one and a half, 2 two
    bool binary = true;         // no end-of-file or line editing
    bool parityCheck = false;   // check parity on input
    bool ctsFlow = false;       // hold output while CTS is low
    bool dsrFlow = false;       // hold output while DSR is low
    bool dsrSensitivity = false;
    bool txContinueOnXoff = false;
    bool xonXoffOut = false;  // obey XON/XOFF from the board
    bool xonXoffIn = false;   // send XON/XOFF to the board
    bool errorChar = false;   // replace bytes with parity errors
    bool discardNull = false;
    bool dtrHandshake = false;  // DTR driven by the driver (false: left to us)
    bool rtsHandshake = false;  // RTS driven by the driver (false: left to us)
    bool abortOnError = false;
};

// Read and write time-outs of a port, in milliseconds. The driver uses one
// fixed set: reads return at once with what has arrived; a write of n bytes
// may take 10 * n + 1000 ms.
struct PortTimeouts {
    std::uint32_t readInterval = 0xFFFFFFFFu;
    std::uint32_t readTotalMultiplier = 0;
    std::uint32_t readTotalConstant = 0;
    std::uint32_t writeTotalMultiplier = 10;
    std::uint32_t writeTotalConstant = 1000;
};

enum class ModemLineCall { kSetRts = 3, kClearRts = 4, kSetDtr = 5, kClearDtr = 6 };

class SerialBackend {
public:
    virtual ~SerialBackend() = default;
    // Opens an existing device for reading and writing, held by this handle
    // alone. Never waits for the device (no carrier wait).
    virtual SerialStatus OpenExclusive(const std::string& devicePath, int& handle) = 0;
    virtual SerialStatus GetLineSettings(int handle, LineSettings& settings) = 0;
    // Applies the settings and checks that the device really took them.
    virtual SerialStatus SetLineSettings(int handle, const LineSettings& settings) = 0;
    // Asks for driver queue sizes in bytes; a backend without such queues
    // accepts any size.
    virtual SerialStatus SetQueueSizes(int handle, std::uint32_t input, std::uint32_t output) = 0;
    virtual SerialStatus SetTimeouts(int handle, const PortTimeouts& timeouts) = 0;
    // Blocks until all count bytes are handed to the device or timeoutMs has
    // passed (then kTimedOut).
    virtual SerialStatus Write(int handle, const std::uint8_t* bytes, std::size_t count,
                               std::uint32_t timeoutMs) = 0;
    // Blocks until every queued output byte has left the port.
    virtual SerialStatus DrainOutput(int handle) = 0;
    // Takes up to capacity bytes already received, never waiting. received is
    // 0 when none has arrived; a hang-up gives 0 bytes and kHungUp.
    virtual SerialStatus ReadNonBlocking(int handle, std::uint8_t* buffer, std::size_t capacity,
                                         std::size_t& received) = 0;
    // Blocks up to timeoutMs until bytes can be read; true when they can. A
    // line that has gone away waits the full time (so waits stay waits).
    virtual bool WaitReadable(int handle, int timeoutMs) = 0;
    virtual SerialStatus SetModemLine(int handle, ModemLineCall call) = 0;
    // Asks the device's driver to hand each received byte over at once (on)
    // or to go back to its own way (off), e.g. a USB adapter that otherwise
    // gathers bytes for up to 16 ms; wasOn says how it was before. Devices
    // without such a setting refuse with kNotSupported and stay as they are.
    virtual SerialStatus SetLowLatency(int handle, bool on, bool& wasOn) = 0;
    // true while the device held by handle is still there and devicePath
    // (links followed) still names that very device; false once the line
    // has hung up (adapter unplugged, the far end of a pseudo-terminal
    // closed) or the name now leads to another device or to none (a
    // replugged adapter gets a new device node). Never waits.
    virtual bool StillNamedBy(int handle, const std::string& devicePath) = 0;
    virtual void Close(int handle) = 0;
};

// The backend of this platform (posix/ or win32/); lives as long as the
// process.
SerialBackend& PlatformSerialBackend();

}  // namespace vorlan
