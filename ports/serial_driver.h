// Serial port driver: a fixed table of 257 port records (COM1..COM257, index
// n is COM n+1) and the operations the engine and the port selection use.
// Reads never wait; writes return once the bytes are sent. UI thread only.
// The OS calls live behind platform/serial_backend.h; tests put in a fake
// with SetSerialBackend.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/serial_backend.h"

namespace vorlan {

inline constexpr int kHighestPortIndex = 256;
inline constexpr int kPortTableSize = kHighestPortIndex + 1;

inline constexpr std::uint8_t kParityNone = 0;
inline constexpr std::uint8_t kStopBitsOne = 0;
inline constexpr std::uint8_t kStopBitsOneAndHalf = 1;
inline constexpr std::uint8_t kStopBitsTwo = 2;

struct PortRecord {
    std::int32_t index = 0;
    std::int32_t open = 0;
    int handle = -1;  // the backend's handle; meaningful only while open
    // Why the last OpenPort of this record failed, with the OS text and the
    // device path in the message; kNone after a successful open.
    SerialStatus openError;
    // Set while open once a read, write or wait met a hung-up line or a
    // device that is gone (unplugged adapter, closed emulator).
    bool lineLost = false;
    // The driver turned the device's low latency on and puts it back at close.
    bool lowLatencySet = false;
};

// The backend the driver uses. Tests put in a fake (close every port first);
// null restores the platform's own.
void SetSerialBackend(SerialBackend* backend);
SerialBackend& CurrentSerialBackend();

// Modal messages of the driver ("Unable to configure the serial port", caption
// "Error"). The program shows a message box; tests record; default: stderr.
using MessageSink = std::function<void(const std::string& text, const std::string& caption)>;
void SetDriverMessageSink(MessageSink sink);

// What happens to the ports, as one line each, for the run trace: a port
// opened (with its line settings read back), not opened, closed, its modem
// lines, an OS error with its text (a lost line once). None: not told.
using PortEventSink = std::function<void(const std::string& text)>;
void SetPortEventSink(PortEventSink sink);

// Null on failure. Opening an open record releases its device first. Asks
// the device for low latency (a USB adapter then passes each answer on at
// once); a device that refuses is used as it is.
PortRecord* OpenPort(int index, std::uint32_t baud, std::uint8_t parity, std::uint8_t stopBits,
                     std::uint8_t dataBits);
void ClosePort(int index);
// true while the record is open and its device is still there under the
// port's name: nothing has met a hang-up or a vanished device, and the name
// still leads to the device held (not to a replugged adapter's new node).
// Never waits.
bool PortStillPresent(int index);
// 0 usable, -1 invalid handle, -2 not open (or index out of range).
std::int16_t CheckPort(int index);
// 2 when written and sent, 0 when not open or the write failed. Blocks until
// the bytes have left the port; gives up after 10 ms per byte + 1000 ms.
int WritePort(int index, const std::uint8_t* bytes, std::int32_t count);
// Bytes already received, never waiting; 0 when none, not open or failed.
std::int32_t ReadPort(int index, std::uint8_t* buffer, std::int32_t capacity);
// Discards what has been received, unparsed: up to 32 reads of 3072 bytes, so
// that it ends on a line that never runs dry. Returns the bytes discarded.
std::int64_t DrainInput(int index);
// drop 0: DTR and RTS set; otherwise both cleared. Always 0.
int SetPortLines(int index, int drop);
// Waits up to ms for received bytes on an open port; returns at once when the
// port is not open. Lets a pause end early when the board has answered.
void WaitForInput(int index, int ms);

const PortRecord& PortRecordAt(int index);
void CloseAllPorts();  // at program end and between tests

}  // namespace vorlan
