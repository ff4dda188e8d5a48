// The serial driver's OS calls on POSIX systems (termios). Nothing else in
// the program talks to a serial device.
#include "platform/serial_backend.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "platform/posix/open_failure_advice.h"

namespace vorlan {

namespace {

// The one place where an errno value becomes a driver error.
SerialStatus SystemError(int error) {
    SerialStatus status;
    status.message = std::strerror(error);
    switch (error) {
        case 0:
            status.kind = SerialErrorKind::kNone;
            status.message.clear();
            break;
        case ENOENT:
        case ENODEV:
        case ENXIO:
            status.kind = SerialErrorKind::kNotFound;
            break;
        case EBUSY:
        case EWOULDBLOCK:
            status.kind = SerialErrorKind::kBusy;
            break;
        case EACCES:
        case EPERM:
            status.kind = SerialErrorKind::kDenied;
            break;
        case EINVAL:
        case ENOTTY:
        case EOPNOTSUPP:
            status.kind = SerialErrorKind::kNotSupported;
            break;
        case EIO:
        case EPIPE:
            status.kind = SerialErrorKind::kHungUp;
            break;
        case ETIMEDOUT:
            status.kind = SerialErrorKind::kTimedOut;
            break;
        default:
            status.kind = SerialErrorKind::kOther;
            break;
    }
    return status;
}

SerialStatus LastError() {
    return SystemError(errno);
}

// A failed open says what the technician can do about it, beside the OS text.
SerialStatus OpenError(int error, const std::string& devicePath) {
    SerialStatus status = SystemError(error);
    status.message += posix::OpenFailureAdvice(error, devicePath);
    return status;
}

struct SpeedCode {
    std::uint32_t baud;
    speed_t code;
};

constexpr SpeedCode kSpeeds[] = {
    {1200, B1200},     {2400, B2400},     {4800, B4800},     {9600, B9600},
    {19200, B19200},   {38400, B38400},   {57600, B57600},   {115200, B115200},
    {230400, B230400}, {460800, B460800}, {921600, B921600},
};

bool SpeedOf(std::uint32_t baud, speed_t& code) {
    for (const SpeedCode& s : kSpeeds) {
        if (s.baud == baud) {
            code = s.code;
            return true;
        }
    }
    return false;
}

std::uint32_t BaudOf(speed_t code) {
    for (const SpeedCode& s : kSpeeds) {
        if (s.code == code)
            return s.baud;
    }
    return 0;
}

tcflag_t SizeFlag(std::uint8_t dataBits) {
    switch (dataBits) {
        case 5:
            return CS5;
        case 6:
            return CS6;
        case 7:
            return CS7;
        default:
            return CS8;
    }
}

std::uint8_t DataBitsOf(tcflag_t cflag) {
    switch (cflag & CSIZE) {
        case CS5:
            return 5;
        case CS6:
            return 6;
        case CS7:
            return 7;
        default:
            return 8;
    }
}

// The settings flags that make up the driver's line, for the read-back check.
constexpr tcflag_t kCheckedCflags = CSIZE | CSTOPB | PARENB | PARODD | CRTSCTS | CLOCAL | CREAD;
constexpr tcflag_t kCheckedIflags = IXON | IXOFF | INPCK | ICRNL | ISTRIP | IGNBRK | BRKINT;
constexpr tcflag_t kCheckedLflags = ICANON | ECHO | ISIG | IEXTEN;

// Rounded up: poll() takes whole milliseconds, and a wait cut short would
// make every 5 ms pause, and so every time limit of a run, shorter.
int RemainingMs(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>((left.count() + 999) / 1000) : 0;
}

class PosixSerialBackend final : public SerialBackend {
public:
    SerialStatus OpenExclusive(const std::string& devicePath, int& handle) override {
        handle = -1;
        // O_NONBLOCK: never wait for a carrier, and reads of an empty queue
        // return EAGAIN instead of waiting.
        int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return OpenError(errno, devicePath);
        // The flock keeps out every other open, ours and other processes',
        // including root's; TIOCEXCL also keeps out tools that do not flock.
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            // "Resource temporarily unavailable" would hide that it is busy.
            const int error = errno == EWOULDBLOCK ? EBUSY : errno;
            ::close(fd);
            return OpenError(error, devicePath);
        }
        if (::ioctl(fd, TIOCEXCL) != 0 && errno != ENOTTY) {
            SerialStatus status = OpenError(errno, devicePath);
            ::close(fd);
            return status;
        }
        handle = fd;
        return {};
    }

    SerialStatus GetLineSettings(int handle, LineSettings& settings) override {
        termios tio{};
        if (::tcgetattr(handle, &tio) != 0)
            return LastError();
        settings.baud = BaudOf(cfgetospeed(&tio));
        settings.dataBits = DataBitsOf(tio.c_cflag);
        settings.parity = (tio.c_cflag & PARENB) == 0 ? 0 : (tio.c_cflag & PARODD) != 0 ? 1 : 2;
        settings.stopBits = (tio.c_cflag & CSTOPB) != 0 ? 2 : 0;
        settings.binary = (tio.c_lflag & ICANON) == 0;
        settings.parityCheck = (tio.c_iflag & INPCK) != 0;
        settings.ctsFlow = (tio.c_cflag & CRTSCTS) != 0;
        settings.rtsHandshake = settings.ctsFlow;
        settings.dsrFlow = false;
        settings.dsrSensitivity = false;
        settings.txContinueOnXoff = false;
        settings.xonXoffOut = (tio.c_iflag & IXON) != 0;
        settings.xonXoffIn = (tio.c_iflag & IXOFF) != 0;
        settings.errorChar = (tio.c_iflag & PARMRK) != 0;
        settings.discardNull = (tio.c_iflag & IGNBRK) != 0;
        settings.dtrHandshake = false;
        settings.abortOnError = false;
        return {};
    }

    SerialStatus SetLineSettings(int handle, const LineSettings& s) override {
        speed_t speed{};
        // Requests this platform cannot carry out are refused, not rounded:
        // mark and space parity, one and a half stop bits, DSR handshakes.
        if (!SpeedOf(s.baud, speed) || s.dataBits < 5 || s.dataBits > 8 || s.parity > 2 ||
            s.stopBits == 1 || s.stopBits > 2 || s.dsrFlow || s.dsrSensitivity || s.dtrHandshake ||
            s.ctsFlow != s.rtsHandshake) {
            return SystemError(EINVAL);
        }
        termios tio{};
        if (::tcgetattr(handle, &tio) != 0)
            return LastError();
        ::cfmakeraw(&tio);
        tio.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CRTSCTS);
        tio.c_cflag |= SizeFlag(s.dataBits) | CLOCAL | CREAD;
        if (s.parity != 0)
            tio.c_cflag |= PARENB | (s.parity == 1 ? PARODD : 0);
        if (s.parity != 0 && s.parityCheck)
            tio.c_iflag |= INPCK;
        if (s.stopBits == 2)
            tio.c_cflag |= CSTOPB;
        if (s.ctsFlow)
            tio.c_cflag |= CRTSCTS;
        tio.c_iflag &= ~(IXON | IXOFF | IXANY);
        if (s.xonXoffOut)
            tio.c_iflag |= IXON;
        if (s.xonXoffIn)
            tio.c_iflag |= IXOFF;
        // VMIN 1 / VTIME 0 with O_NONBLOCK: an empty queue reads as EAGAIN.
        tio.c_cc[VMIN] = 1;
        tio.c_cc[VTIME] = 0;
        if (::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0) {
            return LastError();
        }
        if (::tcsetattr(handle, TCSANOW, &tio) != 0)
            return LastError();
        // tcsetattr succeeds when any part of the request was taken, so read
        // the line back and compare what matters to the board link.
        termios back{};
        if (::tcgetattr(handle, &back) != 0)
            return LastError();
        if ((back.c_cflag & kCheckedCflags) != (tio.c_cflag & kCheckedCflags) ||
            (back.c_iflag & kCheckedIflags) != (tio.c_iflag & kCheckedIflags) ||
            (back.c_lflag & kCheckedLflags) != (tio.c_lflag & kCheckedLflags) ||
            cfgetospeed(&back) != speed || cfgetispeed(&back) != speed) {
            return SystemError(EINVAL);
        }
        return {};
    }

    SerialStatus SetQueueSizes(int, std::uint32_t, std::uint32_t) override {
        return {};  // the tty layer's queues are fixed
    }

    SerialStatus SetTimeouts(int handle, const PortTimeouts& t) override {
        // Only "reads return at once" is needed of the device itself; the
        // write time-out is kept by Write. Anything else is refused.
        if (t.readInterval != 0xFFFFFFFFu || t.readTotalMultiplier != 0 ||
            t.readTotalConstant != 0) {
            return SystemError(EINVAL);
        }
        int flags = ::fcntl(handle, F_GETFL);
        if (flags < 0)
            return LastError();
        if ((flags & O_NONBLOCK) == 0 && ::fcntl(handle, F_SETFL, flags | O_NONBLOCK) != 0) {
            return LastError();
        }
        return {};
    }

    SerialStatus Write(int handle, const std::uint8_t* bytes, std::size_t count,
                       std::uint32_t timeoutMs) override {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        std::size_t done = 0;
        while (done < count) {
            ssize_t n = ::write(handle, bytes + done, count - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
                return LastError();
            // The output queue is full: wait for room, but not past the limit.
            int left = RemainingMs(deadline);
            if (left == 0)
                return SystemError(ETIMEDOUT);
            pollfd p{handle, POLLOUT, 0};
            int r = ::poll(&p, 1, left);
            if (r < 0 && errno != EINTR)
                return LastError();
            if (r > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
                return SystemError(EIO);
            }
        }
        return {};
    }

    SerialStatus DrainOutput(int handle) override {
        while (::tcdrain(handle) != 0) {
            if (errno != EINTR)
                return LastError();
        }
        return {};
    }

    SerialStatus ReadNonBlocking(int handle, std::uint8_t* buffer, std::size_t capacity,
                                 std::size_t& received) override {
        received = 0;
        if (capacity == 0)
            return {};
        for (;;) {
            ssize_t n = ::read(handle, buffer, capacity);
            if (n > 0) {
                received = static_cast<std::size_t>(n);
                return {};
            }
            if (n == 0)
                return SystemError(EIO);  // hang-up: end of file
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return {};
            return LastError();
        }
    }

    bool WaitReadable(int handle, int timeoutMs) override {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            int left = RemainingMs(deadline);
            pollfd p{handle, POLLIN, 0};
            int r = ::poll(&p, 1, left);
            if (r < 0 && errno == EINTR)
                continue;
            if (r <= 0)
                return false;
            int queued = 0;
            if ((p.revents & POLLIN) != 0 && ::ioctl(handle, FIONREAD, &queued) == 0 &&
                queued > 0) {
                return true;
            }
            // A line that has gone away polls ready for ever; sit out the rest
            // of the wait so the caller's time-outs keep their length.
            std::this_thread::sleep_for(std::chrono::milliseconds(RemainingMs(deadline)));
            return false;
        }
    }

    SerialStatus SetModemLine(int handle, ModemLineCall call) override {
        int bits = (call == ModemLineCall::kSetRts || call == ModemLineCall::kClearRts) ? TIOCM_RTS
                                                                                        : TIOCM_DTR;
        bool set = call == ModemLineCall::kSetRts || call == ModemLineCall::kSetDtr;
        if (::ioctl(handle, set ? TIOCMBIS : TIOCMBIC, &bits) != 0)
            return LastError();
        return {};
    }

    SerialStatus SetLowLatency(int handle, bool on, bool& wasOn) override {
        wasOn = false;
        // Only drivers that keep serial settings answer TIOCGSERIAL (UARTs,
        // USB adapters); a pseudo-terminal says ENOTTY and is left alone.
        serial_struct serial{};
        if (::ioctl(handle, TIOCGSERIAL, &serial) != 0)
            return LastError();
        wasOn = (serial.flags & ASYNC_LOW_LATENCY) != 0;
        if (wasOn == on)
            return {};
        // Everything else goes back as it was read: a user may change only
        // this flag and a few like it without privileges.
        if (on) {
            serial.flags |= ASYNC_LOW_LATENCY;
        } else {
            serial.flags &= ~ASYNC_LOW_LATENCY;
        }
        if (::ioctl(handle, TIOCSSERIAL, &serial) != 0)
            return LastError();
        return {};
    }

    bool StillNamedBy(int handle, const std::string& devicePath) override {
        // No events asked for: a hang-up and an error are reported anyway.
        pollfd p{handle, 0, 0};
        if (::poll(&p, 1, 0) < 0 || (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0)
            return false;
        // A replugged adapter is a new device node, even under the old name.
        struct stat held {};
        struct stat named {};
        if (::fstat(handle, &held) != 0 || ::stat(devicePath.c_str(), &named) != 0)
            return false;
        return held.st_dev == named.st_dev && held.st_ino == named.st_ino &&
               held.st_rdev == named.st_rdev;
    }

    void Close(int handle) override {
        if (handle < 0)
            return;
        ::ioctl(handle, TIOCNXCL);
        ::close(handle);  // also releases the flock
    }
};

}  // namespace

SerialBackend& PlatformSerialBackend() {
    static PosixSerialBackend backend;
    return backend;
}

}  // namespace vorlan
