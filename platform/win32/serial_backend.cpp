// The serial driver's OS calls on Windows: the communications functions of
// Win32 on "\\.\COM<n>". Nothing else in the program talks to a serial device.
#include "platform/serial_backend.h"

#include <windows.h>
// After windows.h:
#include <mmsystem.h>

#include <algorithm>
#include <chrono>
#include <mutex>

#include "platform/win32/system_error.h"

namespace vorlan {

namespace {

// The one place where a Win32 error code becomes a driver error. On a device
// we hold, every refusal means the device has gone: a USB adapter pulled out
// answers with "access denied", "bad command" or others, by its driver.
SerialStatus SystemError(DWORD error, bool deviceHeld = false) {
    SerialStatus status;
    if (error == ERROR_SUCCESS)
        return status;
    status.message = SystemMessage(error);
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_BAD_UNIT:
        case ERROR_NOT_READY:
        case ERROR_INVALID_NAME:
            status.kind = SerialErrorKind::kNotFound;
            break;
        // A COM port that another program holds refuses with "access denied".
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_BUSY:
            status.kind = SerialErrorKind::kBusy;
            break;
        case ERROR_INVALID_FUNCTION:
        case ERROR_NOT_SUPPORTED:
        case ERROR_INVALID_PARAMETER:
            status.kind = SerialErrorKind::kNotSupported;
            break;
        // What a USB adapter pulled out while open answers, depending on its
        // driver.
        case ERROR_BAD_COMMAND:
        case ERROR_GEN_FAILURE:
        case ERROR_DEV_NOT_EXIST:
        case ERROR_BROKEN_PIPE:
        case ERROR_OPERATION_ABORTED:
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_DEVICE_REMOVED:
            status.kind = SerialErrorKind::kHungUp;
            break;
        case ERROR_SEM_TIMEOUT:
        case ERROR_TIMEOUT:
        case WAIT_TIMEOUT:
            status.kind = SerialErrorKind::kTimedOut;
            break;
        default:
            status.kind = SerialErrorKind::kOther;
            break;
    }
    if (deviceHeld && status.kind != SerialErrorKind::kTimedOut)
        status.kind = SerialErrorKind::kHungUp;
    return status;
}

SerialStatus LastError() {
    return SystemError(GetLastError());
}

// A failed call on a device we hold.
SerialStatus LineError() {
    return SystemError(GetLastError(), true);
}

// Kernel handles carry 32 significant bits on 64-bit Windows too, so the
// driver's int holds one (HandleToLong and LongToHandle are made for this).
HANDLE HandleOf(int handle) {
    return LongToHandle(handle);
}

// Sleep(1) sleeps a whole scheduler tick (often 15.6 ms) unless the timer
// runs at 1 ms; it does while any port is open, so a 5 ms pause that waits
// for input stays near 5 ms.
class TimerResolution {
public:
    void Hold() {
        std::lock_guard<std::mutex> lock(mutex_);
        if (holders_++ == 0)
            timeBeginPeriod(1);
    }
    void Release() {
        std::lock_guard<std::mutex> lock(mutex_);
        if (holders_ > 0 && --holders_ == 0)
            timeEndPeriod(1);
    }

private:
    std::mutex mutex_;
    int holders_ = 0;
};

// Milliseconds left until deadline, rounded up: rounding down would make
// every 5 ms pause, and so every time limit of a run, shorter.
DWORD RemainingMs(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<DWORD>((left.count() + 999) / 1000) : 0;
}

// Between two looks at the input queue. A 1 ms sleep finds a board's answer
// half a millisecond late on average, which adds up over the hundreds of
// answers of a run; a 200 us delay finds it sooner where the system sleeps
// that finely (wine does). Windows rounds it up to its timer's 1 ms, as it
// does Sleep(1).
void SleepUntilNextLook() {
    using DelayFunction = LONG(NTAPI*)(BOOLEAN alertable, PLARGE_INTEGER interval);
    static const auto delay = reinterpret_cast<DelayFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtDelayExecution")));
    if (delay == nullptr) {
        Sleep(1);
        return;
    }
    LARGE_INTEGER interval;
    interval.QuadPart = -2000;  // relative, in 100 ns units
    delay(FALSE, &interval);
}

class Win32SerialBackend final : public SerialBackend {
public:
    SerialStatus OpenExclusive(const std::string& devicePath, int& handle) override {
        handle = -1;
        // Share mode 0: no other open of the port while we hold it.
        HANDLE device = CreateFileA(devicePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        if (device == INVALID_HANDLE_VALUE)
            return LastError();
        timer_.Hold();
        handle = HandleToLong(device);
        return {};
    }

    SerialStatus GetLineSettings(int handle, LineSettings& settings) override {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!GetCommState(HandleOf(handle), &dcb))
            return LastError();
        settings.baud = dcb.BaudRate;
        settings.dataBits = dcb.ByteSize;
        settings.parity = dcb.Parity;
        settings.stopBits = dcb.StopBits;
        settings.binary = dcb.fBinary != 0;
        settings.parityCheck = dcb.fParity != 0;
        settings.ctsFlow = dcb.fOutxCtsFlow != 0;
        settings.dsrFlow = dcb.fOutxDsrFlow != 0;
        settings.dsrSensitivity = dcb.fDsrSensitivity != 0;
        settings.txContinueOnXoff = dcb.fTXContinueOnXoff != 0;
        settings.xonXoffOut = dcb.fOutX != 0;
        settings.xonXoffIn = dcb.fInX != 0;
        settings.errorChar = dcb.fErrorChar != 0;
        settings.discardNull = dcb.fNull != 0;
        settings.dtrHandshake = dcb.fDtrControl == DTR_CONTROL_HANDSHAKE;
        settings.rtsHandshake = dcb.fRtsControl == RTS_CONTROL_HANDSHAKE;
        settings.abortOnError = dcb.fAbortOnError != 0;
        return {};
    }

    SerialStatus SetLineSettings(int handle, const LineSettings& s) override {
        DCB dcb{};
        dcb.DCBlength = sizeof dcb;
        if (!GetCommState(HandleOf(handle), &dcb))
            return LastError();
        dcb.BaudRate = s.baud;
        dcb.fBinary = s.binary;
        dcb.fParity = s.parityCheck;
        dcb.fOutxCtsFlow = s.ctsFlow;
        dcb.fOutxDsrFlow = s.dsrFlow;
        // Without a handshake the line is held low; SetPortLines moves it.
        dcb.fDtrControl = s.dtrHandshake ? DTR_CONTROL_HANDSHAKE : DTR_CONTROL_DISABLE;
        dcb.fDsrSensitivity = s.dsrSensitivity;
        dcb.fTXContinueOnXoff = s.txContinueOnXoff;
        dcb.fOutX = s.xonXoffOut;
        dcb.fInX = s.xonXoffIn;
        dcb.fErrorChar = s.errorChar;
        dcb.fNull = s.discardNull;
        dcb.fRtsControl = s.rtsHandshake ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_DISABLE;
        dcb.fAbortOnError = s.abortOnError;
        dcb.ByteSize = s.dataBits;
        dcb.Parity = s.parity;
        dcb.StopBits = s.stopBits;
        if (!SetCommState(HandleOf(handle), &dcb))
            return LastError();
        // Some drivers take a request they cannot carry out and keep what
        // they had; read the line back and compare what the board hears.
        DCB back{};
        back.DCBlength = sizeof back;
        if (!GetCommState(HandleOf(handle), &back))
            return LastError();
        if (back.BaudRate != dcb.BaudRate || back.ByteSize != dcb.ByteSize ||
            back.Parity != dcb.Parity || back.StopBits != dcb.StopBits) {
            return SystemError(ERROR_INVALID_PARAMETER);
        }
        return {};
    }

    SerialStatus SetQueueSizes(int handle, std::uint32_t input, std::uint32_t output) override {
        if (!SetupComm(HandleOf(handle), input, output))
            return LastError();
        return {};
    }

    SerialStatus SetTimeouts(int handle, const PortTimeouts& t) override {
        COMMTIMEOUTS timeouts{};
        timeouts.ReadIntervalTimeout = t.readInterval;
        timeouts.ReadTotalTimeoutMultiplier = t.readTotalMultiplier;
        timeouts.ReadTotalTimeoutConstant = t.readTotalConstant;
        timeouts.WriteTotalTimeoutMultiplier = t.writeTotalMultiplier;
        timeouts.WriteTotalTimeoutConstant = t.writeTotalConstant;
        if (!SetCommTimeouts(HandleOf(handle), &timeouts))
            return LastError();
        return {};
    }

    // The port's write time-out (SetTimeouts) is the driver's limit for a
    // write of this size, so WriteFile keeps it: it returns with fewer bytes
    // written when the limit has passed, and then the write has failed.
    SerialStatus Write(int handle, const std::uint8_t* bytes, std::size_t count,
                       std::uint32_t) override {
        std::size_t done = 0;
        while (done < count) {
            const auto piece = static_cast<DWORD>(std::min<std::size_t>(count - done, 1u << 30));
            DWORD written = 0;
            if (!WriteFile(HandleOf(handle), bytes + done, piece, &written, nullptr))
                return LineError();
            if (written < piece)
                return SystemError(ERROR_TIMEOUT);
            done += written;
        }
        return {};
    }

    SerialStatus DrainOutput(int handle) override {
        if (!FlushFileBuffers(HandleOf(handle)))
            return LineError();
        return {};
    }

    // Asks the driver how many bytes wait before reading, and reads no more:
    // the read then returns at once whatever the port's read time-outs are.
    // A device that has gone away fails ClearCommError.
    SerialStatus ReadNonBlocking(int handle, std::uint8_t* buffer, std::size_t capacity,
                                 std::size_t& received) override {
        received = 0;
        if (capacity == 0)
            return {};
        DWORD waiting = 0;
        SerialStatus status = BytesWaiting(handle, waiting);
        if (!status.ok() || waiting == 0)
            return status;
        const auto wanted = static_cast<DWORD>(std::min<std::size_t>(capacity, waiting));
        DWORD read = 0;
        if (!ReadFile(HandleOf(handle), buffer, wanted, &read, nullptr))
            return LineError();
        received = read;
        return {};
    }

    // Polls the input queue each millisecond (the timer runs at 1 ms while a
    // port is open): the event calls for a waiting read are not reliable on
    // every driver, and a poll costs nothing measurable.
    bool WaitReadable(int handle, int timeoutMs) override {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
        for (;;) {
            DWORD waiting = 0;
            if (!BytesWaiting(handle, waiting).ok()) {
                // The line has gone away: sit out the wait so the caller's
                // time-outs keep their length.
                Sleep(RemainingMs(deadline));
                return false;
            }
            if (waiting > 0)
                return true;
            const DWORD left = RemainingMs(deadline);
            if (left == 0)
                return false;
            SleepUntilNextLook();
        }
    }

    SerialStatus SetModemLine(int handle, ModemLineCall call) override {
        // The codes are EscapeCommFunction's own (SETRTS 3 ... CLRDTR 6).
        if (!EscapeCommFunction(HandleOf(handle), static_cast<DWORD>(call)))
            return LastError();
        return {};
    }

    // The latency timer of a USB adapter is a setting of its driver in the
    // registry on Windows (and the adapters' own tools change it), not a
    // call on an open port.
    SerialStatus SetLowLatency(int, bool, bool& wasOn) override {
        wasOn = false;
        return SystemError(ERROR_NOT_SUPPORTED);
    }

    // Windows keeps a COM name with its adapter across a replug, and the
    // handle of an adapter that was pulled out stays dead: a handle that
    // still answers is the device its name opens.
    bool StillNamedBy(int handle, const std::string&) override {
        DWORD waiting = 0;
        return BytesWaiting(handle, waiting).ok();
    }

    void Close(int handle) override {
        if (handle < 0)
            return;
        CloseHandle(HandleOf(handle));
        timer_.Release();
    }

private:
    static SerialStatus BytesWaiting(int handle, DWORD& waiting) {
        DWORD errors = 0;
        COMSTAT state{};
        if (!ClearCommError(HandleOf(handle), &errors, &state))
            return LineError();
        waiting = state.cbInQue;
        return {};
    }

    TimerResolution timer_;
};

}  // namespace

SerialBackend& PlatformSerialBackend() {
    static Win32SerialBackend backend;
    return backend;
}

}  // namespace vorlan
