// A model of a board's boot loader, built from the serial line protocol
// alone. It is fed the bytes the updater sends, in chunks of any size, and
// returns the bytes the board answers. It owns no port and reads no clock:
// the caller passes the time (milliseconds, any origin, never going back) with
// each chunk. Bytes the board sends later or on its own (a slow answer, line
// noise, a fault's extra bytes) are planned as timed bursts that the transport
// collects with TakeDue. Single-threaded; the transport (a fake port in tests,
// a pseudo-terminal in vorlan-board) moves the bytes.
//
// Host -> board
//   0xC2 / 0xC5              search byte: starts a new session (below)
//   0xCC                     programming mode: answered with one byte ('K' by default)
//   A2 A1 A0 C [C] D.. S     program or head block: address in program address units
//                            (most significant byte first), count of data bytes (1
//                            byte on PIC18 chips, 2 bytes MSB first on the 16-bit
//                            chips 254/253), data, checksum
//   0x40 a v 0x01 0x00 S     EEPROM byte v at address a
//   (S: the checksum, all bytes of the frame add up to 0 modulo 256)
//
// Board -> host
//   'V' bios chip board prep 'K'      full identity answer
//   chip 'K'                          short identity answer
//   'R' 28 0x00 text[24] ss ss sl sl 'K'
//                                     information frame after a full answer with a BIOS
//                                     byte 8..31: release text zero-padded, skip window
//                                     start and length little-endian (address units)
//   'K' / 'N'                         frame written / refused
//
// Sessions and frame numbers. Before the first search byte every other byte
// is ignored. Each answered search byte starts a session. A byte that arrives
// between frames opens a frame by its first byte (0x40 an EEPROM frame, 0xC2,
// 0xC5 and 0xCC are single-byte commands, anything else a program block). The
// frames of a session are numbered from 0 in the order the board accepts
// them: the number moves on when a frame is acknowledged or deliberately left
// unanswered, and stays when a frame is refused, so the resend of a refused
// frame carries the same number. Faults (BoardFaults) name frames by this
// number and apply again in every session.
//
// Refusals ('N', nothing stored): a bad checksum; a block whose data would lie
// outside program memory; a block that announces more data than the chip's
// block size (its bytes are still read to the announced end, so the framing
// stays in step); a refusal fault. A frame left incomplete for longer than
// frameTimeoutMs is dropped unanswered, as a board's receive time-out does, so
// a host that died in mid-frame cannot wedge the link.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vorlan::board {

using Bytes = std::vector<std::uint8_t>;

inline constexpr int kEepromSize = 256;
// Where the EEPROM lies in the dump: the PIC18 data EEPROM address of HEX
// files. The 16-bit chips have no EEPROM; EEPROM frames sent to them are
// still kept and dumped there.
inline constexpr std::uint32_t kEepromHexAddress = 0xF00000;

// Memory layout of a chip identity. Unknown identities are served like a
// 32 KiB PIC18 so that a board with a made-up chip still talks.
struct ChipLayout {
    int bytesPerAddress = 1;           // image bytes per program address unit
    std::uint32_t memoryTop = 0x8000;  // program memory size, address units
    int blockSize = 64;                // data bytes of a full block
    int countBytes = 1;                // size of the count field of a block frame
};
ChipLayout LayoutOfChip(std::uint8_t chipIdentity);

struct BoardConfig {
    std::uint8_t chipIdentity = 254;  // PIC24HJ64
    std::uint8_t biosByte = 9;
    std::uint8_t boardCode = 0;
    std::uint8_t preparation = 0;
    bool shortIdentity = false;                 // answer chip 'K' instead of the full answer
    std::string releaseText = "DEMO BOOT 1.0";  // first 24 characters are sent
    std::uint16_t skipStart = 0;                // address units
    std::uint16_t skipLength = 0;
    std::optional<std::uint8_t> programmingModeReply = 'K';  // nullopt: 0xCC unanswered
    // The answer to 0xCC comes this much later (erasing the flash, say), and
    // until then the board hears nothing.
    std::uint32_t programmingModeDelayMs = 0;
    // Search bytes arriving before this time are ignored (a board that comes
    // out of reset late).
    std::uint64_t answerSearchFromMs = 0;
    // A frame with no new byte for longer than this is dropped; 0 never.
    std::uint64_t frameTimeoutMs = 200;
};

struct BoardFaults {
    std::map<int, int> refuse;       // frame number -> refusals before it is taken
    std::set<int> silent;            // frames left unanswered (and not stored)
    std::map<int, Bytes> stray;      // bytes sent just before the frame's 'K'
    std::optional<int> hangUpAfter;  // the line goes away after this frame's 'K'
    // Frames refused once with 'N' and 'K' together (nothing stored).
    std::set<int> refuseWithAck;
    // Bytes sent on their own right after the frame's answer: a second answer
    // that reaches the host after the first, before its next frame.
    std::map<int, Bytes> afterAnswer;
    // Bytes sent right after the identity answer (and information frame),
    // with it: a second information frame hidden in noise, say.
    Bytes afterIdentity;
    // For this many milliseconds after the identity answer the board sends
    // 'K' at the line's rate (10 a millisecond) and hears nothing.
    int ackFloodMs = 0;
    // Line noise: these bytes every noiseEveryMs (0: none), from the first
    // search byte on.
    Bytes noise;
    std::uint32_t noiseEveryMs = 0;
    // Every frame (not the search byte or 0xCC) answered this much later: a
    // slow board.
    std::uint32_t answerDelayMs = 0;
    // frame number -> bytes of it received when the board restarts (a reset,
    // a brown-out while it writes its flash): the frame is lost, memory stays,
    // and the board waits for a search byte again, which may be one of the
    // bytes still to come of that very frame.
    std::map<int, std::size_t> restartInFrame;
    // The first identity answer only (a board coming out of reset), so the
    // next search byte gets a clean one. Byte position in the answer ->
    // bytes put in before it: 0 before the 'V', 5 before its 'K'.
    std::map<std::size_t, Bytes> identityStray;
    // The board restarts after this many bytes of its first information
    // frame and, starting again, sends its whole identity answer once more.
    std::optional<std::size_t> restartInInfoFrame;
};

// Bytes the board sends on its own schedule rather than at once as the
// answer to the host's bytes: late answers, noise, injected faults.
struct TimedBurst {
    std::uint64_t atMs = 0;
    Bytes bytes;
};

enum class FrameKind : std::uint8_t {
    Search,           // data: the search byte
    ProgrammingMode,  // 0xCC
    ProgramBlock,     // address and data of a block
    Eeprom,           // address and the one value
    Dropped,          // incomplete frame given up after the time-out; data: its bytes
};

enum class Answer : std::uint8_t { Ack, Refusal, None };

struct ReceivedFrame {
    FrameKind kind = FrameKind::Search;
    int number = -1;            // frame number in its session; -1 for single bytes
    std::uint32_t address = 0;  // program address units, or EEPROM address
    Bytes data;                 // data bytes as announced and received
    bool checksumOk = true;
    bool stored = false;  // written into the board's memory
    Answer answer = Answer::None;
    std::uint64_t atMs = 0;  // time of the frame's last byte
};

class BootLoaderModel {
public:
    explicit BootLoaderModel(BoardConfig config = {}, BoardFaults faults = {});

    // Takes the next n bytes from the host (n may be 0; bytes may be null
    // when n is 0) and returns the board's answer to them, possibly empty.
    // nowMs is when the chunk's last byte arrived; a caller that always
    // passes 0 gets no receive time-out and no late board.
    Bytes Receive(const std::uint8_t* bytes, std::size_t n, std::uint64_t nowMs = 0);
    Bytes Receive(const Bytes& bytes, std::uint64_t nowMs = 0) {
        return Receive(bytes.data(), bytes.size(), nowMs);
    }

    // The bursts due at or before nowMs, in time order, each meant to reach
    // the host on its own (after what Receive returned at the same time).
    std::vector<TimedBurst> TakeDue(std::uint64_t nowMs);
    // When the next burst is due; nullopt when none is planned.
    std::optional<std::uint64_t> NextDueMs() const;

    // True once the hang-up fault has fired: the transport should drop the
    // line. From then on every byte is ignored until Reconnect().
    bool HungUp() const { return hungUp_; }
    void Reconnect();

    const BoardConfig& Config() const { return config_; }
    const ChipLayout& Layout() const { return layout_; }

    // Program memory as image bytes: offset = address x bytesPerAddress,
    // erased = 0xFF. EEPROM: 256 bytes, erased = 0xFF.
    const Bytes& ProgramMemory() const { return program_; }
    const Bytes& Eeprom() const { return eeprom_; }
    // Back to erased memory (the log and the session stay).
    void EraseMemory();
    // Times program memory or EEPROM has been written (for "changed since").
    std::uint64_t WriteCount() const { return writeCount_; }

    // Everything received, in order, since construction or ClearLog().
    const std::vector<ReceivedFrame>& Log() const { return log_; }
    void ClearLog() { log_.clear(); }
    int Sessions() const { return sessions_; }

    // Program memory and EEPROM as Intel HEX: image offsets as byte
    // addresses, EEPROM at 0xF00000; lines of 16 data bytes, lines that are
    // wholly erased left out; extended linear address records where needed.
    std::string IntelHex() const;

private:
    enum class Phase : std::uint8_t { BeforeSearch, BetweenFrames, InFrame };

    void TakeByte(std::uint8_t byte, std::uint64_t nowMs, Bytes& out);
    void StartSession(std::uint8_t searchByte, std::uint64_t nowMs, Bytes& out);
    void AppendIdentity(Bytes& out) const;
    void SpoilFirstIdentity(Bytes& answer) const;
    std::size_t ExpectedFrameLength() const;  // 0 while not yet known
    void FinishFrame(std::uint64_t nowMs, Bytes& out);
    void Settle(ReceivedFrame& frame, bool storable, Bytes& out);
    void Store(const ReceivedFrame& frame);
    void Plan(std::uint64_t atMs, Bytes bytes);
    void TakeProgrammingMode(std::uint8_t byte, std::uint64_t nowMs, Bytes& out);
    bool RestartsNow();

    BoardConfig config_;
    BoardFaults faults_;
    ChipLayout layout_;
    Bytes program_;
    Bytes eeprom_;
    std::uint64_t writeCount_ = 0;

    Phase phase_ = Phase::BeforeSearch;
    Bytes frame_;  // bytes of the frame being received
    std::uint64_t lastByteMs_ = 0;
    int frameNumber_ = 0;
    std::map<int, int> refusalsGiven_;  // this session
    int sessions_ = 0;
    bool hungUp_ = false;
    std::vector<TimedBurst> planned_;  // in time order
    std::optional<std::uint64_t> nextNoiseMs_;
    std::uint64_t deafUntilMs_ = 0;
    std::vector<ReceivedFrame> log_;
};

}  // namespace vorlan::board
