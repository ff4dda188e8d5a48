// The port table and the driver operations. The order of the steps in
// OpenPort matters to the user: a device is only ever held by an open record,
// and every failure after the device was opened releases it again.
#include "ports/serial_driver.h"

#include <array>
#include <iostream>

#include "platform/com_naming.h"
#include "platform/serial_backend.h"
#include "ports/port_event_text.h"

namespace vorlan {

namespace {

constexpr std::uint32_t kInputQueueBytes = 32768;
constexpr std::uint32_t kOutputQueueBytes = 9216;
// The size of the engine's receive buffer; DrainInput reads in pieces of it.
constexpr std::size_t kDrainChunkBytes = 3072;
// 32 full reads are about 8 s of the line at 115200 baud, more than can queue
// up between two tries of the search; a line that never runs dry (a board
// stuck sending, a loop in the wiring) cannot hold the program here.
constexpr int kDrainReads = 32;
constexpr PortTimeouts kPortTimeouts{};

struct DriverState {
    std::array<PortRecord, kPortTableSize> table{};
    SerialBackend* backend = nullptr;
    MessageSink messages;
    PortEventSink events;
};

DriverState gDriver;

bool InRange(int index) {
    return index >= 0 && index <= kHighestPortIndex;
}

PortRecord* OpenRecord(int index) {
    if (!InRange(index))
        return nullptr;
    PortRecord& record = gDriver.table[static_cast<std::size_t>(index)];
    return record.open != 0 ? &record : nullptr;
}

std::string ComName(const PortRecord& record) {
    return "COM" + std::to_string(record.index + 1);
}

void NoteEvent(const std::string& text) {
    if (gDriver.events)
        gDriver.events(text);
}

void ShowMessage(const std::string& text) {
    const std::string caption = "Error";
    if (gDriver.messages) {
        gDriver.messages(text, caption);
    } else {
        std::cerr << caption << ": " << text << '\n';
    }
}

// Lets go of an open record's device, putting back what the driver changed.
void ReleaseDevice(PortRecord& record) {
    SerialBackend& os = CurrentSerialBackend();
    if (record.lowLatencySet) {
        bool wasOn = false;
        os.SetLowLatency(record.handle, false, wasOn);  // a vanished device cannot refuse
    }
    record.open = 0;
    NoteEvent("port " + ComName(record) + " closed");
    os.Close(record.handle);
    record.handle = -1;
    record.lineLost = false;
    record.lowLatencySet = false;
}

// A hung-up line or a vanished device stays so: only a new open helps.
bool NoteLine(PortRecord& record, const SerialStatus& status) {
    if (status.ok())
        return true;
    // A lost line is told once; every read on it fails the same way.
    const bool lost =
        status.kind == SerialErrorKind::kHungUp || status.kind == SerialErrorKind::kNotFound;
    if (!lost || !record.lineLost)
        NoteEvent("port " + ComName(record) + " error: " + SerialErrorName(status.kind) +
                  (status.message.empty() ? "" : ": " + status.message));
    if (lost)
        record.lineLost = true;
    return status.ok();
}

// Releases a device that was opened but not (or no longer) fully configured
// and keeps why.
PortRecord* Abandon(PortRecord& record, int handle, const SerialStatus& status,
                    const std::string& what) {
    if (handle >= 0)
        CurrentSerialBackend().Close(handle);
    record.openError = status;
    if (record.openError.ok())
        record.openError.kind = SerialErrorKind::kOther;
    record.openError.message = what + (status.message.empty() ? "" : ": " + status.message);
    NoteEvent("port " + ComName(record) + " not opened: " + record.openError.message);
    return nullptr;
}

}  // namespace

void SetSerialBackend(SerialBackend* backend) {
    gDriver.backend = backend;
}

SerialBackend& CurrentSerialBackend() {
    return gDriver.backend != nullptr ? *gDriver.backend : PlatformSerialBackend();
}

void SetDriverMessageSink(MessageSink sink) {
    gDriver.messages = std::move(sink);
}

void SetPortEventSink(PortEventSink sink) {
    gDriver.events = std::move(sink);
}

PortRecord* OpenPort(int index, std::uint32_t baud, std::uint8_t parity, std::uint8_t stopBits,
                     std::uint8_t dataBits) {
    if (!InRange(index))
        return nullptr;
    PortRecord& record = gDriver.table[static_cast<std::size_t>(index)];
    record.index = index;
    if (record.open != 0)
        ReleaseDevice(record);

    SerialBackend& os = CurrentSerialBackend();
    int handle = -1;
    const std::string path = DevicePathOfCom(index + 1);
    if (path.empty()) {
        SerialStatus none{SerialErrorKind::kNotFound, ""};
        return Abandon(record, -1, none, "COM" + std::to_string(index + 1) + " names no device");
    }
    SerialStatus status = os.OpenExclusive(path, handle);
    if (!status.ok())
        return Abandon(record, -1, status, path);

    LineSettings line;
    status = os.GetLineSettings(handle, line);
    if (!status.ok())
        return Abandon(record, handle, status, path + ": reading the line settings");
    line.baud = baud;
    line.binary = true;
    line.parityCheck = false;
    line.ctsFlow = false;
    line.dsrFlow = false;
    line.dtrHandshake = false;  // DTR held where SetPortLines puts it
    line.dsrSensitivity = false;
    line.txContinueOnXoff = false;
    line.xonXoffOut = false;
    line.xonXoffIn = false;
    line.errorChar = false;
    line.discardNull = false;
    line.rtsHandshake = false;  // RTS held where SetPortLines puts it
    line.abortOnError = false;
    line.dataBits = dataBits;
    line.parity = parity;
    line.stopBits = stopBits;
    status = os.SetLineSettings(handle, line);
    if (!status.ok()) {
        ShowMessage("Unable to configure the serial port");
        return Abandon(record, handle, status, path + ": setting 115200 8N2");
    }
    status = os.SetQueueSizes(handle, kInputQueueBytes, kOutputQueueBytes);
    if (!status.ok())
        return Abandon(record, handle, status, path + ": setting the queue sizes");
    status = os.SetTimeouts(handle, kPortTimeouts);
    if (!status.ok()) {
        ShowMessage("Unable to set the time-out parameters");
        return Abandon(record, handle, status, path + ": setting the time-outs");
    }
    // Stop-and-wait pays an adapter's gathering time on every answer.
    bool wasOn = false;
    record.lowLatencySet = os.SetLowLatency(handle, true, wasOn).ok() && !wasOn;
    record.handle = handle;
    record.open = 1;
    record.lineLost = false;
    record.openError = SerialStatus{};
    if (gDriver.events) {
        LineSettings readBack;
        const bool read = os.GetLineSettings(handle, readBack).ok();
        NoteEvent("port " + ComName(record) + " opened: " + path + " " +
                  (read ? LineSettingsText(readBack) : "(settings not readable)") +
                  (record.lowLatencySet ? ", low latency" : ""));
    }
    return &record;
}

void ClosePort(int index) {
    if (PortRecord* record = OpenRecord(index))
        ReleaseDevice(*record);
}

bool PortStillPresent(int index) {
    PortRecord* record = OpenRecord(index);
    return record != nullptr && record->handle >= 0 && !record->lineLost &&
           CurrentSerialBackend().StillNamedBy(record->handle, DevicePathOfCom(index + 1));
}

std::int16_t CheckPort(int index) {
    PortRecord* record = OpenRecord(index);
    if (record == nullptr)
        return -2;
    if (record->handle < 0)
        return -1;
    NoteLine(*record, CurrentSerialBackend().DrainOutput(record->handle));  // not a result
    return 0;
}

int WritePort(int index, const std::uint8_t* bytes, std::int32_t count) {
    PortRecord* record = OpenRecord(index);
    if (record == nullptr || count < 0 || (bytes == nullptr && count > 0))
        return 0;
    const auto n = static_cast<std::uint32_t>(count);
    const std::uint32_t timeoutMs =
        kPortTimeouts.writeTotalMultiplier * n + kPortTimeouts.writeTotalConstant;
    SerialBackend& os = CurrentSerialBackend();
    if (!NoteLine(*record, os.Write(record->handle, bytes, n, timeoutMs)))
        return 0;
    NoteLine(*record, os.DrainOutput(record->handle));
    return 2;
}

std::int32_t ReadPort(int index, std::uint8_t* buffer, std::int32_t capacity) {
    PortRecord* record = OpenRecord(index);
    if (record == nullptr || buffer == nullptr || capacity <= 0)
        return 0;
    std::size_t received = 0;
    const SerialStatus status = CurrentSerialBackend().ReadNonBlocking(
        record->handle, buffer, static_cast<std::size_t>(capacity), received);
    if (!NoteLine(*record, status))
        return 0;
    return static_cast<std::int32_t>(received);
}

std::int64_t DrainInput(int index) {
    PortRecord* record = OpenRecord(index);
    if (record == nullptr)
        return 0;
    std::array<std::uint8_t, kDrainChunkBytes> discard{};
    std::int64_t drained = 0;
    // A hang-up reads as no byte, so this ends on a dead line too.
    for (int read = 0; read < kDrainReads; ++read) {
        const std::int32_t count =
            ReadPort(index, discard.data(), static_cast<std::int32_t>(discard.size()));
        if (count <= 0)
            break;
        drained += count;
    }
    return drained;
}

int SetPortLines(int index, int drop) {
    PortRecord* record = OpenRecord(index);
    if (record == nullptr)
        return 0;
    SerialBackend& os = CurrentSerialBackend();
    // A pseudo-terminal has no modem lines; its refusal changes nothing.
    const SerialStatus dtr = os.SetModemLine(
        record->handle, drop == 0 ? ModemLineCall::kSetDtr : ModemLineCall::kClearDtr);
    const SerialStatus rts = os.SetModemLine(
        record->handle, drop == 0 ? ModemLineCall::kSetRts : ModemLineCall::kClearRts);
    NoteEvent(
        "port " + ComName(*record) + (drop == 0 ? " DTR and RTS set" : " DTR and RTS cleared") +
        (dtr.ok() && rts.ok() ? "" : " (refused: " + (dtr.ok() ? rts.message : dtr.message) + ")"));
    return 0;
}

void WaitForInput(int index, int ms) {
    PortRecord* record = OpenRecord(index);
    if (record == nullptr || ms <= 0)
        return;
    CurrentSerialBackend().WaitReadable(record->handle, ms);
}

const PortRecord& PortRecordAt(int index) {
    static const PortRecord kNoRecord{};
    return InRange(index) ? gDriver.table[static_cast<std::size_t>(index)] : kNoRecord;
}

void CloseAllPorts() {
    for (int index = 0; index <= kHighestPortIndex; ++index) ClosePort(index);
}

}  // namespace vorlan
