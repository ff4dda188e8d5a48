// Command frames to the boot loader, their retries, and the failure texts of
// the link.
//
//   +--------------------+----------+
//   | body (n >= 1 bytes) | checksum |  checksum = -(sum of body) mod 256
//   +--------------------+----------+
//
// Commands (host -> board)
//   0xC2 / 0xC5        search byte, Updater / Upgrade mode (single byte)
//   0xCC               programming mode (single byte, no answer relied upon)
//   A2 A1 A0 C [C] D.. program or head block (count 1 byte when block <= 255)
//   0x40 addr val 0x01 0x00   EEPROM byte
// Replies (board -> host): see engine/reply_parser.h
#pragma once

#include <cstdint>
#include <string>

namespace vorlan {

// Link results of SendCommand and ShowLinkError.
inline constexpr std::int16_t kLinkOk = 0;
inline constexpr std::int16_t kLinkNoResponse = -1;
inline constexpr std::int16_t kLinkUserAbort = -2;
inline constexpr std::int16_t kLinkChecksumError = -3;
inline constexpr std::int16_t kLinkIncompatibleBootloader = -4;
// A reply that answers no frame of ours: one waiting before a frame was sent,
// or a second acknowledgement with the answer. Frames and answers are out of
// step, and an acknowledgement can no longer be trusted to mean "written".
inline constexpr std::int16_t kLinkOutOfStep = -5;
// An identity answer came back instead of the frame's answer: the board's boot
// loader started again (a reset or a brown-out) and lost the frame.
inline constexpr std::int16_t kLinkBoardRestarted = -6;
// The identity answer or its information frame may have been misread: bytes
// arrived after them before the first command went out (line noise, a second
// answer, a restart), or the information frame of a 16-bit part never
// completed, which leaves its skip window unknown. Nothing was written.
inline constexpr std::int16_t kLinkGarbledIdentity = -7;

inline constexpr std::uint8_t kSearchByteUpdater = 0xC2;
inline constexpr std::uint8_t kSearchByteUpgrade = 0xC5;
inline constexpr std::uint8_t kProgrammingModeByte = 0xCC;
inline constexpr std::uint8_t kEepromCommand = 0x40;
inline constexpr std::uint8_t kReplyAck = 'K';
inline constexpr std::uint8_t kReplyRefusal = 'N';
inline constexpr std::uint8_t kReplyIdentity = 'V';
inline constexpr std::uint8_t kReplyInformation = 'R';

inline constexpr int kSendTries = 5;
inline constexpr std::int32_t kCommandAnswerMs = 1000;

// Two's complement of the 8-bit sum of the body.
std::uint8_t FrameChecksum(const std::uint8_t* body, std::int32_t n);

// Writes the checksum at buffer[n] (the buffer has room for n + 1 bytes) and
// sends the frame, again after each refusal, five sends at most. Before each
// send it drops what the board sent earlier. Blocks in pauses. 0 acknowledged,
// -1 no answer within 1000 ms, -2 stop, -3 refused five times, -5 out of step:
// a reply was waiting before a send (once a frame has gone out since the
// search), or the answer held more than one 'K'; -6 the board restarted: an
// identity answer began during the wait.
std::int16_t SendCommand(std::uint8_t* buffer, std::int32_t n);

// The failure text of a link result, empty for results without one.
std::string LinkErrorText(std::int16_t result);
// Reports -1..-7 as a final failure in red with notifier code 0; any other
// value does nothing.
void ShowLinkError(std::int16_t result);

}  // namespace vorlan
