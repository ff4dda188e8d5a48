// vorlan-board: a board with a boot loader, served on a pseudo-terminal that
// the updater finds as COM<N>. Exit status: 0 when stopped by SIGINT or
// SIGTERM, 1 when the line cannot be set up or fails, 2 for a bad command
// line, 3 after dropping the line on purpose (--hangup).
#include <poll.h>
#include <signal.h>

#include <chrono>
#include <exception>
#include <filesystem>
#include <iostream>
#include <memory>

#include "platform/com_naming.h"
#include "emulator/alias_link.h"
#include "emulator/board_options.h"
#include "emulator/board_server.h"
#include "emulator/boot_loader_model.h"
#include "emulator/pty_line.h"

namespace {

constexpr int kLastAnswerWaitMs = 1000;

volatile sig_atomic_t gSignalled = 0;

void OnSignal(int) {
    gSignalled = 1;
}

// Blocks the stop signals outside the server's wait, so one can arrive only
// while it waits; returns the mask to wait with.
sigset_t CatchStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    sigaddset(&stops, SIGHUP);
    sigset_t waitMask;
    sigprocmask(SIG_BLOCK, &stops, &waitMask);
    sigdelset(&waitMask, SIGINT);
    sigdelset(&waitMask, SIGTERM);
    sigdelset(&waitMask, SIGHUP);
    return waitMask;
}

// Board n's dump file: FILE itself for one board, else FILE-n before its
// extension.
std::string DumpFileOf(const vorlan::board::EmulatorOptions& options, int board) {
    if (options.dumpFile.empty() || options.boards == 1)
        return options.dumpFile;
    const std::filesystem::path path(options.dumpFile);
    return (path.parent_path() /
            (path.stem().string() + "-" + std::to_string(board) + path.extension().string()))
        .string();
}

// A board gone with its port: nothing to serve for ms, or until a signal.
vorlan::board::BoardServer::End AwayWithoutPort(std::uint32_t ms, const sigset_t& waitMask) {
    using End = vorlan::board::BoardServer::End;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (auto now = std::chrono::steady_clock::now(); now < until;
         now = std::chrono::steady_clock::now()) {
        if (gSignalled != 0)
            return End::Signal;
        const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(until - now).count();
        const timespec timeout{static_cast<time_t>(left / 1'000'000'000),
                               static_cast<long>(left % 1'000'000'000)};
        ppoll(nullptr, 0, &timeout, &waitMask);
    }
    return gSignalled != 0 ? End::Signal : End::RunDone;
}

int Serve(int argc, char** argv) {
    using namespace vorlan::board;
    const auto parsed = ParseEmulatorOptions(argc, argv);
    if (std::holds_alternative<HelpRequested>(parsed)) {
        std::cout << EmulatorUsage();
        return 0;
    }
    if (std::holds_alternative<VersionRequested>(parsed)) {
        std::cout << "vorlan-board " VORLAN_PROJECT_VERSION "\n";
        return 0;
    }
    if (const auto* error = std::get_if<OptionError>(&parsed)) {
        std::cerr << "vorlan-board: " << error->message << "\nTry 'vorlan-board --help'.\n";
        return 2;
    }
    const EmulatorOptions& options = std::get<EmulatorOptions>(parsed);
    const sigset_t waitMask = CatchStopSignals();

    std::string error;
    PtyLine line;
    if (!line.Open(error)) {
        std::cerr << "vorlan-board: " << error << std::endl;
        return 1;
    }
    const std::string folder = vorlan::PortAliasFolder();
    const int com = options.comNumber > 0 ? options.comNumber : AliasLink::FirstFreeNumber(folder);
    AliasLink link;
    if (com <= 0 || !link.Create(folder, com, line.SlavePath(), options.replaceLink, error)) {
        std::cerr << "vorlan-board: " << (com <= 0 ? "no free COM number in " + folder : error)
                  << std::endl;
        return 1;
    }
    std::cout << "vorlan-board: serving COM" << com << " on " << line.SlavePath() << std::endl;

    BoardServer::End end = BoardServer::End::Signal;
    std::unique_ptr<BootLoaderModel> model;
    std::unique_ptr<BoardServer> server;
    for (int board = 1;; ++board) {
        // Each board comes erased, with the faults asked for.
        server.reset();
        const bool faulty = options.faultsEvery == 0 || board % options.faultsEvery == 0;
        model = std::make_unique<BootLoaderModel>(options.board,
                                                  faulty ? options.faults : BoardFaults{});
        server = std::make_unique<BoardServer>(
            *model, line.MasterFd(),
            ServerTiming{options.lineRate, options.writeMs, options.latencyMs},
            DumpFileOf(options, board), std::cout);
        const bool more = options.boards == 0 || board < options.boards;
        if (more)
            server->EndAfterRun(options.stayMs);
        if (board > 1)
            std::cout << "vorlan-board: board " << board << " (erased) on COM" << com << std::endl;
        end = server->Run(waitMask, gSignalled);
        if (end != BoardServer::End::RunDone)
            break;
        std::cout << "vorlan-board: board " << board << " goes away for " << options.awayMs << " ms"
                  << (options.vanish ? ", its port with it" : "") << std::endl;
        if (!options.vanish) {
            end = server->IgnoreLine(options.awayMs, waitMask, gSignalled);
        } else {
            line.Close();
            link.Remove();
            end = AwayWithoutPort(options.awayMs, waitMask);
            if (end == BoardServer::End::RunDone &&
                (!line.Open(error) || !link.Create(folder, com, line.SlavePath(), true, error))) {
                std::cerr << "vorlan-board: " << error << std::endl;
                end = BoardServer::End::LineError;
            }
        }
        if (end != BoardServer::End::RunDone)
            break;
    }
    // Drop the line first, once the updater has had the last answer: it then
    // sees the hang-up at once.
    if (end == BoardServer::End::HangUp)
        line.WaitUntilRead(kLastAnswerWaitMs);
    line.Close();
    link.Remove();
    server->WriteDump();
    switch (end) {
        case BoardServer::End::Signal:
            std::cout << "vorlan-board: stopped" << std::endl;
            return 0;  // a failed dump has been reported above
        case BoardServer::End::HangUp:
            return 3;
        case BoardServer::End::LineError:
        case BoardServer::End::RunDone:
            return 1;
    }
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Serve(argc, argv);
    } catch (const std::exception& error) {
        // Only running out of memory gets here; say so instead of aborting.
        std::cerr << "vorlan-board: " << error.what() << std::endl;
        return 1;
    }
}
