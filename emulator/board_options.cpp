#include "emulator/board_options.h"

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "catalogue/image_table.h"

namespace vorlan::board {
namespace {

// Decimal, or hexadecimal with 0x; the whole text, within [low, high].
std::optional<long> Number(std::string_view text, long low, long high) {
    if (text.empty() || text.size() > 12)
        return std::nullopt;
    const std::string s(text);
    const bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X');
    char* end = nullptr;
    const long value = std::strtol(s.c_str() + (hex ? 2 : 0), &end, hex ? 16 : 10);
    if (end == nullptr || *end != '\0' || !(s[0] >= '0' && s[0] <= '9'))
        return std::nullopt;
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

// "A:B" with each side a number.
std::optional<std::pair<long, long>> Pair(std::string_view text, long highA, long highB) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos)
        return std::nullopt;
    const auto a = Number(text.substr(0, colon), 0, highA);
    const auto b = Number(text.substr(colon + 1), 0, highB);
    if (!a || !b)
        return std::nullopt;
    return std::make_pair(*a, *b);
}

// Pairs of hexadecimal digits, e.g. "4B4E00".
std::optional<Bytes> HexBytes(std::string_view text) {
    if (text.empty() || text.size() % 2 != 0)
        return std::nullopt;
    Bytes bytes;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const auto value = Number("0x" + std::string(text.substr(i, 2)), 0, 255);
        if (!value)
            return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(*value));
    }
    return bytes;
}

std::uint8_t Byte(long value) {
    return static_cast<std::uint8_t>(value);
}

constexpr long kMaxFrame = 1'000'000;

}  // namespace

std::string EmulatorUsage() {
    return "Usage: vorlan-board [options]\n"
           "Serves a model of the board's boot loader on a pseudo-terminal linked into the\n"
           "port alias folder ($VORLAN_PORT_DIR, else /etc/vorlan/ports) as com<N>.\n"
           "\n"
           "  --com N             serve as COM<N> (default: the first number that neither a\n"
           "                      link nor a present device such as /dev/ttyS0 uses)\n"
           "  --replace           take over a com<N> link that points to a device in use\n"
           "Board:\n"
           "  --chip ID           chip identity byte: 66 258, 67 2580, 68 2480, 69 248,\n"
           "                      70 2320, 199 24J10, 254 24HJ64 (default), 253 33FJ128\n"
           "  --bios N            BIOS byte, boot loader version (default 9)\n"
           "  --board N           board code (default: the build's firmware)\n"
           "  --prep N            preparation byte (default: the build's firmware)\n"
           "  --short             answer the search with the short identity (chip, 'K')\n"
           "  --release TEXT      release text of the information frame (BIOS 8 to 31)\n"
           "  --skip START:LENGTH\n"
           "                      skip window, program address units (default 0:0)\n"
           "Faults (K counts a run's frames from 0; a refused frame keeps its K):\n"
           "  --refuse K:N        refuse frame K N times with 'N' (repeatable)\n"
           "  --silent K          leave frame K unanswered and unwritten (repeatable)\n"
           "  --stray K:HEX       send these bytes (e.g. 4E12) before frame K's 'K'\n"
           "  --refuse-ack K      refuse frame K once with 'N' and 'K' together (repeatable)\n"
           "  --after K:HEX       send these bytes on their own just after frame K's 'K'\n"
           "  --after-identity HEX  send these bytes with the identity answer, after it\n"
           "  --ack-flood MS      after the identity answer send 'K' at the line's rate\n"
           "                      for MS milliseconds, hearing nothing meanwhile\n"
           "  --noise MS:HEX      send these bytes every MS milliseconds once searched for\n"
           "  --answer-ms N       answer every frame N milliseconds late (a slow board)\n"
           "  --hangup K          drop the line after frame K and exit with status 3\n"
           "  --restart K:B       restart after B bytes of frame K (a brown-out): the frame\n"
           "                      is lost and a search byte among what follows is answered\n"
           "  --mode-ms N         answer 0xCC N milliseconds late, hearing nothing meanwhile\n"
           "  --identity-stray P:HEX  put these bytes into the first identity answer before\n"
           "                      its byte P (0 before the 'V', 5 before its 'K'; repeatable)\n"
           "  --restart-info B    restart after B bytes of the first information frame and\n"
           "                      send the whole identity answer again\n"
           "  --late SECONDS      ignore search bytes for this long after start\n"
           "Timing:\n"
           "  --line-rate         bytes take their wire time at 115200 baud 8N2 both ways\n"
           "  --write-ms N        flash write time per program block\n"
           "  --latency MS        answer through a USB adapter with an MS ms latency timer:\n"
           "                      answers wait until MS ms pass or 62 bytes gather\n"
           "Boards one after another (a production line):\n"
           "  --boards N          be N boards in turn on the one COM name (0: no end); after\n"
           "                      a run that wrote to it the board stays, goes away, then\n"
           "                      comes back erased, as the next board\n"
           "  --stay MS           how long a finished board stays, answering (default 500)\n"
           "  --away MS           how long the line has no board (default 2000)\n"
           "  --faults-every K    the faults above go to boards K, 2K, 3K... only\n"
           "  --vanish            while away, the port itself is gone (an unplugged adapter)\n"
           "Output:\n"
           "  --dump FILE         write program memory and EEPROM as Intel HEX after each\n"
           "                      run (once the line is quiet) and at exit; with --boards,\n"
           "                      board n's memory goes to FILE-n (board-2.hex)\n"
           "  --help              this text\n"
           "  --version           the program's version\n"
           "\n"
           "Numbers are decimal or hexadecimal with 0x. Stop with Ctrl-C or SIGTERM.\n"
           "Exit status: 0 stopped, 1 the line could not be set up or failed, 2 bad\n"
           "command line, 3 the line was dropped on purpose (--hangup).\n";
}

ParsedEmulatorOptions ParseEmulatorOptions(int argc, char** argv) {
    EmulatorOptions options;
    const ImageIdentityBytes identity = ImageIdentity();
    options.board.boardCode = identity.boardCode;
    options.board.preparation = identity.preparation;

    for (int i = 1; i < argc; ++i) {
        const std::string_view name = argv[i];
        if (name == "--help" || name == "-h")
            return HelpRequested{};
        if (name == "--version")
            return VersionRequested{};
        if (name == "--short") {
            options.board.shortIdentity = true;
            continue;
        }
        if (name == "--line-rate") {
            options.lineRate = true;
            continue;
        }
        if (name == "--replace") {
            options.replaceLink = true;
            continue;
        }
        if (name == "--vanish") {
            options.vanish = true;
            continue;
        }
        if (i + 1 >= argc)
            return OptionError{std::string(name) + " needs a value"};
        const std::string_view value = argv[++i];
        const OptionError bad{"bad value for " + std::string(name) + ": " + std::string(value)};
        if (name == "--com") {
            const auto n = Number(value, 1, 255);
            if (!n)
                return bad;
            options.comNumber = static_cast<int>(*n);
        } else if (name == "--chip" || name == "--bios" || name == "--board" || name == "--prep") {
            const auto n = Number(value, 0, 255);
            if (!n)
                return bad;
            std::uint8_t& field = name == "--chip"    ? options.board.chipIdentity
                                  : name == "--bios"  ? options.board.biosByte
                                  : name == "--board" ? options.board.boardCode
                                                      : options.board.preparation;
            field = Byte(*n);
        } else if (name == "--release") {
            options.board.releaseText = std::string(value);
        } else if (name == "--skip") {
            const auto window = Pair(value, 0xFFFF, 0xFFFF);
            if (!window)
                return bad;
            options.board.skipStart = static_cast<std::uint16_t>(window->first);
            options.board.skipLength = static_cast<std::uint16_t>(window->second);
        } else if (name == "--refuse") {
            const auto refusal = Pair(value, kMaxFrame, 1000);
            if (!refusal)
                return bad;
            options.faults.refuse[static_cast<int>(refusal->first)] =
                static_cast<int>(refusal->second);
        } else if (name == "--restart") {
            const auto restart = Pair(value, kMaxFrame, kMaxFrame);
            if (!restart)
                return bad;
            options.faults.restartInFrame[static_cast<int>(restart->first)] =
                static_cast<std::size_t>(restart->second);
        } else if (name == "--mode-ms") {
            const auto n = Number(value, 0, 60'000);
            if (!n)
                return bad;
            options.board.programmingModeDelayMs = static_cast<std::uint32_t>(*n);
        } else if (name == "--silent" || name == "--hangup" || name == "--refuse-ack") {
            const auto k = Number(value, 0, kMaxFrame);
            if (!k)
                return bad;
            if (name == "--silent") {
                options.faults.silent.insert(static_cast<int>(*k));
            } else if (name == "--refuse-ack") {
                options.faults.refuseWithAck.insert(static_cast<int>(*k));
            } else {
                options.faults.hangUpAfter = static_cast<int>(*k);
            }
        } else if (name == "--stray" || name == "--after" || name == "--noise") {
            const auto colon = value.find(':');
            if (colon == std::string_view::npos)
                return bad;
            const auto k = Number(value.substr(0, colon), name == "--noise" ? 1 : 0, kMaxFrame);
            const auto bytes = HexBytes(value.substr(colon + 1));
            if (!k || !bytes)
                return bad;
            if (name == "--noise") {
                options.faults.noiseEveryMs = static_cast<std::uint32_t>(*k);
                options.faults.noise = *bytes;
            } else {
                (name == "--stray" ? options.faults.stray
                                   : options.faults.afterAnswer)[static_cast<int>(*k)] = *bytes;
            }
        } else if (name == "--identity-stray") {
            const auto colon = value.find(':');
            if (colon == std::string_view::npos)
                return bad;
            const auto at = Number(value.substr(0, colon), 0, kMaxFrame);
            const auto bytes = HexBytes(value.substr(colon + 1));
            if (!at || !bytes)
                return bad;
            options.faults.identityStray[static_cast<std::size_t>(*at)] = *bytes;
        } else if (name == "--restart-info") {
            const auto bytes = Number(value, 0, kMaxFrame);
            if (!bytes)
                return bad;
            options.faults.restartInInfoFrame = static_cast<std::size_t>(*bytes);
        } else if (name == "--after-identity") {
            const auto bytes = HexBytes(value);
            if (!bytes)
                return bad;
            options.faults.afterIdentity = *bytes;
        } else if (name == "--ack-flood" || name == "--answer-ms") {
            const auto n = Number(value, 0, 60'000);
            if (!n)
                return bad;
            if (name == "--ack-flood") {
                options.faults.ackFloodMs = static_cast<int>(*n);
            } else {
                options.faults.answerDelayMs = static_cast<std::uint32_t>(*n);
            }
        } else if (name == "--late") {
            char* end = nullptr;
            const std::string text(value);
            const double seconds = std::strtod(text.c_str(), &end);
            if (text.empty() || *end != '\0' || !std::isfinite(seconds) || seconds < 0 ||
                seconds > 3600) {
                return bad;
            }
            options.lateMs = static_cast<std::uint32_t>(std::lround(seconds * 1000));
        } else if (name == "--write-ms" || name == "--latency") {
            const auto n = Number(value, 0, name == "--latency" ? 1000 : 60'000);
            if (!n)
                return bad;
            (name == "--latency" ? options.latencyMs : options.writeMs) =
                static_cast<std::uint32_t>(*n);
        } else if (name == "--boards") {
            const auto n = Number(value, 0, 1'000'000);
            if (!n)
                return bad;
            options.boards = static_cast<int>(*n);
        } else if (name == "--faults-every") {
            const auto n = Number(value, 1, 1'000'000);
            if (!n)
                return bad;
            options.faultsEvery = static_cast<int>(*n);
        } else if (name == "--stay" || name == "--away") {
            const auto n = Number(value, 0, 3'600'000);
            if (!n)
                return bad;
            (name == "--stay" ? options.stayMs : options.awayMs) = static_cast<std::uint32_t>(*n);
        } else if (name == "--dump") {
            options.dumpFile = std::string(value);
        } else {
            return OptionError{"unknown option " + std::string(name)};
        }
    }
    options.board.answerSearchFromMs = options.lateMs;
    return options;
}

}  // namespace vorlan::board
